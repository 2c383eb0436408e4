"""What reaches a server from a page opened from a local file, and after Work
Offline: every route a script has aims at the loopback server, which counts it."""

import time
import urllib.parse
import unittest

from harness import E2ETestCase, Route, wait_until

# Each route a script has to a server, run at once on load; the alert says all
# were tried, and dismissing it tries to leave with the page's text.
ROUTES_PAGE = """<!doctype html><title>Routes</title><link rel=icon href='data:,'><body>secret
<script>
const O = 'ORIGIN', WS = O.replace('http', 'ws');
const add = (tag, props) => document.body.appendChild(Object.assign(document.createElement(tag), props));
fetch(O + '/fetch', {mode: 'no-cors'}).catch(() => {});
const xhr = new XMLHttpRequest(); xhr.open('GET', O + '/xhr'); xhr.send();
add('img', {src: O + '/image'});
add('link', {rel: 'stylesheet', href: O + '/css'});
add('iframe', {src: O + '/frame'});
navigator.sendBeacon(O + '/beacon', document.body.innerText);
new EventSource(O + '/events');
new WebSocket(WS + '/ws');
new WebSocket(WS.replace('ws:', 'wss:') + '/wss');
try { new WebTransport(O.replace('http:', 'https:') + '/webtransport'); } catch (e) {}
new Worker(URL.createObjectURL(new Blob([`fetch('${O}/worker'); new WebSocket('${WS}/worker-ws');`])));
add('iframe', {sandbox: 'allow-scripts', srcdoc: `<script>new WebSocket('${WS}/sandboxed-ws')<\\/script>`});
add('iframe', {name: 'child'}).contentWindow.location = O + '/child';
add('iframe', {name: 'posted'});
add('form', {action: O + '/form', method: 'post', target: 'posted'}).submit();
window.open(O + '/window');
setTimeout(() => { alert('tried'); location = O + '/top?' + encodeURIComponent(document.body.innerText); }, 1000);
</script>"""

# All but window.open, which the program ignores without a click of the user's.
REACHED_FROM_A_WEB_PAGE = {"/fetch", "/xhr", "/image", "/css", "/frame", "/beacon", "/events", "/ws",
                           "/worker", "/worker-ws", "/sandboxed-ws", "/child", "/form", "/top"}

LIVE_PAGE = b"""<!doctype html><title>Live</title><link rel=icon href='data:,'><body>Live
<script>
const ws = new WebSocket(location.origin.replace('http', 'ws') + '/ws');
ws.onopen = () => setInterval(() => ws.readyState == 1 && ws.send('tick'), 100);
new EventSource('/events');
fetch('/stream');
navigator.serviceWorker.register('/sw.js');
</script>"""

SERVICE_WORKER = b"""self.oninstall = () => self.skipWaiting();
self.onactivate = event => event.waitUntil(clients.claim());
self.onfetch = event => event.respondWith(fetch(event.request));
setInterval(() => fetch('/sw-tick'), 200);"""


class Network(E2ETestCase):
    def try_routes(self, home, box_title):
        """Starts at home, the routes page, and dismisses its alert."""
        page = ROUTES_PAGE.replace("ORIGIN", self.server.url("")).encode()
        corvane, _ = self.start_at(home, page, focus=False)
        corvane.press_in(box_title, "Return", timeout=30)

    def counts(self):
        return (len(self.server.requests), self.server.connections, self.server.websocket_bytes,
                self.server.datagrams)

    def test_every_route_of_a_web_page_reaches_the_server(self):
        self.try_routes("/routes", "^http://127.0.0.1")
        paths = self.server.requests
        wait_until(lambda: REACHED_FROM_A_WEB_PAGE <= {p.split("?")[0] for p in paths}, 20, "every route")

    def test_no_route_of_a_local_page_reaches_the_server(self):
        self.try_routes("local.html", "^Local page$")
        time.sleep(5)  # as long as a web page's routes take, and then some
        self.assertEqual(self.counts(), (0, 0, 0, 0))

    def test_work_offline_ends_what_is_open_and_lets_nothing_out(self):
        self.server.routes.update({
            "/live": Route(LIVE_PAGE), "/sw.js": Route(SERVICE_WORKER, "text/javascript"),
            "/events": Route(b"", "text/event-stream", 60),
            "/stream": Route(b"", "text/plain", 60)})
        corvane, window = self.start_at("/live")
        wait_until(lambda: self.server.websocket_bytes and "/sw-tick" in self.server.requests
                   and {"/events", "/stream"} <= set(self.server.requests), 20, "everything open")
        corvane.press(window, "ctrl+o")
        wait_until(lambda: self.server.open_connections == 0, 10, "every connection to end")
        self.assertEqual(sorted(self.server.aborted), ["/events", "/stream"])
        before = self.counts()
        corvane.keys("F5", "ctrl+h")
        time.sleep(5)
        self.assertEqual(self.counts(), before)
        self.assertEqual(self.server.datagrams, 0)

    def test_nothing_a_site_stored_is_lost_by_going_offline_however_often(self):
        set_cookies = ["session=1", "lasting=2; Max-Age=86400", "hidden=3; HttpOnly; Max-Age=86400",
                       "pathed=4; Path=/p; Max-Age=86400"]
        store = b"""<script>document.cookie = 'script=5; max-age=86400'; localStorage.kept = 6;
            fetch('/stored').then(() => location = '/held')</script>"""
        check = b"<script>fetch('/seen?' + document.cookie + '&' + localStorage.kept)</script>"
        cookies_seen = []
        plain = self.server.answer

        def answer(request, path, query):
            if path == "/p/check":
                cookies_seen.append(request.headers.get("Cookie", ""))
            plain(request, path, query)

        self.server.answer = answer
        self.server.routes.update({
            "/set": Route(store, headers=[("Set-Cookie", cookie) for cookie in set_cookies]),
            "/held": Route(b"held", "text/html", 30), "/p/check": Route(check)})
        corvane, window = self.start_at("/set")
        wait_until(lambda: self.server.count("/held"), 20, "the held load")
        corvane.focus(window)
        self.desktop.run("xdotool", "key", "--delay", "20", *["ctrl+o"] * 50, timeout=60)
        corvane.go_to(window, self.server.url("/p/check"))
        seen = wait_until(lambda: self.server.asked("/seen"), 20, "the check")[0]
        self.assertEqual(sorted(cookies_seen[0].split("; ")),
                         ["hidden=3", "lasting=2", "pathed=4", "script=5", "session=1"])
        self.assertEqual(sorted(urllib.parse.unquote(seen).removeprefix("/seen?")
                                .split("&")[0].split("; ")),
                         ["lasting=2", "pathed=4", "script=5", "session=1"])
        self.assertTrue(seen.endswith("&6"), seen)


if __name__ == "__main__":
    unittest.main()
