// The copying model: switch points from the genetic map, and the number and
// order of draws that a control individual costs.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "random/mt.h"
#include "random/random.h"
#include "simulator/vorlanerator.h"
#include "support/simulator_fixture.h"
#include "support/test_files.h"

namespace {

using Segments = std::vector<std::vector<int>>;

// MT(0.12345) raw outputs 1 to 9 (std::mt19937 seeded with 530213712).
const unsigned long mt_outputs[] = {3710025885u, 872688668u,  2756990951u, 42456629u, 4210508443u,
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
        Vorlanerator sim(make_parameters(dir.path(), 2, 0, theta), make_panel({{0, 1}, {1, 1}, {0, 0}}, {1.0, 1.0, 1.0}));
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
