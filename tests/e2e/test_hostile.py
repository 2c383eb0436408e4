"""The program against hostile pages, signals, a second instance and odd
files: the user can always leave, and nothing is lost."""

import os
import resource
import shutil
import signal
import subprocess
import tempfile
import time
import unittest

from harness import (CORVANE, EXIT_ITEM, FILE_MENU_X, OPTIONS_MENU_X, SILENT_ITEM, E2ETestCase,
                     Route, wait_until)

BOX = r"^(http://127\.0\.0\.1|Print$)"  # a page's box is titled with its site, or Print

ALERT_LOOP = "<script>for (;;) alert('again')</script>"
PROMPT_LOOP = "<script>for (;;) prompt('again')</script>"
LOCATION_LOOP = """<script>setInterval(() => navigator.geolocation.getCurrentPosition(
    () => {}, () => fetch('/refused')), 300)</script>"""
# print() returns at once, before its dialog is answered.
PRINT_CHAIN = """<script>addEventListener('afterprint', () => setTimeout(print, 50));
    setTimeout(print, 300)</script>"""
PRINT_LOOP = "<script>setInterval(() => { print(); fetch('/asked') }, 300)</script>"
ALERT_CHAIN = """<script>let n = 0;
    (function again() { alert('box ' + n); fetch('/answered?n=' + n++); setTimeout(again, 200) })()
    </script>"""
STORE = """<script>const v = location.search.slice(1);
    document.cookie = 'kept=' + v + '; max-age=86400'; localStorage.kept = v;
    fetch('/stored')</script>"""
CHECK = "<script>fetch('/seen?' + document.cookie + '&storage=' + localStorage.kept)</script>"
DATA_HOME = os.environ.get("XDG_DATA_HOME", os.path.expanduser("~/.local/share"))


def serve_big_download(server):
    """/big.bin, said to be 1 GiB: 64 MiB as fast as it is taken, then nothing
    more, so that it is never complete (a whole GiB takes 3 s here)."""
    plain = server.answer

    def answer(request, path, query):
        if path != "/big.bin":
            return plain(request, path, query)
        request.head(200, "application/octet-stream", (), ("Content-Length", str(1 << 30)))
        try:
            for _ in range(64):
                request.wfile.write(bytes(1 << 20))
            request.wfile.flush()
            while request.rfile.read(1):  # until the program lets go
                pass
        except (ConnectionError, OSError):
            pass

    server.answer = answer


class Hostile(E2ETestCase):
    def page(self, path, body):
        self.server.routes[path] = Route(f"<html><body>{body}</body></html>".encode())

    def test_exit_and_the_close_box_end_the_program_whatever_box_a_page_has_open(self):
        rows = [(ALERT_LOOP, "ctrl+e"), (ALERT_LOOP, "menu"), (ALERT_LOOP, "close box"),
                (PROMPT_LOOP, "ctrl+e"), (LOCATION_LOOP, "ctrl+e"), (LOCATION_LOOP, "close box"),
                (PRINT_CHAIN, "ctrl+e"), (PRINT_CHAIN, "Escape ctrl+e"), (PRINT_CHAIN, "menu"),
                (PRINT_CHAIN, "close box")]
        for page, way in rows:
            with self.subTest(page=page[:40], way=way):
                corvane, window = self.start_at("/trap", page.encode(), focus=False)
                with corvane:
                    corvane.focus(corvane.window_titled(BOX, 15))
                    if way.endswith("ctrl+e"):
                        corvane.keys(*way.split())
                    elif way == "menu":
                        corvane.open_menu_item(window, FILE_MENU_X, EXIT_ITEM)
                    else:
                        corvane.press(window, "alt+F4")
                    self.assertEqual(corvane.wait_exit(), 0)

    def test_from_its_second_box_a_page_can_be_stopped_from_asking_until_another_page(self):
        # The first box has no such offer: Alt+S there does nothing.
        rows = [(ALERT_CHAIN, "Return", "/answered"), (LOCATION_LOOP, "Escape", "/refused"),
                (PRINT_LOOP, "Escape", "/asked")]
        self.page("/other", "<script>alert('other page')</script>")
        for page, answer, answered in rows:
            with self.subTest(page=page[:40]):
                corvane, window = self.start_at("/asking", page.encode(), focus=False)
                with corvane:
                    for _ in range(2):
                        box = corvane.window_titled(BOX, 15)
                        corvane.press(box, "alt+s", answer)
                        wait_until(lambda: box.encode() not in corvane.windows(BOX), 10,
                                   "the box to close")
                    # The page runs on, its boxes answered unseen.
                    before = len(self.server.asked(answered))
                    wait_until(lambda: len(self.server.asked(answered)) >= before + 3, 10,
                               "the page's further answers")
                    self.assertEqual(corvane.windows(BOX), [])
                    self.visit(corvane, window, "/other")
                    corvane.window_titled(BOX, 15)

    def test_a_page_printing_again_and_again_opens_one_dialog_and_silent_stops_it(self):
        corvane, window = self.start_at("/printing", PRINT_LOOP.encode(), focus=False)
        dialog = corvane.window_titled(BOX, 15)

        def asking_on():
            asked = self.server.count("/asked")
            wait_until(lambda: self.server.count("/asked") >= asked + 3, 10, "the page asking on")

        corvane.press(window, "ctrl+p")  # the user's own dialog is one at a time too
        asking_on()
        self.assertEqual(corvane.windows(BOX), [dialog.encode()])
        corvane.open_menu_item(window, OPTIONS_MENU_X, SILENT_ITEM)
        corvane.press(dialog, "Escape")
        asking_on()
        self.assertEqual(corvane.windows(BOX), [])

    def test_exit_signals_end_like_exit_keeping_what_pages_stored(self):
        self.page("/store", STORE)
        self.page("/check", CHECK)
        for number, to_group in [(signal.SIGTERM, False), (signal.SIGINT, True),
                                 (signal.SIGHUP, True)]:
            with self.subTest(signal=number.name):
                corvane, window = self.start_at(f"/store?{number.name}")
                with corvane:
                    wait_until(lambda: self.server.count("/stored"), 10, "the values stored")
                    self.server.requests.clear()
                    time.sleep(3)
                    # Ctrl+C and a closed terminal reach the whole process group.
                    (os.killpg if to_group else os.kill)(corvane.process.pid, number)
                    self.assertEqual(corvane.wait_exit(), 0)
                corvane, window = self.start_at("/check")
                with corvane:
                    seen = wait_until(lambda: self.server.asked("/seen"), 10, "the check")[0]
                    self.assertEqual(seen, f"/seen?kept={number.name}&storage={number.name}")

    def test_sigterm_with_the_save_dialog_open_leaves_no_partial_download(self):
        serve_big_download(self.server)
        # One download being saved keeps the engine's download queue busy.
        self.page("/two", """<script>const get = n => Object.assign(document.createElement('a'),
            {href: '/big.bin?' + n, download: n + '.bin'}).click();
            get(1); setTimeout(() => get(2), 1500)</script>""")
        folders = [DATA_HOME, os.path.expanduser("~/Downloads"), self.directory]
        for home, saving_one in [("/big.bin", False), ("/two", True)]:
            with self.subTest(saving_one=saving_one):
                corvane, _ = self.start_at(home, focus=False)
                dialog = corvane.window_titled("^Save download as", 20)
                if saving_one:
                    corvane.press(dialog, "Return")
                    wait_until(lambda: set(corvane.windows("^Save download as")) - {dialog.encode()},
                               20, "the second save dialog")
                time.sleep(2)  # the engine downloads while the user chooses
                corvane.process.send_signal(signal.SIGTERM)
                self.assertEqual(corvane.wait_exit(), 0)
                big = [os.path.join(d, f) for folder in folders for d, _, files in os.walk(folder)
                       for f in files if os.path.getsize(os.path.join(d, f)) > 10 << 20]
                self.assertEqual(big, [])

    def test_a_second_instance_is_refused_and_a_crashed_one_leaves_no_lock(self):
        first, window = self.start_at("/home")
        elsewhere = tempfile.mkdtemp(prefix="corvane-second-")
        self.addCleanup(shutil.rmtree, elsewhere, True)
        self.assert_refused(self.start(elsewhere),
                            "corvane: Corvane is already running; close it first\n")
        self.assertIsNone(first.process.poll())
        self.assertEqual(first.windows("^Corvane$"), [window.encode()])

        first.process.kill()
        first.wait_exit()
        third, window = self.start_at("/home")
        self.assertEqual(third.exit_with_ctrl_e(window), 0)

    def test_whatever_a_crash_left_for_the_lock_is_taken_over_and_a_full_folder_is_named(self):
        lock = os.path.join(DATA_HOME, "corvane", "profile", "corvane.lock")
        rows = [("empty", lambda: self.write(lock, b"")),
                ("garbage", lambda: self.write(lock, b"\x00\xffno lock\n")),
                ("a dead process's", lambda: self.write(lock, b"999999\ncorvane\n\n")),
                ("dangling link", lambda: os.symlink(self.path("gone"), lock)),
                ("pipe", lambda: os.mkfifo(lock)), ("empty folder", lambda: os.mkdir(lock))]
        for left, make in rows:
            with self.subTest(left=left):
                os.makedirs(os.path.dirname(lock), exist_ok=True)
                make()
                self.server.requests.clear()
                corvane, window = self.start_at("/home")
                with corvane:
                    self.assertEqual(corvane.exit_with_ctrl_e(window), 0)
                    self.assertFalse(os.path.lexists(lock))

        os.makedirs(os.path.join(lock, "notes"))
        self.assert_refused(self.start(),
                            f"corvane: {lock} is a folder, where Corvane keeps its lock file")
        self.assertTrue(os.path.isdir(os.path.join(lock, "notes")))

    def test_stop_ends_a_page_that_never_yields_so_its_site_can_be_left(self):
        self.page("/next", "<script>fetch('/next-shown')</script>")
        for page, silent in [("<script>for (;;) {}</script>", False), (ALERT_LOOP, True)]:
            with self.subTest(page=page, silent=silent):
                self.page("/loop", page)
                self.server.requests.clear()
                corvane, window = self.start_at("/home")
                with corvane:
                    if silent:
                        corvane.open_menu_item(window, OPTIONS_MENU_X, SILENT_ITEM)
                    self.visit(corvane, window, "/loop")
                    time.sleep(1)
                    self.visit(corvane, window, "/next")
                    corvane.keys("ctrl+s")
                    time.sleep(5)
                    corvane.go_to(window, self.server.url("/next"))
                    wait_until(lambda: self.server.count("/next-shown"), 15, "the next page shown")

    def test_without_a_display_one_line_and_status_one(self):
        # Each row: the display variables set, and how the line names the displays.
        rows = [({}, "DISPLAY not set"), ({"DISPLAY": ":4093"}, 'DISPLAY ":4093"'),
                ({"WAYLAND_DISPLAY": "wayland-4093", "DISPLAY": ":4093"},
                 'WAYLAND_DISPLAY "wayland-4093", DISPLAY ":4093"')]
        for extra, named in rows:
            with self.subTest(display=extra):
                env = {k: v for k, v in os.environ.items() if k not in (
                    "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE")}
                run = subprocess.run(
                    [CORVANE], cwd=self.directory, env={**env, **extra}, capture_output=True,
                    timeout=30, text=True,
                    preexec_fn=lambda: resource.setrlimit(resource.RLIMIT_CORE, (-1, -1)))
                lines = [line for line in run.stderr.splitlines() if "sandbox" not in line]
                self.assertEqual(run.returncode, 1)
                self.assertEqual(len(lines), 1, run.stderr)
                self.assertEqual(lines[0], f"corvane: cannot open the display ({named})")
                self.assertEqual([f for f in os.listdir(self.directory) if "core" in f], [])

    def test_an_unwritable_home_is_said_once_and_the_program_runs_on(self):
        self.write("blocked", b"a file where the home folder would be")
        blocked = self.path("blocked")
        env = {"HOME": blocked + "/home", "XDG_DATA_HOME": blocked + "/data",
               "XDG_CACHE_HOME": blocked + "/cache", "XDG_CONFIG_HOME": blocked + "/config"}
        self.set_home("/home")
        corvane = self.start(env=env)
        said = "cookies and sign-ins will not be kept"
        wait_until(lambda: said in corvane.error_output(), 20, "the warning")
        corvane.press_in("^Corvane$", "Return", timeout=20)
        wait_until(lambda: self.server.count("/home"), 20, "the home page")
        self.assertEqual(corvane.exit_with_ctrl_e(corvane.main_window()), 0)
        self.assertEqual(corvane.error_output().count(said), 1)

    def test_set_home_in_a_deleted_directory_says_so(self):
        corvane, window = self.start_at("/home")
        shutil.rmtree(self.directory)
        corvane.press(window, "ctrl+n")
        corvane.focus(corvane.window_titled("^Home Address"))
        corvane.type("http://127.0.0.1:9/new")
        corvane.keys("Return")
        wait_until(lambda: "home.ad: the current directory has been deleted"
                   in corvane.error_output(), 10, "the report")
        os.mkdir(self.directory)  # for the clean-up

    def test_stale_temporaries_of_ours_are_removed_at_start_up(self):
        ours = ["home.ad.AbCdEf", "max.dat.XyZabc"]
        others = ["home.ad.AbC123", "home.ad.keep", "home.ad.AbCdEfG", "max.dat.Xyz-bc"]
        for name in ours + others:
            self.write(name, b"http://127.0.0.1:9/half\r\n")
        corvane, window = self.start_at("/home")
        self.assertEqual(sorted(f for f in os.listdir(self.directory) if f.count(".") > 1),
                         sorted(others))
        self.assertEqual(self.read("home.ad"), self.server.url("/home").encode() + b"\r\n")


if __name__ == "__main__":
    unittest.main()
