#!/usr/bin/env bash
# Benchmarks vorlan2 at the scale users work at and prints figures, with the
# limits measured on the same machine in the same run: the time to write the
# output bytes again, and for ".gz" output the time gzip -6 takes on the same
# content. It asserts nothing.
#
# usage: bench/run_benchmarks.sh [real] [wide] [growth] [writers]   (default: all)
#   real:   the 1000 Genomes chr20 panel of Debian's shapeit4-example package
#           (600 haplotypes, ~23,700 biallelic SNPs), 5,000 + 5,000 individuals
#   wide:   a synthetic panel of 5,000 haplotypes x 100,000 SNPs,
#           20,000 + 20,000 individuals, tag file of 1,000 SNPs
#   growth: the wide panel's simulate phase from 10,000 to 40,000 individuals
#   writers: the example panel (examples/), 400,000 controls and a tag file:
#           the memory that writing adds to the simulated haplotypes (goal:
#           at most 256 MB at any core count), with all CPUs and with one,
#           plain and compressed (8.5 GB of plain output)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=${BENCH_DIR:-/tmp/vorlan2-bench}
which_runs=("$@")
[ ${#which_runs[@]} -gt 0 ] || which_runs=(real wide growth writers)

bash "$root/scripts/install-deps.sh"
missing=()
for p in shapeit4-example bcftools; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  DEBIAN_FRONTEND=noninteractive apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
bash "$root/scripts/build.sh" "$root/build-bench" -DCMAKE_BUILD_TYPE=Release -DVORLAN2_TESTS=OFF
vorlan2=$root/build-bench/vorlan2
timer=$root/bench/phase_timer.py
mkdir -p "$work"

now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", b - a }'; }

limits() {  # label, output prefix
  local label=$1 prefix=$2 start
  local files=() compressed=() plain=()
  mapfile -t files < <(ls "$prefix".* | grep -v '\.summary$')
  mapfile -t compressed < <(printf '%s\n' "${files[@]}" | grep '\.gz$' || true)
  mapfile -t plain < <(printf '%s\n' "${files[@]}" | grep -v '\.gz$' || true)
  printf '%s: output %s MB\n' "$label" "$(cat "${files[@]}" | wc -c | awk '{printf "%.0f", $1/1e6}')"
  start=$(now)
  cat "${files[@]}" > "$work/copy.bin"
  printf '%s: limit, writing the output again (cat) %s s\n' "$label" "$(elapsed "$start" "$(now)")"
  rm -f "$work/copy.bin"
  if [ ${#compressed[@]} -gt 0 ]; then
    start=$(now)
    { zcat "${compressed[@]}"; cat "${plain[@]}"; } | gzip -6 > /dev/null
    printf '%s: limit, gzip -6 of the same content %s s\n' "$label" "$(elapsed "$start" "$(now)")"
  fi
}

real_panel() {
  local d=$work/real src=/usr/share/doc/shapeit4/examples/test
  mkdir -p "$d"
  if [ ! -f "$d/panel.hap" ]; then
    bcftools view -m2 -M2 -v snps "$src/reference.vcf.gz" -Oz -o "$d/snps.vcf.gz"
    bcftools convert --haplegendsample "$d/panel" "$d/snps.vcf.gz" >/dev/null
    gunzip -f "$d/panel.hap.gz" "$d/panel.legend.gz"
    # "pos chr cM": already three numbers a line, the second unused.
    zcat "$src/chr20.b37.gmap.gz" > "$d/chr20.map"
  fi
}

run_real() {
  real_panel
  local d=$work/real
  for suffix in "" ".gz"; do
    local label="real${suffix:+ gz}"
    rm -rf "$d/out"; mkdir -p "$d/out"
    python3 "$timer" "$label" "$vorlan2" -h "$d/panel.hap" -l "$d/panel.legend" -m "$d/chr20.map" \
      -o "$d/out/real$suffix" -n 5000 5000 -dl 2124020 1 1.5 2.25 3202764 1 1.3 1.69 -nrs -output_snp_summary
    limits "$label" "$d/out/real"
  done
  rm -rf "$d/out"
}

wide_panel() {
  local d=$work/wide
  mkdir -p "$d"
  if [ ! -f "$d/panel.haps" ]; then
    python3 "$root/examples/make_example.py" --haplotypes 5000 --snps 100000 --start 1000000 \
      --length 50000000 --disease-position 25000000 --tag-every 100 "$d/panel"
  fi
}

run_wide() {  # label, controls, cases
  wide_panel
  local d=$work/wide
  rm -rf "$d/out"; mkdir -p "$d/out"
  python3 "$timer" "$1" "$vorlan2" -h "$d/panel.haps" -l "$d/panel.legend" -m "$d/panel.map" \
    -o "$d/out/wide" -n "$2" "$3" -int 1000000 51000000 -dl 25000000 1 1.5 2.25 -t "$d/panel.tags" \
    -no_haps_output -no_gens_output -nrs
  [ "$1" != wide ] || limits "$1" "$d/out/wide"
  rm -rf "$d/out"
}

run_writers() {
  local d=$work/writers e=$root/examples
  for cpus in "all CPUs" "one CPU"; do
    for suffix in "" ".gz"; do
      local label="writers, $cpus${suffix:+, gz}" pin=()
      [ "$cpus" = "all CPUs" ] || pin=(taskset -c "$(python3 -c 'import os; print(min(os.sched_getaffinity(0)))')")
      rm -rf "$d"; mkdir -p "$d"
      "${pin[@]}" python3 "$timer" "$label" "$vorlan2" -h "$e/example.haps" -l "$e/example.legend" \
        -m "$e/example.map" -t "$e/example.tags" -o "$d/writers$suffix" -n 400000 0 -int 1000000 2000000 \
        -dl 1500000 1 1.5 2.25 -nrs | grep -E "write|memory|haplotypes|writing"
    done
  done
  rm -rf "$d"
}

for r in "${which_runs[@]}"; do
  case $r in
    real) run_real ;;
    wide) run_wide wide 20000 20000 ;;
    growth) for n in 5000 10000 20000; do run_wide "growth $((2 * n)) individuals" "$n" "$n" | grep -E "simulate|memory"; done ;;
    writers) run_writers ;;
    *) echo "unknown benchmark $r" >&2; exit 2 ;;
  esac
done
