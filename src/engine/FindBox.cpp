#include "FindBox.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QWebEngineFindTextResult>

FindBox::FindBox(QWebEnginePage *page, QWidget *parent)
    : QWidget(parent, Qt::Tool)
    , m_page(page)
    , m_text(new QLineEdit(this))
    , m_result(new QLabel(this))
{
    setObjectName(QStringLiteral("FindBox"));
    setWindowTitle(QStringLiteral("Find"));
    m_text->setObjectName(QStringLiteral("findText"));
    m_text->setAccessibleName(QStringLiteral("Find"));
    m_text->setMinimumWidth(fontMetrics().averageCharWidth() * 24);
    m_result->setObjectName(QStringLiteral("findResult"));
    // Wide enough for what it says, so that the box keeps its size.
    m_result->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("No matches ")));

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(m_result);

    connect(m_text, &QLineEdit::textChanged, this, [this] { find(); });
    // A new page has matches of its own.
    connect(m_page, &QWebEnginePage::loadFinished, this, [this] {
        if (isVisible())
            find();
    });
}

void FindBox::openOrFindNext()
{
    const bool searching = isVisible() || !m_text->text().isEmpty();
    if (isHidden()) {
        // Where it hides the least of the page: at its window's top right.
        const QRect owner = parentWidget()->window()->geometry();
        adjustSize();
        move(owner.right() - width() - 24, owner.top() + 48);
    }
    show();
    raise();
    activateWindow();
    m_text->setFocus();
    m_text->selectAll();
    if (searching)
        find();
}

void FindBox::find(QWebEnginePage::FindFlags direction)
{
    if (m_text->text().isEmpty())
        m_result->clear();
    // A search that a newer one overtakes is answered "no matches": only the
    // newest one's answer is shown.
    const int search = ++m_searches;
    // An empty text takes the highlights away.
    m_page->findText(m_text->text(), direction,
                     [this, search](const QWebEngineFindTextResult &result) {
                         if (search == m_searches)
                             showResult(result);
                     });
}

void FindBox::showResult(const QWebEngineFindTextResult &result)
{
    if (m_text->text().isEmpty())
        m_result->clear();
    else if (result.numberOfMatches() == 0)
        m_result->setText(QStringLiteral("No matches"));
    else
        m_result->setText(
            QStringLiteral("%1 of %2").arg(result.activeMatch()).arg(result.numberOfMatches()));
}

void FindBox::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F3:
        find(event->modifiers() & Qt::ShiftModifier ? QWebEnginePage::FindBackward
                                                    : QWebEnginePage::FindFlags());
        break;
    case Qt::Key_Escape:
        close();
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void FindBox::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    m_page->findText(QString());
}
