#!/usr/bin/env bash
# Benchmarks vorlan2 at the scale users work at and prints figures, with the
# limits measured on the same machine in the same run: the time to write the
# output bytes again, and for ".gz" output the time gzip -6 takes on the same
# content. It asserts nothing.
#
# usage: bench/run_benchmarks.sh [real] [wide] [growth] [writers] [cases] [compare]
#        (default: all but compare)
#   real:    the 1000 Genomes chr20 panel of Debian's shapeit4-example package
#            (600 haplotypes, ~23,700 biallelic SNPs), 5,000 + 5,000 individuals
#   wide:    a synthetic panel of 5,000 haplotypes x 100,000 SNPs,
#            20,000 + 20,000 individuals, tag file of 1,000 SNPs
#   growth:  the wide panel's simulate phase from 10,000 to 40,000 individuals
#   writers: the example panel (examples/), 400,000 controls and a tag file:
#            the memory that writing adds to the simulated haplotypes (goal:
#            at most 256 MB at any core count), with all CPUs and with one,
#            plain and compressed (8.5 GB of plain output)
#   cases:   the real panel with one disease locus and neither haplotype nor
#            genotype files: 50,000 + 50,000 and 250,000 + 250,000 individuals
#            against as many controls alone (time and memory), and the case
#            phase from 10,000 to 500,000 individuals; then many disease loci
#            (relative risks 1.2 and 1.44), linked (the first N SNPs from
#            2,000,810 bp whose allele 1 has a frequency of 0.15-0.85) or
#            spread (every k-th such SNP over the panel): 50,000 + 50,000
#            with 9, 12 and 20 linked and 9 and 12 spread loci, and 250,000 +
#            250,000 with 12 linked, against as many controls alone (goal:
#            at most 1.5 times as long, at most 256 MB more than one locus),
#            and the time a case takes at 1, 8, 9, 12 and 20 loci of each
#            kind (SPREAD_LOCI="..." for other counts of spread loci)
#   compare: byte comparison with another build, OTHER_VORLAN2=path (e.g. an
#            earlier revision's, built in a separate directory): the real
#            panel's 2.0-2.7 Mb, 10,000 controls and 10,000 to 100,000 cases
#            (COMPARE_CASES="..." to choose) with 1, 3 and 9 disease loci
#            spread over it and 9 and 12 linked loci, every output file and
#            the transcript
# VORLAN2=path measures that binary instead of building this tree; the cases
# figures are medians of REPEAT runs (default 3).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=${BENCH_DIR:-/tmp/vorlan2-bench}
which_runs=("$@")
repeat=${REPEAT:-3}
[ ${#which_runs[@]} -gt 0 ] || which_runs=(real wide growth writers cases)

bash "$root/scripts/install-deps.sh"
missing=()
for p in shapeit4-example bcftools; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  DEBIAN_FRONTEND=noninteractive apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
if [ -n "${VORLAN2:-}" ]; then
  vorlan2=$VORLAN2
else
  bash "$root/scripts/build.sh" "$root/build-bench" -DCMAKE_BUILD_TYPE=Release -DVORLAN2_TESTS=OFF
  vorlan2=$root/build-bench/vorlan2
fi
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

# One phase_timer figure ("simulate", "total", "peak resident memory") of its output.
figure() { awk -v f="$2" 'index($0, ": " f " ") { print $(NF - 1) }' "$1"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

run_real_disease() {  # label, controls, cases [disease loci]: no haplotype or genotype files
  local d=$work/real label=$1 controls=$2 cases=$3
  shift 3
  [ $# -gt 0 ] || set -- 2124020 1 1.5 2.25
  rm -rf "$d/out"; mkdir -p "$d/out"
  python3 "$timer" "$label" "$vorlan2" -h "$d/panel.hap" -l "$d/panel.legend" -m "$d/chr20.map" \
    -o "$d/out/cases" -n "$controls" "$cases" -dl "$@" -nrs -no_haps_output -no_gens_output
  rm -rf "$d/out"
}

# Disease loci of the real panel, each with relative risks 1.2 and 1.44, among
# the SNPs whose allele 1 has a frequency of 0.15-0.85: the first N from
# 2,000,810 bp (linked) or every k-th over the panel (spread).
disease_loci() {  # linked|spread, N
  local d=$work/real
  awk -v kind="$1" -v n="$2" '
    NR == FNR { if (FNR > 1) position[FNR - 1] = $2; next }
    { ones = 0; for (i = 1; i <= NF; ++i) ones += $i; f = ones / NF
      if (f >= 0.15 && f <= 0.85) usable[++count] = position[FNR] }
    END {
      if (kind == "linked") {
        for (i = 1; i <= count && found < n; ++i) if (usable[i] >= 2000810) { printf "%s 1 1.2 1.44 ", usable[i]; ++found }
      } else {
        k = int(count / n)
        for (i = 0; i < n; ++i) printf "%s 1 1.2 1.44 ", usable[i * k + int(k / 2) + 1]
      }
    }' "$d/panel.legend" "$d/panel.hap"
}

# Runs A (controls, cases) and B (controls, cases) in turn, REPEAT times
# (default 3), each as run_real_disease; their figures go to $work/a.N and
# $work/b.N. Disease loci after the four counts are A's (B has one locus).
paired_runs() {
  local i a_controls=$1 a_cases=$2 b_controls=$3 b_cases=$4
  shift 4
  for i in $(seq "$repeat"); do
    run_real_disease A "$a_controls" "$a_cases" "$@" > "$work/a.$i"
    run_real_disease B "$b_controls" "$b_cases" > "$work/b.$i"
  done
}

# The median over the pairs of an awk expression of a and b, one figure of each run.
median_of() {  # figure, expression
  local i
  for i in $(seq "$repeat"); do
    awk -v a="$(figure "$work/a.$i" "$1")" -v b="$(figure "$work/b.$i" "$1")" "BEGIN { print $2 }"
  done | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}

run_cases() {
  real_panel
  local d=$work/real snps row_bytes
  snps=$(($(wc -l < "$d/panel.legend") - 1))
  row_bytes=$(((snps + 63) / 64 * 8))
  echo "cases: medians of $repeat runs of each, in turn; the ratios are medians of the pairs' ratios"
  for n in 50000 250000; do
    paired_runs "$n" "$n" "$((2 * n))" 0
    local added set_mb
    added=$(median_of "peak resident memory" "a - b")
    set_mb=$(awk -v h=$((4 * n)) -v r="$row_bytes" 'BEGIN { printf "%.0f", h * r / 1e6 }')
    printf 'cases %s + %s: whole run %.2f s, %s controls alone %.2f s: %.2fx\n' "$n" "$n" "$(median_of total a)" \
      "$((2 * n))" "$(median_of total b)" "$(median_of total "a / b")"
    printf 'cases %s + %s: memory added %s MB, %s%% of the haplotype set (%s MB)\n' "$n" "$n" "$added" \
      "$(awk -v a="$added" -v s="$set_mb" 'BEGIN { printf "%.1f", 100 * a / s }')" "$set_mb"
  done
  # The case phase is the simulate phase less that of the controls alone.
  local previous_n="" previous_seconds=""
  for individuals in 10000 20000 50000 100000 200000 500000; do
    local n=$((individuals / 2)) seconds
    paired_runs "$n" "$n" "$n" 0
    seconds=$(median_of simulate "a - b")
    printf 'case phase, %s individuals (%s cases): %.2f s, %s us a case' "$individuals" "$n" "$seconds" \
      "$(awk -v s="$seconds" -v n="$n" 'BEGIN { printf "%.1f", 1e6 * s / n }')"
    [ -z "$previous_n" ] || printf ', %sx the time for %sx the cases' "$(ratio "$seconds" "$previous_seconds")" \
      "$(ratio "$n" "$previous_n")"
    printf '\n'
    previous_n=$n previous_seconds=$seconds
  done
  run_many_loci
}

run_many_loci() {
  local kind count n loci one_locus_peak
  paired_runs 50000 50000 100000 0
  one_locus_peak=$(median_of "peak resident memory" "a")
  for kind in linked spread; do
    for count in 9 12 20; do
      [ "$kind" = linked ] || [ "$count" != 20 ] || continue
      read -r -a loci <<< "$(disease_loci "$kind" "$count")"
      paired_runs 50000 50000 100000 0 "${loci[@]}"
      printf 'cases, %s %s loci, 50000 + 50000: whole run %.2f s, 100000 controls alone %.2f s: %.2fx; peak %s MB, %s MB more than one locus\n' \
        "$count" "$kind" "$(median_of total a)" "$(median_of total b)" "$(median_of total "a / b")" \
        "$(median_of "peak resident memory" a)" "$(median_of "peak resident memory" "a - $one_locus_peak")"
    done
  done
  read -r -a loci <<< "$(disease_loci linked 12)"
  paired_runs 250000 250000 500000 0 "${loci[@]}"
  printf 'cases, 12 linked loci, 250000 + 250000: whole run %.2f s, 500000 controls alone %.2f s: %.2fx\n' \
    "$(median_of total a)" "$(median_of total b)" "$(median_of total "a / b")"
  # The time of a case: the simulate phase less that of the controls alone.
  for kind in linked spread; do
    local counts="1 8 9 12 20"
    [ "$kind" = linked ] || counts=${SPREAD_LOCI:-1 8 9 12}
    for count in $counts; do
      read -r -a loci <<< "$(disease_loci "$kind" "$count")"
      paired_runs 50000 50000 50000 0 "${loci[@]}"
      printf 'case phase, %s %s loci, 50000 cases: %.1f us a case\n' "$count" "$kind" \
        "$(median_of simulate "1e6 * (a - b) / 50000")"
    done
  done
}

compare_runs() {
  real_panel
  local other=${OTHER_VORLAN2:?"set OTHER_VORLAN2 to the binary to compare with"}
  local d=$work/real differences=0
  local -A loci=(
    [1]="2130524 1 1.5 2.25"
    [3]="2104811 1 1.5 2.25 2384941 0 1.3 1.69 2661817 1 2 4"
    [9]="2046480 1 1.5 2.25 2104811 0 1.3 1.69 2146285 1 2 4 2215286 1 1.2 1.44 2319663 0 1.5 2.25
         2384941 1 1.3 1.69 2476631 1 2 4 2572039 0 1.2 1.44 2661817 1 1.5 2.25"
    [9 linked]=$(disease_loci linked 9)
    [12 linked]=$(disease_loci linked 12)
  )
  for count in 1 3 9 "9 linked" "12 linked"; do
    for ncases in ${COMPARE_CASES:-10000 30000 100000}; do
      local label="$count loci, 10000 controls, $ncases cases" binary
      for binary in "$vorlan2" "$other"; do
        rm -rf "$d/out"; mkdir -p "$d/out"
        # shellcheck disable=SC2086
        "$binary" -h "$d/panel.hap" -l "$d/panel.legend" -m "$d/chr20.map" -o "$d/out/run" -int 2000000 2700000 \
          -n 10000 "$ncases" -dl ${loci[$count]} -nrs -no_gens_output > /dev/null
        # The transcript without the program's path and the elapsed time.
        sed -i -e '/^VORLAN took /d' -e '/^Command line input is:/{n;s/^[^ ]* //}' "$d/out/run.summary"
        (cd "$d/out" && sha256sum run.*) > "$work/sums.$([ "$binary" = "$vorlan2" ] && echo this || echo other)"
      done
      if cmp -s "$work/sums.this" "$work/sums.other"; then
        echo "compare $label: $(wc -l < "$work/sums.this") files identical"
      else
        echo "compare $label: DIFFERENT"; diff "$work/sums.this" "$work/sums.other" || true
        differences=1
      fi
    done
  done
  rm -rf "$d/out"
  return "$differences"
}

for r in "${which_runs[@]}"; do
  case $r in
    real) run_real ;;
    wide) run_wide wide 20000 20000 ;;
    growth) for n in 5000 10000 20000; do run_wide "growth $((2 * n)) individuals" "$n" "$n" | grep -E "simulate|memory"; done ;;
    writers) run_writers ;;
    cases) run_cases ;;
    compare) compare_runs ;;
    *) echo "unknown benchmark $r" >&2; exit 2 ;;
  esac
done
