"""The views and a page's full screen when the window manager answers late, as
a busy one does: stopped from just before each request until 1.5 s later."""

import os
import signal
import time
import unittest

from harness import TWIPS_PER_PIXEL, E2ETestCase, settled, wait_until

LATE_SECONDS = 1.5
SCREEN = (0, 0, 1280, 800)
# A full-page button toggling full screen. A press is told to the server: the
# window manager holds each press until it has seen it, only then may it stop.
PAGE = b"""<html><body style='margin:0'>
<button style='position:fixed;left:0;top:0;width:100%;height:100%' onmousedown="fetch('/pressed')"
  onclick='document.fullscreenElement ? document.exitFullscreen()
                                      : document.documentElement.requestFullscreen()'>Full</button>
</body></html>"""


class LateWindowManager(E2ETestCase):
    def late(self, request):
        """Runs request with the window manager stopped until LATE_SECONDS later."""
        window_manager = self.desktop.window_manager.pid
        os.kill(window_manager, signal.SIGSTOP)
        try:
            request()
            time.sleep(LATE_SECONDS)
        finally:
            os.kill(window_manager, signal.SIGCONT)

    def click_in_the_page_late(self, corvane, window):
        """A click on the page whose release, on which it asks, finds the window manager stopped."""
        pressed = self.server.count("/pressed")
        self.desktop.run("xdotool", "mousemove", "--window", window, "200", "150", "mousedown", "1")
        wait_until(lambda: self.server.count("/pressed") > pressed, 10, "the press in the page")
        self.late(lambda: self.desktop.run("xdotool", "mouseup", "1"))

    def settled_placement(self, corvane, window, state):
        """(state, outer size, address and page extents) once state ("" for normal) and all
        hold still."""
        def shown_state():
            shown = corvane.net_wm_state(window)
            return next((name for name in ("FULLSCREEN", "MAXIMIZED_VERT") if name in shown), "")
        wait_until(lambda: shown_state() == state, 10, f"the window state {state or 'normal'}")
        return settled(lambda: (shown_state(), corvane.outer_size(window),
                                corvane.extents("text", "Address"),
                                corvane.extents("filler", "Page")), "the window and the page")

    def assert_view(self, placement, maximised):
        _, (outer_width, outer_height), address, page = placement
        top, height_margin = (0, 700) if maximised else (360, 1300)
        self.assertEqual((page[1] - address[1], page[2], page[3]),
                         (top / TWIPS_PER_PIXEL, round(outer_width - 100 / TWIPS_PER_PIXEL),
                          round(outer_height - height_margin / TWIPS_PER_PIXEL)),
                         f"the page's top below the address box, width and height in {placement}")

    def in_view(self, corvane, window, maximised):
        """The placement in the view asked for, the window manager answering at once."""
        if maximised:
            corvane.keys("ctrl+m")
        return self.settled_placement(corvane, window, "MAXIMIZED_VERT" if maximised else "")

    def test_maximize_view_and_normal_view(self):
        for maximising in (True, False):
            with self.subTest(command="Maximize View" if maximising else "Normal View"):
                corvane, window = self.start_at(body=PAGE, accessible=True)
                with corvane:
                    self.in_view(corvane, window, maximised=not maximising)
                    self.late(lambda: corvane.keys("ctrl+m"))
                    self.assert_view(self.settled_placement(
                        corvane, window, "MAXIMIZED_VERT" if maximising else ""), maximising)

    def test_the_frame_told_last_is_the_one_laid_out_for(self):
        """A window manager may tell a maximised window's frame after the resize, or with none."""
        corvane, window = self.start_at(body=PAGE, accessible=True)
        with corvane:
            told = self.in_view(corvane, window, maximised=True)
            extents = corvane.net_frame_extents(window)
            for frame in ([size + more for size, more in zip(extents, (1, 1, 1, 5))], extents):
                self.desktop.run("xprop", "-id", window, "-f", "_NET_FRAME_EXTENTS", "32c",
                                 "-set", "_NET_FRAME_EXTENTS", ",".join(map(str, frame)))
                placement = self.settled_placement(corvane, window, "MAXIMIZED_VERT")
                self.assert_view(placement, maximised=True)
            self.assertEqual(placement, told)

    def test_a_pages_full_screen_gives_back_the_placement_it_had(self):
        def escape(corvane, window):
            self.late(lambda: corvane.keys("Escape"))

        for maximised in (False, True):
            for leave in (self.click_in_the_page_late, escape):
                with self.subTest(maximised_view=maximised, leave=leave.__name__):
                    corvane, window = self.start_at(body=PAGE, accessible=True)
                    with corvane:
                        before = self.in_view(corvane, window, maximised)
                        self.click_in_the_page_late(corvane, window)
                        full = self.settled_placement(corvane, window, "FULLSCREEN")
                        self.assertEqual(full[3], SCREEN, "the page fills the screen")
                        leave(corvane, window)
                        self.assertEqual(self.settled_placement(corvane, window, before[0]), before)


if __name__ == "__main__":
    unittest.main()
