"""A private desktop for the end-to-end tests, tests/with-x-display and the
benchmark: an X display (Xvfb, managed by openbox, with an optional tray host),
a loopback web server with its request log, ending a process tree by pid, and a
bounded wait. Every wait here is bounded and every process is ended by pid.

A part a desktop may or may not need is a start_* method of Desktop that starts
its processes with start() and adds what clients need to env, so that close()
ends it with the rest."""

import collections
import http.server
import os
import select
import signal
import subprocess
import sys
import threading
import time
import urllib.parse


def wait_until(predicate, timeout, what):
    """predicate's first true value, asked every 50 ms for at most timeout seconds."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(0.05)
    raise AssertionError(f"timed out after {timeout} s waiting for {what}")


def stat_fields(pid):
    """The fields of /proc/PID/stat after the command name (field 3 onward),
    or None when the process is gone or a zombie."""
    try:
        with open(f"/proc/{pid}/stat", "rb") as f:
            text = f.read()
    except OSError:
        return None
    # The command name is in parentheses and may hold anything, ')' included.
    fields = text[text.rindex(b")") + 2:].split()
    return None if fields[0] == b"Z" else fields


def descendants_and_self(root):
    children = {}
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            fields = stat_fields(entry)
            if fields:
                children.setdefault(int(fields[1]), []).append(int(entry))
    tree, queue = [], [root]
    while queue:
        pid = queue.pop()
        tree.append(pid)
        queue.extend(children.get(pid, []))
    return tree


def _start_time(pid):
    fields = stat_fields(pid)
    return fields[19] if fields else None


def end_tree(process, grace=5.0):
    """Ends a process (a subprocess.Popen) and everything under it: the tree is
    read first, since descendants lose their parent once it dies. SIGTERM to
    its group, when it leads one, and to each pid, then SIGKILL to whatever
    outlives the grace period (checking start times, so that no reused pid is
    hit)."""
    started = {pid: _start_time(pid) for pid in descendants_and_self(process.pid)}

    def living():
        return [pid for pid, start in started.items() if start and _start_time(pid) == start]

    def signal_all(sig, pids):
        if process.poll() is None:  # until reaped, its pid is still its group's
            try:
                os.killpg(process.pid, sig)
            except ProcessLookupError:
                pass
        for pid in pids:
            try:
                os.kill(pid, sig)
            except ProcessLookupError:
                pass

    def wait_for_all(timeout):
        deadline = time.monotonic() + timeout
        while living() and time.monotonic() < deadline:
            process.poll()
            time.sleep(0.02)

    signal_all(signal.SIGTERM, living())
    wait_for_all(grace)
    if living():
        signal_all(signal.SIGKILL, living())
        wait_for_all(grace)  # a killed process still takes a moment to go
    process.wait()


class Desktop:
    """A private Xvfb display of 1280x800x24 with openbox managing its windows,
    so that window states and frames are real. env is the environment its
    clients run in."""

    def __init__(self):
        self.processes = []
        try:
            self.env = dict(os.environ, DISPLAY=self._start_xvfb(), QT_QPA_PLATFORM="xcb")
            self.start("openbox", "--sm-disable")
            wait_until(lambda: b"window id" in self.run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK"),
                       10, "the window manager")
        except BaseException:
            self.close()
            raise

    def _start_xvfb(self):
        read_end, write_end = os.pipe()
        self.processes.append(subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x800x24", "-nolisten", "tcp"],
            pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            start_new_session=True))
        os.close(write_end)
        with os.fdopen(read_end, "rb") as pipe:
            number = pipe.readline().strip() if select.select([pipe], [], [], 10)[0] else b""
        if not number:
            raise AssertionError("Xvfb did not start")
        return ":" + number.decode()

    def start(self, *argv, **options):
        """Starts a program on this desktop, in its own session and quiet unless
        options say otherwise; close() ends it."""
        process = subprocess.Popen(argv, **{"env": self.env, "stdout": subprocess.DEVNULL,
                                            "stderr": subprocess.DEVNULL,
                                            "start_new_session": True, **options})
        self.processes.append(process)
        return process

    def start_tray_host(self):
        """An XEmbed notification area for tray icons, docked at the top right."""
        self.start("trayer", "--edge", "top", "--align", "right", "--widthtype", "request",
                   "--height", "32", "--SetDockType", "true")
        wait_until(lambda: self.run("xdotool", "search", "--class", "trayer"), 10, "the tray host")

    def run(self, *command, timeout=20):
        """What a short command run on this desktop printed."""
        return subprocess.run(command, env=self.env, capture_output=True, timeout=timeout).stdout

    def close(self):
        for process in reversed(self.processes):
            end_tree(process)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()


# What a path serves: its bytes, their type, and for how many seconds the reply
# is trickled out before them.
Route = collections.namedtuple("Route", "body content_type trickle_seconds",
                               defaults=("text/html; charset=utf-8", 0))


class LoopbackServer:
    """An HTTP/1.1 server on 127.0.0.1, on a port of its own, that logs each
    request's path (query included) and answers GET from routes, keyed by path
    without the query. A subclass answers more by overriding answer()."""

    def __init__(self):
        self.requests = []
        self.aborted = []  # paths whose reply the client broke off
        self.routes = {}
        server = self

        class Handler(http.server.BaseHTTPRequestHandler):
            # Keep-alive, as a real server would give a page's many requests.
            protocol_version = "HTTP/1.1"

            def do_GET(self):
                server.requests.append(self.path)
                url = urllib.parse.urlsplit(self.path)
                server.answer(self, url.path, urllib.parse.parse_qs(url.query))

            def reply(self, status, content_type, body):
                self.send_response(status)
                self.send_header("Content-Type", content_type)
                self.send_header("Cache-Control", "no-store")
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)

            def trickle(self, route):
                """Holds the reply open, a byte at a time, so that a browser that
                stops the load is seen closing the connection."""
                self.send_response(200)
                self.send_header("Content-Type", route.content_type)
                self.send_header("Cache-Control", "no-store")
                self.send_header("Connection", "close")  # the body ends where the connection does
                self.end_headers()
                deadline = time.monotonic() + route.trickle_seconds
                try:
                    while time.monotonic() < deadline:
                        self.wfile.write(b" ")
                        self.wfile.flush()
                        time.sleep(0.05)
                    self.wfile.write(route.body)
                except ConnectionError:
                    server.aborted.append(self.path)

            def log_message(self, *args):
                pass

        class QuietServer(http.server.ThreadingHTTPServer):
            daemon_threads = True

            def handle_error(self, request, client_address):
                # A program ended in the middle of a request is how every run ends.
                if not isinstance(sys.exc_info()[1], ConnectionError):
                    super().handle_error(request, client_address)

        self.httpd = QuietServer(("127.0.0.1", 0), Handler)
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    def answer(self, request, path, query):
        route = self.routes.get(path)
        if route is None:
            request.reply(404, "text/plain", b"not found")
        elif route.trickle_seconds:
            request.trickle(route)
        else:
            request.reply(200, route.content_type, route.body)

    def url(self, path):
        return f"http://127.0.0.1:{self.httpd.server_address[1]}{path}"

    def page(self, path, title, trickle_seconds=0, colour="#ffffff", content=""):
        """Serves at path an HTML page with this title, its background in colour,
        and content (markup and script) below its heading."""
        body = (f"<html><head><title>{title}</title></head>"
                f"<body style='background:{colour}'><h1>{title}</h1>{content}</body></html>")
        self.routes[path] = Route(body.encode(), trickle_seconds=trickle_seconds)

    def count(self, path):
        return self.requests.count(path)

    def close(self):
        self.httpd.shutdown()
        self.httpd.server_close()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
