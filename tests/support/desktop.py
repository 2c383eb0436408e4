"""A private desktop (X under openbox, or a headless sway or weston) for the end-to-end
tests, tests/with-x-display and the benchmark, a loopback web server, ending a process tree
by pid and a bounded wait. Run as a program, a tray host's StatusNotifierWatcher
(status-notifier-watcher), a desktop's settings portal (settings-portal SCHEME) or a
Wayland seat's pointer and keyboard (virtual-input)."""

import base64
import collections
import contextlib
import glob
import hashlib
import http.server
import json
import os
import pwd
import select
import shutil
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse

# The tray host protocol's names, which Qt looks for on the session bus.
WATCHER = "org.kde.StatusNotifierWatcher"
WATCHER_PATH = "/StatusNotifierWatcher"
ITEM = "org.kde.StatusNotifierItem"
ITEM_PATH = "/StatusNotifierItem"


# A tenth of a second as a rule, but seconds on a machine busy with builds.
SERVER_START_LIMIT = 30


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
    """/proc/PID/stat from field 3 on; None for a process gone or a zombie."""
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
    """Ends a subprocess.Popen and its tree, read first since descendants lose their parent:
    SIGTERM, SIGKILL after grace, start times checked so that no reused pid is hit."""
    started = {pid: _start_time(pid) for pid in descendants_and_self(process.pid)}

    def living():
        return [pid for pid, start in started.items() if start and _start_time(pid) == start]

    def signal_all(sig):
        group = [-process.pid] if process.poll() is None else []  # until reaped, it leads its group
        for pid in group + living():
            with contextlib.suppress(ProcessLookupError):
                os.kill(pid, sig)

    def wait_for_all(timeout):
        deadline = time.monotonic() + timeout
        while living() and time.monotonic() < deadline:
            process.poll()
            time.sleep(0.02)

    signal_all(signal.SIGTERM)
    wait_for_all(grace)
    if living():
        signal_all(signal.SIGKILL)
        wait_for_all(grace)  # a killed process still takes a moment to go
    process.wait()


def _gio():
    """GLib's D-Bus (python3-gi), loaded only by the tests that use a bus."""
    import warnings
    with warnings.catch_warnings():
        warnings.simplefilter("ignore", ImportWarning)  # gi's importer predates Python 3.11's
        import gi
        gi.require_version("Gio", "2.0")
        from gi.repository import Gio
    return Gio


def _variant(signature, value):
    from gi.repository import GLib
    return GLib.Variant(signature, value)


def _connect(address):
    Gio = _gio()
    return Gio.DBusConnection.new_for_address_sync(
        address, Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT
        | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION, None, None)


class ClosedOnExit:
    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()


class Desktop(ClosedOnExit):
    """A private Xvfb display managed by openbox, so that window states and frames are real.
    env, its clients' environment, names nothing outside, so that nothing reaches the tray or
    accessibility of the session the tests were started from."""

    outside = ("DBUS_SESSION_BUS_ADDRESS", "AT_SPI_BUS_ADDRESS")

    def __init__(self, screen="1280x800x24"):
        self.processes = []
        self._bus = None
        self.env = {name: value for name, value in os.environ.items() if name not in self.outside}
        try:
            self._start_display(screen)
        except BaseException:
            self.close()
            raise

    def _start_display(self, screen):
        display = self._start_announcing("Xvfb", lambda fd: [
            "Xvfb", "-displayfd", fd, "-screen", "0", screen, "-nolisten", "tcp"])
        self.env.update(DISPLAY=":" + display, QT_QPA_PLATFORM="xcb")
        self.window_manager = self.start("openbox", "--sm-disable")
        wait_until(lambda: b"window id" in self.run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK"),
                   SERVER_START_LIMIT, "the window manager")

    def _start_announcing(self, what, argv_for):
        """The line a server writes to the descriptor argv_for(descriptor) names."""
        read_end, write_end = os.pipe()
        self.start(*argv_for(str(write_end)), pass_fds=[write_end])
        os.close(write_end)
        with os.fdopen(read_end, "rb") as pipe:
            line = pipe.readline().strip() if select.select([pipe], [], [], SERVER_START_LIMIT)[0] else b""
        if not line:
            raise AssertionError(f"{what} did not start")
        return line.decode()

    def start(self, *argv, **options):
        """Starts a program on this desktop, in its own session and quiet unless told."""
        process = subprocess.Popen(argv, **{"env": self.env, "stdout": subprocess.DEVNULL,
                                            "stderr": subprocess.DEVNULL,
                                            "start_new_session": True, **options})
        self.processes.append(process)
        return process

    def start_tray_host(self):
        """An XEmbed notification area for tray icons, docked at the top right."""
        self.start("trayer", "--edge", "top", "--align", "right", "--widthtype", "request",
                   "--height", "32", "--SetDockType", "true")
        wait_until(lambda: self.run("xdotool", "search", "--class", "trayer"), SERVER_START_LIMIT,
                   "the tray host")

    def start_session_bus(self):
        """The clients' only session bus, started for whatever part needs it first."""
        if "DBUS_SESSION_BUS_ADDRESS" not in self.env:
            self.env["DBUS_SESSION_BUS_ADDRESS"] = self._start_announcing(
                "the session bus",
                lambda fd: ["dbus-daemon", "--session", "--nofork", f"--print-address={fd}"])

    def start_status_notifier_host(self):
        """A StatusNotifierWatcher with a host registered, as most desktops have."""
        self.start_session_bus()
        self.start(sys.executable, "-B", os.path.abspath(__file__), "status-notifier-watcher")
        wait_until(lambda: self.has_owner(WATCHER), SERVER_START_LIMIT, "the StatusNotifierWatcher")

    def start_accessibility(self):
        """Switches accessibility on, as a screen reader does, for programs started after."""
        self.start_session_bus()
        self.call(self.bus(), "org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties",
                  "Set", "(ssv)", "org.a11y.Status", "IsEnabled", _variant("b", True))

    def start_settings_portal(self, color_scheme):
        """The settings portal of a desktop such as GNOME's or KDE's, telling
        the user's colour scheme: 1 prefers dark, 2 prefers light, 0 no
        preference (this module, run as a program)."""
        self.start_session_bus()
        self.start(sys.executable, "-B", os.path.abspath(__file__), "settings-portal",
                   str(color_scheme))
        wait_until(lambda: self.has_owner(PORTAL), SERVER_START_LIMIT, "the settings portal")

    def set_dpi(self, dpi):
        """Announces the DPI as desktops do, in the X resources programs read at start."""
        subprocess.run(["xrdb", "-merge"], input=f"Xft.dpi: {dpi}\n".encode(), env=self.env,
                       timeout=20, check=True)

    def bus(self):
        if self._bus is None:
            self._bus = _connect(self.env["DBUS_SESSION_BUS_ADDRESS"])
        return self._bus

    @staticmethod
    def call(bus, name, path, interface, method, signature=None, *args):
        """A D-Bus method call's reply, unpacked; a refused call raises its error."""
        Gio = _gio()
        reply = bus.call_sync(name, path, interface, method,
                              _variant(signature, tuple(args)) if signature else None,
                              None, Gio.DBusCallFlags.NONE, 10000, None)
        return reply.unpack()

    def status_notifier_items(self):
        return self.call(self.bus(), WATCHER, WATCHER_PATH, "org.freedesktop.DBus.Properties",
                         "Get", "(ss)", WATCHER, "RegisteredStatusNotifierItems")[0]

    def has_owner(self, name):
        return self.call(self.bus(), "org.freedesktop.DBus", "/org/freedesktop/DBus",
                         "org.freedesktop.DBus", "NameHasOwner", "(s)", name)[0]

    def accessibles(self, application, limit=3000, press=None):
        """(role, name, screen extents or None) of each object the application publishes
        on the accessibility bus, in tree order, pressing those named press on the way."""
        bus = _connect(self.call(self.bus(), "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus",
                                 "GetAddress")[0])
        from gi.repository import GLib
        try:
            accessible = "org.a11y.atspi.Accessible"

            def name_of(node):
                return self.call(bus, *node, "org.freedesktop.DBus.Properties", "Get", "(ss)",
                                 accessible, "Name")[0]

            def children_of(node):
                return self.call(bus, *node, accessible, "GetChildren")[0]

            registry = ("org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root")
            roots = [node for node in children_of(registry) if name_of(node) == application]
            found, queue = [], list(roots)
            while queue and len(found) < limit:
                node = queue.pop(0)
                try:
                    extents = self.call(bus, *node, "org.a11y.atspi.Component", "GetExtents",
                                        "(u)", 0)[0]
                except GLib.Error:  # not every object has a place on the screen
                    extents = None
                try:
                    seen = (self.call(bus, *node, accessible, "GetRoleName")[0], name_of(node),
                            extents)
                    children = children_of(node)
                except GLib.Error as error:
                    # Gone since its parent listed it, as a loading page's objects go.
                    if "UnknownObject" in error.message:
                        continue
                    raise
                found.append(seen)
                if press is not None and seen[1] == press:
                    self.call(bus, *node, "org.a11y.atspi.Action", "DoAction", "(i)", 0)
                queue.extend(children)
            return found
        finally:
            bus.close_sync(None)

    def run(self, *command, timeout=20):
        """What a short command run on this desktop printed."""
        return subprocess.run(command, env=self.env, capture_output=True, timeout=timeout).stdout

    def close(self):
        if self._bus is not None:
            self._bus.close_sync(None)
        for process in reversed(self.processes):
            end_tree(process)


# Server-side decorations, as a sway user has them; floating, so that the size can be set.
SWAY_CONFIG = """output HEADLESS-1 resolution {resolution}
default_border normal 2
default_floating_border normal 2
for_window [app_id="corvane"] floating enable
"""


class HeadlessWaylandDesktop(Desktop):
    """A Wayland session without Xwayland, its compositor's sockets in a folder of its own."""

    outside = Desktop.outside + ("DISPLAY", "QT_QPA_PLATFORM", "WAYLAND_DISPLAY",
                                 "XDG_SESSION_TYPE", "XDG_CURRENT_DESKTOP")
    compositor = None  # the program's name

    def __init__(self, resolution="1280x800"):
        self.runtime = tempfile.mkdtemp(prefix=f"corvane-{self.compositor}-")
        super().__init__(resolution)

    def _start_display(self, screen):
        self.env.update(XDG_SESSION_TYPE="wayland", XDG_CURRENT_DESKTOP=self.compositor)
        self._start_compositor("x".join(screen.split("x")[:2]))  # no depth

    def close(self):
        super().close()
        shutil.rmtree(self.runtime, ignore_errors=True)


class WaylandDesktop(HeadlessWaylandDesktop):
    """A headless sway (as nobody for root, whom it refuses) with a virtual pointer and keyboard."""

    compositor = "sway"

    def _start_compositor(self, resolution):
        config = os.path.join(self.runtime, "config")
        with open(config, "w") as f:
            f.write(SWAY_CONFIG.format(resolution=resolution))
        os.chmod(config, 0o644)
        user = {}
        if os.getuid() == 0:
            nobody = pwd.getpwnam("nobody")
            os.chown(self.runtime, nobody.pw_uid, nobody.pw_gid)
            user = {"user": nobody.pw_uid, "group": nobody.pw_gid, "extra_groups": []}
        self.start("sway", "-c", config, env={
            "PATH": os.environ["PATH"], "HOME": self.runtime, "XDG_RUNTIME_DIR": self.runtime,
            "WLR_BACKENDS": "headless", "WLR_LIBINPUT_NO_DEVICES": "1",
            "WLR_RENDERER": "pixman"}, **user)
        self.env["SWAYSOCK"] = wait_until(
            lambda: glob.glob(os.path.join(self.runtime, "sway-ipc.*.sock")),
            SERVER_START_LIMIT, "sway's IPC socket")[0]
        self.env["WAYLAND_DISPLAY"] = wait_until(
            lambda: glob.glob(os.path.join(self.runtime, "wayland-[0-9]")),
            SERVER_START_LIMIT, "sway's Wayland socket")[0]
        wait_until(lambda: self.run("swaymsg", "-t", "get_version"), SERVER_START_LIMIT, "sway")
        self.start(sys.executable, "-B", os.path.abspath(__file__), "virtual-input")
        pointer_and_keyboard = 1 | 2  # wl_seat's capability bits
        wait_until(lambda: self.sway("-t", "get_seats")[0]["capabilities"] == pointer_and_keyboard,
                   SERVER_START_LIMIT, "the virtual pointer and keyboard")

    def sway(self, *arguments):
        return json.loads(self.run("swaymsg", "--raw", *arguments))

    def swaymsg(self, *command):
        """Runs a sway command; a refused one raises its error."""
        failed = [reply for reply in self.sway(*command) if not reply["success"]]
        if failed:
            raise AssertionError(f"sway refused {command}: {failed}")

    def windows(self, app_id):
        found, queue = [], [self.sway("-t", "get_tree")]
        while queue:
            node = queue.pop()
            if node.get("app_id") == app_id and node.get("visible"):
                found.append(node)
            queue.extend(node.get("nodes", []) + node.get("floating_nodes", []))
        return found

    def keys(self, *keys):
        """Presses each key, a name such as Return or a chord such as ctrl+m."""
        for key in keys:
            *modifiers, name = key.split("+")
            self.run("wtype", *[part for modifier in modifiers for part in ("-M", modifier)],
                     "-k", name, *[part for modifier in modifiers for part in ("-m", modifier)])

    def click(self, x, y):
        self.swaymsg("seat", "seat0", "cursor", "set", str(x), str(y))
        self.swaymsg("seat", "seat0", "cursor", "press", "button1")
        self.swaymsg("seat", "seat0", "cursor", "release", "button1")


class WestonDesktop(HeadlessWaylandDesktop):
    """A headless weston, which grants maximise; no input reaches it but through accessibility."""

    compositor = "weston"

    def _start_compositor(self, resolution):
        width, height = resolution.split("x")
        self.start("weston", "--backend=headless-backend.so", f"--width={width}",
                   f"--height={height}", "--socket=wayland-1", "--idle-time=0", "--no-config",
                   env={**self.env, "XDG_RUNTIME_DIR": self.runtime})
        self.env["WAYLAND_DISPLAY"] = os.path.join(self.runtime, "wayland-1")
        wait_until(lambda: os.path.exists(self.env["WAYLAND_DISPLAY"]), SERVER_START_LIMIT,
                   "weston")


def hold_virtual_input():
    """Holds a virtual pointer and keyboard on the seat until the compositor goes: clients bind a
    keyboard only while the seat has one. Spoken on the wire: no binding to install."""
    connection = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    connection.connect(os.environ["WAYLAND_DISPLAY"])

    def send(target, opcode, payload):
        connection.sendall(struct.pack("=II", target, (8 + len(payload)) << 16 | opcode) + payload)

    def string(text):
        data = text.encode() + b"\0"
        return struct.pack("=I", len(data)) + data + b"\0" * (-len(data) % 4)

    wanted = ("wl_seat", "zwlr_virtual_pointer_manager_v1", "zwp_virtual_keyboard_manager_v1")
    send(1, 1, struct.pack("=I", 2))  # wl_display.get_registry -> 2
    send(1, 0, struct.pack("=I", 3))  # wl_display.sync -> 3, done once the globals are told
    globals_, received = {}, b""
    while True:
        data = connection.recv(4096)
        if not data:
            sys.exit("the compositor went before it told its globals")
        received += data
        while len(received) >= 8:
            target, word = struct.unpack_from("=II", received)
            size, opcode = word >> 16, word & 0xFFFF
            if len(received) < size:
                break
            body, received = received[8:size], received[size:]
            if target == 2 and opcode == 0:  # wl_registry.global
                name, length = struct.unpack_from("=II", body)
                globals_[body[8:8 + length - 1].decode()] = name
            elif target == 3 and opcode == 0:  # the sync's wl_callback.done
                missing = [interface for interface in wanted if interface not in globals_]
                if missing:
                    sys.exit(f"the compositor offers no {missing}")
                for new_id, interface in enumerate(wanted, start=4):  # wl_registry.bind
                    send(2, 0, struct.pack("=I", globals_[interface]) + string(interface)
                         + struct.pack("=II", 1, new_id))
                send(5, 0, struct.pack("=II", 0, 7))  # create_virtual_pointer(any seat) -> 7
                send(6, 0, struct.pack("=II", 4, 8))  # create_virtual_keyboard(the seat) -> 8
                while connection.recv(4096):
                    pass
                return


def html_page(title, content="", colour="#ffffff"):
    """A page with this title as its heading, content below and colour behind."""
    return (f"<html><head><title>{title}</title></head>"
            f"<body style='background:{colour}'><h1>{title}</h1>{content}</body></html>").encode()


# What a path serves; trickle_seconds holds the reply open before the body,
# silent_seconds before anything at all.
Route = collections.namedtuple("Route", "body content_type trickle_seconds headers silent_seconds",
                               defaults=("text/html; charset=utf-8", 0, (), 0))


class LoopbackServer(ClosedOnExit):
    """An HTTP/1.1 server on 127.0.0.1 that logs request paths, answers from routes (or an
    overridden answer()) and counts connections, WebSocket bytes and UDP datagrams to its port."""

    def __init__(self):
        self.requests = []
        self.aborted = []  # paths whose reply the client broke off
        self.routes = {}
        self.connections = 0  # every one accepted, a request in it or not
        self.open_connections = 0
        self.websocket_bytes = 0
        self.datagrams = 0  # QUIC, STUN
        self.counting = threading.Lock()  # the handlers run in threads of their own
        server = self

        class Handler(http.server.BaseHTTPRequestHandler):
            # Keep-alive, as a real server would give a page's many requests.
            protocol_version = "HTTP/1.1"

            def setup(self):
                super().setup()
                with server.counting:
                    server.connections += 1
                    server.open_connections += 1

            def finish(self):
                with server.counting:
                    server.open_connections -= 1
                super().finish()

            def do_GET(self):
                server.requests.append(self.path)
                url = urllib.parse.urlsplit(self.path)
                if self.headers.get("Upgrade", "").lower() == "websocket":
                    self.websocket()
                else:
                    server.answer(self, url.path, urllib.parse.parse_qs(url.query))

            def do_POST(self):
                self.rfile.read(int(self.headers.get("Content-Length", 0)))
                self.do_GET()

            def websocket(self):
                """Holds the socket until the client closes it (or 60 s)."""
                key = self.headers["Sec-WebSocket-Key"] + "258EAFA5-E914-47DA-95CA-C5AB0DC85B11"
                self.send_response(101)
                self.send_header("Upgrade", "websocket")
                self.send_header("Connection", "Upgrade")
                self.send_header("Sec-WebSocket-Accept",
                                 base64.b64encode(hashlib.sha1(key.encode()).digest()).decode())
                self.end_headers()
                self.connection.settimeout(60)
                try:
                    while data := self.connection.recv(4096):
                        server.websocket_bytes += len(data)
                except OSError:
                    pass

            def head(self, status, content_type, headers, *ending):
                self.send_response(status)
                for header in (("Content-Type", content_type), *headers,
                               ("Cache-Control", "no-store"), *ending):
                    self.send_header(*header)
                self.end_headers()

            def reply(self, status, content_type, body, headers=()):
                self.head(status, content_type, headers, ("Content-Length", str(len(body))))
                self.wfile.write(body)

            def trickle(self, route):
                """A byte at a time, so that a browser stopping the load is seen closing."""
                self.head(200, route.content_type, route.headers, ("Connection", "close"))
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

        # The port the system picks for TCP may be taken for UDP: pick again.
        for _ in range(20):
            self.httpd = QuietServer(("127.0.0.1", 0), Handler)
            self.udp = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
            try:
                self.udp.bind(("127.0.0.1", self.httpd.server_address[1]))
                break
            except OSError:
                self.udp.close()
                self.httpd.server_close()
        else:
            raise AssertionError("no port was free for both TCP and UDP")
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()
        self.udp.settimeout(0.2)  # so that its closing is noticed
        threading.Thread(target=self._count_datagrams, daemon=True).start()

    def _count_datagrams(self):
        while self.udp.fileno() != -1:
            try:
                self.udp.recv(65536)
                self.datagrams += 1
            except OSError:  # a time-out, or closed
                pass

    def answer(self, request, path, query):
        route = self.routes.get(path)
        if route is None:
            request.reply(404, "text/plain", b"not found")
            return
        time.sleep(route.silent_seconds)
        if route.trickle_seconds:
            request.trickle(route)
        else:
            request.reply(200, route.content_type, route.body, route.headers)

    def url(self, path):
        return f"http://127.0.0.1:{self.httpd.server_address[1]}{path}"

    def page(self, path, title, trickle_seconds=0, colour="#ffffff", content=""):
        self.routes[path] = Route(html_page(title, content, colour), trickle_seconds=trickle_seconds)

    def count(self, path):
        return self.requests.count(path)

    def asked(self, prefix):
        """The requests whose path (query included) starts with prefix."""
        return [path for path in self.requests if path.startswith(prefix)]

    def close(self):
        self.httpd.shutdown()
        self.httpd.server_close()
        self.udp.close()


WATCHER_INTERFACE = f"""<node><interface name="{WATCHER}">
  <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
  <method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
  <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
  <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
  <property name="ProtocolVersion" type="i" access="read"/>
  <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
  <signal name="StatusNotifierItemUnregistered"><arg type="s"/></signal>
  <signal name="StatusNotifierHostRegistered"/>
</interface></node>"""


PORTAL = "org.freedesktop.portal.Desktop"
SETTINGS_INTERFACE = """<node><interface name="org.freedesktop.portal.Settings">
  <method name="Read"><arg type="s" direction="in"/><arg type="s" direction="in"/>
    <arg type="v" direction="out"/></method>
</interface></node>"""


def serve_settings_portal(color_scheme):
    """The one setting of the freedesktop settings portal that programs read
    for their look, the appearance's color-scheme. Read answers with the value
    in a second variant, as every portal's does."""
    Gio = _gio()
    from gi.repository import GLib
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)

    def on_call(connection, sender, path, interface, method, parameters, invocation):
        if parameters.unpack() == ("org.freedesktop.appearance", "color-scheme"):
            invocation.return_value(GLib.Variant("(v)", (GLib.Variant("v", GLib.Variant(
                "u", color_scheme)),)))
        else:
            invocation.return_dbus_error("org.freedesktop.portal.Error.NotFound",
                                         "Requested setting not found")

    interface = Gio.DBusNodeInfo.new_for_xml(SETTINGS_INTERFACE).interfaces[0]
    bus.register_object("/org/freedesktop/portal/desktop", interface, on_call, None, None)
    Gio.bus_own_name_on_connection(bus, PORTAL, Gio.BusNameOwnerFlags.NONE, None, None)
    GLib.MainLoop().run()


def serve_status_notifier_watcher():
    """Cut down to what a tray icon meets: registration, items forgotten with their bus name."""
    Gio = _gio()
    from gi.repository import GLib
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    items = {}  # the name an item registered with -> the watch on its bus name

    def forget(item):
        Gio.bus_unwatch_name(items.pop(item))
        bus.emit_signal(None, WATCHER_PATH, WATCHER, "StatusNotifierItemUnregistered",
                        GLib.Variant("(s)", (item,)))

    def on_call(connection, sender, path, interface, method, parameters, invocation):
        if method == "RegisterStatusNotifierItem":
            service = parameters.unpack()[0]
            # An item may give its object path alone, on the caller's own bus name.
            owner = sender if service.startswith("/") else service
            item = sender + service if service.startswith("/") else service
            if item not in items:
                items[item] = Gio.bus_watch_name_on_connection(
                    connection, owner, Gio.BusNameWatcherFlags.NONE, None,
                    lambda *_: item in items and forget(item))
                connection.emit_signal(None, WATCHER_PATH, WATCHER, "StatusNotifierItemRegistered",
                                       GLib.Variant("(s)", (item,)))
        invocation.return_value(None)

    def on_get(connection, sender, path, interface, name):
        return {"RegisteredStatusNotifierItems": GLib.Variant("as", list(items)),
                "IsStatusNotifierHostRegistered": GLib.Variant("b", True),
                "ProtocolVersion": GLib.Variant("i", 0)}[name]

    interface = Gio.DBusNodeInfo.new_for_xml(WATCHER_INTERFACE).interfaces[0]
    bus.register_object(WATCHER_PATH, interface, on_call, on_get, None)
    Gio.bus_own_name_on_connection(bus, WATCHER, Gio.BusNameOwnerFlags.NONE, None, None)
    GLib.MainLoop().run()


if __name__ == "__main__":
    {"status-notifier-watcher": serve_status_notifier_watcher,
     "settings-portal": lambda: serve_settings_portal(int(sys.argv[2])),
     "virtual-input": hold_virtual_input}[sys.argv[1]]()
