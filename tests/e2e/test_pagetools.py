"""What every browser does beyond its menus, driven by keys and clicks:
print, zoom, find in page and save page."""

import os
import subprocess
import time
import unittest

import screenshot
from harness import (FILE_MENU_X, OPEN_FILE_ITEM, OPTIONS_MENU_X, REPORTS_VIEWPORT, SILENT_ITEM,
                     E2ETestCase, html_page, wait_until)

# Chromium's marks for the match found and for the other matches.
MATCH_MARKS = {b"\xff\x96\x32", b"\xff\xff\x00"}


class PageTools(E2ETestCase):
    def colours(self, window):
        return screenshot.window_colours(self.desktop, window)

    def test_print_through_the_dialog_to_a_pdf_and_a_pages_own_print_unless_silent(self):
        corvane, window = self.start_at("/printable", html_page(
            "Page", "<p>Corvane prints this line</p><button onclick='print()' "
            "style='position:fixed;left:0;bottom:0;width:100%;height:60px'>Print</button>"
            "<iframe srcdoc=\"<button onclick='print()' style='position:fixed;inset:0'>\" "
            "style='position:fixed;left:0;top:80px;width:100%;height:80px;border:0'></iframe>"
            "<script>onload = () => fetch('/shown')</script>"))
        # What the dialog proposes once the page has its title.
        pdf = os.path.join(os.environ["HOME"], "Page.pdf")
        wait_until(lambda: "/shown" in self.server.requests, 20, "the page loaded")

        def answer_print_dialog(key):
            corvane.press_in("^Print$", key)
            wait_until(lambda: not corvane.windows("^Print$"), 10, "the dialog to close")

        def pdf_text():
            return os.path.exists(pdf) and subprocess.run(["pdftotext", pdf, "-"],
                                                          capture_output=True).stdout

        corvane.keys("ctrl+p")
        answer_print_dialog("Return")
        self.assertIn(b"Corvane prints this line", wait_until(pdf_text, 15, "a PDF with text"))
        os.remove(pdf)
        corvane.keys("ctrl+p")
        answer_print_dialog("Escape")
        corvane.click(window, 200, 240)  # the page's own print()
        answer_print_dialog("Escape")
        corvane.click(window, 200, 160)  # a frame's
        answer_print_dialog("Escape")

        corvane.open_menu_item(window, OPTIONS_MENU_X, SILENT_ITEM)
        corvane.click(window, 200, 240)
        corvane.click(window, 200, 160)
        time.sleep(2)
        self.assertEqual(corvane.windows("^Print$"), [], "the page's print() while Silent")
        corvane.keys("ctrl+p")
        answer_print_dialog("Escape")
        self.assertFalse(os.path.exists(pdf), "Cancel printed")

    def test_zoom_steps_and_belongs_to_the_site(self):
        self.server.page("/same-site", "Same site", content=REPORTS_VIEWPORT)
        corvane, window = self.start_at("/zoom", html_page("Page", REPORTS_VIEWPORT))
        width = self.settled_viewport()[0]

        def expect_zoom(factor, what):
            wait_until(lambda: abs(self.viewport()[0] - width / factor) <= 1, 10,
                       f"{what}: {factor:.0%}, about {width / factor:.0f} pixels wide")

        for key, factor in [("ctrl+plus", 1.1), ("ctrl+equal", 1.25), ("ctrl+minus", 1.1),
                            ("ctrl+0", 1.0), ("ctrl+minus", 0.9)]:
            corvane.keys(key)
            expect_zoom(factor, key)
        corvane.keys(*["ctrl+minus"] * 9)
        expect_zoom(0.25, "the smallest step")
        corvane.keys("ctrl+0")
        corvane.desktop.run("xdotool", "mousemove", "--window", window, "200", "150",
                            "keydown", "ctrl", "click", "4", "click", "4", "keyup", "ctrl")
        expect_zoom(1.25, "Ctrl+wheel, two notches")

        self.visit(corvane, window, "/same-site")
        expect_zoom(1.25, "the same site")
        corvane.go_to(window, self.server.url("/same-site").replace("127.0.0.1", "localhost"))
        wait_until(lambda: self.server.count("/same-site") == 2, 10, "another site")
        expect_zoom(1.0, "another site")
        corvane.keys("alt+BackSpace")
        wait_until(lambda: self.server.count("/same-site") == 3, 10, "Back")
        expect_zoom(1.25, "the first site again")

    def test_find_box_marks_matches_and_escape_clears_them(self):
        corvane, window = self.start_at(
            "/find", html_page("Page", "<p style='font-size:40px'>apple pear apple</p>"))
        corvane.click_address_box(window)  # the key works from the address box too
        corvane.keys("F3")
        wait_until(lambda: corvane.windows("^Find$"), 10, "the find box")
        corvane.type("apple")
        wait_until(lambda: (self.colours(window) or set()) >= MATCH_MARKS, 10, "marked matches")
        corvane.keys("Escape")
        wait_until(lambda: not corvane.windows("^Find$"), 10, "Escape to close the box")
        wait_until(lambda: self.colours(window) is not None and
                   not self.colours(window) & MATCH_MARKS, 10, "the marks to go")

        corvane.press(window, "F3")
        wait_until(lambda: corvane.windows("^Find$"), 10, "F3 to open the box again")
        wait_until(lambda: (self.colours(window) or set()) >= MATCH_MARKS, 10,
                   "the last text found again")

    def test_saved_page_is_one_file_that_open_file_shows_again(self):
        corvane, window = self.start_at("/saved", html_page("Page", colour="#3366cc"))

        def page_colour():
            colours = self.colours(window)
            return None if colours is None else b"\x33\x66\xcc" in colours

        # The page's own menu is offered once the page is shown.
        wait_until(page_colour, 10, "the page shown")
        corvane.click(window, 200, 150, button=3)
        time.sleep(0.5)
        corvane.keys("Down", "Down", "Return")  # Back and Forward are greyed out
        corvane.press_in("^Save download as$", "ctrl+a")
        corvane.type(self.path("page"))
        corvane.keys("Return")
        wait_until(lambda: os.path.exists(self.path("page.mhtml")) and
                   b"</html>" in self.read("page.mhtml"), 10, "the page saved as .mhtml")
        self.assertIn(b"multipart/related", self.read("page.mhtml"))
        self.assertEqual(sorted(os.listdir(self.directory)), ["home.ad", "page.mhtml"])

        self.server.page("/other", "Other")
        corvane.go_to(window, self.server.url("/other"))
        wait_until(lambda: page_colour() is False, 10, "the other page")
        corvane.open_menu_item(window, FILE_MENU_X, OPEN_FILE_ITEM)
        corvane.focus(corvane.window_titled("^Open"))
        corvane.type(self.path("page.mhtml"))
        corvane.keys("Return")
        wait_until(page_colour, 10, "the saved page shown again")
        self.assertEqual(self.server.count("/saved"), 1)


if __name__ == "__main__":
    unittest.main()
