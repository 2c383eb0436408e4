#include "RendererGonePage.h"

namespace {

QString whatHappened(QWebEnginePage::RenderProcessTerminationStatus status)
{
    switch (status) {
    case QWebEnginePage::NormalTerminationStatus:
        return QStringLiteral("The page's renderer stopped.");
    case QWebEnginePage::AbnormalTerminationStatus:
        return QStringLiteral("The page's renderer stopped with an error.");
    case QWebEnginePage::CrashedTerminationStatus:
        return QStringLiteral("The page's renderer crashed.");
    case QWebEnginePage::KilledTerminationStatus:
        // How Linux ends a process when memory runs out.
        return QStringLiteral("The page's renderer was killed. It may have run out of memory.");
    }
    return QStringLiteral("The page's renderer ended (status %1).").arg(int(status));
}

} // namespace

RendererGonePage::RendererGonePage(QWidget *parent)
    : QLabel(parent)
{
    // The address is the page's, so it is never read as markup.
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignCenter);
    setWordWrap(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

void RendererGonePage::describe(QWebEnginePage::RenderProcessTerminationStatus status,
                                const QString &address)
{
    setDescription(whatHappened(status), address);
}

void RendererGonePage::describeUnanswered(const QString &address)
{
    setDescription(QStringLiteral("The page stopped answering, so Stop ended it."), address);
}

void RendererGonePage::setDescription(const QString &cause, const QString &address)
{
    setText(QStringLiteral("%1\n\n%2\n\nRefresh loads the page again.").arg(cause, address));
}
