// Bad input files, as a table: every reader error of the genetic map, the
// panel and the tag file, the notices, byte-order marks, compressed files and
// lone carriage returns, with the exit status, the exact message and the
// files that the run leaves behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "simulator/support/compressed_files.h"
#include "simulator/support/whole_program_cases.h"

namespace {

using namespace whole_program;

const std::string compressed = "the file is compressed; unpack it first (for example with gunzip).";

std::string lone_carriage_return(int line) {
    return "line " + std::to_string(line) +
           " ends in a lone carriage return (old Mac line ends); convert the file to Unix line ends first (for "
           "example with mac2unix).";
}

// The same text with "\r" in place of every "\n".
std::string mac(std::string text) {
    std::replace(text.begin(), text.end(), '\n', '\r');
    return text;
}

std::vector<Case> reader_cases() {
    return {
        Case("map missing")
            .with({"-m", "nomap.txt"})
            .fails(bad_file("nomap.txt", "can't open file."))
            .creates(summary_only),
        Case("map is a directory")
            .with({"-m", "mapdir"})
            .directory("mapdir")
            .fails(bad_file("mapdir", "can't read file."))
            .creates(summary_only),
        Case("map blank line")
            .file("map.txt", "position rate cM\n1000 1 0\n\n5000 1 0.01\n")
            .fails(bad_file("map.txt", "bad line in rates file on line 3"))
            .creates(summary_only),
        Case("map two numbers")
            .file("map.txt", "position rate cM\n1000 1\n")
            .fails(bad_file("map.txt", "bad line in rates file on line 2"))
            .creates(summary_only),
        Case("map junk number")
            .file("map.txt", "position rate cM\n1000 1 0\n5000 1 0.0l\n")
            .fails(bad_file("map.txt", "bad line in rates file on line 3"))
            .creates(summary_only),
        Case("map infinite cM")
            .file("map.txt", "position rate cM\n1000 1 inf\n")
            .fails(bad_file("map.txt", "bad line in rates file on line 2"))
            .creates(summary_only),
        Case("map cM beyond the double range once scaled")
            .file("map.txt", "position rate cM\n1000 1 0\n5000 1 1e306\n")
            .fails(bad_file("map.txt", "bad line in rates file on line 3"))
            .creates(summary_only),
        Case("Ne beyond the double range once scaled")
            .with({"-Ne", "1e308"})
            .fails(bad_file("map.txt", "bad line in rates file on line 2"))
            .creates(summary_only),
        Case("map with a chromosome column")
            .file("map.txt", "chr position rate cM\n1 1000 1 0\n1 5000 1 0.01\n")
            .notes("Warning: no SNP in the interval lies inside the range of the genetic map.", false),
        Case("map header only")
            .file("map.txt", "position rate cM\n")
            .fails(bad_file("map.txt", "no rates found in file."))
            .creates(summary_only),
        Case("map empty")
            .file("map.txt", "")
            .fails(bad_file("map.txt", "no rates found in file."))
            .creates(summary_only),
        Case("haplotypes missing")
            .with({"-h", "nothing.haps"})
            .fails(bad_file("nothing.haps", "can't open haplotype file."))
            .creates(summary_only),
        Case("haplotypes are a directory")
            .with({"-h", "hapsdir"})
            .directory("hapsdir")
            .fails(bad_file("hapsdir", "can't read file."))
            .creates(summary_only),
        Case("legend missing")
            .with({"-l", "nothing.legend"})
            .fails(bad_file("nothing.legend", "can't open legend file."))
            .creates(summary_only),
        Case("legend three fields")
            .file("panel.legend", "rs pos a0 a1\nrs1 1000 A G\nrs2 2000 C\n")
            .fails(bad_file("panel.legend", "bad format detected in legend file on line 3."))
            .creates(summary_only),
        Case("legend fractional position")
            .file("panel.legend", "rs pos a0 a1\nrs1 1000 A G\nrs2 2000.5 C T\n")
            .fails(bad_file("panel.legend", "bad format detected in legend file on line 3."))
            .creates(summary_only),
        Case("legend position beyond 32 bits")
            .file("panel.legend", "rs pos a0 a1\nrs1 3000000000 A G\n")
            .fails(bad_file("panel.legend", "bad format detected in legend file on line 2."))
            .creates(summary_only),
        Case("haplotype letter")
            .file("panel.haps", "0 1 0 1 1 0 0 1\n1 1 0 0 1 0 x 1\n")
            .fails(bad_file("panel.haps", "bad format detected in haplotype file on line 2."))
            .creates(summary_only),
        Case("haplotype allele 2")
            .file("panel.haps", "0 1 0 1 1 0 0 1\n1 1 0 0 1 0 1 1\n0 0 0 0 1 1 2 1\n")
            .fails(bad_file("panel.haps", "bad format detected in haplotype file on line 3."))
            .creates(summary_only),
        Case("haplotype first line empty")
            .file("panel.haps", "\n\n\n\n")
            .fails(bad_file("panel.haps", "bad format detected in haplotype file on line 1."))
            .creates(summary_only),
        Case("haplotype count differs")
            .file("panel.haps", "0 1 0 1 1 0 0 1\n1 1 0 0 1 0 1 1\n0 0 0 0 1 1 1\n")
            .fails(bad_file("panel.haps", "different number of haplotypes found in haplotype file (8 and 7 on line 3."))
            .creates(summary_only),
        Case("no SNP in the interval")
            .with({"-int", "5000", "9000"})
            .fails(bad_file("panel.haps", "No SNPs in the interval in haplotype file!"))
            .creates(summary_only),
        Case("haplotype file longer")
            .file("panel.haps", haps_text + "0 0 0 0 0 0 0 1\n")
            .notes("Warning: haplotype file contained more lines than legend file, only those SNPs with a line in the "
                   "legend file were read.",
                   true),
        Case("legend longer")
            .file("panel.legend", legend_text + "rs5 4500 A C\n")
            .notes("Warning: legend file contained more lines than haplotype file, only those SNPs with a line in the "
                   "haplotype file were read.",
                   true),
        Case("byte-order marks on the header lines")
            .file("map.txt", bom + map_text)
            .file("panel.legend", bom + legend_text),
        Case("byte-order mark on the first haplotype line")
            .file("panel.haps", bom + haps_text)
            .fails(bad_file("panel.haps", "bad format detected in haplotype file on line 1."))
            .creates(summary_only),
        Case("byte-order mark on a legend data line")
            .file("panel.legend", "rs pos a0 a1\n" + bom + "rs1 1000 A G\n")
            .fails(bad_file("panel.legend", "bad format detected in legend file on line 2."))
            .creates(summary_only),
        Case("byte-order mark on a map data line")
            .file("map.txt", "position rate cM\n" + bom + "1000 1 0\n")
            .fails(bad_file("map.txt", "bad line in rates file on line 2"))
            .creates(summary_only),
        Case("haplotype file longer by a line without a line end")
            .file("panel.haps", haps_text + "0 0 0 0 0 0 0 1")
            .notes("Warning: haplotype file contained more lines than legend file, only those SNPs with a line in the "
                   "legend file were read.",
                   true),
        Case("legend without its header")
            .file("panel.legend", legend_text.substr(legend_text.find('\n') + 1))
            .fails(bad_file("panel.legend",
                            "the first line must be a header such as \"rs pos X0 X1\", but line 1 is a SNP line."))
            .creates(summary_only),
        Case("two SNPs at one position")
            .file("panel.legend", "rs pos a0 a1\nrs1 1000 A G\nrs2 2000 C T\nrs3 2000 C G\nrs4 4000 T C\n")
            .notes("Warning: 1 SNPs share a base-pair position with an earlier SNP and were not used.", false),
        Case("map gzip")
            .file("map.txt", compressed_files().at("gzip"))
            .fails(bad_file("map.txt", compressed))
            .creates(summary_only),
        Case("haplotypes bgzip")
            .file("panel.haps", compressed_files().at("bgzip"))
            .fails(bad_file("panel.haps", compressed))
            .creates(summary_only),
        Case("legend xz")
            .file("panel.legend", compressed_files().at("xz"))
            .fails(bad_file("panel.legend", compressed))
            .creates(summary_only),
        Case("haplotypes bzip2")
            .file("panel.haps", compressed_files().at("bzip2"))
            .fails(bad_file("panel.haps", compressed))
            .creates(summary_only),
        Case("tag file zstd")
            .with({"-t", "tags.txt"})
            .file("tags.txt", compressed_files().at("zstd"))
            .fails(bad_file("tags.txt", compressed))
            .creates(summary_only),
        Case("haplotypes with Mac line ends")
            .file("panel.haps", mac(haps_text))
            .fails(bad_file("panel.haps", lone_carriage_return(1)))
            .creates(summary_only),
        Case("legend with Mac line ends")
            .file("panel.legend", mac(legend_text))
            .fails(bad_file("panel.legend", lone_carriage_return(1)))
            .creates(summary_only),
        Case("map with one Mac line end")
            .file("map.txt", "position rate cM\n1000 1 0\r5000 1 0.01\n")
            .fails(bad_file("map.txt", lone_carriage_return(2)))
            .creates(summary_only),
        Case("tag file with Mac line ends")
            .with({"-t", "tags.txt"})
            .file("tags.txt", "2000\r1000\r")
            .fails(bad_file("tags.txt", lone_carriage_return(1)))
            .creates(summary_only),
        Case("tag file missing")
            .with({"-t", "notags.txt"})
            .fails(bad_file("notags.txt", "can't open file."))
            .creates(summary_only),
        Case("tag file is a directory")
            .with({"-t", "tagdir"})
            .directory("tagdir")
            .fails(bad_file("tagdir", "can't read file."))
            .creates(summary_only),
        Case("tag file junk token")
            .with({"-t", "tags.txt"})
            .file("tags.txt", "1000\n2000 3000x\n4000\n")
            .fails(bad_file("tags.txt", "bad tag position on line 2."))
            .creates(summary_only),
        Case("tag file byte-order mark")
            .with({"-t", "tags.txt"})
            .file("tags.txt", bom + "1000\n")
            .fails(bad_file("tags.txt", "bad tag position on line 1."))
            .creates(summary_only),
    };
}

TEST(BadInputFilesTest, Readers) {
    for (const Case& c : reader_cases()) check_case(c);
}

}  // namespace
