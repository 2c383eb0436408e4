"""The commands, used from the keyboard and mouse as a person uses them."""

import os
import unittest

import screenshot
from harness import E2ETestCase, wait_until


class Commands(E2ETestCase):
    def test_ctrl_g_goes_to_the_text_in_the_box(self):
        self.server.page("/typed", "Typed")
        corvane, window = self.start_at()
        corvane.click_address_box(window)
        corvane.type(self.server.url("/typed"))
        self.assertEqual(self.server.count("/typed"), 0)
        corvane.keys("ctrl+g")
        wait_until(lambda: self.server.count("/typed"), 10, "Ctrl+G to load the page")

    def test_f5_reloads(self):
        corvane, window = self.start_at()
        corvane.keys("F5")
        wait_until(lambda: self.server.count("/home") == 2, 10, "a reload")

    def test_back_and_forward(self):
        self.server.page("/second", "Second")
        corvane, window = self.start_at()
        self.visit(corvane, window, "/second")
        corvane.keys("alt+BackSpace")
        wait_until(lambda: self.server.count("/home") == 2, 10, "Back to the home page")
        corvane.keys("ctrl+f")
        wait_until(lambda: self.server.count("/second") == 2, 10, "Forward to the second page")

    def test_ctrl_s_stops_a_slow_page(self):
        self.server.page("/slow", "Slow", trickle_seconds=8)
        corvane, window = self.start_at()
        self.visit(corvane, window, "/slow")
        corvane.keys("ctrl+s")
        wait_until(lambda: "/slow" in self.server.aborted, 5, "the browser to drop the slow load")

    def test_ctrl_h_reads_a_home_address_changed_on_disk(self):
        self.server.page("/new-home", "New home")
        corvane, window = self.start_at()
        self.set_home("/new-home")
        corvane.keys("ctrl+h")
        wait_until(lambda: self.server.count("/new-home"), 10, "the new home page")

    def test_ctrl_n_ok_stores_the_address_and_cancel_keeps_it(self):
        corvane, window = self.start_at()
        for typed, key in (("http://127.0.0.1:9/stored", "Return"), ("not wanted", "Escape")):
            corvane.press(window, "ctrl+n")
            corvane.focus(corvane.window_titled("^Home Address"))
            corvane.type(typed)
            corvane.keys(key)
            wait_until(lambda: not corvane.windows("^Home Address"), 10, "the dialog to close")
            self.assertEqual(self.read("home.ad"), b"http://127.0.0.1:9/stored\r\n")
        self.assertEqual(self.server.requests.count("/stored"), 0)

    def test_screenshot_shows_the_page(self):
        self.server.page("/home", "Home", colour="#3366cc")
        corvane, window = self.start_at()

        def page_painted():
            picture = screenshot.capture(self.desktop, window)
            return picture if b"\x33\x66\xcc" in screenshot.colours(picture[2]) else None

        width, height, rows = wait_until(page_painted, 15, "the page's colour on screen")
        self.assertGreater(len(screenshot.colours(rows)), 20, "a window of real content")
        folder = os.environ.get("CORVANE_ARTEFACTS", self.directory)
        os.makedirs(folder, exist_ok=True)
        screenshot.write_png(os.path.join(folder, "window.png"), width, height, rows)


if __name__ == "__main__":
    unittest.main()
