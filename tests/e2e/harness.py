"""Drives the real program like a user: its own X display with a window
manager, keys and clicks through xdotool, and a loopback web server whose
request log tells what the browser fetched. Every wait is bounded and every
process started here is ended by pid."""

import http.server
import os
import shutil
import signal
import subprocess
import tempfile
import threading
import time
import unittest

CORVANE = os.environ.get("CORVANE_BINARY", "")
DEFAULT_HOME = b"https://duckduckgo.com/\r\n"


def wait_until(predicate, timeout, what):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(0.05)
    raise AssertionError(f"timed out after {timeout} s waiting for {what}")


class LoopbackServer:
    """An HTTP server on 127.0.0.1 that logs each request's path. Routes map a
    path to (body, delay in seconds)."""

    def __init__(self):
        self.requests = []
        self.aborted = []
        self.routes = {}
        server = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                server.requests.append(self.path)
                body, delay = server.routes.get(self.path, (None, 0))
                if body is not None and delay:
                    self.trickle(body, delay)
                    return
                if body is None:
                    self.send_error(404)
                    return
                self.send_response(200)
                self.send_header("Content-Type", "text/html; charset=utf-8")
                self.send_header("Cache-Control", "no-store")
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)

            def trickle(self, body, seconds):
                """Holds the response open for the given time, a byte at a time, so
                that a browser that stops the load is seen closing the connection."""
                self.send_response(200)
                self.send_header("Content-Type", "text/html; charset=utf-8")
                self.send_header("Cache-Control", "no-store")
                self.end_headers()
                deadline = time.monotonic() + seconds
                try:
                    while time.monotonic() < deadline:
                        self.wfile.write(b" ")
                        self.wfile.flush()
                        time.sleep(0.05)
                    self.wfile.write(body)
                except (BrokenPipeError, ConnectionResetError):
                    server.aborted.append(self.path)

            def log_message(self, *args):
                pass

        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.httpd.daemon_threads = True
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)
        self.thread.start()

    def url(self, path):
        return f"http://127.0.0.1:{self.httpd.server_address[1]}{path}"

    def page(self, path, title, delay=0, colour="#ffffff"):
        body = (f"<html><head><title>{title}</title></head>"
                f"<body style='background:{colour}'><h1>{title}</h1></body></html>")
        self.routes[path] = (body.encode(), delay)

    def count(self, path):
        return self.requests.count(path)

    def close(self):
        self.httpd.shutdown()
        self.httpd.server_close()


class Display:
    """A private Xvfb display with openbox managing it."""

    def __init__(self):
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x800x24", "-nolisten", "tcp"],
            pass_fds=[write_end], stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        with os.fdopen(read_end, "rb") as pipe:
            number = pipe.readline().strip()
        if not number:
            self.xvfb.kill()
            raise AssertionError("Xvfb did not start")
        self.name = ":" + number.decode()
        self.env = dict(os.environ, DISPLAY=self.name)
        self.env.pop("QT_QPA_PLATFORM", None)
        self.extra = []
        self.wm = subprocess.Popen(["openbox", "--sm-disable"], env=self.env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_until(lambda: b"_NET_SUPPORTING_WM_CHECK(WINDOW)" in self.run("xprop", "-root"),
                   10, "the window manager")

    def start_tray_host(self):
        """A notification area for tray icons, docked at the top right."""
        tray = subprocess.Popen(["trayer", "--edge", "top", "--align", "right", "--widthtype",
                                 "request", "--height", "32", "--SetDockType", "true"],
                                env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.extra.append(tray)
        wait_until(lambda: b"window id" in self.run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK")
                   and self.run("xdotool", "search", "--class", "trayer"), 10, "the tray host")

    def run(self, *command, timeout=20):
        return subprocess.run(command, env=self.env, capture_output=True, timeout=timeout).stdout

    def close(self):
        for process in (*self.extra, self.wm, self.xvfb):
            process.terminate()
            try:
                process.wait(5)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()


class Corvane:
    """The program started in a working directory on a display."""

    def __init__(self, display, directory):
        self.display = display
        self.stderr = tempfile.TemporaryFile()
        self.process = subprocess.Popen([CORVANE], cwd=directory, env=display.env,
                                        stdout=subprocess.DEVNULL, stderr=self.stderr)

    def windows(self, name):
        out = self.display.run("xdotool", "search", "--all", "--onlyvisible", "--pid",
                               str(self.process.pid), "--name", name)
        return out.split()

    def main_window(self, timeout=30):
        return wait_until(lambda: self.windows("^Corvane$"), timeout, "the Corvane window")[0].decode()

    def focus(self, window):
        self.display.run("xdotool", "windowactivate", "--sync", window)
        self.display.run("xdotool", "windowfocus", "--sync", window)

    def click_address_box(self, window):
        """Clicks into the address box, just below the menu bar, and selects its text."""
        self.display.run("xdotool", "mousemove", "--window", window, "60", "34", "click", "1")
        self.keys("ctrl+a")

    def open_menu_item(self, window, menu_x, presses):
        """Opens the menu at menu_x on the menu bar and picks its item number presses."""
        self.display.run("xdotool", "mousemove", "--window", window, str(menu_x), "10", "click", "1")
        time.sleep(0.3)
        self.keys(*(["Down"] * presses), "Return")

    def tray_icons(self):
        """The program's docked tray icon windows, visible ones only."""
        return self.display.run("xdotool", "search", "--all", "--onlyvisible", "--pid",
                                str(self.process.pid), "--name", "^$").split()

    def keys(self, *keys):
        self.display.run("xdotool", "key", "--delay", "80", *keys)

    def type(self, text):
        self.display.run("xdotool", "type", "--delay", "40", text)

    def net_wm_state(self, window):
        return self.display.run("xprop", "-id", window, "_NET_WM_STATE").decode()

    def wait_exit(self, timeout=20):
        return self.process.wait(timeout)

    def error_output(self):
        self.stderr.seek(0)
        return self.stderr.read().decode(errors="replace")

    def close(self):
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.stderr.close()


class E2ETestCase(unittest.TestCase):
    """Each test gets its own display, working directory and server."""

    def setUp(self):
        self.assertTrue(os.path.isfile(CORVANE), "CORVANE_BINARY must name the built program")
        self.directory = tempfile.mkdtemp(prefix="corvane-e2e-")
        self.addCleanup(shutil.rmtree, self.directory, True)
        self.server = LoopbackServer()
        self.addCleanup(self.server.close)
        self.display = Display()
        self.addCleanup(self.display.close)

    def path(self, name):
        return os.path.join(self.directory, name)

    def write(self, name, data):
        with open(self.path(name), "wb") as f:
            f.write(data)

    def read(self, name):
        with open(self.path(name), "rb") as f:
            return f.read()

    def start(self):
        corvane = Corvane(self.display, self.directory)
        self.addCleanup(corvane.close)
        return corvane
