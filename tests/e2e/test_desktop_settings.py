"""What the user's desktop asks of every program it runs: a screen reader
reads the page, and a desktop set to dark gets dark pages."""

import unittest

import screenshot
from harness import E2ETestCase, html_page, wait_until

# A page with a colour of its own and no dark style, which a dark desktop leaves
# as it is. It tells the server what it prefers, then goes to itself once more,
# since the engine hands every new page its preferences anew.
PAGE_COLOUR = b"\xff\xff\xcc"
REPORTS_COLOUR_SCHEME = html_page("Scheme", colour="#ffffcc", content=(
    "<script>fetch('/dark?' + matchMedia('(prefers-color-scheme: dark)').matches)"
    ".then(() => location.search || location.replace('?again'))</script>"))


class ScreenReader(E2ETestCase):
    def test_reads_the_pages_heading_paragraph_and_link(self):
        corvane, _ = self.start_at(body=html_page(
            "Read aloud", "<p>A paragraph to read</p><a href='/next'>A link to follow</a>"),
            accessible=True)
        wanted = {("heading", "Read aloud"), ("link", "A link to follow")}

        def read():
            found = {(role, name) for role, name, _ in self.desktop.accessibles("corvane")}
            return wanted <= found and "A paragraph to read" in {name for _, name in found}
        wait_until(read, 30, f"{wanted} and the paragraph on the accessibility bus")


class DarkDesktop(E2ETestCase):
    def prefers_dark(self, color_scheme):
        """What the page's prefers-color-scheme query tells on a desktop whose
        settings portal publishes color_scheme, or that has no portal."""
        self.desktop.start_session_bus()
        if color_scheme is not None:
            self.desktop.start_settings_portal(color_scheme)
        corvane, window = self.start_at(body=REPORTS_COLOUR_SCHEME)

        def reports():
            return [path for path in self.server.requests if path.startswith("/dark?")]
        wait_until(lambda: len(reports()) == 2, 30, "the page's reports, then the next page's")
        self.assertEqual(reports()[0], reports()[1], "the next page prefers the same")
        wait_until(lambda: PAGE_COLOUR in (screenshot.window_colours(self.desktop, window) or ()),
                   10, "the page in its own colour")
        return reports()[0] == "/dark?true"

    def test_a_dark_desktop_gets_dark_pages(self):
        self.assertTrue(self.prefers_dark(1))

    def test_a_light_desktop_gets_light_pages(self):
        self.assertFalse(self.prefers_dark(2))

    def test_a_desktop_without_a_portal_gets_light_pages(self):
        self.assertFalse(self.prefers_dark(None))


if __name__ == "__main__":
    unittest.main()
