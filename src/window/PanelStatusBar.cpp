#include "PanelStatusBar.h"

#include "DrawnApart.h"
#include "OncePerFrame.h"
#include "layout/Twips.h"

#include <QEvent>
#include <QLabel>

#include <algorithm>
#include <cmath>

namespace {

struct PanelLook {
    const char *name;
    const char *text;
    Qt::Alignment alignment;
    QFrame::Shadow bevel;
    float minimumWidth; // twips
};

constexpr float FixedPanelWidth = 700;

// Panel 1 keeps its width, panel 2 fits its text, panel 3 takes the rest.
const std::array<PanelLook, 3> Looks{{
    {"panel1", "Status:", Qt::AlignRight | Qt::AlignVCenter, QFrame::Sunken, FixedPanelWidth},
    {"panel2", "", Qt::AlignCenter, QFrame::Raised, 100},
    {"panel3", "", Qt::AlignLeft | Qt::AlignVCenter, QFrame::Sunken, 100},
}};

// The space QStatusBar leaves between its widgets.
constexpr int PanelGap = 6;

// The three panels side by side, placed by hand: panel 2 fitting a new text
// moves panel 3 and asks nothing of the bar, whose layout would run and
// repaint the whole bar at each such change (a label's new text always asks
// its parent's layout).
class PanelRow : public QWidget {
public:
    // Its own children, left to right.
    void setPanels(const std::array<QLabel *, 3> &panels) { m_panels = panels; }

    // As wide as the panels at their narrowest, whatever panel 2 shows, so
    // that its texts never change what the bar asks of the window.
    QSize minimumSizeHint() const override
    {
        int width = 2 * PanelGap;
        int height = 0;
        for (const QLabel *panel : m_panels) {
            width += panel->minimumWidth();
            height = std::max(height, panel->sizeHint().height());
        }
        return {width, height};
    }
    QSize sizeHint() const override { return minimumSizeHint(); }

    void place()
    {
        const auto [fixed, fitted, rest] = m_panels;
        const int fittedLeft = fixed->minimumWidth() + PanelGap;
        const int fittedWidth = std::max(fitted->minimumWidth(), fitted->sizeHint().width());
        const int restLeft = fittedLeft + fittedWidth + PanelGap;
        fixed->setGeometry(0, 0, fixed->minimumWidth(), height());
        fitted->setGeometry(fittedLeft, 0, fittedWidth, height());
        rest->setGeometry(restLeft, 0, std::max(rest->minimumWidth(), width() - restLeft),
                          height());
    }

protected:
    bool event(QEvent *event) override
    {
        // A panel's size hint changed: its text, font or style.
        if (event->type() == QEvent::LayoutRequest)
            place();
        return QWidget::event(event);
    }
    void resizeEvent(QResizeEvent *) override { place(); }

private:
    std::array<QLabel *, 3> m_panels{};
};

} // namespace

PanelStatusBar::PanelStatusBar(QWidget *parent)
    : QStatusBar(parent)
    , m_showTexts(new OncePerFrame(this, [this] { showTexts(); }))
{
    QFont bold(QStringLiteral("Sans Serif"));
    bold.setPointSizeF(8.25);
    bold.setBold(true);
    setFont(bold);

    // The panels change with each address and load; the rest of the bar
    // hardly ever does.
    auto *row = new PanelRow;
    row->setObjectName(QStringLiteral("panels"));
    row->setFont(bold);
    const float twipsPerPixel = Twips::perPixelX(this);
    for (std::size_t i = 0; i < Looks.size(); ++i) {
        const PanelLook &look = Looks[i];
        m_texts[i] = QString::fromLatin1(look.text);
        auto *label = new QLabel(m_texts[i], row);
        label->setObjectName(QString::fromLatin1(look.name));
        // An address is shown as it reads, never as markup.
        label->setTextFormat(Qt::PlainText);
        label->setAutoFillBackground(true);
        label->setAlignment(look.alignment);
        label->setFrameStyle(QFrame::Panel | look.bevel);
        label->setContentsMargins(1, 0, 1, 0);
        label->setMinimumWidth(int(std::lround(look.minimumWidth / twipsPerPixel)));
        m_panels[i] = label;
        m_showTexts->watchPaintsOf(label);
    }
    // Panel 1 keeps its width, widened only where the platform's font would cut "Status:".
    m_panels[0]->setFixedWidth(
        std::max(m_panels[0]->minimumWidth(), m_panels[0]->sizeHint().width()));
    row->setPanels(m_panels);
    addWidget(new DrawnApart(row, this), 1);
}

QLabel *PanelStatusBar::panel(int panel) const
{
    return m_panels.at(std::size_t(panel - 1));
}

QString PanelStatusBar::panelText(int panel) const
{
    return m_texts.at(std::size_t(panel - 1));
}

void PanelStatusBar::setPanelText(int panel, const QString &text)
{
    QString &written = m_texts.at(std::size_t(panel - 1));
    if (written == text)
        return;
    written = text;
    m_showTexts->request();
}

void PanelStatusBar::showTexts()
{
    // A label repaints, and one that fits its text re-lays the bar out, only
    // when its text really changes.
    for (std::size_t i = 0; i < m_panels.size(); ++i) {
        if (m_panels[i]->text() != m_texts[i])
            m_panels[i]->setText(m_texts[i]);
    }
}
