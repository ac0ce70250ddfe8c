#!/usr/bin/env bash
# Set-up and the whole test suite: installs what is missing, then builds and
# runs every test twice, once optimised and once under AddressSanitizer and
# UndefinedBehaviorSanitizer; in between, the saved fuzz corpora go through
# the fuzz targets. The check that every C++ file is formatted as
# .clang-format says and the README's commands for other tools' formats are
# part of the suite, the latter run on the example panel and on the chr20
# panel of Debian's shapeit4-example (52 MB), so the tools and the data they
# name are installed and required.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh" bcftools plink1.9 plink2 shapeit4-example
export VORLAN2_REQUIRE_TOOLS=1
jobs=$(nproc)

bash "$root/scripts/build.sh" "$root/build-test" -DCMAKE_BUILD_TYPE=Release
ctest --test-dir "$root/build-test" -j "$jobs" --output-on-failure

bash "$root/fuzz/run_corpus.sh" "$root/build-fuzz-corpus"

bash "$root/scripts/build.sh" "$root/build-sanitize" -DCMAKE_BUILD_TYPE=Debug -DVORLAN2_SANITIZE=ON
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$root/build-sanitize" -j "$jobs" --output-on-failure
