#include "WindowLayout.h"

#include "FrameExtentsWatch.h"
#include "LayoutRules.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QWindow>

using namespace LayoutRules;

namespace {

// How long a window manager's answer must hold still to count as complete.
constexpr int AnswerStillMs = 100;
// How long a state change waits for any answer at all; a window manager may
// leave the size as it is, or there may be none.
constexpr int AnswerLimitMs = 5000;

} // namespace

WindowLayout::WindowLayout(const Controls &controls)
    : QObject(controls.window)
    , m_window(controls.window)
    , m_address(controls.address)
    , m_go(controls.go)
    , m_engineView(controls.engine)
    , m_statusBar(controls.statusBar)
    , m_addressPlacement(controls.address, 0, 0, 5535, 285)
    , m_goPlacement(controls.go, 5640, 0, 375, 255)
    , m_engine(controls.engine, 0, EngineTopNormal, 6015, 3615)
{
    m_answerSettled.setSingleShot(true);
    // Qt reports no frame that comes without a move (X11's frame extents),
    // as a maximised frame may after the size. A frame the window manager
    // announces is laid out for when it comes; for any other, the answer's
    // end looks again.
    connect(&m_answerSettled, &QTimer::timeout, this, [this] {
        if (!layoutIfFrameChanged())
            m_answering = false;
    });
    connect(new FrameExtentsWatch(m_window), &FrameExtentsWatch::frameAnnounced, this,
            &WindowLayout::layoutIfFrameChanged);
}

QRect WindowLayout::outerGeometry() const
{
    // The window's own handle knows the frame as the window manager last
    // told it; the widget only as of its last move or resize event.
    if (const QWindow *handle = m_window->windowHandle())
        return handle->frameGeometry();
    return m_window->frameGeometry();
}

float WindowLayout::windowWidth() const
{
    return float(outerGeometry().width()) * Twips::perPixelX(m_window);
}

float WindowLayout::windowHeight() const
{
    return float(outerGeometry().height()) * Twips::perPixelY(m_window) + unseenFrameHeight();
}

float WindowLayout::unseenFrameHeight() const
{
    // A Wayland compositor that draws the frame itself (server-side
    // decorations: sway, KWin) tells no client how tall it is, so Qt reports
    // no frame. Counting none, the height margin would take the title bar
    // out of a window that does not include it, and the page would end a
    // title bar's height short of the status bar. Where Qt draws the frame
    // (client-side decorations), it knows the frame and reports it.
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")) ||
        outerGeometry().size() != m_window->size() || m_window->isFullScreen())
        return 0;
    const float y = Twips::perPixelY(m_window);
    return frameHeightTheMarginsFit(float(m_window->menuBar()->sizeHint().height()) * y,
                                    float(m_statusBar->sizeHint().height()) * y);
}

void WindowLayout::layout()
{
    // A window hidden after it was shown has no frame: its outer size reads
    // as its inner size, and controls fitted to that would stay short when it
    // comes back (a page's full screen keeps them as they are for its return).
    // The layout that showing it brings runs, as it is no longer hidden then.
    // Before its first show it is laid out all the same, so that the home page
    // starts at its size and not at a new widget's.
    const bool hiddenAfterShown =
        m_window->testAttribute(Qt::WA_WState_ExplicitShowHide) && m_window->isHidden();
    if ((m_window->windowState() & Qt::WindowMinimized) || hiddenAfterShown)
        return;
    // While a page is full screen it has the whole window; the placements are
    // left as they were, for its return.
    if (m_beforeFullScreen) {
        m_engineView->setGeometry(m_window->rect());
        return;
    }
    m_laidOutSize = outerGeometry().size();
    const Fitted fitted = fit(windowWidth(), windowHeight(), m_goPlacement.Width());
    m_engine.setWidth(fitted.engineWidth);
    m_engine.setHeight(fitted.engineHeight);
    m_goPlacement.setLeft(fitted.goLeft);
    m_addressPlacement.setLeft(fitted.addressLeft);
    m_addressPlacement.setWidth(fitted.addressWidth);
    finishStateChange();
}

bool WindowLayout::frameChanged() const
{
    return outerGeometry().size() != m_laidOutSize;
}

bool WindowLayout::layoutIfFrameChanged()
{
    if (!frameChanged())
        return false;
    layout();
    return true;
}

void WindowLayout::finishStateChange()
{
    if (m_answering && (outerGeometry().size() != m_outerAsked || m_window->size() != m_innerAsked))
        m_answerSettled.start(AnswerStillMs);
    if (!m_finish)
        return;
    // While the window manager answers, the command holds whatever state it
    // passes through or ends in (a compositor may refuse to maximise). Once
    // it has answered, the command holds for as long as the window keeps the
    // state asked for; another state then is the user's (restored,
    // minimised), and from then on the layout alone holds.
    if (!m_answering && m_window->windowState() != m_stateAsked) {
        m_finish = nullptr;
        return;
    }
    m_finish();
}

void WindowLayout::setWindowState(Qt::WindowStates state)
{
    changeWindowState(state, nullptr);
}

void WindowLayout::changeWindowState(Qt::WindowStates state, const Finish &finish)
{
    m_answering = m_window->isVisible() && m_window->windowState() != state;
    m_finish = finish;
    m_stateAsked = state;
    m_outerAsked = outerGeometry().size();
    m_innerAsked = m_window->size();
    if (m_answering)
        m_answerSettled.start(AnswerLimitMs);
    else
        m_answerSettled.stop();
    // Qt reports the change at once, which lays out, finish included.
    m_window->setWindowState(state);
    if (finish)
        finish();
}

bool WindowLayout::isMaxView() const
{
    return LayoutRules::isMaxView(m_engine.Height(), windowHeight());
}

void WindowLayout::showMaxView()
{
    changeWindowState(Qt::WindowMaximized, [this] {
        m_engine.setTop(EngineTopMaxView);
        m_engine.setHeight(windowHeight() - EngineHeightMarginMaxView);
    });
}

void WindowLayout::showNormalView()
{
    changeWindowState(Qt::WindowNoState, [this] {
        m_engine.setTop(EngineTopNormal);
        m_engine.setWidth(windowWidth() - EngineWidthMargin);
        m_engine.setHeight(windowHeight() - EngineHeightMarginNormal);
    });
}

void WindowLayout::enterFullScreen()
{
    if (m_beforeFullScreen)
        return;
    m_beforeFullScreen =
        BeforeFullScreen{m_window->windowState(), m_window->size(),  m_addressPlacement.values(),
                         m_goPlacement.values(),  m_engine.values(), !m_statusBar->isHidden()};
    m_window->menuBar()->hide();
    m_address->hide();
    m_go->hide();
    m_statusBar->hide();
    // Maximised stays set underneath, so that the window manager gives back
    // the maximised window, and the normal one its own place and size.
    changeWindowState(m_beforeFullScreen->state | Qt::WindowFullScreen, nullptr);
    layout();
}

void WindowLayout::leaveFullScreen()
{
    if (!m_beforeFullScreen)
        return;
    const BeforeFullScreen before = *std::exchange(m_beforeFullScreen, std::nullopt);
    m_window->menuBar()->show();
    m_address->show();
    m_go->show();
    m_statusBar->setVisible(before.statusBarShown);
    layout();
    // The state is set whole, as a window manager may drop maximised while
    // full screen; only minimised stays as the user has it now, since a page
    // may have taken the screen while the window was minimised. Put back at
    // its size, the window gets its placements back exactly; put back
    // elsewhere, it is laid out as after any resize.
    changeWindowState((before.state & ~Qt::WindowMinimized) |
                          (m_window->windowState() & Qt::WindowMinimized),
                      [this, before] {
                          if (m_window->size() != before.size)
                              return;
                          m_addressPlacement.restore(before.address);
                          m_goPlacement.restore(before.go);
                          m_engine.restore(before.engine);
                      });
}
