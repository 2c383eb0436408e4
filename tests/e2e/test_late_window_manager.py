"""The views and a page's full screen when the window manager answers late, as
a busy one does: it is held stopped from just before each request until 1.5 s
later. Once everything has settled, the page must be where the layout puts it,
read as a screen reader reads it (the accessibility bus)."""

import os
import signal
import time
import unittest

from harness import TWIPS_PER_PIXEL, E2ETestCase, settled, wait_until

LATE_SECONDS = 1.5
SCREEN = (0, 0, 1280, 800)
# A button over the whole page that asks for full screen on a click, or gives
# it back. A press on it is told to the server: the window manager holds each
# press until it has seen it, and only then may it be stopped.
PAGE = b"""<html><body style='margin:0'>
<button style='position:fixed;left:0;top:0;width:100%;height:100%' onmousedown="fetch('/pressed')"
  onclick='document.fullscreenElement ? document.exitFullscreen()
                                      : document.documentElement.requestFullscreen()'>Full</button>
</body></html>"""


class LateWindowManager(E2ETestCase):
    def late(self, request):
        """Runs request with the window manager stopped, and lets it go on
        LATE_SECONDS later."""
        window_manager = self.desktop.window_manager.pid
        os.kill(window_manager, signal.SIGSTOP)
        try:
            request()
            time.sleep(LATE_SECONDS)
        finally:
            os.kill(window_manager, signal.SIGCONT)

    def click_in_the_page_late(self, corvane, window):
        """A click on the page's button whose release, on which the page asks,
        comes with the window manager stopped."""
        pressed = self.server.count("/pressed")
        self.desktop.run("xdotool", "mousemove", "--window", window, "200", "150",
                         "mousedown", "1")
        wait_until(lambda: self.server.count("/pressed") > pressed, 10, "the press in the page")
        self.late(lambda: self.desktop.run("xdotool", "mouseup", "1"))

    def settled_placement(self, corvane, window, state):
        """Once the window manager has given the window state (MAXIMIZED_VERT,
        FULLSCREEN or neither) and everything has held still: the window's
        outer size, the address box's and the page's extents."""
        def shown_state():
            shown = corvane.net_wm_state(window)
            return next((name for name in ("FULLSCREEN", "MAXIMIZED_VERT") if name in shown), "")
        wait_until(lambda: shown_state() == state, 10, f"the window state {state or 'normal'}")
        return settled(lambda: (shown_state(), corvane.outer_size(window),
                                corvane.extents("text", "Address"),
                                corvane.extents("filler", "Page")), "the window and the page")

    def assert_view(self, placement, maximised):
        """The page as the view's layout puts it in the window's outer size."""
        _, (outer_width, outer_height), address, page = placement
        top, height_margin = (0, 700) if maximised else (360, 1300)
        self.assertEqual((page[1] - address[1], page[2], page[3]),
                         (top / TWIPS_PER_PIXEL, round(outer_width - 100 / TWIPS_PER_PIXEL),
                          round(outer_height - height_margin / TWIPS_PER_PIXEL)),
                         f"the page's top below the address box, width and height in {placement}")

    def in_view(self, corvane, window, maximised):
        """The placement once the program is in the view asked for, the window
        manager answering at once."""
        if maximised:
            corvane.keys("ctrl+m")
        return self.settled_placement(corvane, window, "MAXIMIZED_VERT" if maximised else "")

    def test_maximize_view_and_normal_view(self):
        for maximising in (True, False):
            with self.subTest(command="Maximize View" if maximising else "Normal View"):
                corvane, window = self.start_at(body=PAGE, accessible=True)
                try:
                    self.in_view(corvane, window, maximised=not maximising)
                    self.late(lambda: corvane.keys("ctrl+m"))
                    self.assert_view(self.settled_placement(
                        corvane, window, "MAXIMIZED_VERT" if maximising else ""), maximising)
                finally:
                    corvane.close()

    def test_a_pages_full_screen_gives_back_the_placement_it_had(self):
        def by_the_page(corvane, window):
            self.click_in_the_page_late(corvane, window)

        def escape(corvane, window):
            self.late(lambda: corvane.keys("Escape"))

        for maximised in (False, True):
            for leave in (by_the_page, escape):
                with self.subTest(maximised_view=maximised, leave=leave.__name__):
                    corvane, window = self.start_at(body=PAGE, accessible=True)
                    try:
                        before = self.in_view(corvane, window, maximised)
                        self.click_in_the_page_late(corvane, window)
                        full = self.settled_placement(corvane, window, "FULLSCREEN")
                        self.assertEqual(full[3], SCREEN, "the page fills the screen")
                        leave(corvane, window)
                        self.assertEqual(self.settled_placement(corvane, window, before[0]), before)
                    finally:
                        corvane.close()


if __name__ == "__main__":
    unittest.main()
