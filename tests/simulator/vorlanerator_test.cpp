// The simulator run in-process: default theta, disease-locus matching, fixed-seed
// golden runs worked out independently, and invariants between runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "common/exceptions.h"
#include "random/mt.h"
#include "random/random.h"
#include "simulator/vorlanerator.h"
#include "support/simulator_fixture.h"
#include "support/test_files.h"

using namespace vorlan2;

namespace {

namespace fs = std::filesystem;

Data panel_of_haplotypes(int n) { return make_panel({std::vector<int>(n, 0)}, {0.0}); }

// Eight SNPs, six panel haplotypes; rows are SNPs.
const std::vector<std::vector<int>> golden_panel = {{0, 1, 1, 0, 1, 0}, {1, 1, 0, 0, 1, 0}, {0, 0, 1, 1, 0, 1},
                                                    {1, 0, 1, 0, 0, 0}, {0, 1, 0, 1, 1, 1}, {1, 1, 1, 0, 0, 1},
                                                    {0, 0, 0, 1, 0, 1}, {1, 0, 0, 1, 1, 0}};
const std::vector<double> golden_genetic = {0.0, 0.0, 3.0, 10.0, 10.0, 25.0, 30.0, 60.0};

std::string as_text(const HaplotypeSet::Row& haplotype) {
    std::string text;
    for (int j = 0; j < haplotype.size(); ++j) text += std::to_string(haplotype[j]);
    return text;
}

// The next output of the shared Mersenne-Twister stream: tells how many draws a run made.
unsigned long next_output() { return MT::genrand_int32(); }

}  // namespace

TEST(SetTheta, IsOneOverTheHarmonicNumberOfThePanelSize) {
    // python3: 1.0 / sum(1.0 / k for k in 1..n), summed in that order (n = 1 gives 1).
    const struct {
        int n;
        double theta;
    } cases[] = {{1, 1.0}, {2, 0.6666666666666666}, {4, 0.4800000000000001}, {120, 0.18625899285991865}};
    for (const auto& c : cases) {
        TempDir dir;
        Vorlanerator sim(make_parameters(dir.path(), 1, 0, -1.0), panel_of_haplotypes(c.n));
        sim.set_theta();
        EXPECT_EQ(sim.params.theta, c.theta) << c.n;
        EXPECT_NE(read_file(dir.file("sim.summary")).find("theta not set, so setting to a default value of "),
                  std::string::npos);
    }
}

TEST(SimulateHaplotypes, GivenThetaIsKeptAndDefaultIsReported) {
    for (const double theta : {0.0, 0.25, -1.0}) {
        TempDir dir;
        auto params = make_parameters(dir.path(), 1, 0, theta);
        params.dl.emplace(1000.0, DiseaseLocus(1, 2.0, 4.0));
        Vorlanerator sim(params, make_panel({{0, 1, 1, 0}}, {0.0}));
        sim.simulate_haplotypes();
        const std::string transcript = read_file(dir.file("sim.summary"));
        EXPECT_NE(transcript.find("\nRandom seed set to 0.12345\n"), std::string::npos);
        if (theta < 0.0) {
            EXPECT_NE(transcript.find("theta not set, so setting to a default value of 0.48\n"), std::string::npos);
            EXPECT_EQ(sim.params.theta, 0.4800000000000001);
        } else {
            EXPECT_EQ(transcript.find("theta not set"), std::string::npos);
            EXPECT_EQ(sim.params.theta, theta);
        }
        EXPECT_STREQ(Random::RNG->Name(), "DummyRNG");
    }
}

TEST(SimulateHaplotypes, OneSnpRunWorkedOutByHand) {
    // Panel "0 1", one control, one case, theta 1, disease locus on the SNP
    // (allele 1, rr1 2, rr2 4). MT(0.12345) outputs (std::mt19937 seeded with
    // 530213712, u = (y + 0.5) / 2^32): 0.8638, 0.2032, 0.6419, 0.00989,
    // 0.9803, 0.3431, 0.7205, then y = 3380225717.
    // Control, K = 2 and 3, mu = 1/6 and 1/8: u1 picks panel 1 (0.8638 - 0.5 > 0),
    // u2 picks panel 0 (0.2032 - 1/3 <= 0); u3 = 0.6419 > 1/6 keeps allele 1;
    // u4 = 0.00989 < 1/8 flips allele 0 to 1. Control haplotypes 1, 1.
    // Case: control table {0: 1/4, 1: 3/4}; pair weights 1/16, 3/8, 3/8, 9/4,
    // total 49/16, keys 1/49, 7/49, 13/49, 1; u5 = 0.9803 draws (1, 1).
    // Disease-segment choices (u6, u7) change no allele here: case haplotypes 1, 1.
    std::mt19937 reference(530213712u);
    const double u1 = (reference() + 0.5) * 2.3283064365386963e-10;
    ASSERT_DOUBLE_EQ(u1, 0.8638077148934826);

    TempDir dir;
    auto params = make_parameters(dir.path(), 1, 1, 1.0);
    params.dl.emplace(1000.0, DiseaseLocus(1, 2.0, 4.0));
    Vorlanerator sim(params, make_panel({{0, 1}}, {0.0}));
    sim.simulate_haplotypes();

    EXPECT_EQ(sim.simulated_haplotypes, (HaplotypeSet{{1}, {1}, {1}, {1}}));
    EXPECT_EQ(sim.simulated_phenotypes, (std::vector<int>{0, 1}));
    ASSERT_EQ(sim.dl_indices.size(), 1u);
    EXPECT_EQ(sim.dl_indices[0].snp_index, 0);
    for (int k = 0; k < 6; ++k) reference();
    EXPECT_EQ(next_output(), reference()) << "the run made exactly seven draws";

    ASSERT_EQ(sim.case_distribution_cache.count("1/1/"), 1u);
    std::vector<double> keys;
    for (const auto& [key, pair] : sim.case_distribution_cache.find("1/1/")->entries()) keys.push_back(key);
    ASSERT_EQ(keys.size(), 4u);
    EXPECT_NEAR(keys[0], 1.0 / 49, 1e-15);
    EXPECT_NEAR(keys[1], 7.0 / 49, 1e-15);
    EXPECT_NEAR(keys[2], 13.0 / 49, 1e-15);
    EXPECT_EQ(keys[3], 1.0);
}

TEST(SimulateHaplotypes, EightSnpRunMatchesIndependentModel) {
    // Expected haplotypes from an independent Python statement of the copying
    // and case models over a Mersenne-Twister stream seeded with 0.12345: three
    // controls, four cases, theta 0.4, loci at SNP indices 2 (allele 1, rr1 1.5,
    // rr2 3) and 5 (allele 0, rr1 2, rr2 0.5); cases see groupings 1.1/1.1/ and 1.1/2/.
    TempDir dir;
    auto params = make_parameters(dir.path(), 3, 4, 0.4);
    params.dl.emplace(3000.0, DiseaseLocus(1, 1.5, 3.0));
    params.dl.emplace(6000.0, DiseaseLocus(0, 2.0, 0.5));
    Vorlanerator sim(params, make_panel(golden_panel, golden_genetic));
    sim.simulate_haplotypes();

    const std::vector<std::string> expected = {"11001000", "00101110", "11001010", "11001100", "11010100",
                                               "00101000", "00101110", "10110100", "11001010", "00010110",
                                               "00001000", "10110111", "11010100", "00101011"};
    ASSERT_EQ(sim.simulated_haplotypes.size(), expected.size());
    for (std::size_t h = 0; h < expected.size(); ++h) EXPECT_EQ(as_text(sim.simulated_haplotypes[h]), expected[h]) << h;
    EXPECT_EQ(sim.simulated_phenotypes, (std::vector<int>{0, 0, 0, 1, 1, 1, 1}));
    EXPECT_EQ(next_output(), 347138094u);
    EXPECT_EQ(sim.case_distribution_cache.size(), 2u);
    for (const char* text : {"1.1/1.1/", "1.1/2/"}) EXPECT_EQ(sim.case_distribution_cache.count(text), 1u) << text;
}

TEST(SimulateHaplotypes, FixedSeedRunsWriteIdenticalFiles) {
    TempDir first, second;
    for (const TempDir* dir : {&first, &second}) {
        auto params = make_parameters(dir->path(), 4, 3, -1.0);
        params.dl.emplace(3000.0, DiseaseLocus(1, 1.5, 3.0));
        Vorlanerator sim(params, make_panel(golden_panel, golden_genetic));
        sim.simulate_haplotypes();
    }
    for (const char* name : {"sim.controls.haps", "sim.cases.haps", "sim.legend", "sim.controls.gen", "sim.cases.gen",
                             "sim.controls.sample", "sim.cases.sample"})
        EXPECT_EQ(read_file(first.file(name)), read_file(second.file(name))) << name;
}

TEST(SimulateHaplotypes, ControlsDoNotDependOnTheCasesOrTheRisks) {
    const struct {
        int ncases;
        double rr1, rr2;
    } runs[] = {{0, 1.0, 1.0}, {6, 1.5, 3.0}, {9, 0.0, 20.0}};
    std::string controls_haps, controls_gen;
    for (const auto& run : runs) {
        TempDir dir;
        auto params = make_parameters(dir.path(), 5, run.ncases, 0.4);
        params.dl.emplace(3000.0, DiseaseLocus(1, run.rr1, run.rr2));
        Vorlanerator sim(params, make_panel(golden_panel, golden_genetic));
        sim.simulate_haplotypes();
        if (controls_haps.empty()) {
            controls_haps = read_file(dir.file("sim.controls.haps"));
            controls_gen = read_file(dir.file("sim.controls.gen"));
            continue;
        }
        EXPECT_EQ(read_file(dir.file("sim.controls.haps")), controls_haps) << run.ncases;
        EXPECT_EQ(read_file(dir.file("sim.controls.gen")), controls_gen) << run.ncases;
    }
}

TEST(SimulateHaplotypes, ThetaZeroWithoutSwitchesCopiesPanelHaplotypes) {
    // All SNPs at one genetic position: one segment per haplotype, no mutation,
    // so every simulated haplotype is a copy of a panel haplotype.
    const std::vector<double> flat(golden_panel.size(), 5.0);
    TempDir dir;
    auto params = make_parameters(dir.path(), 6, 6, 0.0);
    params.dl.emplace(2000.0, DiseaseLocus(1, 2.0, 4.0));
    Vorlanerator sim(params, make_panel(golden_panel, flat));
    sim.simulate_haplotypes();
    std::vector<std::string> panel_haplotypes;
    for (std::size_t q = 0; q < golden_panel.front().size(); ++q) {
        std::string text;
        for (const auto& row : golden_panel) text += std::to_string(row[q]);
        panel_haplotypes.push_back(text);
    }
    ASSERT_EQ(sim.simulated_haplotypes.size(), 24u);
    for (const auto& haplotype : sim.simulated_haplotypes)
        EXPECT_NE(std::find(panel_haplotypes.begin(), panel_haplotypes.end(), as_text(haplotype)),
                  panel_haplotypes.end())
            << as_text(haplotype);
}

TEST(SimulateHaplotypes, PanelWithoutHaplotypesIsRefused) {
    TempDir dir;
    auto params = make_parameters(dir.path(), 1, 1, -1.0);
    params.dl.emplace(1000.0, DiseaseLocus(1, 2.0, 4.0));
    Data data = make_panel({{0}}, {0.0});
    data.n_haplotypes = 0;
    data.snps_data.begin()->second.panel_alleles.clear();
    Vorlanerator sim(params, data);
    EXPECT_THROW(sim.simulate_haplotypes(), GenericErrorException);
    EXPECT_STREQ(Random::RNG->Name(), "DummyRNG");
}

TEST(SimulateHaplotypes, HaplotypeSetBeyondAnyMemoryIsRefusedBeforeAnyWork) {
    TempDir dir;
    // The most individuals a run takes, over 70,000 SNPs: 2147483646 rows of
    // 1094 words, 18.8 TB.
    auto params = make_parameters(dir.path(), 1073741823, 0, 0.5);
    Vorlanerator sim(params, make_panel(std::vector<std::vector<int>>(70000, {0, 1}), std::vector<double>(70000, 0.0)));
    try {
        sim.simulate_haplotypes();
        ADD_FAILURE() << "simulated";
    } catch (const GenericErrorException& e) {
        EXPECT_TRUE(std::regex_match(
            e.first + e.second,
            std::regex("Error encountered, program terminated: the 2147483646 simulated haplotypes of 70000 SNPs "
                       "would take 17924095 MB, more than the [0-9]+ MB of memory this run may use for them; "
                       "simulate fewer individuals or a shorter interval.\n")))
            << e.second;
    }
    EXPECT_FALSE(fs::exists(dir.file("sim.summary")));  // not even the seed was drawn
    EXPECT_TRUE(sim.simulated_haplotypes.empty());
}

TEST(SimulateHaplotypes, UnwritableOutputRaisesBadFilenameAndUninstallsTheGenerator) {
    TempDir dir;
    auto params = make_parameters(dir.path(), 1, 1, 0.5);
    params.output_file = dir.path() / "missing" / "sim";
    params.dl.emplace(1000.0, DiseaseLocus(1, 2.0, 4.0));
    Vorlanerator sim(params, make_panel({{0, 1, 1}}, {0.0}));
    EXPECT_THROW(sim.simulate_haplotypes(), badfilename);
    EXPECT_STREQ(Random::RNG->Name(), "DummyRNG");
}

TEST(ProcessDl, KeepsPolymorphicPanelSnpsAndExplainsEveryRemoval) {
    TempDir dir;
    auto params = make_parameters(dir.path(), 1, 1, 0.5);
    for (const double position : {5000.0, 3000.0, 1234567.0, 52000.0, 2000.0, 3000.5})
        params.dl.emplace(position, DiseaseLocus(1, 2.0, 4.0));
    // SNP 2000 is all allele 1; 1234567 is a panel SNP but monomorphic at 0.
    Data data = make_panel({{0, 1}, {1, 1}, {1, 0}, {0, 1}, {0, 0}}, {0.0, 1.0, 2.0, 3.0, 4.0},
                           {1000, 2000, 3000, 5000, 1234567});
    Vorlanerator sim(params, data);
    sim.process_dl();
    // One record per usable locus, its position, SNP index and risks together.
    ASSERT_EQ(sim.dl_indices.size(), 2u);
    const struct {
        double position;
        int snp_index;
    } kept[] = {{3000.0, 2}, {5000.0, 3}};
    for (std::size_t m = 0; m < 2; ++m) {
        EXPECT_EQ(sim.dl_indices[m].position, kept[m].position);
        EXPECT_EQ(sim.dl_indices[m].snp_index, kept[m].snp_index);
        EXPECT_EQ(sim.dl_indices[m].locus.rr, (std::vector<double>{1.0, 2.0, 4.0}));
    }
    ASSERT_EQ(sim.params.dl.size(), 2u);
    EXPECT_EQ(sim.params.dl.begin()->first, 3000.0);
    EXPECT_EQ(read_file(dir.file("sim.summary")),
              "\nProcessing disease loci ... "
              "\nsnp at position 2000 has frequency 1, so it has been removed from the set of disease loci.\n"
              "\ncannot find snp information for position 3000.5, so it has been removed from the set of disease "
              "loci.\n"
              "\ncannot find snp information for position 52000, so it has been removed from the set of disease "
              "loci.\n"
              "\nsnp at position 1.23457e+06 has frequency 0, so it has been removed from the set of disease loci.\n"
              "done \n\n");
}

TEST(ProcessDlDeathTest, NoUsableLocusEndsTheProcessWithStatusOne) {
    TempDir dir;
    auto params = make_parameters(dir.path(), 1, 1, 0.5);
    params.dl.emplace(7000.0, DiseaseLocus(1, 2.0, 4.0));
    Vorlanerator sim(params, make_panel({{0, 1}}, {0.0}));
    EXPECT_EXIT(sim.process_dl(), testing::ExitedWithCode(1), "");
    const std::string transcript = read_file(dir.file("sim.summary"));
    const std::string ending = "done \n\nNo suitable disease loci. Program terminated.\n";
    ASSERT_GE(transcript.size(), ending.size());
    EXPECT_EQ(transcript.substr(transcript.size() - ending.size()), ending);
}
