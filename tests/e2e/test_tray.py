"""Hide to the notification area and back, with a real tray host."""

import os
import unittest

from harness import FILE_MENU_X, HIDE_ITEM, ITEM, ITEM_PATH, E2ETestCase, wait_until


class Tray(E2ETestCase):
    def test_hide_then_double_click_restores_the_window_as_it_was(self):
        os.mkfifo(self.path("Icon.ico"))  # an icon file a plain read would hang on
        self.desktop.start_tray_host()
        corvane, window = self.start_at()
        corvane.keys("ctrl+m")
        wait_until(lambda: "MAXIMIZED_VERT" in corvane.net_wm_state(window), 10, "maximised")

        bring_back = corvane.hide_to_tray(window)
        wait_until(lambda: not corvane.windows("^Corvane$"), 10, "the window to hide")
        self.assertEqual(corvane.process.poll(), None)

        bring_back()
        wait_until(lambda: corvane.windows("^Corvane$"), 10, "the window to come back")
        wait_until(lambda: not corvane.tray_icons(), 10, "the tray icon to go")
        self.assertIn("MAXIMIZED_VERT", corvane.net_wm_state(window))
        self.assertEqual(corvane.exit_with_ctrl_e(window), 0)

    def test_hide_then_click_on_a_status_notifier_host_restores_the_window_as_it_was(self):
        self.desktop.start_status_notifier_host()
        corvane, window = self.start_at()
        rect = corvane.client_rect(window)

        corvane.open_menu_item(window, FILE_MENU_X, HIDE_ITEM)
        wait_until(lambda: not corvane.windows("^Corvane$"), 10, "the window to hide")
        item = wait_until(self.desktop.status_notifier_items, 10, "the tray item")[0]
        # A click on the icon is all such a host sends: there is no double-click.
        self.desktop.call(self.desktop.bus(), item, ITEM_PATH, ITEM, "Activate", "(ii)", 0, 0)
        wait_until(lambda: corvane.windows("^Corvane$"), 10, "the window to come back")
        wait_until(lambda: not self.desktop.status_notifier_items(), 10, "the tray item to go")
        self.assertEqual(corvane.client_rect(window), rect)

    def test_hide_without_notification_area_keeps_the_window(self):
        corvane, window = self.start_at()
        corvane.open_menu_item(window, FILE_MENU_X, HIDE_ITEM)
        wait_until(lambda: "no notification area is available" in corvane.error_output(), 10,
                   "the error report")
        box = wait_until(lambda: [w for w in corvane.windows("^Corvane$") if w.decode() != window],
                         10, "the error box")[0].decode()
        corvane.press(box, "Return")
        wait_until(lambda: corvane.windows("^Corvane$") == [window.encode()], 10, "the box to close")
        self.assertEqual(corvane.exit_with_ctrl_e(window), 0)


if __name__ == "__main__":
    unittest.main()
