#!/usr/bin/env python3
"""Runs the README's commands for getting data in and out, as they stand there,
and checks that bcftools, PLINK 1.9 and PLINK 2 load the files and report the
allele counts of the haplotype files.

The commands are the fenced blocks between "<!-- interop:begin NAME -->" and
"<!-- interop:end -->"; they run in order in one scratch directory that holds
a phased VCF of two chromosomes made from the example panel, a "pos chr cM"
map and a map with the chromosome first, and `vorlan2` on the PATH.

usage: readme_commands_test.py README VORLAN2 EXAMPLES_DIR

A missing tool skips the test (exit status 77) unless VORLAN2_REQUIRE_TOOLS is
set, as the test command sets it: there a missing tool is a failure.
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
CHROM = "20"
OTHER_CHROM = "21"
GROUPS = ("controls", "cases", "all")


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


class Panel:
    """The example panel: legend rows (id, position, a0, a1) and haplotype rows."""

    def __init__(self, examples):
        self.legend = read_rows(os.path.join(examples, "example.legend"))[1:]
        self.haplotypes = read_rows(os.path.join(examples, "example.haps"))
        with open(os.path.join(examples, "example.map")) as f:
            self.map_lines = f.read().splitlines()


def write_vcf(panel, path, separator="|"):
    """Chromosome CHROM holds the panel, OTHER_CHROM the same SNPs with every
    allele flipped, so a panel that takes in the second chromosome differs.
    The separator "/" makes every genotype unphased."""
    individuals = len(panel.haplotypes[0]) // 2
    with open(path, "w") as f:
        f.write("##fileformat=VCFv4.2\n")
        for chrom in (CHROM, OTHER_CHROM):
            f.write(f"##contig=<ID={chrom}>\n")
        f.write('##FORMAT=<ID=GT,Number=1,Type=String,Description="Genotype">\n')
        f.write("#CHROM\tPOS\tID\tREF\tALT\tQUAL\tFILTER\tINFO\tFORMAT\t"
                + "\t".join(f"s{i}" for i in range(individuals)) + "\n")
        for chrom, flip in ((CHROM, False), (OTHER_CHROM, True)):
            for (rs_id, position, a0, a1), alleles in zip(panel.legend, panel.haplotypes):
                if flip:
                    alleles = ["1" if a == "0" else "0" for a in alleles]
                genotypes = "\t".join(f"{alleles[2 * i]}{separator}{alleles[2 * i + 1]}"
                                      for i in range(individuals))
                f.write(f"{chrom}\t{position}\t{rs_id}\t{a0}\t{a1}\t.\tPASS\t.\tGT\t{genotypes}\n")


def write_maps(panel, directory):
    """The example map as "pos chr cM" (gzipped) and with the chromosome first,
    the other chromosome's lines after it."""
    header, data = panel.map_lines[0], [line.split() for line in panel.map_lines[1:]]
    with gzip.open(os.path.join(directory, "chr20.b37.gmap.gz"), "wt") as f:
        f.write("pos\tchr\tcM\n")
        for position, _, cM in data:
            f.write(f"{position}\t{CHROM}\t{cM}\n")
    with open(os.path.join(directory, "genetic_map.txt"), "w") as f:
        f.write(f"chr {header}\n")
        for chrom in (CHROM, OTHER_CHROM):
            for position, rate, cM in data:
                shown = cM if chrom == CHROM else f"{2 * float(cM):.6f}"
                f.write(f"{chrom} {position} {rate} {shown}\n")


def run(command, cwd, env, name=None):
    result = subprocess.run(command, cwd=cwd, env=env, stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT, text=True, errors="replace")
    if result.returncode != 0:
        raise AssertionError(f"{name or ' '.join(command)} exited with {result.returncode}:\n"
                             f"{result.stdout[-6000:]}")
    return result.stdout


def run_block(blocks, name, cwd, env):
    if name not in blocks:
        raise AssertionError(f"README has no interop block {name!r}")
    # -x: the output shows which command of the block failed.
    return run(["bash", "-euxo", "pipefail", "-c", blocks[name]], cwd, env,
               f"README block {name!r}")


def transcript_figure(text, label):
    match = re.search(re.escape(label) + r"\s*(\S+)", text)
    if not match:
        raise AssertionError(f"transcript lacks {label!r}")
    return match.group(1)


class ReadmeCommands(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scratch = tempfile.TemporaryDirectory(prefix="vorlan2-interop-")
        cls.dir = cls.scratch.name
        binaries = os.path.join(cls.dir, "bin")
        os.mkdir(binaries)
        os.symlink(VORLAN2, os.path.join(binaries, "vorlan2"))
        cls.env = dict(os.environ, PATH=binaries + os.pathsep + os.environ["PATH"], LC_ALL="C")

        cls.panel = Panel(EXAMPLES)
        with open(README) as f:
            cls.blocks = readme_blocks(f.read())
        cls.make_panel(cls.dir, "|")
        run_block(cls.blocks, "run", cls.dir, cls.env)
        run_block(cls.blocks, "outputs", cls.dir, cls.env)

        # Our side: the allele-1 count of every SNP in each group's haplotype file.
        out = os.path.join(cls.dir, "out", "sim")
        cls.out = out
        cls.legend = read_rows(out + ".legend")[1:]
        haplotypes = {g: read_rows(f"{out}.{g}.haps") for g in ("controls", "cases")}
        haplotypes["all"] = [c + k for c, k in zip(haplotypes["controls"], haplotypes["cases"])]
        cls.haplotypes = haplotypes
        cls.allele1_counts = {g: [row.count("1") for row in rows] for g, rows in haplotypes.items()}
        cls.haplotype_counts = {g: len(rows[0]) for g, rows in haplotypes.items()}
        with open(out + ".gz.summary") as f:
            cls.transcript = f.read()

    @classmethod
    def tearDownClass(cls):
        cls.scratch.cleanup()

    @classmethod
    def make_panel(cls, directory, separator):
        """The README's panel commands on a VCF with the given genotype separator."""
        write_vcf(cls.panel, os.path.join(directory, "panel.vcf"), separator)
        run(["bcftools", "view", "panel.vcf", "-Oz", "-o", "panel.vcf.gz"], directory, cls.env)
        write_maps(cls.panel, directory)
        run_block(cls.blocks, "panel", directory, cls.env)

    def path(self, name):
        return os.path.join(self.dir, name)

    def sample_ids(self, group):
        first = {"controls": 0, "cases": self.haplotype_counts["controls"] // 2, "all": 0}[group]
        return [f"id1_{i}" for i in range(first, first + self.haplotype_counts[group] // 2)]

    def phenotypes(self, group):
        controls = self.haplotype_counts["controls"] // 2
        return [0 if group == "controls" or (group == "all" and i < controls) else 1
                for i in range(self.haplotype_counts[group] // 2)]

    def test_vcf_of_two_chromosomes_becomes_the_panel_of_one(self):
        legend = read_rows(self.path("panel.legend"))
        self.assertEqual(legend[0], ["id", "position", "a0", "a1"])
        self.assertEqual([[f"{CHROM}:{p}_{a0}_{a1}", p, a0, a1]
                          for _, p, a0, a1 in self.panel.legend], legend[1:])
        self.assertEqual(self.panel.haplotypes, read_rows(self.path("panel.hap")))

    def test_panel_from_an_unphased_vcf_is_refused(self):
        directory = self.path("unphased")
        os.mkdir(directory)
        self.make_panel(directory, "/")
        with open(os.path.join(directory, "panel.hap")) as f:
            self.assertIn("0*", f.readline())
        result = subprocess.run(
            ["vorlan2", "-h", "panel.hap", "-l", "panel.legend", "-m", "panel.map", "-o", "out/sim",
             "-dl", "1500000", "1", "1.5", "2.25", "-nrs"],
            cwd=directory, env=self.env, stdout=subprocess.PIPE, text=True)
        self.assertEqual(1, result.returncode)
        self.assertIn("Error reading file panel.hap: "
                      "bad format detected in haplotype file on line 1.", result.stdout)

    def test_maps_keep_the_chromosomes_positions_and_cM(self):
        with open(self.path("panel.map")) as f:
            self.assertEqual(self.panel.map_lines, f.read().splitlines())
        gmap = read_rows(self.path("chr20.b37.gmap"))
        example = [line.split() for line in self.panel.map_lines[1:]]
        self.assertEqual([[p, cM] for p, _, cM in example], [[p, cM] for p, _, cM in gmap[1:]])

    def test_run_reads_the_panel_and_names_its_transcript_after_the_gz_name(self):
        self.assertFalse(os.path.exists(self.out + ".summary"))
        self.assertEqual(transcript_figure(self.transcript, "number of haplotypes: "),
                         str(len(self.panel.haplotypes[0])))
        self.assertEqual(transcript_figure(self.transcript, "number of SNPs in interval: "),
                         str(len(self.panel.legend)))
        self.assertEqual([[p, a0, a1] for _, p, a0, a1 in self.legend],
                         [[p, a0, a1] for _, p, a0, a1 in self.panel.legend])

    def test_pos_chr_cM_map_gives_the_same_run(self):
        run(["vorlan2", "-h", "panel.hap", "-l", "panel.legend", "-m", "chr20.b37.gmap",
             "-o", "gmap/sim", "-n", "200", "200", "-dl", "1500000", "1", "1.5", "2.25", "-nrs"],
            self.dir, self.env)
        for suffix in (".controls.haps", ".cases.haps", ".legend", ".controls.gen",
                       ".cases.gen"):
            with open(self.out + suffix) as ours, open(self.path("gmap/sim" + suffix)) as theirs:
                self.assertEqual(ours.read(), theirs.read(), suffix)

    def check_vcf(self, vcf, group, phased):
        """bcftools' own AC and AN, the alleles and the samples of a VCF."""
        ids = run(["bcftools", "query", "-l", vcf], self.dir, self.env).split()
        self.assertEqual(self.sample_ids(group), ids, vcf)
        fields = "%CHROM %POS %REF %ALT %INFO/AC %INFO/AN" + (" [%GT ]" if phased else "")
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
                alleles = " ".join(row[6:]).replace("|", " ").split()
                self.assertEqual(haplotypes[j], alleles, f"{vcf} at {position}")

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

    def test_association_tests_run_on_cases_against_controls(self):
        logistic = read_rows(self.path("out/sim.all.assoc.logistic"))
        header, rows = logistic[0], logistic[1:]
        self.assertEqual(len(self.legend), len(rows))
        observed = {row[header.index("NMISS")] for row in rows
                    if row[header.index("OR")] != "NA"}
        self.assertEqual({str(self.haplotype_counts["all"] // 2)}, observed)
        # PLINK 1.9's effect is its A1's, the less frequent allele.
        total = self.haplotype_counts["all"]
        for (_, position, a0, a1), count, row in zip(self.legend, self.allele1_counts["all"], rows):
            a1_count = {a1: count, a0: total - count}[row[header.index("A1")]]
            self.assertLessEqual(a1_count, total - a1_count, f"A1 at {position}")

        # PLINK 2's effect is allele 1's, as the association report's.
        glm = read_rows(self.path("out/sim.all.pheno.glm.logistic.hybrid"))
        header, rows = glm[0], glm[1:]
        row = next(r for r in rows if r[header.index("POS")] == "1500000")
        a1 = next(a1 for _, p, _, a1 in self.legend if p == "1500000")
        self.assertEqual(a1, row[header.index("A1")])
        report = re.search(r"The pvalues and effect sizes of each disease SNP is:\n\n.*\n"
                           r"\s*\d+\s+(\S+)\s+(\S+)", self.transcript)
        self.assertIsNotNone(report, "transcript lacks the association report")
        beta, beta_se = float(report.group(1)), float(report.group(2))
        # The report prints 4 significant digits.
        log_or = math.log(float(row[header.index("OR")]))
        log_or_se = float(row[header.index("LOG(OR)_SE")])
        self.assertTrue(math.isclose(log_or, beta, rel_tol=1e-3), (log_or, beta))
        self.assertTrue(math.isclose(log_or_se, beta_se, rel_tol=1e-3), (log_or_se, beta_se))


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    README, VORLAN2, EXAMPLES = (os.path.abspath(a) for a in sys.argv[1:])
    missing = [tool for tool in TOOLS if shutil.which(tool) is None]
    if missing:
        message = f"{', '.join(missing)} not installed (scripts/test.sh installs them)"
        if os.environ.get("VORLAN2_REQUIRE_TOOLS"):
            sys.exit("FAILED: " + message)
        print("SKIPPED: " + message)
        sys.exit(77)
    result = unittest.main(argv=sys.argv[:1], exit=False, verbosity=2).result
    sys.exit(0 if result.wasSuccessful() else 1)
