"""A process and all its descendants, read from /proc: their CPU time, their
proportional set size, and ending them all by pid."""

import os
import signal
import time

CLOCK_TICKS = os.sysconf("SC_CLK_TCK")


def _stat_fields(pid):
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
            fields = _stat_fields(entry)
            if fields:
                children.setdefault(int(fields[1]), []).append(int(entry))
    tree, queue = [], [root]
    while queue:
        pid = queue.pop()
        tree.append(pid)
        queue.extend(children.get(pid, []))
    return tree


def cpu_sample(root):
    """CPU time (utime + stime, in clock ticks) of each live process in the
    tree, keyed by pid and start time, so that a reused pid is not confused
    with the process it replaced."""
    sample = {}
    for pid in descendants_and_self(root):
        fields = _stat_fields(pid)
        if fields:
            sample[(pid, fields[19])] = int(fields[11]) + int(fields[12])
    return sample


def cpu_seconds_between(before, after):
    """CPU seconds the tree used between two samples; a process that started
    in between counts whole, one that ended in between is lost."""
    ticks = sum(used - before.get(key, 0) for key, used in after.items())
    return ticks / CLOCK_TICKS


def pss_bytes(root):
    total = 0
    for pid in descendants_and_self(root):
        try:
            with open(f"/proc/{pid}/smaps_rollup") as f:
                for line in f:
                    if line.startswith("Pss:"):
                        total += int(line.split()[1]) * 1024
                        break
        except (FileNotFoundError, ProcessLookupError):
            continue  # ended since the tree was read; any other error is no total
    return total


def _start_time(pid):
    fields = _stat_fields(pid)
    return fields[19] if fields else None


def end_tree(process, grace=5.0):
    """Ends a process started in its own session and everything under it: the
    tree is read first, since descendants lose their parent once it dies.
    SIGTERM to the group and each pid, then SIGKILL to whatever outlives the
    grace period (checking start times, so that no reused pid is hit)."""
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
