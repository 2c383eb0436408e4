"""The program as a native Wayland client of a headless sway, which draws the
frame, and of a headless weston, which grants maximise."""

import unittest

from harness import (HIDE_ITEM, ITEM, ITEM_PATH, REPORTS_VIEWPORT, TWIPS_PER_PIXEL, E2ETestCase,
                     wait_until)

from desktop import WaylandDesktop, WestonDesktop

OPTIONS = "".join(f"<option>{n}" for n in range(1, 31))
SELECT_PAGE = (f"<html><head><title>Select</title></head><body style='margin:0'>"
               f"<select style='margin:40px' onchange=\"fetch('/picked?' + this.value)\">"
               f"{OPTIONS}</select>{REPORTS_VIEWPORT}</body></html>").encode()


class Wayland(E2ETestCase):
    desktop_type = WaylandDesktop

    def wait_for_window(self, corvane, focus=True):
        return self.window()  # sway gives a new window the focus

    def window(self):
        return wait_until(lambda: [w for w in self.desktop.windows("corvane")
                                   if w["name"] == "Corvane"], 30, "the Corvane window")[0]

    def on_screen(self, corvane, extents):
        """The centre on sway's screen of accessible extents, which start at the client area."""
        window = self.window()
        x, y, width, height = extents
        return (window["rect"]["x"] + window["window_rect"]["x"] + x + width // 2,
                window["rect"]["y"] + window["window_rect"]["y"] + y + height // 2)

    def assert_page_ends_at_the_status_bar(self, corvane):
        """The page below the address row, down to the status bar, as wide as sway's client
        size leaves it, and seeing that size itself."""
        client = self.window()["window_rect"]
        size = (client["width"], client["height"])
        wait_until(lambda: corvane.extents("frame", "Corvane")[2:] == size, 10,
                   f"the window at sway's size, {client}")
        page = corvane.extents("filler", "Page")
        bar = corvane.extents("status bar", "Status bar")
        address = corvane.extents("text", "Address")
        self.assertEqual(page[1] - address[1], 360 / TWIPS_PER_PIXEL)
        self.assertEqual(page[1] + page[3], bar[1], f"the page {page} ends at the status bar {bar}")
        self.assertEqual(bar[1] + bar[3], client["height"])
        self.assertEqual(page[2], round(client["width"] - 100 / TWIPS_PER_PIXEL))
        wait_until(lambda: self.viewport() == tuple(page[2:]), 10,
                   f"the page to see its size, {page[2:]}, not {self.viewport()}")
        return page

    def test_starts_as_a_wayland_client_whatever_the_session_says(self):
        # A compositor started from a console leaves the session type at tty, and
        # older Qt went to Xwayland on GNOME: the Wayland display decides.
        for env in ({}, {"XDG_SESSION_TYPE": "tty"}, {"XDG_CURRENT_DESKTOP": "GNOME"}):
            with self.subTest(env=env), self.start(env=env) as corvane:
                self.assertEqual(self.window()["shell"], "xdg_shell")
                # Keys go to the window that has the focus, which a new one gets late.
                wait_until(lambda: self.window()["focused"], 10, "the window focused")
                self.desktop.keys("ctrl+e")
                self.assertEqual(corvane.wait_exit(), 0, corvane.error_output())

    def test_the_page_ends_at_the_status_bar_at_every_size_and_after_maximize_view_and_back(self):
        corvane, _ = self.start_at(body=SELECT_PAGE, accessible=True)
        self.assert_page_ends_at_the_status_bar(corvane)
        for width, height in ((700, 500), (1000, 720), (800, 600)):
            with self.subTest(size=(width, height)):
                self.desktop.swaymsg(f"[app_id=corvane] resize set {width} {height}")
                wait_until(lambda: self.window()["rect"]["width"] == width, 10, "the resize")
                normal = self.assert_page_ends_at_the_status_bar(corvane)
        address = corvane.extents("text", "Address")
        # The view moves up over the address row and reaches 240 twips lower.
        maximised = (normal[0], address[1], normal[2], normal[3] + 600 / TWIPS_PER_PIXEL)
        for shortcut_gives, caption in ((maximised, "Normal View"), (normal, "Maximize View")):
            with self.subTest(caption=caption):
                self.desktop.keys("ctrl+m")
                wait_until(lambda: corvane.extents("filler", "Page") == shortcut_gives, 10,
                           f"the page at {shortcut_gives}")
                self.assertTrue(corvane.extents("menu item", caption), caption)
        self.assert_page_ends_at_the_status_bar(corvane)

    def test_status_bar_then_hide_and_restore_through_a_status_notifier_host(self):
        self.desktop.start_status_notifier_host()
        corvane, _ = self.start_at(body=SELECT_PAGE, accessible=True)
        bar = corvane.extents("status bar", "Status bar")
        for text in ("Status:", "Ready", self.server.url("/home")):
            with self.subTest(panel=text):
                x, y, width, height = wait_until(lambda: corvane.extents("label", text), 10, text)
                self.assertTrue(width > 0 and bar[1] <= y and y + height <= bar[1] + bar[3],
                                f"{text} at {(x, y, width, height)} is shown in the bar {bar}")
        client = self.window()["window_rect"]

        self.desktop.click(*self.on_screen(corvane, corvane.extents("menu item", "File")))
        wait_until(lambda: corvane.extents("menu item", "Hide...")[2], 10, "the File menu")
        self.desktop.keys(*["Down"] * HIDE_ITEM, "Return")
        wait_until(lambda: not self.desktop.windows("corvane"), 10, "the window to hide")
        item = wait_until(self.desktop.status_notifier_items, 10, "the tray item")[0]
        self.assertEqual(corvane.process.poll(), None)
        self.desktop.call(self.desktop.bus(), item, ITEM_PATH, ITEM, "Activate", "(ii)", 0, 0)
        self.assertEqual(self.window()["window_rect"]["width"], client["width"])
        self.assertEqual(self.window()["window_rect"]["height"], client["height"])
        wait_until(lambda: not self.desktop.status_notifier_items(), 10, "the tray item to go")

    def test_a_select_list_opens_below_the_select_and_can_be_picked_from(self):
        corvane, _ = self.start_at(body=SELECT_PAGE, accessible=True)
        page = corvane.extents("filler", "Page")
        select = corvane.select_box()
        self.assertEqual(select[:2], (page[0] + 40, page[1] + 40))
        self.desktop.click(*self.on_screen(corvane, select))
        # Where the list must be, ten rows below the select; without it, the
        # click falls on the page's empty background and picks nothing.
        x, y = self.on_screen(corvane, select)

        def pick():
            self.desktop.click(x, y + 10 * select[3])
            return self.server.asked("/picked?")
        picked = wait_until(pick, 10, "an option picked")
        self.assertGreater(int(picked[0].partition("?")[2]), 5, picked)


class WestonMaximise(E2ETestCase):
    desktop_type = WestonDesktop

    def wait_for_window(self, corvane, focus=True):
        """The client area, as the program tells it: nothing else does on weston."""
        return wait_until(lambda: corvane.extents("frame", "Corvane"), 30, "the Corvane window")

    def test_maximize_view_maximises_the_window_and_normal_view_gives_it_back(self):
        corvane, _ = self.start_at(body=SELECT_PAGE, accessible=True)
        normal = corvane.extents("filler", "Page")
        client = corvane.extents("frame", "Corvane")
        # Qt draws the frame and counts it in the outer size, as the page's size tells.
        outer_width = normal[2] + 100 / TWIPS_PER_PIXEL
        frame_height = normal[3] + 1300 / TWIPS_PER_PIXEL - client[3]
        frame_width = outer_width - client[2]
        self.desktop.accessibles("corvane", press="Maximize View")
        wait_until(lambda: corvane.extents("frame", "Corvane")[2] > client[2], 10, "maximised")
        wait_until(lambda: corvane.extents("menu item", "Normal View"), 10, "the maximised view")
        maximised = corvane.extents("frame", "Corvane")
        page = corvane.extents("filler", "Page")
        address = corvane.extents("text", "Address")
        self.assertAlmostEqual(maximised[2] + frame_width, 1280, delta=1)
        self.assertEqual(page[1], address[1])
        self.assertAlmostEqual(page[3], maximised[3] + frame_height - 700 / TWIPS_PER_PIXEL,
                               delta=1)

        self.desktop.accessibles("corvane", press="Normal View")
        wait_until(lambda: corvane.extents("frame", "Corvane") == client, 10, "the normal size")
        wait_until(lambda: corvane.extents("filler", "Page") == normal, 10,
                   f"the page back at {normal}")
        self.assertTrue(corvane.extents("menu item", "Maximize View"))


if __name__ == "__main__":
    unittest.main()
