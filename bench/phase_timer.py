#!/usr/bin/env python3
"""Runs vorlan2 and prints the wall time of each phase and the peak memory.

The phases are read from the transcript as it reaches standard output (every
part of it is flushed at once): reading ends at "Random seed set to",
simulating at the "done" after "Simulating haplotypes ...", writing at the
association report (or the elapsed-time line) and association at the end.

usage: phase_timer.py LABEL vorlan2 [flags...]
"""
import resource
import subprocess
import sys
import time


def main():
    label, command = sys.argv[1], sys.argv[2:]
    start = time.monotonic()
    marks = {}
    text = ""
    with subprocess.Popen(command, stdout=subprocess.PIPE, text=True, bufsize=1) as process:
        for line in process.stdout:
            now = time.monotonic() - start
            text += line
            if "Random seed set to" in line:
                marks.setdefault("read", now)
            if "Simulating haplotypes ... done" in text:
                marks.setdefault("simulate", now)
            if "The pvalues and effect sizes" in line:
                marks.setdefault("write", now)
        status = process.wait()
    total = time.monotonic() - start
    marks.setdefault("write", total)
    peak_kb = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
    if status != 0:
        sys.stdout.write(text)
        sys.exit(f"{label}: vorlan2 exited with status {status}")
    previous = 0.0
    for phase in ("read", "simulate", "write"):
        print(f"{label}: {phase} {marks[phase] - previous:.2f} s")
        previous = marks[phase]
    print(f"{label}: association {total - previous:.2f} s")
    print(f"{label}: total {total:.2f} s")
    print(f"{label}: peak resident memory {peak_kb / 1024:.0f} MB")


if __name__ == "__main__":
    main()
