"""A page's full screen, asked for by a click in the page, seen through the
window manager's state, the window's geometry and the page's own viewport."""

import os
import signal
import unittest

from harness import (OPTIONS_MENU_X, REPORTS_VIEWPORT, START_MAX_ITEM, Corvane, E2ETestCase,
                     wait_until)

SCREEN = (0, 0, 1280, 800)

# A button over the whole page toggling full screen; "n" navigates away.
PAGE = REPORTS_VIEWPORT + """
<button style='position:fixed;left:0;top:0;width:100%;height:100%'
  onclick='document.fullscreenElement ? document.exitFullscreen()
                                      : document.documentElement.requestFullscreen()'>Full</button>
<script>onkeydown = e => { if (e.key === 'n') location.href = '/elsewhere'; };</script>"""
# A click asking for full screen 2.5 s later, within its user activation.
LATE_PAGE = REPORTS_VIEWPORT + """
<button style='position:fixed;left:0;top:0;width:100%;height:100%' onclick="setTimeout(
  () => document.documentElement.requestFullscreen().then(() => fetch('/granted')), 2500)">
Later</button>"""


class FullScreen(E2ETestCase):
    def test_round_trips_leave_every_view_as_it_was(self):
        self.server.page("/page", "Page", content=PAGE)
        self.server.page("/elsewhere", "Elsewhere", content=PAGE)
        corvane, window = self.start_at("/page")

        def full_screen_and_back(view, leave):
            wait_until(lambda: "MAXIMIZED" in corvane.net_wm_state(window) or view == "normal",
                       10, f"the {view}")
            state, geometry = corvane.net_wm_state(window), corvane.client_rect(window)
            viewport = self.settled_viewport()
            corvane.click(window, 200, 150)
            wait_until(lambda: "FULLSCREEN" in corvane.net_wm_state(window), 10,
                       f"full screen from the {view}")
            wait_until(lambda: corvane.client_rect(window) == SCREEN, 10, "the whole screen")
            wait_until(lambda: self.viewport() == SCREEN[2:], 10, "the page to fill the screen")
            # Act once the page has settled, as a person would: its state may trail its size.
            self.assertEqual(self.settled_viewport(), SCREEN[2:])
            leave()
            with self.subTest(view=view, leave=leave.__name__):
                wait_until(lambda: "FULLSCREEN" not in corvane.net_wm_state(window), 10,
                           "the end of full screen")
                wait_until(lambda: corvane.client_rect(window) == geometry, 10,
                           f"the geometry {geometry} again")
                self.assertEqual(corvane.net_wm_state(window), state)
                if leave is not renderer_dying:  # a dead page has no viewport
                    wait_until(lambda: self.viewport() == viewport, 10,
                               f"the viewport {viewport} again")

        def escape():
            corvane.keys("Escape")

        def the_page_itself():
            corvane.desktop.run("xdotool", "click", "1")

        def navigating_away():
            corvane.keys("n")
            wait_until(lambda: self.server.count("/elsewhere"), 10, "the next page")

        def renderer_dying():
            for pid in corvane.renderers():
                os.kill(pid, signal.SIGKILL)

        full_screen_and_back("normal", escape)
        corvane.keys("ctrl+m")
        full_screen_and_back("maximised view", the_page_itself)
        corvane.keys("ctrl+m")
        wait_until(lambda: "MAXIMIZED" not in corvane.net_wm_state(window), 10, "normal")
        corvane.open_menu_item(window, OPTIONS_MENU_X, START_MAX_ITEM)
        full_screen_and_back("maximised window", navigating_away)
        full_screen_and_back("maximised window", renderer_dying)
        self.assertEqual(corvane.process.poll(), None)

    def test_full_screen_granted_while_the_window_is_put_away_gives_everything_back(self):
        self.desktop.start_tray_host()
        self.server.page("/late", "Late", content=LATE_PAGE)

        def minimised(corvane, window):
            self.desktop.run("xdotool", "windowminimize", "--sync", window)
            return lambda: corvane.focus(window)

        for put_away in Corvane.hide_to_tray, minimised:
            with self.subTest(put_away=put_away.__name__):
                self.server.requests.clear()
                corvane, window = self.start_at("/late")
                with corvane:
                    viewport = self.settled_viewport()
                    state, geometry = corvane.net_wm_state(window), corvane.client_rect(window)
                    corvane.click(window, 200, 150)
                    bring_back = put_away(corvane, window)
                    wait_until(lambda: self.server.count("/granted"), 10, "full screen granted")
                    bring_back()
                    only_full_screen = "= _NET_WM_STATE_FULLSCREEN\n"
                    wait_until(lambda: only_full_screen in corvane.net_wm_state(window), 10,
                               "the window back full screen")
                    self.assertEqual(self.settled_viewport(), SCREEN[2:])
                    corvane.press(window, "Escape")
                    wait_until(lambda: corvane.client_rect(window) == geometry, 10,
                               f"the geometry {geometry}")
                    self.assertEqual(corvane.net_wm_state(window), state)
                    self.assertEqual(self.settled_viewport(), viewport)


if __name__ == "__main__":
    unittest.main()
