"""What every browser does beyond its menus, driven by keys and clicks:
print, zoom, find in page and save page."""

import os
import subprocess
import time
import unittest

import screenshot
from harness import E2ETestCase, wait_until

FILE_MENU_X = 20
OPEN_FILE_ITEM = 2
OPTIONS_MENU_X = 135
SILENT_ITEM = 3
# Chromium's marks for the match found and the other matches.
ACTIVE_MATCH = b"\xff\x96\x32"
OTHER_MATCH = b"\xff\xff\x00"

# The page tells the server its width in CSS pixels at every change, with the
# time, since the reports may overtake each other.
REPORTS_WIDTH = """
<script>
  const report = () => fetch('/width?' + (performance.timeOrigin + performance.now()) +
                             '&' + innerWidth);
  onresize = report; report();
</script>"""


class PageTools(E2ETestCase):
    def start_at(self, path, title, content="", colour="#ffffff"):
        self.server.page(path, title, content=content, colour=colour)
        self.write("home.ad", self.server.url(path).encode() + b"\r\n")
        corvane = self.start()
        window = corvane.main_window()
        wait_until(lambda: self.server.count(path), 10, "the home page")
        corvane.focus(window)
        return corvane, window

    def test_print_through_the_dialog_to_a_pdf_and_a_pages_own_print_unless_silent(self):
        corvane, window = self.start_at(
            "/printable", "Printable",
            "<p>Corvane prints this line</p>"
            "<button style='position:fixed;left:0;bottom:0;width:100%;height:100px'"
            " onclick='print()'>Print</button>")
        pdf = os.path.join(os.environ["HOME"], "Printable.pdf")  # the dialog's proposal

        def print_dialog(key=None):
            if key:
                corvane.keys(key)
            return wait_until(lambda: corvane.windows("^Print$"), 10, "the print dialog")[0]

        def pdf_text():
            if not os.path.exists(pdf):
                return None
            return subprocess.run(["pdftotext", pdf, "-"], capture_output=True).stdout

        corvane.focus(print_dialog("ctrl+p").decode())
        corvane.keys("Return")
        text = wait_until(pdf_text, 15, "a PDF file with text")
        self.assertIn(b"Corvane prints this line", text)

        os.remove(pdf)
        corvane.focus(print_dialog("ctrl+p").decode())
        corvane.keys("Escape")
        wait_until(lambda: not corvane.windows("^Print$"), 10, "the dialog to close")

        corvane.click(window, 200, 240)
        corvane.focus(print_dialog().decode())
        corvane.keys("Escape")
        wait_until(lambda: not corvane.windows("^Print$"), 10, "the dialog to close")

        corvane.open_menu_item(window, OPTIONS_MENU_X, SILENT_ITEM)
        corvane.click(window, 200, 240)
        time.sleep(2)
        self.assertEqual(corvane.windows("^Print$"), [], "the page's print() while Silent")
        corvane.focus(print_dialog("ctrl+p").decode())
        corvane.keys("Escape")
        wait_until(lambda: not corvane.windows("^Print$"), 10, "the dialog to close")
        time.sleep(1)
        self.assertFalse(os.path.exists(pdf), "Cancel printed")

    def picture(self, window):
        """The window's picture, or None while it cannot be taken (as while
        the window manager redraws it)."""
        try:
            return screenshot.capture(self.desktop, window)
        except subprocess.CalledProcessError:
            return None

    def width(self):
        reports = [path[len("/width?"):].split("&") for path in self.server.requests
                   if path.startswith("/width?")]
        return int(max(reports, key=lambda report: float(report[0]))[1]) if reports else None

    def test_zoom_steps_and_belongs_to_the_site(self):
        self.server.page("/same-site", "Same site", content=REPORTS_WIDTH)
        corvane, window = self.start_at(
            "/zoom", "Zoom", REPORTS_WIDTH + f"<a href='/same-site'>link</a>")
        width = wait_until(self.width, 10, "the page's width")

        def expect_zoom(factor, what):
            wait_until(lambda: abs(self.width() - width / factor) <= 1, 10,
                       f"{what}: {factor:.0%}, about {width / factor:.0f} pixels wide")

        steps = [("ctrl+plus", 1.1), ("ctrl+equal", 1.25), ("ctrl+minus", 1.1),
                 ("ctrl+0", 1.0), ("ctrl+minus", 0.9)]
        for key, factor in steps:
            corvane.keys(key)
            expect_zoom(factor, key)
        corvane.keys(*["ctrl+minus"] * 9)
        expect_zoom(0.25, "the smallest step")
        corvane.keys("ctrl+0")
        expect_zoom(1.0, "Ctrl+0")
        corvane.desktop.run("xdotool", "mousemove", "--window", window, "200", "150",
                            "keydown", "ctrl", "click", "4", "click", "4", "keyup", "ctrl")
        expect_zoom(1.25, "Ctrl+wheel, two notches")

        corvane.click_address_box(window)
        corvane.type(self.server.url("/same-site"))
        corvane.keys("Return")
        wait_until(lambda: self.server.count("/same-site"), 10, "the page of the same site")
        expect_zoom(1.25, "the same site")
        corvane.click_address_box(window)
        corvane.type(self.server.url("/same-site").replace("127.0.0.1", "localhost"))
        corvane.keys("Return")
        wait_until(lambda: self.server.count("/same-site") == 2, 10, "another site")
        expect_zoom(1.0, "another site")
        corvane.keys("alt+BackSpace")
        wait_until(lambda: self.server.count("/same-site") == 3, 10, "Back")
        expect_zoom(1.25, "the first site again")

    def test_find_box_marks_matches_moves_and_clears(self):
        corvane, window = self.start_at(
            "/find", "Find", "<p style='font-size:40px'>apple pear apple plum</p>")

        def active_match_left():
            """The left edge of the match found, in the window's picture."""
            width, _, rows = self.picture(window) or (0, 0, [])
            columns = [row[x:x + 3] == ACTIVE_MATCH for row in rows for x in range(0, width * 3, 3)]
            return min((i % width for i, marked in enumerate(columns) if marked), default=None)

        def marks():
            picture = self.picture(window)
            return picture and screenshot.colours(picture[2]) & {ACTIVE_MATCH, OTHER_MATCH}

        corvane.click_address_box(window)  # the key works from the address box too
        corvane.keys("F3")
        wait_until(lambda: corvane.windows("^Find$"), 10, "the find box")
        corvane.type("apple")
        first = wait_until(active_match_left, 10, "the first match marked")
        wait_until(lambda: OTHER_MATCH in (marks() or ()), 10, "the other matches marked")
        corvane.keys("Return")
        second = wait_until(lambda: (left := active_match_left()) and left > first and left, 10,
                            "Enter to mark the next match")
        corvane.keys("shift+Return")
        wait_until(lambda: active_match_left() == first, 10, "Shift+Enter to go back")
        self.assertGreater(second, first)

        corvane.keys("Escape")
        wait_until(lambda: not corvane.windows("^Find$"), 10, "Escape to close the box")
        wait_until(lambda: marks() == set(), 10, "the marks to go")
        corvane.focus(window)
        corvane.keys("F3")
        wait_until(lambda: corvane.windows("^Find$"), 10, "F3 to open the box again")
        wait_until(lambda: active_match_left() == second, 10, "the next match of the last text")

    def test_saved_page_is_one_file_that_open_file_shows_again(self):
        colour = b"\x33\x66\xcc"
        corvane, window = self.start_at("/saved", "Saved", colour="#3366cc")
        corvane.click(window, 200, 150, button=3)
        time.sleep(0.5)
        corvane.keys("Down", "Down", "Return")  # Back and Forward are greyed out
        dialog = wait_until(lambda: corvane.windows("^Save download as$"), 10, "the save dialog")
        corvane.focus(dialog[0].decode())
        corvane.keys("ctrl+a")
        corvane.type(self.path("page"))
        corvane.keys("Return")
        saved = self.path("page.mhtml")
        wait_until(lambda: os.path.exists(saved) and b"</html>" in self.read("page.mhtml"), 10,
                   "the page saved with the ending of its kind")
        self.assertIn(b"multipart/related", self.read("page.mhtml"))
        self.assertEqual(sorted(os.listdir(self.directory)), ["home.ad", "page.mhtml"])

        self.server.page("/other", "Other")
        corvane.focus(window)
        corvane.click_address_box(window)
        corvane.type(self.server.url("/other"))
        corvane.keys("Return")

        def page_colour():
            picture = self.picture(window)
            return picture and colour in screenshot.colours(picture[2])
        wait_until(lambda: page_colour() is False, 10, "the other page")
        corvane.open_menu_item(window, FILE_MENU_X, OPEN_FILE_ITEM)
        dialog = wait_until(lambda: corvane.windows("^Open"), 10, "the open dialog")
        corvane.focus(dialog[0].decode())
        corvane.type(saved)
        corvane.keys("Return")
        wait_until(page_colour, 10, "the saved page shown again")
        self.assertEqual(self.server.count("/saved"), 1)


if __name__ == "__main__":
    unittest.main()
