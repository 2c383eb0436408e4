"""Downloads from a hostile server: its name for a file is a name, never a path,
and a download that fails says so and leaves nothing behind."""

import os
import shutil
import tempfile
import unittest
import urllib.parse

from harness import E2ETestCase, Route, wait_until

SAVE_DIALOG = "^Save download as$"
# Characters that hide, or turn the text around, each to be replaced.
INVISIBLE = "".join(map(chr, [0xAD, 0x34F, 0x61C, 0x115F, 0x180E, *range(0x200B, 0x2010),
                              *range(0x202A, 0x202F), *range(0x2060, 0x2065),
                              *range(0x2066, 0x206A), 0x3164, 0xFEFF, 0x2028, 0xE0001]))


def encoded(name):
    return "attachment; filename*=UTF-8''" + urllib.parse.quote(name)


class Downloads(E2ETestCase):
    def setUp(self):
        super().setUp()
        # A home outside the current directory would hide a path taken as relative to it.
        self.user = tempfile.mkdtemp(prefix="corvane-user-")
        self.addCleanup(shutil.rmtree, self.user, True)
        self.home = os.path.join(self.user, "home")
        self.downloads = os.path.join(self.home, "Downloads")
        os.mkdir(self.home)

    def ask_to_save(self, corvane, window, disposition, body, trickle_seconds=0):
        """Downloads body, sent with this Content-Disposition; its save dialog."""
        path = f"/file{len(self.server.routes)}"
        self.server.routes[path] = Route(body, "application/zip", trickle_seconds,
                                         [("Content-Disposition", disposition)])
        corvane.go_to(window, self.server.url(path))
        return corvane.window_titled(SAVE_DIALOG, 20)

    def close_box(self, corvane):
        """Answers the box that tells the download's end."""
        corvane.press_in("^Download$", "Return", timeout=20)

    def files(self, top):
        return sorted(os.path.relpath(os.path.join(d, f), top)
                      for d, _, files in os.walk(top) for f in files)

    def test_a_servers_file_name_is_a_name_in_the_proposed_folder(self):
        outside = os.path.join(self.user, "outside")
        os.mkdir(outside)
        self.write(outside + "/abs.bin", b"kept")
        # The first in a home without a download folder, the last where none can be made.
        rows = [('attachment; filename="b.bin"', "home/Downloads/b.bin"),
                ('attachment; filename="../../up.bin"', "home/Downloads/up.bin"),
                (f'attachment; filename="{outside}/abs.bin"', "home/Downloads/abs.bin"),
                ('attachment; filename="../.config/autostart/run.desktop"',
                 "home/Downloads/run.desktop"),
                (encoded("x\u202etxt.exe"), "home/Downloads/x_txt.exe"),
                (encoded("c\x01t\x1br\x7fl.bin"), "home/Downloads/c_t_r_l.bin"),
                (encoded("i" + INVISIBLE + ".bin"), "home/Downloads/i" + "_" * 28 + ".bin"),
                (encoded("..\\..\\.hidden"), "home/Downloads/hidden"),
                ('attachment; filename=".."', "home/Downloads/download"),
                ('attachment; filename="a.bin"', "home/a.bin")]
        corvane, window = self.start_at(env={"HOME": self.home})
        for number, (disposition, landed) in enumerate(rows):
            with self.subTest(disposition=disposition):
                if landed == "home/a.bin":
                    os.rename(self.downloads, self.home + "/earlier")
                    self.write(self.downloads, b"a file where the folder would be")
                body = f"row {number}\n".encode()
                corvane.press(self.ask_to_save(corvane, window, disposition, body), "Return")
                landed = os.path.join(self.user, landed)
                wait_until(lambda: os.path.isfile(landed), 20, landed)
                self.close_box(corvane)
                self.assertEqual(self.read(landed), body)
        self.assertEqual(self.files(self.directory), ["home.ad"])
        self.assertEqual([f for f in self.files(self.user) if not f.startswith("home/")],
                         ["outside/abs.bin"])
        self.assertEqual(self.read(outside + "/abs.bin"), b"kept")

    def test_going_offline_fails_a_download_and_leaves_nothing_of_it(self):
        os.mkdir(self.downloads)
        corvane, window = self.start_at(env={"HOME": self.home}, accessible=True)
        failed = f"The download of {self.downloads}/slow.bin failed: "
        for choosing in (False, True):
            with self.subTest(while_choosing_where=choosing):
                dialog = self.ask_to_save(corvane, window, 'attachment; filename="slow.bin"',
                                          b"end", trickle_seconds=30)
                if not choosing:
                    corvane.press(dialog, "Return")
                    wait_until(lambda: os.listdir(self.downloads), 10, "the download under way")
                corvane.press(window, "ctrl+o")
                if choosing:
                    corvane.press(dialog, "Return")
                wait_until(lambda: any(name.startswith(failed) for _, name, _
                                       in self.desktop.accessibles("corvane")),
                           20, "the failure said")
                wait_until(lambda: not os.listdir(self.downloads), 10, "the partial file removed")
                self.close_box(corvane)
                self.assertEqual(self.files(self.user), [])


if __name__ == "__main__":
    unittest.main()
