// The genetic-map and reference-panel readers: values, interpolation,
// transcript lines, warnings and every error with its line number.
#include "simulator/panel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>

#include "common/exceptions.h"
#include "simulator/genetic_map.h"
#include "support/test_files.h"

using namespace vorlan2;

namespace {

class PanelTest : public testing::Test {
protected:
    PanelTest() {
        data_.params.genetic_map_file = dir_.file("map.txt");
        data_.params.haplotype_file = dir_.file("panel.haps");
        data_.params.legend_file = dir_.file("panel.legend");
        data_.params.summary_file = dir_.file("run.summary");
        data_.params.Ne = 10000.0;
    }

    void write_panel(const std::string& haps, const std::string& legend) {
        write_file(dir_.file("panel.haps"), haps);
        write_file(dir_.file("panel.legend"), legend);
    }

    // Reads map and panel, returning what reached standard output.
    std::string read_all() {
        testing::internal::CaptureStdout();
        try {
            data_.read_genetic_map();
            data_.read_haplotype_data();
        } catch (...) {
            stdout_ = testing::internal::GetCapturedStdout();
            throw;
        }
        return stdout_ = testing::internal::GetCapturedStdout();
    }

    // Reads map and panel afresh for the interval [lower, upper], with a new
    // summary file: what reached standard output, and the SNPs kept.
    std::pair<std::string, std::size_t> read_interval(int lower, int upper) const {
        std::filesystem::remove(dir_.file("run.summary"));
        Data data = data_;
        data.params.lower = lower;
        data.params.upper = upper;
        testing::internal::CaptureStdout();
        data.read_genetic_map();
        data.read_haplotype_data();
        return {testing::internal::GetCapturedStdout(), data.snps_data.size()};
    }

    std::string error_of_reading() {
        try {
            read_all();
        } catch (const badfilename& e) {
            return e.message;
        }
        return "no error";
    }

    TempDir dir_;
    Data data_;
    std::string stdout_;
};

TEST_F(PanelTest, MapValuesAreScaledAndCounted) {
    write_file(dir_.file("map.txt"), "pos rate cM\n1000 0.5 0\n2000 0.5 1.5 extra words\n3000 0.5 3\n");
    testing::internal::CaptureStdout();
    data_.read_genetic_map();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(data_.map_positions, (std::vector<double>{1000, 2000, 3000}));
    EXPECT_EQ(data_.map_values, (std::vector<double>{0.0, 600.0, 1200.0}));
    EXPECT_EQ(out, "Reading genetic map file ... done\n" + std::string(38, ' ') + "number of rates read: 3\n\n");
    EXPECT_EQ(read_file(dir_.file("run.summary")), out);
}

TEST_F(PanelTest, MapErrorsNameTheFileLine) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"h\n1 2 3\n\n4 5 6\n", "bad line in rates file on line 3"},
        {"h\n1 2\n", "bad line in rates file on line 2"},
        {"h\n1 2 3\n4 x 6\n", "bad line in rates file on line 3"},
        {"h\n1 2 nan\n", "bad line in rates file on line 2"},
        {"h\n", "no rates found in file."},
        {"", "no rates found in file."},
    };
    for (const auto& [content, reason] : cases) {
        write_file(dir_.file("map.txt"), content);
        Data data = data_;
        testing::internal::CaptureStdout();
        try {
            data.read_genetic_map();
            ADD_FAILURE() << "accepted " << content;
        } catch (const badfilename& e) {
            EXPECT_EQ(e.message, "Error reading file " + dir_.file("map.txt") + ": " + reason);
        }
        testing::internal::GetCapturedStdout();
    }
    data_.params.genetic_map_file = dir_.file("absent");
    EXPECT_EQ(error_of_reading(), "Error reading file " + dir_.file("absent") + ": can't open file.");
}

TEST_F(PanelTest, MapValuesMustStayFiniteThroughScalingAndInterpolation) {
    struct Case {
        double Ne;
        std::string map;
        std::string reason;  // empty: accepted
    };
    const std::vector<Case> cases = {
        {10000.0, "h\n1000 1 0\n2000 1 1e306\n", "bad line in rates file on line 3"},
        {1e308, "h\n1000 1 0\n", "bad line in rates file on line 2"},
        {1e308, "h\n1000 1 1\n", "bad line in rates file on line 2"},
        {1.0, "h\n1000 1 4.5e307\n", "bad line in rates file on line 2"},
        {1.0, "h\n1000 1 -4.4e307\n3000 1 4.4e307\n", ""},
    };
    for (const auto& c : cases) {
        write_file(dir_.file("map.txt"), c.map);
        Data data = data_;
        data.params.Ne = c.Ne;
        testing::internal::CaptureStdout();
        std::string message;
        try {
            data.read_genetic_map();
        } catch (const badfilename& e) {
            message = e.message;
        }
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(message, c.reason.empty() ? "" : "Error reading file " + dir_.file("map.txt") + ": " + c.reason)
            << c.map;
    }
    // The widest accepted map still gives finite positions between its points.
    data_.params.Ne = 1.0;
    write_panel("0 1\n1 0\n", "h\nrs1 1000 A G\nrs2 2000 A G\n");
    read_all();
    EXPECT_EQ(data_.snps_data.at(1000).genetic_position, 4.0 * -4.4e307 / 100.0);
    EXPECT_EQ(data_.snps_data.at(2000).genetic_position, 0.0);
}

TEST_F(PanelTest, WarnsWhenNoSnpOfTheIntervalLiesInsideTheMap) {
    const std::string warning = "Warning: no SNP in the interval lies inside the range of the genetic map.\n";
    // SNPs at 1000, 2000, 3000 and 4000.
    write_panel("0 1\n1 0\n1 1\n0 0\n", "h\nrs1 1000 A G\nrs2 2000 A G\nrs3 3000 A G\nrs4 4000 A G\n");
    struct Case {
        std::string map;
        int lower, upper;
        bool warned;
    };
    const std::vector<Case> cases = {
        {"chr pos rate cM\n1 1000 1 0\n1 5000 1 0.01\n", 0, 500000000, true},
        {"pos rate cM\n2500 1 0\n", 0, 500000000, true},
        {"pos rate cM\n1000 1 0\n2000 1 1\n", 0, 500000000, true},
        {"pos rate cM\n5000 1 0\n9000 1 1\n", 0, 500000000, true},
        {"pos rate cM\n1500 1 0\n9000 1 1\n", 1000, 1000, true},
        {"pos rate cM\n1000 1 0\n4000 1 1\n", 0, 500000000, false},
        {"pos rate cM\n9000 1 1\n3500 1 0\n", 0, 500000000, false},
        {"pos rate cM\n500 1 0\n1500 1 1\n", 1000, 1000, false},
    };
    for (const auto& c : cases) {
        write_file(dir_.file("map.txt"), c.map);
        const auto [out, snps] = read_interval(c.lower, c.upper);
        const std::string counts_end = "number of SNPs in interval: " + std::to_string(snps) + "\n";
        const std::string expected_end = counts_end + (c.warned ? warning : "") + "\n";
        EXPECT_EQ(out.substr(out.size() - std::min(out.size(), expected_end.size())), expected_end) << c.map;
        EXPECT_EQ(read_file(dir_.file("run.summary")), out);
    }
}

TEST_F(PanelTest, MapAcceptsCrlfLineEnds) {
    write_file(dir_.file("map.txt"), "pos rate cM\r\n1000 0.5 1\r\n");
    testing::internal::CaptureStdout();
    data_.read_genetic_map();
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(data_.map_values, (std::vector<double>{400.0}));
}

TEST(GeneticMapTest, InterpolationBelowAboveAtAndBetweenPoints) {
    const std::vector<double> positions{100, 200, 400};
    const std::vector<double> values{10, 20, 60};
    const GeneticMapInterpolator map(positions, values);
    const std::vector<std::pair<double, double>> cases = {{50, 10},  {100, 10}, {150, 15}, {200, 20},
                                                          {300, 40}, {400, 60}, {1000, 60}};
    for (const auto& [p, expected] : cases) EXPECT_EQ(map.interpolate_genetic_position(p), expected) << p;
}

TEST(GeneticMapTest, RepeatedPositionsUseTheLastPoint) {
    const std::vector<double> positions{100, 200, 200, 200, 300};
    const std::vector<double> values{0, 5, 7, 9, 19};
    const GeneticMapInterpolator map(positions, values);
    EXPECT_EQ(map.interpolate_genetic_position(200), 9);
    EXPECT_EQ(map.interpolate_genetic_position(250), 14);
    EXPECT_EQ(map.interpolate_genetic_position(150), 2.5);
}

TEST(GeneticMapTest, UnsortedMapFollowsTheScan) {
    // The scan stops at the first point whose successor lies beyond p.
    const std::vector<double> positions{100, 300, 200, 400};
    const std::vector<double> values{0, 30, 20, 40};
    const GeneticMapInterpolator map(positions, values);
    EXPECT_EQ(map.interpolate_genetic_position(250), 22.5);  // between 100 and 300
    EXPECT_EQ(map.interpolate_genetic_position(350), 35.0);  // passes 300, then 200 to 400
}

TEST(GeneticMapTest, SortedSearchAgreesWithScanBitForBit) {
    std::vector<double> positions, values;
    double v = 0;
    for (int i = 0; i < 500; ++i) {
        positions.push_back(1000.0 + 37.0 * i + (i % 7 == 0 ? 0 : 3));
        v += 0.013 * (i % 11) + 1e-3;
        values.push_back(v);
    }
    const GeneticMapInterpolator map(positions, values);
    for (double p = 900; p < 20000; p += 13.7) {
        std::size_t i = 0;
        while (i + 1 < positions.size() && positions[i + 1] <= p) ++i;
        double expected = values[0];
        if (p >= positions[0]) {
            expected = i == positions.size() - 1
                           ? values.back()
                           : (p - positions[i]) / (positions[i + 1] - positions[i]) * (values[i + 1] - values[i]) +
                                 values[i];
        }
        ASSERT_EQ(map.interpolate_genetic_position(p), expected) << p;
    }
}

TEST_F(PanelTest, PanelIsReadWithFrequenciesPositionsAndTranscript) {
    write_file(dir_.file("map.txt"), "pos rate cM\n1000 0 0\n3000 0 1\n");
    data_.params.lower = 1500;
    data_.params.upper = 2500;
    write_panel("0 1 1 0 \n1 1 1 1\n0 0 0 1\n1 0 0 0\n0 0 1 1\n",
                "rs pos a0 a1\nrs1 1000 A G\nrs2 1500 C T\nrs3 2000 G A extra\nrs4 2000 T T\nrs5 2500 A C\n");
    const std::string out = read_all();
    ASSERT_EQ(data_.snps_data.size(), 3u);
    EXPECT_EQ(data_.n_haplotypes, 4);
    const snp& first = data_.snps_data.at(1500);
    EXPECT_EQ(first.rs_id, "rs2");
    EXPECT_EQ(first.panel_alleles, (std::vector<std::uint8_t>{1, 1, 1, 1}));
    EXPECT_EQ(first.frequency, 1.0);
    EXPECT_EQ(first.genetic_position, 0.25 * 400.0);
    const snp& duplicated = data_.snps_data.at(2000);
    EXPECT_EQ(duplicated.rs_id, "rs3");
    EXPECT_EQ(duplicated.allele0, "G");
    EXPECT_EQ(duplicated.allele1, "A");
    EXPECT_EQ(duplicated.frequency, 0.25);
    EXPECT_EQ(data_.snps_data.at(2500).frequency, 0.5);
    EXPECT_EQ(out.substr(out.find("\nReading haplotype")),
              "\nReading haplotype and legend files: looking for SNPs in [1500, 2500] ... done\n" +
                  std::string(38, ' ') + "number of haplotypes: 4\n" + std::string(35, ' ') +
                  "number of SNPs in total: 5\n" + std::string(32, ' ') +
                  "number of SNPs in interval: 3\n"
                  "Warning: 1 SNPs share a base-pair position with an earlier SNP and were not used.\n\n");
}

TEST_F(PanelTest, SnpsSharingAPositionAreCountedOverTheInterval) {
    write_file(dir_.file("map.txt"), "pos rate cM\n1000 0 0\n9000 0 1\n");
    const std::string warning = " SNPs share a base-pair position with an earlier SNP and were not used.\n";
    struct Case {
        std::string legend;
        int lower, upper;
        std::string notice;  // the line after the counts
    };
    const std::vector<Case> cases = {
        {"h\nrs1 2000 A G\nrs2 3000 A G\nrs3 4000 A G\nrs4 5000 A G\n", 0, 10000, ""},
        {"h\nrs1 2000 A G\nrs2 2000 A C\nrs3 2000 A T\nrs4 5000 A G\n", 0, 10000, "Warning: 2" + warning},
        {"h\nrs1 2000 A G\nrs2 5000 A G\nrs3 2000 A G\nrs4 5000 A G\n", 0, 10000, "Warning: 2" + warning},
        {"h\nrs1 2000 A G\nrs2 2000 A C\nrs3 4000 A G\nrs4 5000 A G\n", 3000, 10000, ""},
        {"h\nrs1 2000 A G\nrs2 2000 A C\nrs3 5000 A G\nrs4 5000 A G\n", 3000, 10000, "Warning: 1" + warning},
    };
    for (const auto& c : cases) {
        write_panel("0 1\n1 0\n1 1\n0 0\n", c.legend);
        const auto [out, snps] = read_interval(c.lower, c.upper);
        const std::string counts_end = "number of SNPs in interval: " + std::to_string(snps) + "\n";
        EXPECT_EQ(out.substr(out.find(counts_end)), counts_end + c.notice + "\n") << c.legend;
        EXPECT_EQ(read_file(dir_.file("run.summary")), out);
    }
}

TEST_F(PanelTest, UnequalFileLengthsWarnOnStandardOutputOnly) {
    write_file(dir_.file("map.txt"), "pos rate cM\n500 0 0\n5000 0 1\n");
    const std::string more_haps =
        "Warning: haplotype file contained more lines than legend file, only those SNPs with a line in the legend "
        "file were read.\n";
    const std::string more_legend =
        "Warning: legend file contained more lines than haplotype file, only those SNPs with a line in the "
        "haplotype file were read.\n";
    struct Case {
        std::string haps, legend, warning;
    };
    const std::vector<Case> cases = {
        {"0 1\n1 1\n", "h\nrs1 1000 A G\n", more_haps},
        {"0 1\n", "h\nrs1 1000 A G\nrs2 2000 A G\n", more_legend},
        {"0 1\n1 1", "h\nrs1 1000 A G\nrs2 2000 A G\n", ""},
        {"0 1\n1 1\n", "h\nrs1 1000 A G\nrs2 2000 A G", ""},
        // The longer file's last line without a line end, or the shorter's.
        {"0 1\n1 1", "h\nrs1 1000 A G\n", more_haps},
        {"0 1\n1 1\n", "h\nrs1 1000 A G", more_haps},
        {"0 1\n", "h\nrs1 1000 A G\nrs2 2000 A G", more_legend},
        {"0 1", "h\nrs1 1000 A G\nrs2 2000 A G\n", more_legend},
        // A last line that is empty is a line.
        {"0 1\n1 1\n\n", "h\nrs1 1000 A G\nrs2 2000 A G\n", more_haps},
        // A legend without its header, unless the haplotype file has exactly
        // one line for that header.
        {"0 1\n", "rs1 1000 A G\nrs2 2000 A G\n", ""},
        {"0 1\n1 1\n0 0\n", "rs1 1000 A G\nrs2 2000 A G\n", more_haps},
    };
    for (const auto& c : cases) {
        Data data = data_;
        write_panel(c.haps, c.legend);
        std::filesystem::remove(dir_.file("run.summary"));
        testing::internal::CaptureStdout();
        data.read_genetic_map();
        data.read_haplotype_data();
        const std::string out = testing::internal::GetCapturedStdout();
        const bool warned = out.find("Warning") != std::string::npos;
        EXPECT_EQ(warned, !c.warning.empty()) << c.haps;
        if (warned) {
            EXPECT_NE(out.find("done\n" + c.warning), std::string::npos) << out;
        }
        EXPECT_EQ(read_file(dir_.file("run.summary")).find("Warning"), std::string::npos);
    }
}

TEST_F(PanelTest, PanelErrorsNameFileAndLine) {
    write_file(dir_.file("map.txt"), "pos rate cM\n1000 0 0\n");
    const std::string haps = dir_.file("panel.haps");
    const std::string legend = dir_.file("panel.legend");
    const std::string no_header = "the first line must be a header such as \"rs pos X0 X1\", but line 1 is a SNP line.";
    struct Case {
        std::string haps, legend, file, reason;
    };
    const std::vector<Case> cases = {
        {"0 1\n0 1\n", "h\nrs1 1000 A G\nrs2 1001 A\n", legend, "bad format detected in legend file on line 3."},
        {"0 1\n0 1\n", "h\nrs1 1000 A G\nrs2 10x1 A G\n", legend, "bad format detected in legend file on line 3."},
        {"0 1\n0 1\n", "h\nrs1 1000 A G\nrs2 9999999999 A G\n", legend,
         "bad format detected in legend file on line 3."},
        {"0 1\n0 x\n", "h\nrs1 1000 A G\nrs2 2000 A G\n", haps, "bad format detected in haplotype file on line 2."},
        {"0 1\n0 2\n", "h\nrs1 1000 A G\nrs2 2000 A G\n", haps, "bad format detected in haplotype file on line 2."},
        {"0101\n", "h\nrs1 1000 A G\n", haps, "bad format detected in haplotype file on line 1."},
        {"\n\n", "h\nrs1 1000 A G\nrs2 2000 A G\n", haps, "bad format detected in haplotype file on line 1."},
        {"\xEF\xBB\xBF"
         "0 1\n",
         "h\nrs1 1000 A G\n", haps, "bad format detected in haplotype file on line 1."},
        {"0 1\n0 1 1\n", "h\nrs1 1000 A G\nrs2 2000 A G\n", haps,
         "different number of haplotypes found in haplotype file (2 and 3 on line 2."},
        {"0 1\n0 1 1\n", "h\nrs1 1000 A G\nrs2 20x0 A G\n", legend, "bad format detected in legend file on line 3."},
        {"0 1\n", "h\nrs1 5 A G\n", haps, "No SNPs in the interval in haplotype file!"},
        {"0 1\n1 1\n", "rs1 1000 A G\nrs2 2000 A G\n", legend, no_header},
        {"0 1\n1 1", "rs1 1000 A G\nrs2 2000 A G", legend, no_header},
        {"0 1\n", "rs1 5 A G\n", legend, no_header},
        // The haplotype line left over is not read as a SNP's.
        {"0 1\n0 1 1\n", "rs1 1000 A G\nrs2 2000 A G\n", legend, no_header},
    };
    data_.params.lower = 10;
    for (const auto& c : cases) {
        Data data = data_;
        write_panel(c.haps, c.legend);
        testing::internal::CaptureStdout();
        std::string message = "no error";
        try {
            data.read_genetic_map();
            data.read_haplotype_data();
        } catch (const badfilename& e) {
            message = e.message;
        }
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(message, "Error reading file " + c.file + ": " + c.reason) << c.haps << "|" << c.legend;
        EXPECT_EQ(out.find("number of haplotypes"), std::string::npos);
    }
}

TEST_F(PanelTest, UnopenablePanelFilesAreNamed) {
    write_file(dir_.file("map.txt"), "pos rate cM\n1000 0 0\n");
    write_file(dir_.file("panel.legend"), "h\n");
    EXPECT_EQ(error_of_reading(), "Error reading file " + dir_.file("panel.haps") + ": can't open haplotype file.");
    std::filesystem::remove(dir_.file("panel.legend"));
    write_file(dir_.file("panel.haps"), "0 1\n");
    data_.map_positions.clear();
    data_.map_values.clear();
    EXPECT_EQ(error_of_reading(), "Error reading file " + dir_.file("panel.legend") + ": can't open legend file.");
}

TEST_F(PanelTest, CrlfPanelFilesAreAccepted) {
    write_file(dir_.file("map.txt"), "pos rate cM\r\n1000 0 0\r\n");
    write_panel("0 1 \r\n1 1\r\n", "\xEF\xBB\xBFrs pos a0 a1\r\nrs1 1000 A G\r\nrs2 2000 C T\r\n");
    read_all();
    ASSERT_EQ(data_.snps_data.size(), 2u);
    EXPECT_EQ(data_.snps_data.at(2000).allele1, "T");
    EXPECT_EQ(data_.snps_data.at(1000).panel_alleles, (std::vector<std::uint8_t>{0, 1}));
}

}  // namespace
