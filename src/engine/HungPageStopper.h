#pragma once

#include <QObject>

#include <utility>

class WebPage;

// Stops a page that no longer answers. The engine stops a load only through
// the page's renderer; one busy in a script of its own (a loop, or box after
// box answered unseen) never lets that page, nor the next one of its site,
// finish loading. A page that gives no sign of life soon after Stop has its
// renderer ended, as if it had crashed: the view says so, and Refresh loads
// the page again.
class HungPageStopper : public QObject {
    Q_OBJECT

public:
    // A live renderer answers in milliseconds, even on a busy machine.
    static constexpr int GraceMs = 3000;

    explicit HungPageStopper(WebPage *page);

    // Asks the page for a sign of life, and ends its renderer without one in time.
    void check();
    // Whether the renderer last gone was ended here; asking forgets it.
    bool takeEnded() { return std::exchange(m_ended, false); }

private:
    WebPage *m_page;
    bool m_ended = false;
};
