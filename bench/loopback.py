"""The benchmark's web server: the loopback server serving the generated
pages, which also hears each page's load event and notes it with the time it
arrived, and counts the load events of each run."""

import collections
import threading
import time

from desktop import LoopbackServer, Route
from pages import resources


class BenchServer(LoopbackServer):
    def __init__(self):
        super().__init__()
        self.routes.update((path, Route(body, kind)) for path, (kind, body) in resources().items())
        self.loads = {}  # run id -> (monotonic arrival time, page's own load time in ms)
        self.load_counts = collections.Counter()  # run id -> load events heard
        self.loaded = threading.Condition()

    def answer(self, request, path, query):
        if path == "/loaded":
            self.note_load(query.get("run", [""])[0], float(query.get("t", ["nan"])[0]))
            request.reply(204, "text/plain", b"")
            return
        # A page asked for with delay=MS is answered that much later.
        time.sleep(int(query.get("delay", ["0"])[0]) / 1000)
        super().answer(request, path, query)

    def note_load(self, run, page_ms):
        with self.loaded:
            self.loads.setdefault(run, (time.monotonic(), page_ms))
            self.load_counts[run] += 1
            self.loaded.notify_all()

    def load_count(self, run):
        """The load events heard so far from this run: a page that loads
        itself again reports each load under the same run."""
        with self.loaded:
            return self.load_counts[run]

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
