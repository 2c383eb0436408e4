"""A process and all its descendants, read from /proc: their CPU time and
their proportional set size."""

import os

from desktop import descendants_and_self, stat_fields

CLOCK_TICKS = os.sysconf("SC_CLK_TCK")


def cpu_sample(root):
    """CPU time (utime + stime, in clock ticks) of each live process in the
    tree, keyed by pid and start time, so that a reused pid is not confused
    with the process it replaced."""
    sample = {}
    for pid in descendants_and_self(root):
        fields = stat_fields(pid)
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
