#!/usr/bin/env bash
# Set-up and demonstration: installs what is missing, builds, installs the
# program as /usr/local/bin/vorlan2 (so that a new shell finds it on PATH),
# and simulates 200 controls and 200 cases from the example panel in examples/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh" "$root/build" -DCMAKE_BUILD_TYPE=Release -DVORLAN2_TESTS=OFF
prefix=/usr/local
cmake --install "$root/build" --prefix "$prefix"
out="$root/build/example-output"
mkdir -p "$out"
cd "$root/examples"
"$prefix/bin/vorlan2" -h example.haps -l example.legend -m example.map \
  -o "$out/example" -n 200 200 -int 1000000 2000000 \
  -dl 1500000 1 1.5 2.25 -t example.tags -output_snp_summary -nrs
echo "output files are in $out"
