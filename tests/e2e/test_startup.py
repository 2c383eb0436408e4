"""Start-up and exit of the real program, seen from outside."""

import os
import shutil
import stat
import tempfile
import unittest

from harness import DEFAULT_HOME, E2ETestCase, html_page, wait_until


class StartUp(E2ETestCase):
    def test_first_start_creates_home_file_and_ctrl_e_exits_with_zero(self):
        corvane = self.start()
        window = corvane.main_window()
        self.assertEqual(self.read("home.ad"), DEFAULT_HOME)
        self.assertEqual(corvane.exit_with_ctrl_e(window), 0)
        self.assertEqual(self.read("home.ad"), DEFAULT_HOME)
        # Only for root, whose renderers Chromium cannot sandbox, is it switched off, and said.
        self.assertEqual("sandbox is switched off" in corvane.error_output(), os.geteuid() == 0)
        # The engine's own start-up report of GL and Chromium flags is noise to a user.
        self.assertNotIn("qt.webenginecontext", corvane.error_output())

    def test_marker_starts_the_window_maximised(self):
        self.write("max.dat", b"")
        corvane, window = self.start_at(body=html_page("Home page"))
        wait_until(lambda: "_NET_WM_STATE_MAXIMIZED_VERT" in corvane.net_wm_state(window),
                   10, "a maximised window")

    def test_zero_byte_home_file_reports_the_error_and_exits_with_one(self):
        self.write("home.ad", b"")
        self.assert_refused(self.start(), "home.ad", timeout=30)
        self.assertEqual(self.read("home.ad"), b"")

    def test_a_home_file_linked_to_a_fifo_elsewhere_is_refused_and_left_alone(self):
        # No home file must be created through the link: the FIFO stands for a device.
        elsewhere = tempfile.mkdtemp(prefix="corvane-elsewhere-")
        self.addCleanup(shutil.rmtree, elsewhere, True)
        fifo = os.path.join(elsewhere, "fifo")
        os.mkfifo(fifo)
        os.symlink(fifo, self.path("home.ad"))
        self.assert_refused(self.start(), "home.ad: not a regular file", timeout=30)
        self.assertTrue(stat.S_ISFIFO(os.stat(fifo).st_mode))
        self.assertTrue(os.path.islink(self.path("home.ad")))


if __name__ == "__main__":
    unittest.main()
