#!/usr/bin/env python3
"""Runs the README's command blocks as they stand there and checks what they
make against what the README says of it: the panel and the map taken from a
phased VCF and a genetic map, the disease locus the run block picks, the
run's files and their sizes, and what bcftools, PLINK 1.9 and PLINK 2 load
from them and report.

The commands are the fenced blocks between "<!-- interop:begin NAME -->" and
"<!-- interop:end -->". Each runs in a fresh shell (a clean environment whose
PATH finds `vorlan2`, as after the set-up command, and the tools), in a
scratch directory per map route that holds the phased VCF and the input of
that route's map block alone; so each map block is shown to run without the
other. The data sets:

  example  a VCF of two chromosomes made from the example panel, the example
           map as "pos chr cM" (gzipped) and with the chromosome first (two
           chromosomes); also the README's other claims about messages and
           files (help, compressed inputs, split multiallelic records, a map
           in Morgans, a run block without a fitting locus)
  chr20    the phased chr20 reference panel and map of Debian's
           shapeit4-example, and a chromosome-first map made from that map

usage: readme_commands_test.py README VORLAN2 EXAMPLES_DIR DATASET

A missing tool or data package skips the test (exit status 77) unless
VORLAN2_REQUIRE_TOOLS is set, as the test command sets it: there a missing
tool is a failure.
"""
import gzip
import math
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

TOOLS = ("bcftools", "plink1.9", "plink2")
SHAPEIT4_EXAMPLE = "/usr/share/doc/shapeit4/examples/test"
CHROM = "20"
OTHER_CHROM = "21"
GROUPS = ("controls", "cases", "all")
# Each map route's block and the input file it reads.
MAP_ROUTES = {"map_pos_chr_cm": "chr20.b37.gmap.gz", "map_chr_first": "genetic_map.txt"}
# The run block's band of allele-1 frequencies for the disease locus.
LOCUS_BAND = (0.1, 0.3)
COMPRESSED = "the file is compressed; unpack it first (for example with gunzip)."


def readme_blocks(readme_text):
    """The shell text of each marked block, by name, in README order."""
    blocks = {}
    pattern = re.compile(r"<!-- interop:begin (\w+) -->\n(.*?)<!-- interop:end -->", re.S)
    for name, body in pattern.findall(readme_text):
        fenced = re.findall(r"```sh\n(.*?)```", body, re.S)
        if not fenced:
            raise AssertionError(f"README block {name!r} holds no ```sh block")
        blocks[name] = "".join(fenced)
    return blocks


def read_rows(path):
    with open(path) as f:
        return [line.split() for line in f]


def read_haplotype_rows(path):
    """One string of alleles per SNP line, without the blanks."""
    with open(path) as f:
        return [line.replace(" ", "").rstrip("\n") for line in f]


def fresh_shell_environment(binaries, home):
    """What a new shell has after the set-up command: vorlan2 and the system's
    tools on PATH and nothing of this test's environment, but the sanitizers'
    settings of the test command."""
    directories = [binaries]
    for tool in TOOLS + ("bash", "awk", "gunzip"):
        found = shutil.which(tool)
        if found and os.path.dirname(found) not in directories:
            directories.append(os.path.dirname(found))
    environment = {"PATH": os.pathsep.join(directories + ["/usr/bin", "/bin"]), "HOME": home}
    environment.update({k: v for k, v in os.environ.items()
                        if k.split("_")[0] in ("ASAN", "UBSAN", "LSAN")})
    return environment


def run(command, cwd, env, name=None):
    result = subprocess.run(command, cwd=cwd, env=env, stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT, text=True, errors="replace")
    if result.returncode != 0:
        raise AssertionError(f"{name or ' '.join(command)} exited with {result.returncode}:\n"
                             f"{result.stdout[-6000:]}")
    return result.stdout


def block_command(blocks, name):
    if name not in blocks:
        raise AssertionError(f"README has no interop block {name!r}")
    # -x: the output shows which command of the block failed.
    return ["bash", "-euxo", "pipefail", "-c", blocks[name]]


def run_block(blocks, name, cwd, env):
    return run(block_command(blocks, name), cwd, env, f"README block {name!r}")


def transcript_figure(text, label):
    match = re.search(re.escape(label) + r"\s*(\S+)", text)
    if not match:
        raise AssertionError(f"transcript lacks {label!r}")
    return match.group(1)


def first_locus_in_band(positions, haplotype_rows):
    """The first SNP whose allele 1 is on a share of the panel haplotypes
    within LOCUS_BAND, the bounds included, as the run block means it."""
    low, high = LOCUS_BAND
    for position, row in zip(positions, haplotype_rows):
        ones = row.count("1")
        if low * len(row) <= ones <= high * len(row):
            return position
    raise AssertionError("no panel SNP in the band")


class ExampleData:
    """The example panel written as a VCF of two chromosomes, and its map."""

    name = "example"

    def __init__(self, examples):
        self.examples = examples
        self.legend = [[f"{CHROM}:{p}_{a0}_{a1}", p, a0, a1]
                       for _, p, a0, a1 in read_rows(os.path.join(examples, "example.legend"))[1:]]
        self.haplotypes = read_haplotype_rows(os.path.join(examples, "example.haps"))
        with open(os.path.join(examples, "example.map")) as f:
            self.map_lines = f.read().splitlines()
        self.map_points = [(p, cM) for p, _, cM in (line.split() for line in self.map_lines[1:])]

    def write_vcf(self, directory, separator="|", split_at=None):
        """Chromosome CHROM holds the panel, OTHER_CHROM the same SNPs with
        every allele flipped, so a panel that takes in the second chromosome
        differs. The separator "/" makes every genotype unphased. split_at
        adds, after the SNP at that position, a second record there (a
        multiallelic site split into biallelic records)."""
        individuals = len(self.haplotypes[0]) // 2
        path = os.path.join(directory, "panel.vcf")
        with open(path, "w") as f:
            f.write("##fileformat=VCFv4.2\n")
            for chrom in (CHROM, OTHER_CHROM):
                f.write(f"##contig=<ID={chrom}>\n")
            f.write('##FORMAT=<ID=GT,Number=1,Type=String,Description="Genotype">\n')
            f.write("#CHROM\tPOS\tID\tREF\tALT\tQUAL\tFILTER\tINFO\tFORMAT\t"
                    + "\t".join(f"s{i}" for i in range(individuals)) + "\n")

            def record(chrom, position, a0, a1, alleles):
                genotypes = "\t".join(f"{alleles[2 * i]}{separator}{alleles[2 * i + 1]}"
                                      for i in range(individuals))
                f.write(f"{chrom}\t{position}\t.\t{a0}\t{a1}\t.\tPASS\t.\tGT\t{genotypes}\n")

            for chrom, flip in ((CHROM, False), (OTHER_CHROM, True)):
                for (_, position, a0, a1), alleles in zip(self.legend, self.haplotypes):
                    flipped = alleles.translate(str.maketrans("01", "10"))
                    record(chrom, position, a0, a1, flipped if flip else alleles)
                    if position == split_at and chrom == CHROM:
                        other = next(b for b in "ACGT" if b not in (a0, a1))
                        record(chrom, position, a0, other, flipped)
        run(["bcftools", "view", "panel.vcf", "-Oz", "-o", "panel.vcf.gz"], directory,
            fresh_shell_environment(BINARIES, directory))

    def write_map(self, directory, route):
        """The example map as "pos chr cM" (gzipped), or with the chromosome
        first and the other chromosome's lines after it."""
        path = os.path.join(directory, MAP_ROUTES[route])
        if route == "map_pos_chr_cm":
            with gzip.open(path, "wt") as f:
                f.write("pos\tchr\tcM\n")
                for position, cM in self.map_points:
                    f.write(f"{position}\t{CHROM}\t{cM}\n")
            return
        rates = [line.split()[1] for line in self.map_lines[1:]]
        with open(path, "w") as f:
            f.write(f"chr {self.map_lines[0]}\n")
            for chrom in (CHROM, OTHER_CHROM):
                for (position, cM), rate in zip(self.map_points, rates):
                    shown = cM if chrom == CHROM else f"{2 * float(cM):.6f}"
                    f.write(f"{chrom} {position} {rate} {shown}\n")


class Chr20Data:
    """The phased chr20 panel of shapeit4-example (300 individuals, 24,990
    sites, 23,670 of them biallelic SNPs) and its "pos chr cM" map."""

    name = "chr20"

    def __init__(self, source):
        self.source = source
        self.legend, self.haplotypes = [], []
        with gzip.open(os.path.join(source, "reference.vcf.gz"), "rt") as f:
            for line in f:
                if line.startswith("#"):
                    continue
                fields = line.rstrip("\n").split("\t")
                chrom, position, _, ref, alt = fields[:5]
                if chrom == CHROM and len(ref) == 1 and len(alt) == 1 and alt not in ".*":
                    self.legend.append([f"{chrom}:{position}_{ref}_{alt}", position, ref, alt])
                    self.haplotypes.append("".join(fields[9:]).replace("|", ""))
        with gzip.open(os.path.join(source, "chr20.b37.gmap.gz"), "rt") as f:
            self.map_points = [(p, cM) for p, _, cM in (line.split() for line in list(f)[1:])]

    def write_vcf(self, directory):
        os.symlink(os.path.join(self.source, "reference.vcf.gz"),
                   os.path.join(directory, "panel.vcf.gz"))

    def write_map(self, directory, route):
        """The package's map, or one with the chromosome first made from it,
        the lines of another chromosome (twice the cM) after chr20's."""
        path = os.path.join(directory, MAP_ROUTES[route])
        if route == "map_pos_chr_cm":
            os.symlink(os.path.join(self.source, MAP_ROUTES[route]), path)
            return
        with open(path, "w") as f:
            f.write("chr position COMBINED_rate(cM/Mb) Genetic_Map(cM)\n")
            for chrom, scale in ((CHROM, 1), (OTHER_CHROM, 2)):
                previous = None
                for position, cM in self.map_points:
                    rate = 0.0 if previous is None else (
                        (float(cM) - float(previous[1])) / (int(position) - int(previous[0])) * 1e6)
                    shown = cM if scale == 1 else f"{scale * float(cM):.6f}"
                    f.write(f"{chrom} {position} {rate:.6f} {shown}\n")
                    previous = (position, cM)


class ReadmePipeline:
    """The blocks panel, one map route, run and outputs, in that order; the
    route is the subclass's."""

    route = None

    @classmethod
    def setUpClass(cls):
        cls.scratch = tempfile.TemporaryDirectory(prefix=f"vorlan2-readme-{cls.route}-")
        cls.dir = cls.scratch.name
        cls.env = fresh_shell_environment(BINARIES, cls.dir)
        DATA.write_vcf(cls.dir)
        DATA.write_map(cls.dir, cls.route)
        for name in ("panel", cls.route, "run"):
            run_block(BLOCKS, name, cls.dir, cls.env)
        cls.run_files = set(os.listdir(os.path.join(cls.dir, "out")))
        run_block(BLOCKS, "outputs", cls.dir, cls.env)

        # Our side: the haplotypes and the allele-1 count of every SNP in each group.
        out = os.path.join(cls.dir, "out", "sim")
        cls.out = out
        cls.legend = read_rows(out + ".legend")[1:]
        haplotypes = {g: read_haplotype_rows(f"{out}.{g}.haps") for g in ("controls", "cases")}
        haplotypes["all"] = [c + k for c, k in zip(haplotypes["controls"], haplotypes["cases"])]
        cls.haplotypes = haplotypes
        cls.allele1_counts = {g: [row.count("1") for row in rows] for g, rows in haplotypes.items()}
        cls.haplotype_counts = {g: len(rows[0]) for g, rows in haplotypes.items()}
        with open(out + ".gz.summary") as f:
            cls.transcript = f.read()
        cls.locus = transcript_figure(cls.transcript, "disease loci: (1)")

    @classmethod
    def tearDownClass(cls):
        cls.scratch.cleanup()

    def path(self, name):
        return os.path.join(self.dir, name)

    def sample_ids(self, group):
        first = {"controls": 0, "cases": self.haplotype_counts["controls"] // 2, "all": 0}[group]
        return [f"id1_{i}" for i in range(first, first + self.haplotype_counts[group] // 2)]

    def phenotypes(self, group):
        controls = self.haplotype_counts["controls"] // 2
        return [0 if group == "controls" or (group == "all" and i < controls) else 1
                for i in range(self.haplotype_counts[group] // 2)]

    def test_vcf_becomes_the_panel_of_one_chromosome(self):
        legend = read_rows(self.path("panel.legend"))
        self.assertEqual(legend[0], ["id", "position", "a0", "a1"])
        self.assertEqual(DATA.legend, legend[1:])
        self.assertEqual(DATA.haplotypes, read_haplotype_rows(self.path("panel.hap")))

    def test_map_block_keeps_the_chromosomes_positions_and_cM(self):
        rows = read_rows(self.path("panel.map"))
        self.assertEqual(3, len(rows[0]), "a header line")
        self.assertEqual(DATA.map_points, [(p, cM) for p, _, cM in rows[1:]])
        for row in rows[1:]:
            float(row[1])  # the unused column is a number
        if DATA.name == "chr20":
            self.assertEqual(108, round(float(rows[-1][2])), "chr20's length in cM")

    def test_run_block_picks_the_first_locus_in_the_band(self):
        positions = [p for _, p, _, _ in DATA.legend]
        self.assertEqual(first_locus_in_band(positions, DATA.haplotypes), self.locus)
        self.assertIn(f"looking for SNPs in [{positions[0]}, {positions[-1]}]", self.transcript)
        self.assertNotIn("No suitable disease loci", self.transcript)

    def test_run_reads_the_panel_and_writes_the_files_the_readme_names(self):
        self.assertEqual(transcript_figure(self.transcript, "number of haplotypes: "),
                         str(len(DATA.haplotypes[0])))
        self.assertEqual(transcript_figure(self.transcript, "number of SNPs in interval: "),
                         str(len(DATA.legend)))
        self.assertEqual([[p, a0, a1] for _, p, a0, a1 in self.legend],
                         [[p, a0, a1] for _, p, a0, a1 in DATA.legend])
        compressed = {f"sim.{g}.{kind}.gz" for g in ("controls", "cases") for kind in ("haps", "gen")}
        plain = {name[:-3] for name in compressed}
        samples = {"sim.controls.sample", "sim.cases.sample"}
        self.assertEqual(compressed | plain | samples | {"sim.legend", "sim.gz.summary"},
                         self.run_files)

    def test_plain_files_take_the_bytes_per_individual_per_snp_the_readme_gives(self):
        snps = len(self.legend)
        for group in ("controls", "cases"):
            with self.subTest(group=group):
                individuals = self.haplotype_counts[group] // 2
                self.assertEqual(snps * (4 * individuals + 1),
                                 os.path.getsize(f"{self.out}.{group}.haps"))
                snp_fields = sum(len(f"snp_{j} {' '.join(row)}\n")
                                 for j, row in enumerate(read_rows(self.out + ".legend")[1:]))
                self.assertEqual(snp_fields + 6 * individuals * snps,
                                 os.path.getsize(f"{self.out}.{group}.gen"))

    def test_gz_outputs_are_gzip_that_bcftools_index_refuses(self):
        for group in ("controls", "cases"):
            for kind in ("haps", "gen"):
                name = f"out/sim.{group}.{kind}.gz"
                with self.subTest(file=name):
                    with gzip.open(self.path(name), "rb") as z, open(self.path(name[:-3]), "rb") as p:
                        self.assertEqual(p.read(), z.read())
                    with open(self.path(name), "rb") as f:
                        header = f.read(16)
                    # BGZF: a gzip member with the extra field "BC".
                    self.assertFalse(header[3] & 4 and header[12:14] == b"BC")
        result = subprocess.run(["bcftools", "index", "out/sim.controls.gen.gz"], cwd=self.dir,
                                env=self.env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                text=True)
        self.assertNotEqual(0, result.returncode)
        self.assertIn("index: the file is not BGZF compressed, cannot index: "
                      "out/sim.controls.gen.gz", result.stdout)
        run(["bcftools", "index", "out/sim.all.vcf.gz"], self.dir, self.env)

    def check_vcf(self, vcf, group, phased):
        """bcftools' own AC and AN, the alleles and the samples of a VCF."""
        ids = run(["bcftools", "query", "-l", vcf], self.dir, self.env).split()
        self.assertEqual(self.sample_ids(group), ids, vcf)
        fields = "%CHROM %POS %REF %ALT %INFO/AC %INFO/AN" + (" [%GT]" if phased else "")
        text = run(["bash", "-o", "pipefail", "-c",
                    f"bcftools +fill-tags {vcf} -- -t AC,AN | bcftools query -f '{fields}\\n'"],
                   self.dir, self.env)
        rows = [line.split() for line in text.splitlines()]
        self.assertEqual(len(self.legend), len(rows), vcf)
        haplotypes = self.haplotypes[group]
        for j, ((_, position, a0, a1), row) in enumerate(zip(self.legend, rows)):
            self.assertEqual([CHROM, position, a0, a1], row[:4], vcf)
            self.assertEqual([self.allele1_counts[group][j], self.haplotype_counts[group]],
                             [int(row[4]), int(row[5])], f"{vcf} at {position}")
            if phased:
                self.assertEqual(haplotypes[j], row[6].replace("|", ""), f"{vcf} at {position}")

    def test_bcftools_vcfs_hold_the_haplotypes_and_their_allele_counts(self):
        for group in GROUPS:
            with self.subTest(group=group):
                self.check_vcf(f"out/sim.{group}.vcf.gz", group, phased=True)
                self.check_vcf(f"out/sim.{group}.gen.vcf.gz", group, phased=False)

    def test_plink1_loads_allele_counts_and_phenotypes(self):
        for group in GROUPS:
            with self.subTest(group=group):
                prefix = f"out/sim.{group}"
                run(["plink1.9", "--bfile", prefix, "--allow-no-sex", "--freq", "counts", "--out",
                     f"freq1.{group}"], self.dir, self.env)
                rows = read_rows(self.path(f"freq1.{group}.frq.counts"))[1:]
                bim = read_rows(self.path(prefix + ".bim"))
                self.assertEqual(len(self.legend), len(rows))
                for j, ((rs_id, position, a0, a1), row, bim_row) in enumerate(
                        zip(self.legend, rows, bim)):
                    _, snp, first, second, c1, c2 = row[:6]
                    self.assertEqual([CHROM, rs_id, position],
                                     [bim_row[0], bim_row[1], bim_row[3]])
                    self.assertEqual(rs_id, snp)
                    count, total = self.allele1_counts[group][j], self.haplotype_counts[group]
                    by_allele = {first: int(c1), second: int(c2)}
                    self.assertEqual({a1: count, a0: total - count}, by_allele,
                                     f"{group} at {position}")
                fam = read_rows(self.path(prefix + ".fam"))
                self.assertEqual(self.sample_ids(group), [row[0] for row in fam])
                self.assertEqual([str(p + 1) for p in self.phenotypes(group)],
                                 [row[5] for row in fam])

    def test_plink2_loads_allele_counts_from_haplotypes_and_genotypes(self):
        for group in GROUPS:
            for source in ("haps", "gen"):
                with self.subTest(group=group, source=source):
                    prefix = f"out/sim.{group}.{source}"
                    run(["plink2", "--pfile", prefix, "--freq", "counts",
                         "--out", f"freq2.{group}.{source}"], self.dir, self.env)
                    rows = read_rows(self.path(f"freq2.{group}.{source}.acount"))[1:]
                    self.assertEqual(len(self.legend), len(rows))
                    for j, ((rs_id, position, a0, a1), row) in enumerate(zip(self.legend, rows)):
                        self.assertEqual([CHROM, rs_id, a0, a1], row[:4],
                                         f"{prefix} at {position}")
                        expected = [self.allele1_counts[group][j], self.haplotype_counts[group]]
                        self.assertEqual(expected, [int(row[4]), int(row[5])],
                                         f"{prefix} at {position}")
                    psam = read_rows(self.path(prefix + ".psam"))
                    phenotypes = [int(row[-1]) - 1 for row in psam[1:]]
                    self.assertEqual(self.phenotypes(group), phenotypes, prefix)

    def association_report(self):
        """beta and beta_se of the disease locus in the transcript."""
        report = re.search(r"The pvalues and effect sizes of each disease SNP is:\n\n.*\n"
                           r"\s*\d+\s+(\S+)\s+(\S+)", self.transcript)
        self.assertIsNotNone(report, "transcript lacks the association report")
        return float(report.group(1)), float(report.group(2))

    def glm_table(self, name):
        rows = read_rows(self.path(name))
        return rows[0], rows[1:]

    def assert_close_to_report(self, value, reported):
        # The report prints 4 significant digits.
        self.assertTrue(math.isclose(value, reported, rel_tol=1e-3), (value, reported))

    def test_plink1_logistic_reports_the_less_frequent_allele(self):
        header, rows = self.glm_table("out/sim.all.assoc.logistic")
        self.assertEqual(len(self.legend), len(rows))
        self.assertIn("OR", header)
        observed = {row[header.index("NMISS")] for row in rows
                    if row[header.index("OR")] != "NA"}
        self.assertEqual({str(self.haplotype_counts["all"] // 2)}, observed)
        total = self.haplotype_counts["all"]
        for (_, position, a0, a1), count, row in zip(self.legend, self.allele1_counts["all"], rows):
            a1_count = {a1: count, a0: total - count}[row[header.index("A1")]]
            self.assertLessEqual(a1_count, total - a1_count, f"A1 at {position}")

    def test_plink2_glm_beta_and_se_are_the_reports_beta_and_beta_se(self):
        header, rows = self.glm_table("out/sim.all.pheno.glm.logistic.hybrid")
        self.assertEqual(len(self.legend), len(rows))
        for column in ("BETA", "SE"):
            self.assertIn(column, header)
        # omit-ref: A1 is ALT, allele 1, at every SNP.
        self.assertEqual([a1 for _, _, _, a1 in self.legend], [r[header.index("A1")] for r in rows])
        row = next(r for r in rows if r[header.index("POS")] == self.locus)
        beta, beta_se = self.association_report()
        self.assert_close_to_report(float(row[header.index("BETA")]), beta)
        self.assert_close_to_report(float(row[header.index("SE")]), beta_se)

    def plink2_glm(self, *modifiers):
        """PLINK 2's tests of the combined set with its default columns."""
        name = "glm" + "".join("." + m for m in modifiers)
        run(["plink2", "--pfile", "out/sim.all.haps", "--glm", "allow-no-covars", *modifiers,
             "--out", name], self.dir, self.env)
        header, rows = self.glm_table(name + ".pheno.glm.logistic.hybrid")
        for column in ("OR", "LOG(OR)_SE"):
            self.assertIn(column, header)
        self.assertNotIn("BETA", header)
        return header, rows

    def test_plink2_glm_default_columns_give_ln_or_as_the_reports_beta(self):
        header, rows = self.plink2_glm("omit-ref")
        row = next(r for r in rows if r[header.index("POS")] == self.locus)
        beta, _ = self.association_report()
        self.assert_close_to_report(math.log(float(row[header.index("OR")])), beta)

    def test_plink2_glm_without_omit_ref_tests_the_less_frequent_allele(self):
        header, rows = self.plink2_glm()
        total = self.haplotype_counts["all"]
        for (_, position, a0, a1), count, row in zip(self.legend, self.allele1_counts["all"], rows):
            if 0 < count < total and 2 * count != total:
                expected = a1 if count < total - count else a0
                self.assertEqual(expected, row[header.index("A1")], f"A1 at {position}")


class ReadmeClaims(unittest.TestCase):
    """What the README says about help, inputs the program does not take, and
    the run block on a panel without a fitting locus; on the example panel."""

    def setUp(self):
        self.scratch = tempfile.TemporaryDirectory(prefix="vorlan2-readme-claims-")
        self.addCleanup(self.scratch.cleanup)
        self.dir = self.scratch.name
        self.env = fresh_shell_environment(BINARIES, self.dir)
        self.examples = {name: os.path.join(EXAMPLES, "example." + name)
                         for name in ("haps", "legend", "map")}

    def vorlan2(self, arguments, cwd=None):
        return subprocess.run(["vorlan2", *arguments], cwd=cwd or self.dir, env=self.env,
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)

    def example_run(self, directory, map_file, *flags):
        os.makedirs(directory, exist_ok=True)
        return self.vorlan2(["-h", self.examples["haps"], "-l", self.examples["legend"],
                             "-m", map_file, "-o", "out/sim", "-n", "200", "200",
                             "-dl", "1500000", "1", "1.5", "2.25", "-nrs", *flags], directory)

    def test_help_prints_the_readmes_text_with_status_0_and_no_file(self):
        shown = re.search(r"\n(    Help Menu\n.*?-output_snp_summary .*?\n)\n", README_TEXT, re.S)
        self.assertIsNotNone(shown, "README lacks the help text")
        help_text = "".join(line[4:] + "\n" for line in shown.group(1).splitlines())
        for arguments in (["-help"], []):
            with self.subTest(arguments=arguments):
                result = self.vorlan2(arguments)
                self.assertEqual(0, result.returncode)
                self.assertIn(help_text, result.stdout)
                self.assertEqual([], os.listdir(self.dir))

    def test_newcomers_help_words_end_with_status_1_and_a_summary_file(self):
        cases = {"-h": "ERROR!!! Bad value given for flag: -h",
                 "--help": "ERROR!!! Must specify a value for flag: -h",
                 "-?": "ERROR!!! Must specify a value for flag: -h"}
        for word, message in cases.items():
            with self.subTest(word=word):
                summary = os.path.join(self.dir, "vorlan2.summary")
                result = self.vorlan2([word])
                self.assertEqual(1, result.returncode)
                self.assertIn(message, result.stdout)
                with open(summary) as f:
                    self.assertIn(message, f.read())
                os.remove(summary)

    def test_panel_from_an_unphased_vcf_is_refused(self):
        ExampleData(EXAMPLES).write_vcf(self.dir, separator="/")
        run_block(BLOCKS, "panel", self.dir, self.env)
        with open(os.path.join(self.dir, "panel.hap")) as f:
            self.assertIn("0*", f.readline())
        result = self.vorlan2(["-h", "panel.hap", "-l", "panel.legend", "-m", self.examples["map"],
                               "-o", "out/sim", "-dl", "1500000", "1", "1.5", "2.25", "-nrs"])
        self.assertEqual(1, result.returncode)
        self.assertIn("Error reading file panel.hap: "
                      "bad format detected in haplotype file on line 1.", result.stdout)

    def test_compressed_inputs_are_refused(self):
        gzipped = {"-m": "chr20.b37.gmap.gz", "-h": "panel.hap.gz"}
        for flag, name in gzipped.items():
            with self.subTest(flag=flag):
                source = self.examples["map" if flag == "-m" else "haps"]
                with open(source, "rb") as f, gzip.open(os.path.join(self.dir, name), "wb") as z:
                    z.write(f.read())
                inputs = {"-h": self.examples["haps"], "-l": self.examples["legend"],
                          "-m": self.examples["map"], flag: name}
                result = self.vorlan2([word for pair in inputs.items() for word in pair]
                                      + ["-o", "out/sim", "-dl", "1500000", "1", "1.5", "2.25"])
                self.assertEqual(1, result.returncode)
                self.assertIn(f"Error reading file {name}: {COMPRESSED}", result.stdout)

    def test_split_multiallelic_record_keeps_the_first_with_a_warning(self):
        data = ExampleData(EXAMPLES)
        position = data.legend[10][1]
        data.write_vcf(self.dir, split_at=position)
        run_block(BLOCKS, "panel", self.dir, self.env)
        legend = read_rows(os.path.join(self.dir, "panel.legend"))
        self.assertEqual(2, [p for _, p, _, _ in legend].count(position))
        result = self.vorlan2(["-h", "panel.hap", "-l", "panel.legend", "-m", self.examples["map"],
                               "-o", "out/sim", "-n", "2", "2", "-dl", "1500000", "1", "1.5",
                               "2.25", "-nrs"])
        self.assertEqual(0, result.returncode, result.stdout)
        counts = result.stdout.index("number of SNPs in interval: ")
        warning = "Warning: 1 SNPs share a base-pair position with an earlier SNP and were not used."
        self.assertEqual(1, result.stdout.count(warning))
        self.assertGreater(result.stdout.index(warning), counts)
        kept = [row for row in read_rows(os.path.join(self.dir, "out/sim.legend")) if row[1] == position]
        self.assertEqual([data.legend[10][2:]], [row[2:] for row in kept])

    def test_map_in_morgans_copies_the_panel_almost_unchanged_without_a_message(self):
        with open(self.examples["map"]) as f:
            lines = f.read().splitlines()
        maps = {"cM": lines, "Morgans": [lines[0]] + [
            f"{p} {rate} {float(cM) / 100:.8f}" for p, rate, cM in (l.split() for l in lines[1:])]}
        panel = [int(h, 2) for h in haplotypes_of(read_rows(self.examples["haps"]))]
        transcripts, medians = {}, {}
        for unit, map_lines in maps.items():
            directory = os.path.join(self.dir, unit)
            os.mkdir(directory)
            with open(os.path.join(directory, "map"), "w") as f:
                f.write("\n".join(map_lines) + "\n")
            result = self.example_run(directory, "map", "-no_gens_output")
            self.assertEqual(0, result.returncode, result.stdout)
            transcripts[unit] = [line for line in result.stdout.splitlines()
                                 if not line.startswith("VORLAN took")]
            simulated = []
            for group in ("controls", "cases"):
                rows = read_rows(os.path.join(directory, f"out/sim.{group}.haps"))
                simulated += [int(h, 2) for h in haplotypes_of(rows)]
            distances = sorted(min(bin(s ^ p).count("1") for p in panel) for s in simulated)
            medians[unit] = distances[len(distances) // 2]
        self.assertEqual(transcripts["cM"], transcripts["Morgans"])
        self.assertLessEqual(medians["Morgans"], 2)
        self.assertGreater(medians["cM"], 200)

    def test_run_block_stops_before_the_run_when_no_snp_fits_the_band(self):
        files = {"panel.legend": "id position a0 a1\nrs1 100 A G\nrs2 200 C T\n",
                 "panel.hap": "0 0 0 0\n1 1 1 0\n",
                 "panel.map": "pos 0 cM\n100 0 0\n200 0 1\n"}
        for name, text in files.items():
            with open(os.path.join(self.dir, name), "w") as f:
                f.write(text)
        result = subprocess.run(block_command(BLOCKS, "run"), cwd=self.dir, env=self.env,
                                stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        self.assertNotEqual(0, result.returncode)
        self.assertIn("no SNP in [100, 200] has allele 1 at that frequency", result.stdout)
        self.assertFalse(os.path.exists(os.path.join(self.dir, "out")))


def haplotypes_of(rows):
    """The columns of a haplotype file's rows: one allele string per haplotype."""
    return ["".join(row[i] for row in rows) for i in range(len(rows[0]))]


def missing_requirements(dataset):
    missing = [tool for tool in TOOLS if shutil.which(tool) is None]
    if dataset == "chr20" and not os.path.isdir(SHAPEIT4_EXAMPLE):
        missing.append("shapeit4-example")
    return missing


if __name__ == "__main__":
    if len(sys.argv) != 5 or sys.argv[4] not in ("example", "chr20"):
        sys.exit(__doc__)
    README, VORLAN2, EXAMPLES = (os.path.abspath(a) for a in sys.argv[1:4])
    DATASET = sys.argv[4]
    missing = missing_requirements(DATASET)
    if missing:
        message = f"{', '.join(missing)} not installed (scripts/test.sh installs them)"
        if os.environ.get("VORLAN2_REQUIRE_TOOLS"):
            sys.exit("FAILED: " + message)
        print("SKIPPED: " + message)
        sys.exit(77)
    with open(README) as f:
        README_TEXT = f.read()
    BLOCKS = readme_blocks(README_TEXT)
    DATA = ExampleData(EXAMPLES) if DATASET == "example" else Chr20Data(SHAPEIT4_EXAMPLE)
    with tempfile.TemporaryDirectory(prefix="vorlan2-readme-bin-") as BINARIES:
        # The set-up command installs vorlan2 on PATH; here PATH finds the build's.
        os.symlink(VORLAN2, os.path.join(BINARIES, "vorlan2"))
        suite = unittest.TestSuite()
        loader = unittest.TestLoader()
        for route in MAP_ROUTES:
            case = type(f"{DATASET}_{route}", (ReadmePipeline, unittest.TestCase), {"route": route})
            suite.addTests(loader.loadTestsFromTestCase(case))
        if DATASET == "example":
            suite.addTests(loader.loadTestsFromTestCase(ReadmeClaims))
        result = unittest.TextTestRunner(verbosity=2).run(suite)
    sys.exit(0 if result.wasSuccessful() else 1)
