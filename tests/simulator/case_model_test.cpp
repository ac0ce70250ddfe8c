// The case disease-allele model: control frequency tables, the risk-weighted
// pair distribution, the grouping of loci into segments, refusals of tables
// that cannot be built, and the genotype distribution of simulated cases.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "common/exceptions.h"
#include "random/mt.h"
#include "random/random.h"
#include "simulator/vorlanerator.h"
#include "support/simulator_fixture.h"
#include "support/test_files.h"

namespace {

using Distribution = std::map<double, std::vector<std::vector<int>>>;
using Groups = std::vector<std::vector<int>>;

std::vector<double> keys_of(const Distribution& distribution) {
    std::vector<double> keys;
    for (const auto& [key, pair] : distribution) keys.push_back(key);
    return keys;
}

// A simulator whose loci sit on the given SNP indices (positions 1000 * (j + 1))
// with the given risks; dl_indices filled as the locus matching would.
struct CaseModelFixture {
    TempDir dir;
    Vorlanerator sim;

    CaseModelFixture(const std::vector<std::vector<int>>& panel, int ncontrols, const std::vector<int>& loci,
                     double rr1, double rr2)
        : sim(make_parameters(dir.path(), ncontrols, 1, 0.5),
              make_panel(panel, std::vector<double>(panel.size(), 0.0))) {
        for (const int j : loci) {
            sim.params.dl.emplace(1000.0 * (j + 1), DiseaseLocus(1, rr1, rr2));
            sim.dl_indices.push_back({1000.0 * (j + 1), j, DiseaseLocus(1, rr1, rr2)});
        }
    }
};

}  // namespace

TEST(CalculateControlHapFreq, CountsPanelAndControlHaplotypesTogether) {
    // Four panel haplotypes and two controls (four haplotypes): w = 1/8.
    CaseModelFixture f({{0, 1, 1, 0}, {1, 1, 1, 1}, {0, 0, 1, 1}}, 2, {}, 1.0, 1.0);
    f.sim.simulated_haplotypes = {{1, 0, 1}, {0, 1, 0}, {1, 1, 1}, {0, 0, 0}};
    std::map<std::vector<int>, double> freqs = {{{7}, 1.0}};
    f.sim.calculate_control_hap_freq({0, 2}, freqs);
    // Vectors at SNPs 0 and 2: panel 00 10 11 01, controls 11 00 11 00.
    const std::map<std::vector<int>, double> expected = {
        {{0, 0}, 3.0 / 8}, {{0, 1}, 1.0 / 8}, {{1, 0}, 1.0 / 8}, {{1, 1}, 3.0 / 8}};
    ASSERT_EQ(freqs.size(), expected.size());
    for (const auto& [alleles, frequency] : expected) EXPECT_DOUBLE_EQ(freqs.at(alleles), frequency);
}

TEST(CalculateCaseHapFreq, OneLocusPairsAreWeightedByTheirGenotypeRisk) {
    // Panel 0 0 1 1, no controls: frequencies 1/2, 1/2; rr [1, 2, 4] gives pair
    // weights 1/4, 1/2, 1/2, 1, total 9/4, cumulative keys 1/9, 1/3, 5/9, 1.
    CaseModelFixture f({{0, 0, 1, 1}}, 0, {0}, 2.0, 4.0);
    const Groups groups[2] = {{{0}}, {{0}}};
    Distribution distribution;
    f.sim.calculate_case_hap_freq(groups, distribution);
    const std::vector<double> keys = keys_of(distribution);
    ASSERT_EQ(keys.size(), 4u);
    EXPECT_DOUBLE_EQ(keys[0], 1.0 / 9);
    EXPECT_DOUBLE_EQ(keys[1], 1.0 / 3);
    EXPECT_DOUBLE_EQ(keys[2], 5.0 / 9);
    EXPECT_EQ(keys[3], 1.0);
    EXPECT_EQ(distribution.begin()->second, (std::vector<std::vector<int>>{{0}, {0}}));
    EXPECT_EQ(distribution.rbegin()->second, (std::vector<std::vector<int>>{{1}, {1}}));
    EXPECT_EQ(f.sim.control_frequency_cache.count({0}), 1u);
}

TEST(CalculateCaseHapFreq, UnitRisksGiveTheProductOfTheStrandsFrequencies) {
    // Two loci; strand 0 in two groups, strand 1 in one. Panel vectors at the
    // loci: 00 01 11 11, so single-locus frequencies {0: 1/2, 1: 1/2} and
    // {0: 1/4, 1: 3/4}, and the joint table {00: 1/4, 01: 1/4, 11: 1/2}.
    CaseModelFixture f({{0, 0, 1, 1}, {0, 1, 1, 1}}, 0, {0, 1}, 1.0, 1.0);
    const Groups groups[2] = {{{0}, {1}}, {{0, 1}}};
    Distribution distribution;
    f.sim.calculate_case_hap_freq(groups, distribution);
    const std::vector<double> strand0 = {1.0 / 8, 3.0 / 8, 1.0 / 8, 3.0 / 8};  // 00 01 10 11
    const std::vector<double> strand1 = {0.25, 0.25, 0.5};                     // 00 01 11
    std::vector<double> expected;
    double total = 0;
    for (const double a : strand0)
        for (const double b : strand1) expected.push_back(total += a * b);
    const std::vector<double> keys = keys_of(distribution);
    ASSERT_EQ(keys.size(), expected.size());
    for (std::size_t k = 0; k < keys.size(); ++k) EXPECT_NEAR(keys[k], expected[k], 1e-15) << k;
    EXPECT_EQ(distribution.rbegin()->second, (std::vector<std::vector<int>>{{1, 1}, {1, 1}}));
}

TEST(CalculateCaseHapFreq, PairsWithoutWeightAreNeverDrawn) {
    // rr2 = 0: the pair (1, 1) leaves the running total unchanged and gets no entry.
    CaseModelFixture f({{0, 0, 1, 1}}, 0, {0}, 2.0, 0.0);
    const Groups groups[2] = {{{0}}, {{0}}};
    Distribution distribution;
    f.sim.calculate_case_hap_freq(groups, distribution);
    ASSERT_EQ(distribution.size(), 3u);
    for (const auto& [key, pair] : distribution) EXPECT_NE(pair, (std::vector<std::vector<int>>{{1}, {1}}));
    EXPECT_EQ(distribution.rbegin()->first, 1.0);
}

TEST(CalculateCaseHapFreq, TotalWeightThatIsNotFiniteAndPositiveEndsTheRun) {
    const struct {
        std::vector<double> rr;
        int loci;
    } cases[] = {{{0.0, 0.0, 0.0}, 1}, {{1e300, 1e300, 1e300}, 2}};
    for (const auto& c : cases) {
        std::vector<int> loci;
        for (int m = 0; m < c.loci; ++m) loci.push_back(m);
        CaseModelFixture f(std::vector<std::vector<int>>(c.loci, {0, 1}), 0, loci, 1.0, 1.0);
        for (auto& disease : f.sim.dl_indices) disease.locus.rr = c.rr;
        Groups one_group = {loci};
        const Groups groups[2] = {one_group, one_group};
        Distribution distribution;
        try {
            f.sim.calculate_case_hap_freq(groups, distribution);
            ADD_FAILURE() << c.rr[0];
        } catch (const GenericErrorException& e) {
            EXPECT_EQ(e.first, "Error encountered, program terminated: ");
            EXPECT_NE(e.second.find("must be finite and positive"), std::string::npos) << e.second;
        }
    }
}

TEST(SimulateDiseaseAlleles, TablesTooLargeForMemoryAreRefusedBeforeBuilding) {
    // Every locus in a segment of its own: 2^D vectors per strand, 4^D pairs.
    for (const int D : {40, 70}) {
        std::vector<int> loci;
        for (int m = 0; m < D; ++m) loci.push_back(m);
        CaseModelFixture f(std::vector<std::vector<int>>(D, {0, 1}), 0, loci, 2.0, 4.0);
        std::vector<int> labels;
        for (int m = 0; m < D; ++m) labels.push_back(-(m + 2));
        std::vector<std::vector<int>> states = {labels, labels}, alleles;
        const double mu[2] = {0.1, 0.1};
        MT generator(0.12345);
        Random::Set(generator);
        try {
            f.sim.simulate_disease_alleles(states, alleles, mu);
            ADD_FAILURE() << D;
        } catch (const GenericErrorException& e) {
            EXPECT_NE(e.second.find("use fewer disease loci"), std::string::npos) << e.second;
        }
    }
}

TEST(SimulateDiseaseAlleles, GroupsLociBySegmentAndCopiesWholeSegments) {
    // Labels per strand over eight SNPs; loci at SNP indices 1, 3 and 6.
    const struct {
        std::vector<int> strand0, strand1;
        std::string text;
    } cases[] = {
        {{-2, -2, -2, -2, -2, -2, -2, -2}, {-2, -2, -2, -2, -2, -2, -2, -2}, "3/3/"},
        {{0, -3, -3, -4, -4, 1, -5, -5}, {-2, -2, -2, -2, 0, 0, -4, -4}, "1.1.1/2.1/"},
        {{-2, -2, -2, -2, 0, 1, -5, 2}, {0, -3, -3, -3, -3, -3, -3, -3}, "2.1/3/"},
    };
    for (const auto& c : cases) {
        CaseModelFixture f(std::vector<std::vector<int>>(8, {0, 1, 1, 0}), 0, {1, 3, 6}, 2.0, 4.0);
        std::vector<std::vector<int>> states = {c.strand0, c.strand1}, alleles;
        const double mu[2] = {0.1, 0.1};
        MT generator(0.12345);
        Random::Set(generator);
        f.sim.simulate_disease_alleles(states, alleles, mu);
        ASSERT_EQ(f.sim.case_distribution_cache.size(), 1u);
        EXPECT_EQ(f.sim.case_distribution_cache.count(c.text), 1u);
        ASSERT_EQ(alleles.size(), 2u);
        EXPECT_EQ(alleles[0].size(), 3u);
        EXPECT_EQ(alleles[1].size(), 3u);
        const std::vector<int>* before[2] = {&c.strand0, &c.strand1};
        for (int s = 0; s < 2; ++s) {
            for (std::size_t k = 0; k < 8; ++k) {
                const int old = (*before[s])[k];
                if (old >= 0) {
                    EXPECT_EQ(states[s][k], old) << c.text << " ordinary entries stay";
                    continue;
                }
                // Candidates: four panel haplotypes, plus strand 0 for strand 1.
                EXPECT_GE(states[s][k], 0) << c.text;
                EXPECT_LT(states[s][k], 4 + s) << c.text;
                for (std::size_t i = 0; i < 8; ++i) {
                    if ((*before[s])[i] == old) {
                        EXPECT_EQ(states[s][i], states[s][k]) << c.text << " one choice per segment";
                    }
                }
            }
        }
    }
}

TEST(SimulateDiseaseAlleles, CopiesTheWholeSegmentHoweverLong) {
    // One locus; its segment [first, end) among 300 SNPs of ordinary
    // segments, which keep their candidates.
    const struct {
        int first, end, locus;
    } cases[] = {{0, 300, 150}, {0, 300, 0},   {0, 300, 299},  {37, 230, 37},   {37, 230, 229}, {37, 230, 100},
                 {0, 165, 100}, {64, 128, 64}, {63, 129, 100}, {100, 101, 100}, {1, 299, 200}};
    for (const auto& c : cases) {
        CaseModelFixture f(std::vector<std::vector<int>>(300, {0, 1, 1, 0}), 0, {c.locus}, 2.0, 4.0);
        std::vector<int> before(300);
        for (int j = 0; j < 300; ++j) before[j] = c.first <= j && j < c.end ? -3 : j % 4;
        std::vector<std::vector<int>> states = {before, before}, alleles;
        const double mu[2] = {0.1, 0.1};
        MT generator(0.12345);
        Random::Set(generator);
        f.sim.simulate_disease_alleles(states, alleles, mu);
        for (int s = 0; s < 2; ++s) {
            const int chosen = states[s][c.locus];
            EXPECT_GE(chosen, 0);
            for (int j = 0; j < 300; ++j)
                ASSERT_EQ(states[s][j], before[j] == -3 ? chosen : before[j])
                    << "segment " << c.first << "-" << c.end << " at " << j;
        }
    }
}

// Labels of one strand's disease segments: a run of loci of each size given.
std::vector<int> segment_labels(const std::vector<int>& sizes) {
    std::vector<int> labels;
    for (std::size_t g = 0; g < sizes.size(); ++g) labels.insert(labels.end(), sizes[g], -static_cast<int>(g) - 2);
    return labels;
}

TEST(SimulateDiseaseAlleles, EverySegmentCopiesWhatOneWeightPerCandidateChooses) {
    // 700 panel haplotypes, then 180 simulated ones before each further case
    // (past the blocks of counted codes at 768 and 1024); twenty loci on
    // twenty SNPs, each panel haplotype one of six prototypes so that the
    // tables stay small. Groups of 1 to 20 loci, as linked loci of a run see
    // them.
    std::mt19937 random(3);
    const int P = 700, D = 20, added = 180;
    std::vector<std::vector<int>> prototypes(6, std::vector<int>(D));
    for (auto& prototype : prototypes)
        for (int& allele : prototype) allele = static_cast<int>(random() % 2);
    std::vector<std::vector<int>> panel(D, std::vector<int>(P));
    for (int q = 0; q < P; ++q) {
        const auto& prototype = prototypes[random() % prototypes.size()];
        for (int j = 0; j < D; ++j) panel[j][q] = prototype[j];
    }
    std::vector<int> loci;
    for (int m = 0; m < D; ++m) loci.push_back(m);
    const struct {
        std::vector<int> strand0, strand1;  // group sizes
    } groupings[] = {
        {{20}, {20}},       {{9, 11}, {12, 8}},    {{20}, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
        {{16, 4}, {3, 17}}, {{10, 10}, {20}},      {{2, 9, 9}, {13, 7}},
        {{8, 12}, {19, 1}}, {{1, 19}, {4, 4, 12}},
    };
    for (const double mu : {0.01, 0.0}) {
        for (const auto& sizes : groupings) {
            const auto grouping = std::make_pair(segment_labels(sizes.strand0), segment_labels(sizes.strand1));
            CaseModelFixture f(panel, 0, loci, 2.0, 4.0);
            f.sim.simulated_haplotypes.reset(D, 3 * added);
            std::vector<std::vector<int>> candidates = panel;  // per locus, every candidate's allele
            for (const double seed : {0.12345, 0.5, 0.75}) {
                if (seed != 0.12345) {
                    for (int h = 0; h < added; ++h) {
                        std::vector<int> haplotype = prototypes[random() % prototypes.size()];
                        haplotype[random() % D] ^= 1;
                        f.sim.simulated_haplotypes.push_back(haplotype);
                        for (int m = 0; m < D; ++m) candidates[m].push_back(haplotype[m]);
                    }
                    f.sim.num_simulated_haps += added;
                }
                const int K = static_cast<int>(candidates[0].size());
                std::vector<std::vector<int>> states = {grouping.first, grouping.second}, alleles;
                const double mu_s[2] = {mu, mu};
                MT generator(seed);
                Random::Set(generator);
                f.sim.simulate_disease_alleles(states, alleles, mu_s);
                // The same draws again: the pair, then one per group in order.
                MT replay(seed);
                replay.Next();
                for (int s = 0; s < 2; ++s) {
                    const std::vector<int>& labels = s == 0 ? grouping.first : grouping.second;
                    for (int first = 0; first < D;) {
                        int end = first;
                        while (end < D && labels[end] == labels[first]) ++end;
                        std::vector<double> weights(K + s, 1.0);
                        for (int m = first; m < end; ++m) {
                            const int a = alleles[s][m];
                            for (int q = 0; q < K; ++q) weights[q] *= candidates[m][q] == a ? 1 - mu : mu;
                            if (s == 1) weights[K] *= alleles[0][m] == a ? 1 - mu : mu;
                        }
                        double sum = 0;
                        for (const double weight : weights) sum += weight;
                        for (double& weight : weights) weight /= sum;
                        double u = replay.Next();
                        int chosen = K + s - 1;
                        for (int q = 0; q < K + s; ++q) {
                            u -= weights[q];
                            if (u <= 0.0) {
                                chosen = q;
                                break;
                            }
                        }
                        for (int m = first; m < end; ++m)
                            ASSERT_EQ(states[s][m], chosen) << "strand " << s << " loci " << first << "-" << end - 1
                                                            << " mu " << mu << " candidates " << K;
                        first = end;
                    }
                }
            }
        }
    }
}

TEST(SimulateDiseaseAlleles, CachesStayWithinTheirBoundAndRebuildTheSameTables) {
    // Six loci that cases group in many ways; one simulator holds every
    // table, the other so little that it drops and makes them again.
    std::mt19937 random(11);
    const int P = 300, D = 6;
    std::vector<std::vector<int>> panel(D, std::vector<int>(P));
    for (auto& snp : panel)
        for (int& allele : snp) allele = static_cast<int>(random() % 3 == 0);
    const std::vector<int> loci = {0, 1, 2, 3, 4, 5};
    CaseModelFixture roomy(panel, 0, loci, 1.5, 2.25), tight(panel, 0, loci, 1.5, 2.25);
    tight.sim.limit_case_model(96 << 10);
    std::size_t texts = 0;
    std::map<std::string, int> seen;
    for (int c = 0; c < 300; ++c) {
        std::vector<int> sizes[2];
        for (auto& strand : sizes)
            for (int left = D; left > 0;)
                strand.push_back(std::min(left, 1 + static_cast<int>(random() % 4))), left -= strand.back();
        std::vector<std::vector<int>> states[2], alleles[2];
        const double mu[2] = {0.01, 0.02};
        const double seed = 0.5 + c * 1e-3;
        for (int k = 0; k < 2; ++k) {
            CaseModelFixture& f = k == 0 ? roomy : tight;
            states[k] = {segment_labels(sizes[0]), segment_labels(sizes[1])};
            MT draws(seed);
            Random::Set(draws);
            f.sim.simulate_disease_alleles(states[k], alleles[k], mu);
        }
        ASSERT_EQ(states[0], states[1]) << c;
        ASSERT_EQ(alleles[0], alleles[1]) << c;
        EXPECT_LE(tight.sim.case_distribution_cache.bytes(), tight.sim.case_distribution_cache.limit()) << c;
        EXPECT_LE(tight.sim.control_frequency_cache.bytes(), tight.sim.control_frequency_cache.limit()) << c;
        std::string text;
        for (const auto& strand : sizes) {
            for (std::size_t g = 0; g < strand.size(); ++g)
                text += std::to_string(strand[g]) + (g + 1 < strand.size() ? "." : "/");
        }
        texts += seen[text]++ == 0;
    }
    EXPECT_EQ(roomy.sim.case_distribution_cache.size(), texts);
    EXPECT_LT(tight.sim.case_distribution_cache.size(), texts / 4);
}

TEST(SimulateHaplotypes, CaseGenotypesFollowTheRiskWeightedDistribution) {
    // Panel of 400 haplotypes over three close SNPs, the locus in the middle
    // with allele-1 frequency 0.3, rr1 2 and rr2 4; 300 controls and 600 cases.
    // With p the allele-1 frequency among panel and control haplotypes, a case's
    // genotype (copies of allele 1) is multinomial with probabilities in
    // proportion to (1-p)^2, 2 * 2p(1-p), 4p^2. Chi-squared goodness of fit on
    // two degrees of freedom, R: qchisq(0.999, 2) = 13.8155.
    const int P = 400, ncontrols = 300, ncases = 600;
    std::vector<std::vector<int>> panel(3, std::vector<int>(P));
    for (int q = 0; q < P; ++q) {
        panel[0][q] = q % 2;
        panel[1][q] = (q * 7) % 10 < 3 ? 1 : 0;
        panel[2][q] = q % 5 == 0 ? 1 : 0;
    }
    TempDir dir;
    auto params = make_parameters(dir.path(), ncontrols, ncases, -1.0);
    params.dl.emplace(2000.0, DiseaseLocus(1, 2.0, 4.0));
    params.given_flags.insert("-no_haps_output");
    params.given_flags.insert("-no_gens_output");
    Vorlanerator sim(params, make_panel(panel, {0.0, 0.01, 0.02}));
    sim.simulate_haplotypes();

    const auto& haps = sim.simulated_haplotypes;
    for (int j = 0; j < 3; ++j) {
        double panel_ones = 0, control_ones = 0;
        for (int q = 0; q < P; ++q) panel_ones += panel[j][q];
        for (int h = 0; h < 2 * ncontrols; ++h) control_ones += haps[h][j];
        EXPECT_NEAR(control_ones / (2 * ncontrols), panel_ones / P, 0.1) << j;
    }

    double ones = 0;
    for (int q = 0; q < P; ++q) ones += panel[1][q];
    for (int h = 0; h < 2 * ncontrols; ++h) ones += haps[h][1];
    const double p = ones / (P + 2 * ncontrols);
    const double weights[3] = {(1 - p) * (1 - p), 2 * 2 * p * (1 - p), 4 * p * p};
    const double total = weights[0] + weights[1] + weights[2];
    int counts[3] = {0, 0, 0};
    for (int i = ncontrols; i < ncontrols + ncases; ++i) ++counts[haps[2 * i][1] + haps[2 * i + 1][1]];
    double chi_squared = 0;
    for (int g = 0; g < 3; ++g) {
        const double expected = ncases * weights[g] / total;
        chi_squared += (counts[g] - expected) * (counts[g] - expected) / expected;
    }
    EXPECT_LT(chi_squared, 13.8155) << counts[0] << " " << counts[1] << " " << counts[2];
}
