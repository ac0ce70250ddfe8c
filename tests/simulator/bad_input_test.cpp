// Bad input to the whole program, as a table: for each command line (and
// each output file that cannot be written), the exit status, the exact
// message, and the files that the run leaves behind.
#include <gtest/gtest.h>

#include <vector>

#include "simulator/support/whole_program_cases.h"

namespace {

using namespace whole_program;

std::vector<Case> command_line_cases() {
    return {
        Case("no -o")
            .words_are({"-h", "panel.haps", "-l", "panel.legend", "-m", "map.txt"})
            .fails(missing("-o"))
            .creates({"vorlan2.summary"}),
        Case("no -m")
            .words_are({"-h", "panel.haps", "-l", "panel.legend", "-o", "run"})
            .fails(missing("-m"))
            .creates(summary_only),
        Case("-o last")
            .words_are({"-h", "panel.haps", "-l", "panel.legend", "-m", "map.txt", "-o"})
            .fails(bad_value("-o"))
            .creates({"vorlan2.summary"}),
        Case("-h last").with({"-h"}).fails(bad_value("-h")).creates(summary_only),
        Case("-l last").with({"-l"}).fails(bad_value("-l")).creates(summary_only),
        Case("-m last").with({"-m"}).fails(bad_value("-m")).creates(summary_only),
        Case("-t last").with({"-t"}).fails(bad_value("-t")).creates(summary_only),
        Case("-n one count").with({"-n", "5"}).fails(bad_value("-n")).creates(summary_only),
        Case("-n not a count").with({"-n", "5", "x"}).fails(bad_value("-n")).creates(summary_only),
        Case("-n beyond any count")
            .with({"-n", "990990101835287", "6901018352876901214"})
            .fails(bad_value("-n"))
            .creates(summary_only),
        Case("-n negative").with({"-n", "-1", "5"}).fails(bad_value("-n")).creates(summary_only),
        Case("-int one end").with({"-int", "1000"}).fails(bad_value("-int")).creates(summary_only),
        Case("-int beyond 32 bits").with({"-int", "0", "3000000000"}).fails(bad_value("-int")).creates(summary_only),
        Case("-dl short group").with({"-dl", "1000", "1", "2"}).fails(bad_value("-dl")).creates(summary_only),
        Case("-dl negative risk").with({"-dl", "1000", "1", "-2", "4"}).fails(bad_value("-dl")).creates(summary_only),
        Case("-dl allele 2")
            .with({"-dl", "1000", "2", "1", "1"})
            .fails("Error encountered, program terminated: Disease allele must be 0 or 1 but got 2 in DiseaseLocus. \n")
            .creates(summary_only),
        Case("-Ne not a number").with({"-Ne", "lots"}).fails(bad_value("-Ne")).creates(summary_only),
        Case("-theta infinite").with({"-theta", "inf"}).fails(bad_value("-theta")).creates(summary_only),
        Case("-Ne out of range").with({"-Ne", "40000"}).notes("Error: Ne needs to be set", true),
        Case("unknown flag").with({"-x"}).notes("    -x", false),
        Case("output directory under a file")
            .words_are({"-h", "panel.haps", "-l", "panel.legend", "-m", "map.txt", "-o", "afile/sub/run"})
            .file("afile", "")
            .fails("Error: filesystem error: cannot create directories: Not a directory [afile/sub]")
            .errors_with(bad_file("afile/sub/run.summary", "can't open file (Not a directory).") + "\n")
            .creates({}),
    };
}

std::vector<Case> output_cases() {
    const std::string full = "can't write file (No space left on device).";
    const std::string too_large = "can't write file (File too large).";
    return {
        Case("directory in the way")
            .directory("run.cases.gen")
            .fails(bad_file("run.cases.gen", "can't open file (Is a directory)."))
            .creates({"run.summary", "run.controls.haps", "run.cases.haps", "run.legend", "run.controls.gen"}),
        Case("output name linked into a vanished directory")
            .link("run.legend", "gone/run.legend")
            .fails(bad_file("run.legend", "can't open file (No such file or directory)."))
            .creates({"run.summary", "run.controls.haps", "run.cases.haps"}),
        Case("full device under a haplotype file")
            .link("run.controls.haps", "/dev/full")
            .fails(bad_file("run.controls.haps", full))
            .creates(summary_only),
        Case("full device under a sample file")
            .link("run.cases.sample", "/dev/full")
            .fails(bad_file("run.cases.sample", full))
            .creates(without(all_outputs, "run.cases.sample")),
        Case("full device under a tag file")
            .with({"-t", "tags.txt"})
            .link("run.controls.tags.gen", "/dev/full")
            .fails(bad_file("run.controls.tags.gen", full))
            .creates(up_to_genotypes),
        Case("full device under a compressed file")
            .with({"-o", "run.gz"})
            .link("run.cases.gen.gz", "/dev/full")
            .fails(bad_file("run.cases.gen.gz", full))
            .creates(
                {"run.gz.summary", "run.controls.haps.gz", "run.cases.haps.gz", "run.legend", "run.controls.gen.gz"}),
        // A file that reaches the limit is neither left under its name nor
        // under a temporary one; the files before it are whole.
        Case("file size limit in the first file")
            .with({"-n", "30000", "2"})
            .file_size_limit(256 << 10)
            .fails(bad_file("run.controls.haps", too_large))
            .creates(summary_only),
        Case("file size limit in a later file")
            .with({"-n", "2", "8000"})
            .file_size_limit(160 << 10)
            .fails(bad_file("run.cases.gen", too_large))
            .creates({"run.summary", "run.controls.haps", "run.cases.haps", "run.legend", "run.controls.gen"}),
        Case("file size limit in a compressed file")
            .with({"-o", "run.gz", "-n", "30000", "2"})
            .file_size_limit(16 << 10)
            .fails(bad_file("run.controls.haps.gz", too_large))
            .creates({"run.gz.summary"}),
        Case("summary file cannot be opened")
            .directory("run.summary")
            .file("run.summary/keep", "")
            .fails(bad_file("run.summary", "can't open file (Is a directory)."))
            .errors_with(bad_file("run.summary", "can't open file (Is a directory).") + "\n")
            .creates({}),
    };
}

TEST(BadInputTest, CommandLine) {
    for (const Case& c : command_line_cases()) check_case(c);
}

TEST(BadInputTest, OutputFiles) {
    for (const Case& c : output_cases()) check_case(c);
}

}  // namespace
