#!/usr/bin/env python3
"""Checks the names CTest gives the tests of a build tree, so that each says
what it tests, reads in a failure report and is the same in every build: at
most 80 characters, no blanks (a name that carries GoogleTest's listing of a
parameter's bytes has them), and every case of a parameterised suite named by
the suite's name generator rather than by its index.

usage: test_names_test.py CTEST BUILD_DIR
"""
import re
import subprocess
import sys
import unittest

LONGEST_NAME = 80
LISTED = re.compile(r"^\s*Test\s+#\d+: (.*)$")
# Prefix/Suite.Test/Case, the Case being GoogleTest's index when no generator names it.
INDEXED_CASE = re.compile(r"^[^/.]+/[^/.]+\.[^/]+/\d+$")


def ctest_names():
    listing = subprocess.run([CTEST, "--test-dir", BUILD_DIR, "-N"], capture_output=True, text=True, check=True)
    return [m.group(1) for m in map(LISTED.match, listing.stdout.splitlines()) if m]


def shown(name):
    """The name as a report can show it: GoogleTest's dump of a parameter cut short."""
    return f"{name[:100]}... ({len(name)} characters)" if len(name) > 100 else name


class TestNames(unittest.TestCase):
    def test_names_are_short_and_free_of_parameter_dumps(self):
        names = ctest_names()
        self.assertTrue(names, f"ctest lists no test in {BUILD_DIR}")
        unreadable = [shown(n) for n in names if len(n) > LONGEST_NAME or re.search(r"\s", n)]
        if unreadable:
            self.fail(f"longer than {LONGEST_NAME} characters or holding blanks:\n" + "\n".join(unreadable))

    def test_parameterised_cases_are_named(self):
        indexed = [n for n in ctest_names() if INDEXED_CASE.match(n)]
        if indexed:
            self.fail("parameterised cases named by index; give the suite a name generator:\n" + "\n".join(indexed))


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    CTEST, BUILD_DIR = sys.argv[1:]
    result = unittest.main(argv=sys.argv[:1], exit=False, verbosity=2).result
    sys.exit(0 if result.wasSuccessful() else 1)
