"""The benchmark's web server: 127.0.0.1 on an ephemeral port, serving the
generated pages and hearing each page's load event, which it notes with the
time it arrived."""

import http.server
import sys
import threading
import time
import urllib.parse

from pages import Pages


class QuietServer(http.server.ThreadingHTTPServer):
    daemon_threads = True

    def handle_error(self, request, client_address):
        # A program ended in the middle of a request is how every run ends.
        if not isinstance(sys.exc_info()[1], ConnectionError):
            super().handle_error(request, client_address)


class LoopbackServer:
    def __init__(self):
        self.pages = Pages()
        self.loads = {}  # run id -> (monotonic arrival time, page's own load time in ms)
        self.loaded = threading.Condition()
        server = self

        class Handler(http.server.BaseHTTPRequestHandler):
            # Keep-alive, as a real server would give the 56 requests of the heavy page.
            protocol_version = "HTTP/1.1"

            def do_GET(self):
                url = urllib.parse.urlsplit(self.path)
                query = urllib.parse.parse_qs(url.query)
                if url.path == "/loaded":
                    server.note_load(query.get("run", [""])[0], float(query.get("t", ["nan"])[0]))
                    self.reply(204, "text/plain", b"")
                    return
                resource = server.pages.get(url.path)
                if resource is None:
                    self.reply(404, "text/plain", b"not found")
                    return
                # A page asked for with delay=MS is answered that much later.
                delay_ms = int(query.get("delay", ["0"])[0])
                if delay_ms:
                    time.sleep(delay_ms / 1000)
                self.reply(200, *resource)

            def reply(self, status, content_type, body):
                self.send_response(status)
                self.send_header("Content-Type", content_type)
                self.send_header("Cache-Control", "no-store")
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)

            def log_message(self, *args):
                pass

        self.httpd = QuietServer(("127.0.0.1", 0), Handler)
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)
        self.thread.start()

    def url(self, path):
        return f"http://127.0.0.1:{self.httpd.server_address[1]}{path}"

    def note_load(self, run, page_ms):
        with self.loaded:
            self.loads.setdefault(run, (time.monotonic(), page_ms))
            self.loaded.notify_all()

    def wait_for_load(self, run, timeout, still_running):
        """The monotonic time the page of this run reported its load event.
        Gives up after timeout seconds, or as soon as still_running() is false."""
        deadline = time.monotonic() + timeout
        with self.loaded:
            while run not in self.loads:
                left = deadline - time.monotonic()
                if left <= 0:
                    raise TimeoutError(f"run {run}: no load event within {timeout} s")
                if not still_running():
                    raise RuntimeError(f"run {run}: the program ended before the page loaded")
                self.loaded.wait(min(left, 0.1))
            return self.loads[run][0]

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.httpd.shutdown()
        self.httpd.server_close()
