#!/usr/bin/env python3
"""Makes a synthetic reference panel that looks like real data.

Writes PREFIX.haps, PREFIX.legend, PREFIX.map and PREFIX.tags.

The haplotypes follow a sequential genealogy: the panel is kept in a leaf
order that a recombination event changes by moving one haplotype elsewhere,
and each SNP's derived allele is carried by a contiguous block of that order
(a clade). Neighbouring SNPs share most of the order, so linkage
disequilibrium decays with distance, fastest across the map's hot spots. The
block sizes follow the neutral frequency spectrum (P(k) proportional to 1/k),
so allele frequencies spread from rare to common.

usage: make_example.py [--haplotypes N] [--snps S] [--start BP] [--length BP]
                       [--seed N] [--disease-position BP] [--tag-every N] PREFIX

The files in examples/ are its output with the default settings
(make_example.py examples/example), and a test checks that they still are. So
the output must depend on the arguments alone, whatever the Python 3 version
(3.6 or later): it uses only methods of random.Random whose numbers for an
integer seed have not changed between versions (random, randrange, randint,
uniform, choice, choices, sample), no math-library function, and the
correctly rounded float formatting of f-strings; sets are sorted before use.
"""
import argparse
import bisect
import itertools
import random


def recombination_map(rng, start, length):
    """Map points every kb: background 0.3 cM/Mb, a hot spot every ~60 kb."""
    step = 1000
    hotspots = []
    position = start + rng.randint(10_000, 60_000)
    while position < start + length:
        hotspots.append(position)
        position += rng.randint(30_000, 90_000)
    points = []
    cm = 0.0
    for bp in range(start - step, start + length + 2 * step, step):
        rate = 0.3
        near = bisect.bisect_left(hotspots, bp - 1500)
        while near < len(hotspots) and hotspots[near] <= bp + 1500:
            rate += rng.uniform(20.0, 60.0)
            near += 1
        points.append((bp, rate, cm))
        cm += rate * step / 1e6
    return points


def genetic_position(points, positions, bp):
    i = max(0, bisect.bisect_right(positions, bp) - 1)
    if i + 1 >= len(points):
        return points[-1][2]
    (p0, _, c0), (p1, _, c1) = points[i], points[i + 1]
    return c0 + (bp - p0) / (p1 - p0) * (c1 - c0)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--haplotypes", type=int, default=100)
    parser.add_argument("--snps", type=int, default=2000)
    parser.add_argument("--start", type=int, default=1_000_000)
    parser.add_argument("--length", type=int, default=1_000_000)
    parser.add_argument("--seed", type=int, default=20110401)
    parser.add_argument("--disease-position", type=int, default=1_500_000)
    parser.add_argument("--tag-every", type=int, default=10)
    parser.add_argument("prefix")
    args = parser.parse_args()

    rng = random.Random(args.seed)
    n = args.haplotypes
    points = recombination_map(rng, args.start, args.length)
    map_positions = [p[0] for p in points]

    positions = set(rng.sample(range(args.start, args.start + args.length), args.snps - 1))
    positions.discard(args.disease_position)
    while len(positions) < args.snps - 1:
        positions.add(rng.randrange(args.start, args.start + args.length))
        positions.discard(args.disease_position)
    positions = sorted(positions | {args.disease_position})

    cumulative = list(itertools.accumulate(1.0 / k for k in range(1, n)))
    # Scaled so that a 1 Mb region sees a few hundred changes of the order.
    events_per_cm = 4.0 * n / 10.0
    order = list(range(n))
    recent = []
    previous_cm = genetic_position(points, map_positions, positions[0])
    bases = "ACGT"

    with open(args.prefix + ".haps", "w") as haps, open(args.prefix + ".legend", "w") as legend:
        legend.write("rs position a0 a1\n")
        for index, bp in enumerate(positions):
            cm = genetic_position(points, map_positions, bp)
            expected = (cm - previous_cm) * events_per_cm
            previous_cm = cm
            events = 0
            while rng.random() < expected / (1.0 + expected) and events < n:
                events += 1
            for _ in range(events):
                moved = order.pop(rng.randrange(n))
                order.insert(rng.randrange(n), moved)

            if bp == args.disease_position:
                size = n // 4
                first = rng.randrange(n - size + 1)
            elif recent and rng.random() < 0.7:
                # A clade of a nearby SNP again, give or take one haplotype.
                first, size = rng.choice(recent)
                size = min(max(1, size + rng.randint(-1, 1)), n - first)
            else:
                size = rng.choices(range(1, n), cum_weights=cumulative)[0]
                first = rng.randrange(n - size + 1)
                recent.append((first, size))
                del recent[:-8]
            line = bytearray(b"0 " * n)
            for h in order[first:first + size]:
                line[2 * h] = ord("1")
            line[-1] = ord("\n")
            haps.write(line.decode())
            a0, a1 = rng.sample(bases, 2)
            legend.write(f"rs{100000 + index} {bp} {a0} {a1}\n")

    with open(args.prefix + ".map", "w") as out:
        out.write("position COMBINED_rate(cM/Mb) Genetic_Map(cM)\n")
        for bp, rate, cm in points:
            out.write(f"{bp} {rate:.4f} {cm:.6f}\n")

    with open(args.prefix + ".tags", "w") as out:
        for bp in positions[:: args.tag_every]:
            out.write(f"{bp}\n")


if __name__ == "__main__":
    main()
