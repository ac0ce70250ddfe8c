// The whole program as a user runs it: help, handled errors and their exit
// status, the life of the summary file, and the association report.
#include <gtest/gtest.h>

#include <regex>

#include "simulator/support/program_run.h"
#include "support/test_files.h"

namespace {

const std::string banner = "\n" + std::string(67, '=') + "\n  Welcome to VORLAN_v2.2.0 (01/04/2011)\n";
const std::string elapsed_line = "\nVORLAN took 0 seconds to complete. Have a nice day! \n";

// A run on a busy machine may take a second or more: the elapsed time shows as 0.
std::string at_zero_seconds(const std::string& text) {
    static const std::regex elapsed("VORLAN took [0-9.e+]+ seconds");
    return std::regex_replace(text, elapsed, "VORLAN took 0 seconds");
}

// "-o" without a directory part announces the creation of an empty name on
// the console only.
std::string without_creation_notice(const std::string& out) {
    const std::string notice = "Creating directory \n";
    return out.rfind(notice, 0) == 0 ? out.substr(notice.size()) : out;
}

bool ends_with(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

class RunDriverTest : public testing::Test {
protected:
    RunDriverTest() {
        write_file(dir_.file("map.txt"), "position rate cM\n1000 1 0\n5000 1 0.01\n");
        write_file(dir_.file("panel.haps"), "0 1 0 1 1 0 0 1\n1 1 0 0 1 0 1 1\n0 0 0 0 1 1 1 1\n1 1 1 1 1 1 1 1\n");
        write_file(dir_.file("panel.legend"), "rs pos a0 a1\nrs1 1000 A G\nrs2 2000 C T\nrs3 3000 G A\nrs4 4000 T C\n");
    }

    std::vector<std::string> inputs(const std::string& out = "run") const {
        return {"-h", "panel.haps", "-l", "panel.legend", "-m", "map.txt", "-o", out};
    }

    std::vector<std::string> with(std::vector<std::string> extra, const std::string& out = "run") const {
        auto words = inputs(out);
        words.insert(words.end(), extra.begin(), extra.end());
        return words;
    }

    ProgramRun run(const std::vector<std::string>& words) {
        ProgramRun result = run_vorlan2_program(words, dir_.path());
        result.out = at_zero_seconds(result.out);
        return result;
    }
    std::string transcript(const std::string& name) const { return at_zero_seconds(read_file(dir_.file(name))); }
    bool exists(const std::string& name) const { return std::filesystem::exists(dir_.path() / name); }

    TempDir dir_;
};

TEST_F(RunDriverTest, HelpPrintsBannerAndHelpOnlyAndTouchesNoFile) {
    for (const auto& words :
         std::vector<std::vector<std::string>>{{}, {"panel.haps"}, {"-help"}, {"-o", "run", "-help", "-n"}}) {
        const ProgramRun result = run(words);
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.out.rfind(banner, 0), 0u);
        EXPECT_NE(result.out.find(std::string(67, '=') + "\n\nHelp Menu\n\nEssential flags are:\n"), std::string::npos);
        EXPECT_TRUE(ends_with(result.out, "for the simulated disease SNPs\n\n")) << result.out;
        EXPECT_EQ(result.out.find("VORLAN took"), std::string::npos);
        EXPECT_FALSE(exists("vorlan2.summary"));
        EXPECT_FALSE(exists("run.summary"));
    }
}

TEST_F(RunDriverTest, HandledErrorsEndTheTranscriptAndExitWithOne) {
    struct Case {
        std::vector<std::string> words;
        std::string summary;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"-h", "panel.haps", "-l", "panel.legend", "-m", "map.txt"},
         "vorlan2.summary",
         "ERROR!!! Must specify a value for flag: -o"},
        {with({"-n", "5"}), "run.summary", "ERROR!!! Bad value given for flag: -n"},
        {with({"-dl", "1000", "3", "1", "1"}), "run.summary",
         "Error encountered, program terminated: Disease allele must be 0 or 1 but got 3 in DiseaseLocus. \n"},
        {with({"-dl", "1000", "1", "-1", "1"}), "run.summary", "ERROR!!! Bad value given for flag: -dl"},
        {{"-h", "nothing.haps", "-l", "panel.legend", "-m", "map.txt", "-o", "run"},
         "run.summary",
         "Error reading file nothing.haps: can't open haplotype file."},
        {with({"-int", "5000", "9000"}), "run.summary",
         "Error reading file panel.haps: No SNPs in the interval in haplotype file!"},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(dir_.path() / c.summary);
        const ProgramRun result = run(c.words);
        EXPECT_EQ(result.status, 1) << c.message;
        EXPECT_TRUE(ends_with(result.out, c.message + "\n\n" + elapsed_line)) << result.out;
        EXPECT_EQ(transcript(c.summary), without_creation_notice(result.out)) << c.message;
    }
}

TEST_F(RunDriverTest, SummaryIsReplacedAfterTheCommandLineAndAppendedOnAnEarlyError) {
    write_file(dir_.file("run.summary"), "old transcript\n");
    ProgramRun result = run(with({"-dl", "1000", "7", "1", "1"}));
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(transcript("run.summary"), "old transcript\n" + result.out);

    result = run(with({"-n", "2", "0", "-nrs", "-theta", "0", "-dl", "1000", "1", "1", "1"}));
    EXPECT_EQ(result.status, 0) << result.out;
    const std::string summary = transcript("run.summary");
    EXPECT_EQ(summary.rfind(banner, 0), 0u);
    EXPECT_EQ(summary, without_creation_notice(result.out));
    EXPECT_TRUE(ends_with(summary, "writing output file run.cases.sample\n" + elapsed_line)) << summary;
}

TEST_F(RunDriverTest, UnwritableSummaryPrintsTranscriptAndNamesTheFile) {
    const ProgramRun result = run({"-o", "nowhere/run", "-h", "panel.haps"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out.rfind(banner, 0), 0u);
    EXPECT_TRUE(ends_with(result.out, "ERROR!!! Must specify a value for flag: -l\n\n" + elapsed_line));
    EXPECT_EQ(result.err, "Error reading file nowhere/run.summary: can't open file (No such file or directory).\n");
}

TEST_F(RunDriverTest, OutputDirectoryIsCreated) {
    const ProgramRun result = run(with({"-n", "1", "0", "-nrs", "-dl", "1000", "1", "1", "1"}, "out/deeper/run"));
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out.find("Creating directory out/deeper\n"), 0u);
    EXPECT_TRUE(exists("out/deeper/run.controls.haps"));
    EXPECT_EQ(transcript("out/deeper/run.summary"), result.out.substr(result.out.find('\n') + 1));
}

TEST_F(RunDriverTest, OutputFileInTheWayEndsTheRunNamingIt) {
    std::filesystem::create_directory(dir_.path() / "run.cases.haps");
    const ProgramRun result = run(with({"-n", "1", "1", "-nrs", "-dl", "2000", "1", "2", "4"}));
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(ends_with(result.out,
                          "writing output file run.controls.haps\nError reading file run.cases.haps: "
                          "can't open file (Is a directory).\n\n" +
                              elapsed_line))
        << result.out;
    EXPECT_TRUE(exists("run.controls.haps"));
    EXPECT_FALSE(exists("run.legend"));
}

TEST_F(RunDriverTest, NoUsableDiseaseLocusEndsWithStatusOneAndNoOutput) {
    // 1500 is not a panel SNP; every haplotype carries allele 1 at 4000.
    const ProgramRun result = run(with({"-n", "2", "2", "-nrs", "-dl", "1500", "1", "2", "4", "4000", "1", "2", "4"}));
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.out.find("\ncannot find snp information for position 1500, so it has been removed from the set "
                              "of disease loci.\n"),
              std::string::npos);
    EXPECT_NE(result.out.find("\nsnp at position 4000 has frequency 1, so it has been removed from the set of "
                              "disease loci.\n"),
              std::string::npos);
    EXPECT_TRUE(ends_with(result.out, "done \n\nNo suitable disease loci. Program terminated.\n")) << result.out;
    EXPECT_EQ(transcript("run.summary"), without_creation_notice(result.out));
    EXPECT_FALSE(exists("run.controls.haps"));
    EXPECT_FALSE(exists("run.controls.sample"));
}

TEST_F(RunDriverTest, AssociationReportNeedsTwoCasesAndTheFlag) {
    const auto dl =
        std::vector<std::string>{"-nrs", "-dl", "2000", "1", "2", "4", "1000", "1", "1.5", "3", "-output_snp_summary"};
    auto words = with(dl);
    words.insert(words.end(), {"-n", "5", "1"});
    ProgramRun result = run(words);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out.find("The pvalues"), std::string::npos);

    words = with(dl);
    words.insert(words.end(), {"-n", "30", "30"});
    result = run(words);
    EXPECT_EQ(result.status, 0) << result.out;
    const std::string number = R"((-?[0-9.e+-]+|NA))";
    const std::regex report(
        "\n\nThe pvalues and effect sizes of each disease SNP is:\n\n"
        "Disease_locus_index           beta        beta_se         pvalue\n"
        " {14}0 {12,}" +
        number + " {4,}" + number + " {4,}" + number +
        "\n"
        " {14}1 {12,}" +
        number + " {4,}" + number + " {4,}" + number +
        "\n"
        "\n\nThe pvalue for the full disease model is " +
        number +
        ":\n"
        "Disease_locus_index           beta        beta_se\n"
        " {14}0 {12,}" +
        number + " {4,}" + number +
        "\n"
        " {14}1 {12,}" +
        number + " {4,}" + number +
        "\n"
        "\nVORLAN took 0 seconds to complete. Have a nice day! \n$");
    std::smatch match;
    ASSERT_TRUE(std::regex_search(result.out, match, report)) << result.out;
    // Numbers print with 4 significant digits, right-aligned under their headings.
    const std::string table = match.str(0);
    std::istringstream lines(table);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.size() > 15 && line[14] >= '0' && line[14] <= '9') {
            EXPECT_TRUE(line.size() == 64 || line.size() == 49) << line;
        }
    }
}

// The association report between its first line and the elapsed time.
std::string association_report(const std::string& out) {
    const auto begin = out.find("\n\nThe pvalues");
    const auto end = out.find("\nVORLAN took");
    if (begin == std::string::npos || end == std::string::npos || end < begin) return out;
    return out.substr(begin, end - begin);
}

TEST_F(RunDriverTest, SeparatedSnpPrintsNoEffectSize) {
    // Relative risks 0 and 0 at position 2000 (SNP index 1): no case carries
    // allele 1 there, 27 of the 30 controls do. Reference: R 4, the same
    // Newton-Raphson iteration (from zero until the score's sum of squares
    // is at most 1e-5) on the genotypes of run.controls.gen and run.cases.gen:
    // SNP 0 beta -0.160428, se 0.402125, p 0.688568; SNP 1 p 1.99731e-15;
    // both p 1.83243e-14.
    const ProgramRun result = run(
        with({"-nrs", "-output_snp_summary", "-n", "30", "30", "-dl", "2000", "1", "0", "0", "1000", "1", "1.5", "3"}));
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(association_report(result.out),
              "\n\nThe pvalues and effect sizes of each disease SNP is:\n\n"
              "Disease_locus_index           beta        beta_se         pvalue\n"
              "              0            -0.1604         0.4021         0.6886\n"
              "              1                 NA             NA      1.997e-15\n"
              "\n\nThe pvalue for the full disease model is 1.832e-14:\n"
              "Disease_locus_index           beta        beta_se\n"
              "              0                 NA             NA\n"
              "              1                 NA             NA\n");
}

TEST_F(RunDriverTest, NoControlsPrintNoEffectSizesAndPvalueOne) {
    const ProgramRun result =
        run(with({"-nrs", "-output_snp_summary", "-n", "0", "50", "-dl", "2000", "1", "1.5", "3"}));
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(association_report(result.out),
              "\n\nThe pvalues and effect sizes of each disease SNP is:\n\n"
              "Disease_locus_index           beta        beta_se         pvalue\n"
              "              1                 NA             NA              1\n"
              "\n\nThe pvalue for the full disease model is 1:\n"
              "Disease_locus_index           beta        beta_se\n"
              "              1                 NA             NA\n");
}

}  // namespace
