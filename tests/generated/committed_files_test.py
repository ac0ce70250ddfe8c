#!/usr/bin/env python3
"""Runs each generator of a committed file into a scratch directory and checks
that it writes the committed files byte for byte, so that an edit of a
generated file, or of a generator without its output, cannot go unnoticed.

usage: committed_files_test.py SOURCE_DIR
"""
import difflib
import os
import subprocess
import sys
import tempfile
import unittest

# Generator, its output argument that makes the committed files (relative to
# the source directory), and the suffixes it adds to that argument.
GENERATED = (
    ("simulator/tools/make_pacb_table.py", "simulator/pacb_table.cpp", ("",)),
    ("examples/make_example.py", "examples/example", (".haps", ".legend", ".map", ".tags")),
)
SHOWN_DIFF_LINES = 12


def first_difference(committed, generated):
    """Where the two first differ, with a few lines of unified diff there."""
    offset = next((i for i, (a, b) in enumerate(zip(committed, generated)) if a != b),
                  min(len(committed), len(generated)))
    diff = difflib.unified_diff(committed.decode(errors="replace").splitlines(keepends=True),
                                generated.decode(errors="replace").splitlines(keepends=True),
                                "committed", "generated", n=1)
    shown = (line.rstrip("\n")[:120] for _, line in zip(range(SHOWN_DIFF_LINES), diff))
    line = committed.count(b"\n", 0, offset) + 1
    return f"first difference at byte {offset} (line {line})\n" + "\n".join(shown)


class CommittedFiles(unittest.TestCase):
    def test_generators_write_the_committed_files(self):
        for generator, output, suffixes in GENERATED:
            with self.subTest(generator=generator), tempfile.TemporaryDirectory() as scratch:
                scratch_output = os.path.join(scratch, os.path.basename(output))
                # Run from the scratch directory: a generator must not depend on where it runs.
                subprocess.run([sys.executable, os.path.join(SOURCE_DIR, generator), scratch_output],
                               cwd=scratch, check=True)
                for suffix in suffixes:
                    with self.subTest(file=output + suffix):
                        with open(os.path.join(SOURCE_DIR, output + suffix), "rb") as f:
                            committed = f.read()
                        with open(scratch_output + suffix, "rb") as f:
                            generated = f.read()
                        if committed != generated:
                            self.fail(f"{output + suffix} is not what {generator} makes; remake it with\n"
                                      f"  python3 {generator} {output}\n"
                                      f"or mend the generator:\n{first_difference(committed, generated)}")


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    SOURCE_DIR = os.path.abspath(sys.argv[1])
    result = unittest.main(argv=sys.argv[:1], exit=False, verbosity=2).result
    sys.exit(0 if result.wasSuccessful() else 1)
