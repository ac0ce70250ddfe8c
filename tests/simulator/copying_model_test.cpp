// The copying model: switch points from the genetic map, and the number and
// order of draws that a control individual costs.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "random/mt.h"
#include "random/random.h"
#include "simulator/vorlanerator.h"
#include "support/simulator_fixture.h"
#include "support/test_files.h"

using namespace vorlan2;

namespace {

using Segments = std::vector<std::vector<int>>;

// MT(0.12345) raw outputs 1 to 9 (std::mt19937 seeded with 530213712).
const unsigned long mt_outputs[] = {3710025885u, 872688668u,  2756990951u, 42456629u,  4210508443u,
                                    1473693566u, 3094417711u, 3380225717u, 1609436107u};

Segments crossovers(const std::vector<double>& genetic, int K) {
    std::vector<std::vector<int>> rows(genetic.size(), std::vector<int>{0});
    TempDir dir;
    Vorlanerator sim(make_parameters(dir.path(), 1, 0, 0.5), make_panel(rows, genetic));
    MT generator(0.12345);
    Random::Set(generator);
    Segments segments = {{99}};
    sim.simulate_crossovers(sim.panel_data.snps_data, K, segments);
    return segments;
}

// Number of draws a run made, from the next output of the shared stream.
int draws_made() {
    const unsigned long next = MT::genrand_int32();
    for (int k = 0; k < 9; ++k)
        if (mt_outputs[k] == next) return k;
    return -1;
}

}  // namespace

TEST(SimulateCrossovers, SwitchesFollowTheGeneticMap) {
    const struct {
        std::vector<double> genetic;
        int K;
        Segments segments;
        int draws;
    } cases[] = {
        // One SNP: one segment and no draw.
        {{4.0}, 3, {{0}}, 0},
        // Equal genetic positions never switch, but each neighbour costs a draw.
        {{2.0, 2.0, 2.0, 2.0}, 3, {{0, 1, 2, 3}}, 3},
        // Gaps far beyond K switch at every SNP.
        {{0.0, 1e6, 2e6}, 3, {{0}, {1}, {2}}, 2},
        // Python: switch when u_j > exp(-(g_j - g_{j-1}) / 3) over the MT(0.12345) stream.
        {{0, 1, 2, 5, 9, 20, 20, 21}, 3, {{0}, {1, 2}, {3, 4}, {5, 6}, {7}}, 7},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(crossovers(c.genetic, c.K), c.segments) << c.genetic.size();
        EXPECT_EQ(draws_made(), c.draws) << c.genetic.size();
    }
}

TEST(SimulateAllAlleles, ControlDrawCountIsTheSameForAnyTheta) {
    // Three SNPs at one genetic position: per control 2 x 2 switch draws, one
    // copy choice per strand and one draw per allele: 2 + 2 + 1 + 1 + 3 + 3 = 12.
    // Two controls use 24 draws; theta 0 flips nothing but draws the same.
    for (const double theta : {0.0, 0.7}) {
        TempDir dir;
        Vorlanerator sim(make_parameters(dir.path(), 2, 0, theta),
                         make_panel({{0, 1}, {1, 1}, {0, 0}}, {1.0, 1.0, 1.0}));
        MT generator(0.12345);
        Random::Set(generator);
        sim.simulate_all_alleles();
        std::mt19937 reference(530213712u);
        reference.discard(24);
        EXPECT_EQ(MT::genrand_int32(), reference()) << theta;
        EXPECT_EQ(sim.simulated_phenotypes, (std::vector<int>{0, 0}));
        EXPECT_EQ(sim.num_simulated_haps, 4);
        ASSERT_EQ(sim.simulated_haplotypes.size(), 4u);
        for (const auto& haplotype : sim.simulated_haplotypes) {
            ASSERT_EQ(haplotype.size(), 3);
            if (theta == 0.0) {
                EXPECT_EQ(haplotype[1], 1) << "a SNP where the panel is all 1 cannot change without mutation";
                EXPECT_EQ(haplotype[2], 0);
            }
        }
    }
}

namespace {

// The shared MT stream, one Next() at a time, from a generator that is not an
// MT: the simulator then takes the written computation for every draw.
class MtOneDrawAtATime : public Random {
public:
    double Next() override { return MT::next_uniform(); }
    const char* Name() override { return "MtOneDrawAtATime"; }
};

struct BulkScenario {
    const char* name;
    int snps, panel, controls, cases;
    double theta;
    double gap_scale;  // typical genetic distance between neighbours
    std::vector<int> disease_snps;
};

struct RunResult {
    HaplotypeSet haplotypes;
    std::vector<int> phenotypes;
    unsigned long next_output;
};

RunResult run_scenario(const BulkScenario& c, Random& generator) {
    std::mt19937 data(static_cast<std::uint32_t>(c.snps * 131 + c.panel));
    std::vector<std::vector<int>> alleles(static_cast<std::size_t>(c.snps), std::vector<int>(c.panel));
    std::vector<double> genetic;
    double g = 0.0;
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int j = 0; j < c.snps; ++j) {
        const double kind = unit(data);
        // Mostly ordinary gaps, some repeated positions, some steps backwards
        // (an unsorted map) and some jumps that switch at once.
        if (kind < 0.1)
            g += 0.0;
        else if (kind < 0.15)
            g -= c.gap_scale;
        else if (kind < 0.2)
            g += 1e4;
        else
            g += c.gap_scale * unit(data);
        genetic.push_back(g);
        for (int& a : alleles[static_cast<std::size_t>(j)]) a = unit(data) < 0.3;
        alleles[static_cast<std::size_t>(j)][0] = 0;
        alleles[static_cast<std::size_t>(j)][1] = 1;
    }
    TempDir dir;
    VorlanParameters params = make_parameters(dir.path(), c.controls, c.cases, c.theta);
    for (const int j : c.disease_snps) params.dl.emplace(1000.0 * (j + 1), DiseaseLocus(1, 1.5, 2.25));
    Vorlanerator sim(params, make_panel(alleles, genetic));
    MT seeded(0.6180339887);
    Random::Set(generator);
    if (c.cases > 0) sim.process_dl();
    sim.simulate_all_alleles();
    return {sim.simulated_haplotypes, sim.simulated_phenotypes, MT::genrand_int32()};
}

}  // namespace

TEST(SimulateAllAlleles, BulkDrawsGiveTheWrittenComputationsResult) {
    // With an MT installed, switches and mutations are tested on outputs taken
    // in bulk; the same stream drawn one Next() at a time must give the same
    // haplotypes and use the same number of draws.
    const BulkScenario cases[] = {
        {"one SNP", 1, 3, 4, 0, 0.5, 1.0, {}},
        {"under one scan group", 15, 4, 3, 3, 0.5, 1.0, {7}},
        {"one scan group", 16, 4, 3, 3, 0.5, 1.0, {0, 15}},
        {"word boundaries", 130, 6, 5, 5, 0.5, 0.5, {0, 63, 64, 127, 128, 129}},
        {"no mutation", 200, 5, 4, 4, 0.0, 0.2, {100}},
        {"mutation near one half", 200, 5, 4, 4, 1e300, 0.2, {50, 51}},
        {"frequent switches", 300, 8, 6, 6, 2.0, 50.0, {10, 290}},
        {"rare switches", 700, 20, 20, 20, 0.1, 0.001, {300, 301, 302}},
        {"many individuals", 100, 10, 60, 60, 0.3, 0.5, {20, 80}},
    };
    for (const auto& c : cases) {
        MT bulk(0.5);
        const RunResult fast = run_scenario(c, bulk);
        MtOneDrawAtATime one_at_a_time;
        const RunResult written = run_scenario(c, one_at_a_time);
        EXPECT_TRUE(fast.haplotypes == written.haplotypes) << c.name;
        EXPECT_EQ(fast.phenotypes, written.phenotypes) << c.name;
        EXPECT_EQ(fast.next_output, written.next_output) << c.name << ": a different number of draws";
    }
}
