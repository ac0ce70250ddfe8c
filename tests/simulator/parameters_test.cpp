// Command-line reading: help, required flags, bad values, the values each
// flag takes, the parameter summary and the help text.
#include "simulator/parameters.h"

#include <gtest/gtest.h>

#include <sstream>

#include "common/exceptions.h"
#include "support/test_files.h"

namespace {

struct CommandLine {
    explicit CommandLine(std::vector<std::string> words) : words_(std::move(words)) {
        words_.insert(words_.begin(), "vorlan2");
        for (auto& word : words_) argv_.push_back(word.data());
    }
    int argc() const { return static_cast<int>(words_.size()); }
    char** argv() { return argv_.data(); }

private:
    std::vector<std::string> words_;
    std::vector<char*> argv_;
};

VorlanParameters read_words(std::vector<std::string> words) {
    CommandLine line(std::move(words));
    VorlanParameters parameters;
    testing::internal::CaptureStdout();
    try {
        parameters.process_parameters(line.argc(), line.argv());
    } catch (...) {
        testing::internal::GetCapturedStdout();
        throw;
    }
    testing::internal::GetCapturedStdout();
    return parameters;
}

class ParametersTest : public testing::Test {
protected:
    std::vector<std::string> required() const {
        return {"-h", "panel.haps", "-l", "panel.legend", "-m", "panel.map", "-o", out_};
    }
    std::vector<std::string> with(std::vector<std::string> extra) const {
        auto words = required();
        words.insert(words.end(), extra.begin(), extra.end());
        return words;
    }
    TempDir dir_;
    std::string out_ = dir_.file("run");
};

TEST_F(ParametersTest, HelpIsRaisedForHelpFlagOrNoFlagAndLaterWordsAreNotRead) {
    EXPECT_THROW(read_words({"-help"}), HelpException);
    EXPECT_THROW(read_words({"input", "output"}), HelpException);
    EXPECT_THROW(read_words({}), HelpException);
    // "-n" after "-help" would lack its values; it is never read.
    EXPECT_THROW(read_words({"-o", out_, "-help", "-n"}), HelpException);
}

TEST_F(ParametersTest, FirstMissingRequiredFlagIsReported) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"-nrs"}, "-h"},
        {{"-h", "a"}, "-l"},
        {{"-h", "a", "-l", "b"}, "-m"},
        {{"-h", "a", "-l", "b", "-m", "c"}, "-o"},
        {{"-o", out_, "-m", "c", "-l", "b"}, "-h"},
    };
    for (const auto& [words, flag] : cases) {
        try {
            read_words(words);
            ADD_FAILURE() << "no error for missing " << flag;
        } catch (const MissingFlagException& e) {
            EXPECT_EQ(e.flag, flag);
            EXPECT_EQ(e.message, "ERROR!!! Must specify a value for flag: " + flag);
        }
    }
}

TEST_F(ParametersTest, BadValuesAreRefusedNamingTheFlag) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"-n", "5"}, "-n"},
        {{"-n", "five", "5"}, "-n"},
        {{"-n", "5", "2.5"}, "-n"},
        {{"-n", "-1", "5"}, "-n"},
        {{"-n", "1073741823", "1"}, "-n"},
        {{"-int", "100"}, "-int"},
        {{"-int", "0", "3000000000"}, "-int"},
        {{"-int", "x", "100"}, "-int"},
        {{"-dl", "2000", "1", "2"}, "-dl"},
        {{"-dl", "2000", "1", "2", "-n", "5", "5"}, "-dl"},
        {{"-dl", "2000", "one", "2", "4"}, "-dl"},
        {{"-dl", "2000", "1", "-2", "4"}, "-dl"},
        {{"-dl", "2000", "1", "2", "inf"}, "-dl"},
        {{"-dl", "2000", "1", "nan", "4"}, "-dl"},
        {{"-Ne", "inf"}, "-Ne"},
        {{"-Ne", "lots"}, "-Ne"},
        {{"-theta", "nan"}, "-theta"},
        {{"-theta"}, "-theta"},
        {{"-t"}, "-t"},
    };
    for (const auto& [extra, flag] : cases) {
        try {
            read_words(with(extra));
            ADD_FAILURE() << "no error for " << testing::PrintToString(extra);
        } catch (const BadInputValueException& e) {
            EXPECT_EQ(e.message, "ERROR!!! Bad value given for flag: " + flag) << testing::PrintToString(extra);
        }
    }
    for (const std::string flag : {"-h", "-l", "-m", "-o"}) {
        auto words = required();
        words.push_back(flag);
        EXPECT_THROW(read_words(words), BadInputValueException) << flag;
    }
}

TEST_F(ParametersTest, FlagValuesAreStored) {
    const auto p = read_words(
        with({"-n", "10", "20", "-int", "1000", "2000", "-Ne", "10000", "-theta", "0.0005", "-t", "tags.txt", "-nrs"}));
    EXPECT_EQ(p.haplotype_file, "panel.haps");
    EXPECT_EQ(p.legend_file, "panel.legend");
    EXPECT_EQ(p.genetic_map_file, "panel.map");
    EXPECT_EQ(p.ncontrols, 10);
    EXPECT_EQ(p.ncases, 20);
    EXPECT_EQ(p.lower, 1000);
    EXPECT_EQ(p.upper, 2000);
    EXPECT_EQ(p.Ne, 10000.0);
    EXPECT_EQ(p.theta, 0.0005);
    EXPECT_EQ(p.tag_file, "tags.txt");
    EXPECT_TRUE(p.flag_given("-nrs"));
    EXPECT_TRUE(p.unrecognised_flags.empty());
}

TEST_F(ParametersTest, DefaultsWithoutOptionalFlags) {
    const auto p = read_words(required());
    EXPECT_EQ(p.ncontrols, 1);
    EXPECT_EQ(p.ncases, 1);
    EXPECT_EQ(p.lower, 0);
    EXPECT_EQ(p.upper, 500000000);
    EXPECT_EQ(p.Ne, 11418.0);
    EXPECT_EQ(p.theta, -1.0);
    EXPECT_TRUE(p.dl.empty());
    EXPECT_EQ(p.summary_file, out_ + ".summary");
}

TEST_F(ParametersTest, NegativeIntervalEndsAreReplacedAndListedAsUnrecognised) {
    const auto p = read_words(with({"-int", "-5", "-7"}));
    EXPECT_EQ(p.lower, 0);
    EXPECT_EQ(p.upper, 500000000);
    EXPECT_EQ(p.unrecognised_flags, (std::set<std::string>{"-5", "-7"}));
}

TEST_F(ParametersTest, OutputNameGivesSummaryFileAndDirectory) {
    const auto p = read_words({"-h", "a", "-l", "b", "-m", "c", "-o", dir_.file("out/run.gz")});
    EXPECT_EQ(p.summary_file, dir_.file("out/run.gz.summary"));
    EXPECT_EQ(p.output_directory, dir_.path() / "out");
    EXPECT_TRUE(std::filesystem::is_directory(dir_.path() / "out"));
}

TEST_F(ParametersTest, MissingOutputDirectoryIsCreatedAndAnnounced) {
    CommandLine line({"-h", "a", "-l", "b", "-m", "c", "-o", dir_.file("x/y/run")});
    VorlanParameters p;
    testing::internal::CaptureStdout();
    p.process_parameters(line.argc(), line.argv());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Creating directory " + dir_.file("x/y") + "\n");
    EXPECT_TRUE(std::filesystem::is_directory(dir_.path() / "x" / "y"));
}

TEST_F(ParametersTest, NeOutOfRangeIsANoticeOnly) {
    for (const auto& [value, notice] :
         std::vector<std::pair<std::string, bool>>{{"40000", true}, {"30000", false}, {"-1", true}, {"0", false}}) {
        CommandLine line(with({"-Ne", value}));
        VorlanParameters p;
        testing::internal::CaptureStdout();
        p.process_parameters(line.argc(), line.argv());
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(out.find("Error: Ne needs to be set\n") != std::string::npos, notice) << value;
        EXPECT_EQ(p.Ne, std::stod(value));
    }
}

TEST_F(ParametersTest, DiseaseLociGroupsAccumulateFirstPositionWins) {
    const auto p = read_words(with({"-dl", "5000", "1",  "2",  "4",  "3000", "0",    "1.5", "2", "5000", "0",
                                    "9",   "9",    "-n", "10", "10", "-dl",  "7000", "1",   "1", "1"}));
    ASSERT_EQ(p.dl.size(), 3u);
    const auto& first = p.dl.at(5000.0);
    EXPECT_EQ(first.allele, 1);
    EXPECT_EQ(first.rr, (std::vector<double>{1.0, 2.0, 4.0}));
    EXPECT_EQ(p.dl.at(3000.0).rr, (std::vector<double>{2.0, 1.5, 1.0}));
    EXPECT_EQ(p.ncontrols, 10);
    EXPECT_TRUE(p.dl.count(7000.0));
}

TEST_F(ParametersTest, BadDiseaseAlleleIsAGenericErrorEvenInARepeatedGroup) {
    for (const auto& extra : std::vector<std::vector<std::string>>{
             {"-dl", "1000", "2", "1", "1"}, {"-dl", "1000", "1", "1", "1", "1000", "2", "1", "1"}}) {
        try {
            read_words(with(extra));
            ADD_FAILURE() << "allele 2 accepted";
        } catch (const GenericErrorException& e) {
            EXPECT_EQ(e.first, "Error encountered, program terminated: ");
            EXPECT_EQ(e.second, "Disease allele must be 0 or 1 but got 2 in DiseaseLocus. \n");
        }
    }
}

TEST_F(ParametersTest, ZeroRisksAreLegal) {
    const auto p = read_words(with({"-dl", "1000", "1", "0", "0"}));
    EXPECT_EQ(p.dl.at(1000.0).rr, (std::vector<double>{1.0, 0.0, 0.0}));
}

TEST_F(ParametersTest, SummaryTextIsExact) {
    const auto p =
        read_words({"-h", "panel.haps", "-l",     "panel.legend", "-m",     "panel.map", "-o",      out_,    "-n",
                    "5",  "2",          "-dl",    "1234567",      "1",      "1.5",       "2.25",    "52000", "0",
                    "2",  "4",          "-theta", "0.0004",       "-bogus", "-t",        "tags.txt"});
    std::ostringstream summary;
    p.parameters_summary(summary);
    auto line = [](const std::string& label, const std::string& value) {
        return std::string(60 - label.size(), ' ') + label + value + "\n";
    };
    const std::string expected =
        "Command line input is:\nvorlan2 -h panel.haps -l panel.legend -m panel.map -o " + out_ +
        " -n 5 2 -dl 1234567 1 1.5 2.25 52000 0 2 4 -theta 0.0004 -bogus -t tags.txt \n\n"
        "WARNING!! The following specified parameters were not recognised:\n    -bogus\n\n"
        "FILE INPUTS\n" +
        line("haplotype file: ", "panel.haps") + line("legend file: ", "panel.legend") +
        line("genetic map file: ", "panel.map") + line("tag snps file: ", "tags.txt") + "FILE OUTPUTS\n" +
        line("output file: ", out_) + line("summary file: ", out_ + ".summary") + "PARAMETER INPUTS\n" +
        line("no. controls to simulate: ", "5") + line("no. cases to simulate: ", "2") +
        line("disease loci: ", "(1) 52000 (2) 1234567 ") + line("disease alleles: ", "(1) 0 (2) 1 ") +
        line("heterozygote/homozygote risks: ", "(1) 2.00/4.00 (2) 1.50/2.25 ") + line("lower: ", "0") +
        line("upper: ", "500000000") + line("Ne: ", "11418") + line("theta: ", "0") + "\n";
    EXPECT_EQ(summary.str(), expected);
    // The buffer keeps fixed notation without decimals for what follows.
    summary.str("");
    summary << 2.75;
    EXPECT_EQ(summary.str(), "3");
}

TEST_F(ParametersTest, SummaryWithoutTagFlagLeavesTagLabelEmpty) {
    const auto p = read_words(required());
    std::ostringstream summary;
    p.parameters_summary(summary);
    EXPECT_NE(summary.str().find(std::string(45, ' ') + "tag snps file: \n"), std::string::npos);
    EXPECT_NE(summary.str().find(std::string(46, ' ') + "theta: -1\n"), std::string::npos);
    EXPECT_EQ(summary.str().find("WARNING"), std::string::npos);
}

TEST_F(ParametersTest, HelpTextRowsArePaddedToForty) {
    VorlanParameters p;
    std::ostringstream help;
    p.parameters_help(help);
    const std::string text = help.str();
    EXPECT_EQ(text.rfind("Help Menu\n\nEssential flags are:\n-h <file> ", 0), 0u);
    EXPECT_NE(text.find("-h <file>                               : the reference panel (e.g. HapMap) file\n"),
              std::string::npos);
    EXPECT_NE(text.find("-dl <pos1> <allele1> <rr11> <rr12> ...  : the list of positions"), std::string::npos);
    EXPECT_NE(text.find("(pos2>pos1) \n\nOptional flags are:\n-n <m> <n>"), std::string::npos);
    EXPECT_NE(text.find("-output_snp_summary                     : output pvalues and effect size estimates "
                        "for the simulated disease SNPs\n"),
              std::string::npos);
    EXPECT_EQ(text.find("-nrs"), std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2 + 1 + 6 + 1 + 1 + 7);
}

}  // namespace
