#!/usr/bin/env python3
"""Checks that every C++ file of the source tree, tracked or not, is formatted
as .clang-format says. The build folders (the top-level folders whose names
begin with "build") and .git are left out.

usage: format_test.py SOURCE_DIR

Without clang-format the test is skipped (exit status 77) unless
VORLAN2_REQUIRE_TOOLS is set, as the test command sets it: there a missing
clang-format is a failure.
"""
import os
import re
import shutil
import subprocess
import sys
import unittest

# The .clang-format is written for Debian's clang-format 14; its versioned name
# comes first so that a newer default clang-format does not judge the tree.
CLANG_FORMAT_NAMES = ("clang-format-14", "clang-format")
CPP_SUFFIXES = (".h", ".hh", ".hpp", ".hxx", ".cc", ".cpp", ".cxx")
VIOLATION = re.compile(r"^(.+?):\d+:\d+: error: ")


def cpp_files(source_dir):
    """Paths, relative to source_dir and sorted, of the C++ files to check."""
    found = []
    for folder, subfolders, files in os.walk(source_dir):
        if folder == source_dir:
            subfolders[:] = [d for d in subfolders if d != ".git" and not d.startswith("build")]
        # A dangling link (an editor's lock file among them) holds no code.
        paths = (os.path.join(folder, f) for f in files if f.endswith(CPP_SUFFIXES))
        found.extend(os.path.relpath(p, source_dir) for p in paths if os.path.isfile(p))
    return sorted(found)


def format_complaints(paths):
    """For each file that clang-format would change, its first message (file,
    line and column); clang-format's whole report when it failed otherwise."""
    run = subprocess.run([CLANG_FORMAT, "--dry-run", "--Werror", *paths], cwd=SOURCE_DIR, capture_output=True,
                         text=True)
    if run.returncode == 0:
        return []
    first = {}
    for line in run.stderr.splitlines():
        where = VIOLATION.match(line)
        if where:
            first.setdefault(where.group(1), line)
    return list(first.values()) or [run.stderr.strip() or f"clang-format ended with status {run.returncode}"]


class Format(unittest.TestCase):
    def test_every_cpp_file_is_formatted(self):
        paths = cpp_files(SOURCE_DIR)
        self.assertTrue(paths, f"no C++ file under {SOURCE_DIR}")
        complaints = format_complaints(paths)
        if complaints:
            self.fail("C++ files not formatted as .clang-format says (clang-format -i FILE formats one):\n" +
                      "\n".join(complaints))


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    SOURCE_DIR = os.path.abspath(sys.argv[1])
    CLANG_FORMAT = next(filter(None, map(shutil.which, CLANG_FORMAT_NAMES)), None)
    if CLANG_FORMAT is None:
        message = "clang-format not installed (scripts/install-deps.sh installs it)"
        if os.environ.get("VORLAN2_REQUIRE_TOOLS"):
            sys.exit("FAILED: " + message)
        print("SKIPPED: " + message)
        sys.exit(77)
    print(subprocess.run([CLANG_FORMAT, "--version"], capture_output=True, text=True).stdout.strip())
    result = unittest.main(argv=sys.argv[:1], exit=False, verbosity=2).result
    sys.exit(0 if result.wasSuccessful() else 1)
