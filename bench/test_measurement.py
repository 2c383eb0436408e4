"""Checks that the benchmark measures what it claims: the whole process tree,
pages that really are as heavy as said and report their load, runs that leave
nothing behind. Fast and quiet, unlike the benchmark itself:

    /usr/bin/python3 -B -m unittest discover -s bench -p 'test_*.py'
"""

import os
import re
import struct
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.request

sys.dont_write_bytecode = True
BENCH = os.path.dirname(os.path.abspath(__file__))
sys.path[:0] = [BENCH, os.path.join(os.path.dirname(BENCH), "tests", "support")]

import pages  # noqa: E402
import proctree  # noqa: E402
from desktop import descendants_and_self, end_tree, stat_fields, wait_until  # noqa: E402
from loopback import BenchServer  # noqa: E402
from sandbox import SandboxedRun  # noqa: E402

PYTHON = "/usr/bin/python3"


def spawn_with_grandchild(grandchild_code):
    """A parent process that starts one grandchild running grandchild_code and
    then sleeps; started in its own session, as the benchmark starts programs."""
    parent = (f"import subprocess, sys, time; subprocess.Popen([sys.executable, '-c', "
              f"{grandchild_code!r}]); time.sleep(60)")
    return subprocess.Popen([PYTHON, "-c", parent], start_new_session=True)


class ProcessTreeTest(unittest.TestCase):
    def setUp(self):
        self.scratch = tempfile.TemporaryDirectory()
        self.processes = []

    def tearDown(self):
        for process in self.processes:
            end_tree(process, grace=1)
        self.scratch.cleanup()

    def path(self, name):
        return os.path.join(self.scratch.name, name)

    def start(self, grandchild_code):
        process = spawn_with_grandchild(grandchild_code)
        self.processes.append(process)
        wait_until(lambda: len(descendants_and_self(process.pid)) == 2, 10,
                   "the grandchild")
        return process

    def test_cpu_time_of_a_grandchild_is_counted(self):
        # It burns 0.3 s of CPU only once told to, so that the burn falls
        # between the two samples.
        go, done = self.path("go"), self.path("done")
        process = self.start(
            "import os, time\n"
            f"while not os.path.exists({go!r}): time.sleep(0.01)\n"
            "while time.process_time() < 0.3: pass\n"
            f"open({done!r}, 'w').close()\n"
            "time.sleep(60)\n")
        before = proctree.cpu_sample(process.pid)
        open(go, "w").close()
        wait_until(lambda: os.path.exists(done), 20, "the grandchild's burn")
        used = proctree.cpu_seconds_between(before, proctree.cpu_sample(process.pid))
        self.assertGreaterEqual(used, 0.2)
        self.assertLessEqual(used, 0.6)

    def test_memory_of_a_grandchild_is_counted(self):
        ready = self.path("ready")
        process = self.start(f"import time\nheld = b'x' * (64 << 20)\n"
                             f"open({ready!r}, 'w').close()\ntime.sleep(60)\n")
        wait_until(lambda: os.path.exists(ready), 20, "the grandchild's memory")
        self.assertGreaterEqual(proctree.pss_bytes(process.pid), 64 << 20)

    def test_ending_reaches_a_grandchild_that_left_the_group_and_ignores_sigterm(self):
        ready = self.path("ready")
        process = self.start(f"import os, signal, time\nos.setsid()\n"
                             f"signal.signal(signal.SIGTERM, signal.SIG_IGN)\n"
                             f"open({ready!r}, 'w').close()\ntime.sleep(60)\n")
        wait_until(lambda: os.path.exists(ready), 10, "the grandchild")
        grandchild = descendants_and_self(process.pid)[1]
        began = time.monotonic()
        end_tree(process, grace=1)
        self.assertIsNone(stat_fields(grandchild), "gone, or a zombie")
        self.assertIsNotNone(process.returncode)
        self.assertLess(time.monotonic() - began, 5)


class LoopbackServerTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.server = BenchServer()

    @classmethod
    def tearDownClass(cls):
        cls.server.close()

    def get(self, path):
        with urllib.request.urlopen(self.server.url(path), timeout=10) as reply:
            return reply.status, reply.headers["Content-Type"], reply.read()

    def test_heavy_page_is_two_megabytes_with_fifty_distinct_served_images_and_scripts(self):
        status, kind, html = self.get("/heavy")
        self.assertEqual((status, kind), (200, "text/html; charset=utf-8"))
        self.assertAlmostEqual(len(html), 2_000_000, delta=100_000)
        images = re.findall(rb'<img src="(/img/\d+\.png)" width="(\d+)" height="(\d+)"', html)
        self.assertEqual(len({src for src, _, _ in images}), 50)
        for src, width, height in images:
            status, kind, image = self.get(src.decode())
            self.assertEqual((status, kind), (200, "image/png"))
            self.assertEqual(image[:8], b"\x89PNG\r\n\x1a\n")
            self.assertEqual(struct.unpack(">II", image[16:24]), (int(width), int(height)))
        scripts = re.findall(rb'<script src="(/script/\d+\.js)">', html)
        self.assertGreaterEqual(len(scripts), 5)
        for src in scripts:
            status, kind, script = self.get(src.decode())
            self.assertEqual((status, kind), (200, "text/javascript"))
            self.assertGreater(len(script), 10_000)

    def test_both_pages_report_their_load_event_with_their_run(self):
        for page in ("/small", "/heavy", *pages.BUSY_SCRIPTS):
            with self.subTest(page=page):
                self.assertIn(pages.LOAD_BEACON.encode(), self.get(page)[2])
        self.assertIn("get('run')", pages.LOAD_BEACON)
        self.assertIn("addEventListener('load'", pages.LOAD_BEACON)

    def test_a_reported_load_is_waited_for_and_timed_on_arrival(self):
        before = time.monotonic()
        self.assertEqual(self.get("/loaded?run=r1&t=12.5")[0], 204)
        arrived = self.server.wait_for_load("r1", 1, lambda: True)
        self.assertTrue(before <= arrived <= time.monotonic())
        # A second report of the same run keeps the first time, and is counted.
        self.get("/loaded?run=r1&t=99")
        self.assertEqual(self.server.wait_for_load("r1", 1, lambda: True), arrived)
        self.assertEqual((self.server.load_count("r1"), self.server.load_count("r2")), (2, 0))

    def test_waiting_for_a_load_is_bounded(self):
        began = time.monotonic()
        with self.assertRaises(TimeoutError):
            self.server.wait_for_load("never", 0.3, lambda: True)
        with self.assertRaises(RuntimeError):
            self.server.wait_for_load("never", 30, lambda: False)
        self.assertLess(time.monotonic() - began, 2)

    def test_a_page_asked_for_with_a_delay_comes_that_much_later(self):
        began = time.monotonic()
        self.assertEqual(self.get("/small?run=x&delay=200")[0], 200)
        self.assertGreaterEqual(time.monotonic() - began, 0.2)
        self.assertEqual(self.get("/small?run=y")[0], 200)


class SandboxedRunTest(unittest.TestCase):
    def test_a_run_writes_only_inside_its_own_directory_which_is_removed_after(self):
        show = ("import os, tempfile\n"
                "print(os.getcwd())\n"
                "for name in ('HOME', 'XDG_DATA_HOME', 'XDG_CACHE_HOME', 'XDG_CONFIG_HOME',"
                " 'XDG_RUNTIME_DIR'):\n"
                "    print(os.environ[name])\n"
                "print(tempfile.gettempdir())\n"
                "print(open('home.ad', 'rb').read())\n")
        with SandboxedRun([PYTHON, "-c", show], {"PATH": os.environ.get("PATH", "")},
                          {"home.ad": b"http://127.0.0.1:1/small\r\n"}) as run:
            self.assertEqual(run.wait(20), 0)
            lines = run.printed().splitlines()
            directory = run.directory
        self.assertEqual(os.path.realpath(lines[0]), os.path.realpath(directory))
        for path in lines[1:7]:
            self.assertTrue(os.path.realpath(path).startswith(os.path.realpath(directory)), path)
        self.assertEqual(lines[7], repr(b"http://127.0.0.1:1/small\r\n"))
        self.assertFalse(os.path.exists(directory))


if __name__ == "__main__":
    unittest.main()
