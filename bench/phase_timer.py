#!/usr/bin/env python3
"""Runs vorlan2 and prints the wall time of each phase and the peak memory.

The phases are read from the transcript as it reaches standard output (every
part of it is flushed at once): reading ends at "Random seed set to",
simulating at the "done" after "Simulating haplotypes ...", writing at the
association report (or the elapsed-time line) and association at the end.
The peak memory is also taken when writing starts ("Writing output to
files"), so that what the writers add shows beside the size of the simulated
haplotypes (one bit per allele, rows of 64-bit words).

usage: phase_timer.py LABEL vorlan2 [flags...]
"""
import math
import re
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
            if "Writing output to files" in line and "peak_before_write_kb" not in marks:
                marks["peak_before_write_kb"] = peak_so_far_kb(process.pid)
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
    data_bytes = haplotype_data_bytes(text)
    if data_bytes is not None and marks.get("peak_before_write_kb"):
        before_kb = marks["peak_before_write_kb"]
        print(f"{label}: simulated haplotypes {data_bytes / 2**20:.0f} MB")
        print(f"{label}: peak before writing {before_kb / 1024:.0f} MB")
        print(f"{label}: added by writing {max(peak_kb - before_kb, 0) / 1024:.0f} MB")


def peak_so_far_kb(pid):
    try:
        with open(f"/proc/{pid}/status") as status:
            for line in status:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return None


def haplotype_data_bytes(text):
    def number(label):
        found = re.search(label + r"\s*(\d+)", text)
        return int(found.group(1)) if found else None

    controls = number("no. controls to simulate:")
    cases = number("no. cases to simulate:")
    snps = number("number of SNPs in interval:")
    if None in (controls, cases, snps):
        return None
    return 2 * (controls + cases) * math.ceil(snps / 64) * 8


if __name__ == "__main__":
    main()
