"""One program run in a fresh temporary directory that is its current
directory, its HOME, its TMPDIR and every XDG directory, so that nothing it
writes (the settings files, the engine's profile) outlives the run. The
program gets its own session, and the whole tree it starts is ended when the
run is over."""

import os
import shutil
import subprocess
import tempfile
import time

from desktop import end_tree


class SandboxedRun:
    def __init__(self, argv, display_env, files=None):
        """files maps a file name in the directory to the bytes it starts with."""
        self.argv = argv
        self.directory = tempfile.mkdtemp(prefix="corvane-bench.")
        os.mkdir(os.path.join(self.directory, "runtime"), 0o700)
        os.mkdir(os.path.join(self.directory, "tmp"))
        for name, content in (files or {}).items():
            with open(os.path.join(self.directory, name), "wb") as f:
                f.write(content)
        self.env = dict(display_env,
                        HOME=self.directory,
                        XDG_DATA_HOME=os.path.join(self.directory, "data"),
                        XDG_CACHE_HOME=os.path.join(self.directory, "cache"),
                        XDG_CONFIG_HOME=os.path.join(self.directory, "config"),
                        XDG_RUNTIME_DIR=os.path.join(self.directory, "runtime"),
                        TMPDIR=os.path.join(self.directory, "tmp"))
        self.output = tempfile.TemporaryFile(dir=self.directory)
        self.process = None

    def __enter__(self):
        self.started = time.monotonic()
        self.process = subprocess.Popen(self.argv, cwd=self.directory, env=self.env,
                                        stdin=subprocess.DEVNULL, stdout=self.output,
                                        stderr=subprocess.STDOUT, start_new_session=True)
        return self

    def __exit__(self, *exc):
        try:
            if self.process is not None:
                end_tree(self.process)
        finally:
            self.output.close()
            shutil.rmtree(self.directory, ignore_errors=True)

    @property
    def pid(self):
        return self.process.pid

    def running(self):
        return self.process.poll() is None

    def wait(self, timeout):
        """The exit status; a program still running after timeout seconds is an error."""
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise TimeoutError(f"{self.argv[0]} still running after {timeout} s") from None

    def printed(self):
        """What the program wrote to stdout and stderr so far."""
        self.output.seek(0)
        return self.output.read().decode(errors="replace")
