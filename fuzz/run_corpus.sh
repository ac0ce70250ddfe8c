#!/usr/bin/env bash
# Builds the fuzz targets with clang into the build directory given as the
# argument and runs each of them once over its saved corpus (and over the
# inputs that once made it fail); exits non-zero on any finding.
# Needs the Debian packages clang and libclang-rt-14-dev (installs nothing).
# Usage: fuzz/run_corpus.sh BUILD_DIR
set -euo pipefail
fuzz=$(cd "$(dirname "$0")" && pwd)
build=${1:?usage: run_corpus.sh BUILD_DIR}

cmake -S "$fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export TMPDIR=$scratch
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

for corpus in "$fuzz"/corpus/*/; do
  target=$(basename "$corpus")
  inputs=("$corpus")
  [ -d "$fuzz/regressions/$target" ] && inputs+=("$fuzz/regressions/$target")
  echo "fuzz target $target: $(find "${inputs[@]}" -type f | wc -l) inputs"
  if ! "$build/${target}_fuzzer" -runs=0 -timeout=20 -rss_limit_mb=2048 "${inputs[@]}" >"$scratch/$target.log" 2>&1; then
    cat "$scratch/$target.log"
    echo "fuzz target $target failed" >&2
    exit 1
  fi
done
echo "all fuzz corpora pass"
