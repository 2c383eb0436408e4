#include "HungPageStopper.h"

#include "WebPage.h"

#include <QTimer>
#include <QWebEngineScript>

#include <csignal>
#include <memory>

HungPageStopper::HungPageStopper(WebPage *page)
    : QObject(page)
    , m_page(page)
{}

void HungPageStopper::check()
{
    const qint64 pid = m_page->renderProcessPid();
    if (pid <= 0)
        return;
    auto answered = std::make_shared<bool>(false);
    m_page->runJavaScript(QStringLiteral("0"), QWebEngineScript::ApplicationWorld,
                          [answered](const QVariant &) { *answered = true; });
    QTimer::singleShot(GraceMs, this, [this, pid, answered] {
        // A page waiting for the user's answer to its box is no hung page, and
        // a renderer gone or replaced meanwhile is not the one asked.
        if (*answered || m_page->isAsking() || m_page->renderProcessPid() != pid)
            return;
        m_ended = true;
        ::kill(pid_t(pid), SIGKILL);
    });
}
