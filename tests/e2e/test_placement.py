"""Where the window's parts and the page are on the screen, read as a screen
reader reads them (the accessibility bus) under a real window manager."""

import unittest

from harness import TWIPS_PER_PIXEL, E2ETestCase, settled, wait_until

SELECT_PAGE = (b"<html><head><title>Select</title></head><body style='margin:0'>"
               b"<select style='margin:40px'><option>one<option>two<option>three</select>"
               b"</body></html>")


class AccessibleCorvane(E2ETestCase):
    def toggle_max_view(self, corvane, window, maximised):
        corvane.keys("ctrl+m")
        wait_until(lambda: ("MAXIMIZED_VERT" in corvane.net_wm_state(window)) == maximised, 10,
                   "maximised" if maximised else "normal")
        # The view's top tells that the command has finished.
        top = 0 if maximised else 360 / TWIPS_PER_PIXEL
        wait_until(lambda: corvane.extents("filler", "Page")[1]
                   - corvane.extents("text", "Address")[1] == top, 10, "the view in place")


class Placement(AccessibleCorvane):
    def test_first_layout_fits_the_framed_window(self):
        corvane, window = self.start_at(body=SELECT_PAGE, accessible=True)
        first = corvane.extents("filler", "Page")
        outer_height = corvane.outer_size(window)[1]
        self.assertEqual(first[3], round(outer_height - 1300 / TWIPS_PER_PIXEL))

        x, y, width, height = corvane.client_rect(window)
        for resized in (height + 1, height):
            self.desktop.run("xdotool", "windowsize", window, str(width), str(resized))
            wait_until(lambda: corvane.client_rect(window)[3] == resized, 10, "the resize")
        wait_until(lambda: corvane.extents("filler", "Page") == first, 10,
                   f"the page back at {first} after a resize and back")

    def test_after_normal_view_the_page_and_its_select_list_are_where_the_view_is(self):
        corvane, window = self.start_at(body=SELECT_PAGE, accessible=True)
        self.toggle_max_view(corvane, window, maximised=True)
        self.toggle_max_view(corvane, window, maximised=False)
        view = corvane.extents("filler", "Page")
        # The select sits at (40, 40) in the page, whose size the page itself tells.
        x, y, width, height = (view[0] + 40, view[1] + 40, *corvane.select_box()[2:])
        before = set(corvane.windows(""))
        self.desktop.run("xdotool", "mousemove", str(x + width // 2), str(y + height // 2),
                         "click", "1")
        popup = wait_until(lambda: set(corvane.windows("")) - before, 10, "the select list").pop()
        self.assertGreaterEqual(corvane.client_rect(popup.decode())[1], y + height,
                                "the select list opens below the select")
        wait_until(lambda: corvane.extents("web document") == view, 10,
                   f"the page's accessible extents to be the view's, {view}")


class HighDpi(AccessibleCorvane):
    screen = "1920x1200x24"

    def test_layout_holds_on_a_screen_announced_as_2x(self):
        self.desktop.set_dpi(192)
        corvane, window = self.start_at(body=SELECT_PAGE, accessible=True)
        # The frame is drawn in device pixels: its rounding allows one pixel either way.
        near = 1.5

        def check(view_top, height_margin):
            # The frame may change once more after the view has moved.
            settled(lambda: self.desktop.accessibles("corvane"), "the layout")
            client = corvane.extents("frame", "Corvane")
            scale = corvane.client_rect(window)[2] / client[2]
            self.assertAlmostEqual(scale, 2, delta=0.01)
            outer_width, outer_height = (size / scale for size in corvane.outer_size(window))
            address = corvane.extents("text", "Address")
            go = corvane.extents("push button", "Go")
            page = corvane.extents("filler", "Page")
            self.assertAlmostEqual(go[0] + go[2] - client[0],
                                   outer_width - 200 / TWIPS_PER_PIXEL, delta=near)
            self.assertAlmostEqual(page[3], outer_height - height_margin / TWIPS_PER_PIXEL,
                                   delta=near)
            self.assertAlmostEqual(page[1] - address[1], view_top / TWIPS_PER_PIXEL, delta=near)
            bar = corvane.extents("status bar", "Status bar")
            shown = [found for found in self.desktop.accessibles("corvane")
                     if found[0] in ("text", "push button", "status bar", "label") and found[1]]
            self.assertEqual(len(shown), 6, shown)  # the address, Go, the bar and its panels
            for role, name, (x, y, width, height) in shown:
                inside = bar if role == "label" else client
                self.assertTrue(width > 0 and height > 0, f"{name} is shown")
                self.assertTrue(inside[0] <= x and x + width <= inside[0] + inside[2] and
                                inside[1] <= y and y + height <= inside[1] + inside[3],
                                f"{name} at {(x, y, width, height)} is not cut off by {inside}")

        check(view_top=360, height_margin=1300)
        self.toggle_max_view(corvane, window, maximised=True)
        check(view_top=0, height_margin=700)
        self.toggle_max_view(corvane, window, maximised=False)
        check(view_top=360, height_margin=1300)


if __name__ == "__main__":
    unittest.main()
