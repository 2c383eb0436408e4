"""WebRTC from a page opened from a local file and after Work Offline, counted
at the socket: each way a page has to a peer connection aims at a STUN server
on a UDP port and a TURN server on a TCP port of its own on 127.0.0.1."""

import socket
import struct
import threading
import time
import unittest

from harness import E2ETestCase, Route, wait_until

# The ways a page reaches the constructor: its own, a child frame's, those of
# fresh about:blank frames (added by script, in the markup, written) taken
# before anything could run in them, a worker's.
WAYS = ("main", "child", "blank", "markup", "written", "worker")
# Workers have no peer connections in the engine of either release.
REACHABLE = WAYS[:-1]

# Tries again every half second, as a page set on getting through would.
TRY = """const tryWebRtc = (Pc, ice) => { if (!Pc) return;
  try { const pc = new Pc(ice); pc.createDataChannel('d');
        pc.createOffer().then(offer => pc.setLocalDescription(offer)); (self.kept ||= []).push(pc); }
  catch (e) {} };
const keepTrying = (Pc, ice) => { tryWebRtc(Pc, ice); setInterval(() => tryWebRtc(Pc, ice), 500); };"""

PAGE = """<!doctype html><title>WebRTC</title><link rel=icon href='data:,'>
<script>TRY const ICE = ICE_SERVERS;
keepTrying(self.RTCPeerConnection, ICE.main);
</script><body>
<iframe srcdoc="<script>TRY keepTrying(self.RTCPeerConnection, CHILD_SERVERS)</script>"></iframe>
<iframe id=markup></iframe>
<script>
const blank = document.body.appendChild(document.createElement('iframe'));
keepTrying(blank.contentWindow.RTCPeerConnection, ICE.blank);
keepTrying(markup.contentWindow.RTCPeerConnection, ICE.markup);
document.write('<iframe id=written></iframe>');
keepTrying(written.contentWindow.RTCPeerConnection, ICE.written);
new Worker(URL.createObjectURL(new Blob([`TRY keepTrying(self.RTCPeerConnection, ${JSON.stringify(ICE.worker)})`])));
</script>"""


# A local page tries to leave for the network on its own, which the engine
# refuses, again and again.
LEAVES = "<script>setInterval(() => location = 'ORIGIN/leave', 300)</script>"


class IceServer:
    """A STUN server that answers binding requests on a UDP port, and a TURN
    server that only counts and holds what connects to a TCP port."""

    def __init__(self):
        self.datagrams = self.connections = self.open_connections = 0
        self.udp = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.udp.bind(("127.0.0.1", 0))
        self.udp.settimeout(0.2)  # so that its closing is noticed
        self.tcp = socket.create_server(("127.0.0.1", 0))
        self.tcp.settimeout(0.2)
        self.counting = threading.Lock()
        threading.Thread(target=self._answer_stun, daemon=True).start()
        threading.Thread(target=self._accept_turn, daemon=True).start()

    def configuration(self):
        return {"iceServers": [{"urls": f"stun:127.0.0.1:{self.udp.getsockname()[1]}"},
                {"urls": f"turn:127.0.0.1:{self.tcp.getsockname()[1]}?transport=tcp",
                 "username": "user", "credential": "secret"}]}

    def _answer_stun(self):
        while self.udp.fileno() != -1:
            try:
                request, (host, port) = self.udp.recvfrom(65536)
            except OSError:  # a time-out, or closed
                continue
            self.datagrams += 1
            if len(request) >= 20 and request[:2] == b"\x00\x01":  # a binding request
                magic = 0x2112A442
                address = struct.pack("!xBHI", 1, port ^ magic >> 16,
                                      struct.unpack("!I", socket.inet_aton(host))[0] ^ magic)
                self.udp.sendto(struct.pack("!HH", 0x0101, 4 + len(address)) + request[4:20] +
                                struct.pack("!HH", 0x0020, len(address)) + address, (host, port))

    def _accept_turn(self):
        while self.tcp.fileno() != -1:
            try:
                connection, _ = self.tcp.accept()
            except OSError:
                continue
            with self.counting:
                self.connections += 1
                self.open_connections += 1
            threading.Thread(target=self._hold, args=(connection,), daemon=True).start()

    def _hold(self, connection):
        with connection:
            try:
                while connection.recv(4096):
                    pass
            except OSError:
                pass
        with self.counting:
            self.open_connections -= 1

    def close(self):
        self.udp.close()
        self.tcp.close()


class WebRtc(E2ETestCase):
    def setUp(self):
        super().setUp()
        self.ice = {way: IceServer() for way in WAYS}
        for server in self.ice.values():
            self.addCleanup(server.close)

    def page(self):
        ice = "{" + ", ".join(f"{way}: {server.configuration()}" for way, server in self.ice.items()) + "}"
        return (PAGE.replace("TRY", TRY).replace("ICE_SERVERS", ice)
                .replace("CHILD_SERVERS", str(self.ice["child"].configuration())).encode())

    def counts(self):
        """Each way's STUN datagrams and TURN connections."""
        return {way: (server.datagrams, server.connections) for way, server in self.ice.items()}

    def reached(self, ways):
        return all(self.ice[way].datagrams and self.ice[way].connections for way in ways)

    def test_a_web_page_online_reaches_both_servers_every_way(self):
        self.start_at("/rtc", self.page())
        wait_until(lambda: self.reached(REACHABLE), 20, f"STUN and TURN from {REACHABLE}")

    def test_nothing_from_a_local_page(self):
        self.start_at("local.html", LEAVES.replace("ORIGIN", self.server.url("")).encode() +
                      self.page())
        time.sleep(6)  # several times what a web page takes to reach both
        self.assertEqual(self.counts(), {way: (0, 0) for way in WAYS})
        self.assertEqual(self.server.requests, [])

    def assert_nothing_as_the_user_leaves(self, leave, path):
        """Counts while the user leaves the local page for path, which says nothing for 4 s."""
        time.sleep(2)  # the local page keeps trying
        asked = self.server.count(path)
        leave()
        wait_until(lambda: self.server.count(path) > asked, 10, "the web page to be asked for")
        time.sleep(6)
        self.assertEqual(self.counts(), {way: (0, 0) for way in WAYS})

    def test_nothing_from_a_local_page_as_the_user_goes_to_a_web_page(self):
        self.server.routes["/slow"] = Route(b"Slow", silent_seconds=4)
        corvane, window = self.start_at("local.html", self.page())
        self.assert_nothing_as_the_user_leaves(
            lambda: corvane.go_to(window, self.server.url("/slow")), "/slow")

    def test_nothing_from_a_local_page_as_the_user_follows_its_link(self):
        self.server.routes["/slow"] = Route(b"Slow", silent_seconds=4)
        link = (f"<a href='{self.server.url('/slow')}' "
                "style='position:fixed;left:0;top:0;width:100%;height:100%;z-index:1'>Go</a>")
        corvane, window = self.start_at("local.html", link.encode() + self.page(), accessible=True)
        wait_until(lambda: corvane.extents("link", "Go"), 20, "the link on the page")
        self.assert_nothing_as_the_user_leaves(lambda: corvane.click(window, 200, 200), "/slow")

    def test_nothing_from_a_local_page_as_the_user_goes_back_to_a_web_page(self):
        corvane, window = self.start_at("/slow", b"Slow")
        self.write("local.html", self.page())
        corvane.go_to(window, "local.html")
        self.server.routes["/slow"] = Route(b"Slow", silent_seconds=4)
        self.assert_nothing_as_the_user_leaves(
            lambda: corvane.press(window, "alt+BackSpace"), "/slow")
        # Back went back: the local page is still ahead, and behind it the web page.
        asked = self.server.count("/slow")
        corvane.press(window, "ctrl+f")
        time.sleep(2)
        corvane.press(window, "alt+BackSpace")
        wait_until(lambda: self.server.count("/slow") > asked, 10, "the web page once more")

    def test_work_offline_ends_what_is_open_and_lets_nothing_out(self):
        corvane, window = self.start_at("/rtc", self.page())
        wait_until(lambda: self.reached(REACHABLE), 20, "STUN and TURN before going offline")
        corvane.press(window, "ctrl+o")
        wait_until(lambda: not any(s.open_connections for s in self.ice.values()), 10,
                   "every TURN connection to end")
        time.sleep(1)  # for datagrams already on their way
        before = self.counts()
        time.sleep(6)
        self.assertEqual(self.counts(), before)


if __name__ == "__main__":
    unittest.main()
