"""Drives the real program like a user, on its own private desktop, with a
loopback web server whose request log tells what the browser fetched."""

import os
import re
import shutil
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from desktop import (ITEM, ITEM_PATH, ClosedOnExit, Desktop, LoopbackServer,  # noqa: E402,F401
                     Route, descendants_and_self, end_tree, html_page, stat_fields, wait_until)

CORVANE = os.environ.get("CORVANE_BINARY", "")
DEFAULT_HOME = b"https://duckduckgo.com/\r\n"
# Qt lays out in device-independent pixels of 1/96 inch, whatever the screen.
TWIPS_PER_PIXEL = 1440 / 96
# Where the menus are on the menu bar, and the place of their items.
FILE_MENU_X, OPTIONS_MENU_X = 20, 135
OPEN_FILE_ITEM, HIDE_ITEM, EXIT_ITEM = 2, 4, 5
START_MAX_ITEM, SILENT_ITEM = 2, 3
# Tells the server the page's viewport at every change, timed since reports may overtake each
# other; polled too, since Chromium of Qt 6.8 sends no resize event before the first frame.
REPORTS_VIEWPORT = """<script>
  let last = '';
  const report = () => {
    last = innerWidth + 'x' + innerHeight;
    fetch('/viewport?' + (performance.timeOrigin + performance.now()) + '&' + last);
  };
  onresize = report; report();
  setInterval(() => innerWidth + 'x' + innerHeight != last && report(), 50);
</script>"""


class Corvane(ClosedOnExit):
    def __init__(self, desktop, directory, env=None):
        self.desktop = desktop
        self.stderr = tempfile.TemporaryFile()
        self.process = desktop.start(CORVANE, cwd=directory, stderr=self.stderr,
                                     env={**desktop.env, **(env or {})})

    def windows(self, name):
        return self.desktop.run("xdotool", "search", "--all", "--onlyvisible", "--pid",
                                str(self.process.pid), "--name", name).split()

    def window_titled(self, name, timeout=10):
        return wait_until(lambda: self.windows(name), timeout, f"a window titled {name}")[0].decode()

    def main_window(self, timeout=30):
        return self.window_titled("^Corvane$", timeout)

    def press_in(self, name, *keys, timeout=10):
        self.press(self.window_titled(name, timeout), *keys)

    def press(self, window, *keys):
        self.focus(window)
        self.keys(*keys)

    def focus(self, window):
        self.desktop.run("xdotool", "windowactivate", "--sync", window)
        self.desktop.run("xdotool", "windowfocus", "--sync", window)

    def click_address_box(self, window):
        """Clicks into the address box, just below the menu bar, and selects its text."""
        self.click(window, 60, 34)
        self.keys("ctrl+a")

    def go_to(self, window, url):
        self.focus(window)
        self.click_address_box(window)
        self.type(url)
        self.keys("Return")

    def open_menu_item(self, window, menu_x, presses):
        """Opens the menu at menu_x on the menu bar and picks its item number presses."""
        self.focus(window)
        self.click(window, menu_x, 10)
        time.sleep(0.3)
        self.keys(*(["Down"] * presses), "Return")

    def click(self, window, x, y, button=1):
        self.desktop.run("xdotool", "mousemove", "--window", window, str(x), str(y),
                         "click", str(button))

    def tray_icons(self):
        """The program's visible docked tray icons: its windows with no name, but
        for those inside its main window, such as the status bar's own."""
        main = {int(window) for window in self.windows("^Corvane$")}
        return [window for window in self.windows("^$") if self.parent_of(window) not in main]

    def parent_of(self, window):
        """The window's parent; None once the window is gone."""
        tree = self.desktop.run("xwininfo", "-tree", "-id", window).decode()
        found = re.search(r"Parent window id: (0x[0-9a-f]+)", tree)
        return int(found[1], 16) if found else None

    def hide_to_tray(self, window):
        """Hides the window with File, Hide; returns a double click on its tray icon."""
        self.open_menu_item(window, FILE_MENU_X, HIDE_ITEM)
        icon = wait_until(self.tray_icons, 10, "the tray icon")[0].decode()
        return lambda: self.desktop.run("xdotool", "mousemove", "--window", icon, "8", "8",
                                        "click", "--repeat", "2", "--delay", "80", "1")

    def keys(self, *keys):
        self.desktop.run("xdotool", "key", "--delay", "80", *keys)

    def type(self, text):
        self.desktop.run("xdotool", "type", "--delay", "40", text)

    def client_rect(self, window):
        """The window's client area on the screen in device pixels: x, y, width, height."""
        info = self.desktop.run("xwininfo", "-id", window).decode()
        return tuple(int(re.search(rf"{field}:\s+(-?\d+)", info)[1]) for field in
                     ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))

    def net_frame_extents(self, window):
        """The frame the window manager tells: left, right, top, bottom."""
        told = self.desktop.run("xprop", "-id", window, "_NET_FRAME_EXTENTS").decode()
        return [int(size) for size in re.findall(r"\d+", told.partition("=")[2])]

    def outer_size(self, window):
        left, right, top, bottom = self.net_frame_extents(window)
        width, height = self.client_rect(window)[2:]
        return width + left + right, height + top + bottom

    def extents(self, role, name=None):
        """The screen extents of the first accessible object of role (and name), or None."""
        found = self.desktop.accessibles("corvane")
        return next((place for found_role, found_name, place in found
                     if found_role == role and name in (None, found_name)), None)

    def select_box(self):
        """The page's select: a combo box for Qt 6.4's engine, a placed popup menu for 6.8's."""
        found = self.desktop.accessibles("corvane")
        return next((place for role, _, place in found if role == "combo box"
                     or (role == "popup menu" and place and place[2] > 0)), None)

    def net_wm_state(self, window):
        return self.desktop.run("xprop", "-id", window, "_NET_WM_STATE").decode()

    def renderers(self):
        """The pids of the page renderers, which the engine's zygotes fork."""
        def zygote(pid):
            try:
                with open(f"/proc/{pid}/cmdline", "rb") as f:
                    return b"--type=zygote" in f.read()
            except OSError:
                return False
        return [pid for pid in descendants_and_self(self.process.pid)
                if zygote(pid) and zygote(int(stat_fields(pid)[1]))]

    def wait_exit(self, timeout=20):
        return self.process.wait(timeout)

    def exit_with_ctrl_e(self, window):
        self.press(window, "ctrl+e")
        return self.wait_exit()

    def error_output(self):
        self.stderr.seek(0)
        return self.stderr.read().decode(errors="replace")

    def close(self):
        if not self.stderr.closed:  # once: by a second time its pid may be another's
            end_tree(self.process)
            self.stderr.close()


class E2ETestCase(unittest.TestCase):
    """Each test gets its own desktop, working directory and server."""

    desktop_type = Desktop
    screen = "1280x800x24"

    def setUp(self):
        self.assertTrue(os.path.isfile(CORVANE), "CORVANE_BINARY must name the built program")
        self.directory = tempfile.mkdtemp(prefix="corvane-e2e-")
        self.addCleanup(shutil.rmtree, self.directory, True)
        self.server = LoopbackServer()
        self.server.page("/home", "Home")  # where start_at() starts unless told
        self.addCleanup(self.server.close)
        self.desktop = self.desktop_type(self.screen)
        self.addCleanup(self.desktop.close)

    def viewport(self):
        """The page's viewport (width, height) that REPORTS_VIEWPORT last told, or None."""
        latest = max((path.split("?")[1].split("&") for path in self.server.asked("/viewport?")),
                     key=lambda report: float(report[0]), default=None)
        return latest and tuple(map(int, latest[1].split("x")))

    def settled_viewport(self):
        return settled(self.viewport, "the page's viewport")

    def path(self, name):
        return os.path.join(self.directory, name)

    def set_home(self, path):
        self.write("home.ad", self.server.url(path).encode() + b"\r\n")

    def visit(self, corvane, window, path):
        """Goes to the server's path from the address box, once the server is asked for it."""
        asked = self.server.count(path)
        corvane.go_to(window, self.server.url(path))
        wait_until(lambda: self.server.count(path) > asked, 10, f"a request for {path}")

    def write(self, name, data):
        with open(self.path(name), "wb") as f:
            f.write(data)

    def read(self, name):
        with open(self.path(name), "rb") as f:
            return f.read()

    def start(self, directory=None, env=None):
        corvane = Corvane(self.desktop, directory or self.directory, env)
        self.addCleanup(corvane.close)
        return corvane

    def start_at(self, path="/home", body=None, env=None, accessible=False, focus=True):
        """(corvane, window) started at path in home.ad, a server path or a working file, where
        body is served (or written) if given, once the window is up (focused unless told not)
        and path asked for; with accessible, once the page is on the accessibility bus."""
        if path.startswith("/"):
            if body is not None:
                self.server.routes[path] = Route(body)
            self.set_home(path)
        else:
            if body is not None:
                self.write(path, body)
            self.write("home.ad", path.encode() + b"\r\n")
        if accessible:
            self.desktop.start_accessibility()
        corvane = self.start(env=env)
        window = self.wait_for_window(corvane, focus)
        if path.startswith("/"):
            wait_until(lambda: self.server.count(path), 30, f"the home page, {path}")
        if accessible:
            wait_until(lambda: corvane.extents("web document"), 30, "the page on the accessibility bus")
        return corvane, window

    def assert_refused(self, corvane, said, timeout=20):
        """Answers the program's error box, which it must back with said and status 1."""
        corvane.press_in("^Corvane$", "Return", timeout=timeout)
        self.assertIn(said, corvane.error_output())
        self.assertEqual(corvane.wait_exit(), 1)

    def wait_for_window(self, corvane, focus=True):
        window = corvane.main_window()
        if focus:
            corvane.focus(window)
        return window


def settled(read, what, hold=1, timeout=10):
    """read()'s value once it has held for hold seconds, within timeout seconds."""
    last = [None, 0]

    def held():
        value = read()
        if value != last[0]:
            last[:] = [value, time.monotonic()]
        return value if value and time.monotonic() - last[1] > hold else None
    return wait_until(held, timeout, f"{what} to settle")
