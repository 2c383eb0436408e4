"""A private X display: Xvfb, with openbox managing its windows as a desktop
would."""

import os
import subprocess
import time

import proctree


class PrivateDisplay:
    def __enter__(self):
        self.processes = []
        read_end, write_end = os.pipe()
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                                 "1280x800x24", "-nolisten", "tcp"],
                                pass_fds=[write_end], stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL, start_new_session=True)
        self.processes.append(xvfb)
        os.close(write_end)
        try:
            with os.fdopen(read_end, "rb") as pipe:
                number = pipe.readline().strip().decode()
            if not number:
                raise RuntimeError("Xvfb did not start")
            self.env = dict(os.environ, DISPLAY=":" + number, QT_QPA_PLATFORM="xcb")
            self.processes.append(subprocess.Popen(
                ["openbox", "--sm-disable"], env=self.env, stdout=subprocess.DEVNULL,
                stderr=subprocess.DEVNULL, start_new_session=True))
            self._wait_for_window_manager(10)
        except BaseException:
            self.__exit__()
            raise
        return self

    def _wait_for_window_manager(self, timeout):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            root = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=self.env,
                                  capture_output=True, timeout=10).stdout
            if b"window id" in root:
                return
            time.sleep(0.05)
        raise RuntimeError(f"openbox did not start within {timeout} s")

    def __exit__(self, *exc):
        for process in reversed(self.processes):
            proctree.end_tree(process)
