#!/usr/bin/env python3
"""Installs the build with CMake's install rule into a scratch prefix, as the
set-up command does into /usr/local, and runs the installed program from
another directory with PATH holding only PREFIX/bin and the system's.

usage: install_test.py CMAKE BUILD_DIR
"""
import os
import subprocess
import sys
import tempfile


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    cmake, build = sys.argv[1:]
    with tempfile.TemporaryDirectory(prefix="vorlan2-install-") as scratch:
        prefix = os.path.join(scratch, "prefix")
        subprocess.run([cmake, "--install", build, "--prefix", prefix], check=True,
                       stdout=subprocess.DEVNULL)
        installed = sorted(os.path.relpath(os.path.join(d, f), prefix)
                           for d, _, files in os.walk(prefix) for f in files)
        if installed != [os.path.join("bin", "vorlan2")]:
            sys.exit(f"FAILED: installed {installed}, not bin/vorlan2 alone")
        environment = {"PATH": os.pathsep.join([os.path.join(prefix, "bin"), "/usr/bin", "/bin"]),
                       "HOME": scratch}
        environment.update({k: v for k, v in os.environ.items()
                            if k.split("_")[0] in ("ASAN", "UBSAN", "LSAN")})
        result = subprocess.run(["vorlan2", "-help"], cwd=scratch, env=environment,
                                stdout=subprocess.PIPE, text=True)
        if result.returncode != 0 or "Help Menu" not in result.stdout:
            sys.exit(f"FAILED: the installed vorlan2 -help exited with {result.returncode}:\n"
                     f"{result.stdout}")
    print("installed bin/vorlan2 runs from PATH")


if __name__ == "__main__":
    main()
