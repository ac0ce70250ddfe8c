// The exact separation decision, on designed data sets and against a search
// over integer coefficient vectors on random ones.
#include "association/separation.h"

#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "association/support/genotype_fixture.h"

namespace {

using single_snp_test::separates_phenotypes;

// "02 11 20": one word of genotypes (copies of allele 1, one digit per SNP)
// per individual.
std::vector<std::uint8_t> genotypes_from(const std::string& words) {
    std::vector<std::uint8_t> genotypes;
    std::istringstream in(words);
    std::string word;
    while (in >> word)
        for (const char c : word) genotypes.push_back(static_cast<std::uint8_t>(c - '0'));
    return genotypes;
}

struct Design {
    std::string name;
    std::size_t snps;
    std::string genotypes;
    std::string phenotypes;
    bool separated;
};

const std::vector<Design> designs = {
    // One SNP.
    {"complete", 1, "0 0 0 2 2 1", "000111", true},
    {"completeDownwards", 1, "2 1 2 0 0 0", "000111", true},
    {"quasiCompleteAlleleOnlyInCases", 1, "0 0 0 0 1 2", "000111", true},
    {"quasiCompleteOverlapAtOneGenotype", 1, "0 0 1 1 2 2", "000111", true},
    {"allCases", 1, "0 1 2 1", "1111", true},
    {"allControls", 1, "0 1 2 1", "0000", true},
    {"oneIndividual", 1, "1", "1", true},
    {"overlapAtTwoGenotypes", 1, "0 1 2 0 1 1", "000111", false},
    {"casesBetweenControls", 1, "0 2 1", "001", false},
    {"constantSnpBothGroups", 1, "1 1 1 1", "0011", false},
    {"noIndividuals", 1, "", "", false},
    // Several SNPs.
    {"jointlyComplete", 2, "00 10 01 11 20 02", "000111", true},
    {"oneSnpSeparatesInsideJoint", 2, "00 01 02 20 21 12", "000111", true},
    {"jointlyQuasiComplete", 2, "00 10 01 11 11 20 02", "0000111", true},
    {"neitherAloneNorJointly", 2, "00 10 01 11 00 10 01 11", "00011110", false},
    {"crossedPatterns", 2, "00 11 22 02 20 11", "000111", false},
    {"threeSnpsComplete", 3, "000 100 010 001 111 210", "000111", true},
    {"threeSnpsOverlapping", 3, "000 100 010 001 000 100 010 001", "00001111", false},
};

class SeparationDesign : public testing::TestWithParam<Design> {};

TEST_P(SeparationDesign, IsDecided) {
    const Design& c = GetParam();
    EXPECT_EQ(separates_phenotypes(genotypes_from(c.genotypes), c.snps, phenotypes_from(c.phenotypes)), c.separated);
}

INSTANTIATE_TEST_SUITE_P(Designs, SeparationDesign, testing::ValuesIn(designs),
                         [](const testing::TestParamInfo<Design>& info) { return info.param.name; });

// Whether an integer b in [-4, 4]^(snps + 1) separates. Over the polytope
// {b : every signed row · b >= 0, |b_k| <= 1} the sum of the signed rows ·
// b is largest at a vertex, and positive there exactly when the data are
// separated; every such vertex, scaled to coprime integers, has entries of at
// most 2 for one SNP and 4 for two (enumerated over all vertex systems), so
// the search is complete for up to two SNPs.
bool separated_by_search(const std::vector<std::uint8_t>& genotypes, std::size_t snps,
                         const std::vector<int>& phenotypes) {
    const std::size_t d = snps + 1;
    std::vector<int> b(d, -4);
    for (;;) {
        bool holds = true;
        bool strict = false;
        for (std::size_t i = 0; i < phenotypes.size() && holds; ++i) {
            int eta = b[0];
            for (std::size_t k = 0; k < snps; ++k) eta += b[1 + k] * genotypes[i * snps + k];
            const int signed_eta = phenotypes[i] == 1 ? eta : -eta;
            holds = signed_eta >= 0;
            strict = strict || signed_eta > 0;
        }
        if (holds && strict) return true;
        std::size_t k = 0;
        while (k < d && b[k] == 4) b[k++] = -4;
        if (k == d) return false;
        ++b[k];
    }
}

TEST(Separation, AgreesWithAnExhaustiveSearchOnRandomSmallDataSets) {
    std::mt19937 engine(20240611);
    int separated = 0;
    int overlapping = 0;
    for (int trial = 0; trial < 3000; ++trial) {
        const std::size_t snps = 1 + trial % 2;
        const std::size_t n = 1 + engine() % 9;
        // Skewed genotype frequencies give both outcomes often.
        std::discrete_distribution<int> genotype(
            {1 + static_cast<double>(engine() % 4), 1.0, 1 + static_cast<double>(engine() % 4)});
        std::vector<std::uint8_t> genotypes(n * snps);
        std::vector<int> phenotypes(n);
        for (auto& g : genotypes) g = static_cast<std::uint8_t>(genotype(engine));
        for (auto& y : phenotypes) y = static_cast<int>(engine() % 2);
        const bool expected = separated_by_search(genotypes, snps, phenotypes);
        ASSERT_EQ(separates_phenotypes(genotypes, snps, phenotypes), expected) << "trial " << trial;
        (expected ? separated : overlapping) += 1;
    }
    // Both answers were exercised many times.
    EXPECT_GT(separated, 300);
    EXPECT_GT(overlapping, 300);
}

TEST(Separation, LargeOverlappingSampleOfManySnps) {
    // 2000 individuals and eight SNPs with phenotypes independent of the
    // genotypes: hundreds of distinct patterns, most seen in one group only.
    std::mt19937 engine(7);
    const std::size_t n = 2000;
    const std::size_t snps = 8;
    std::vector<std::uint8_t> genotypes(n * snps);
    std::vector<int> phenotypes(n);
    for (auto& g : genotypes) g = static_cast<std::uint8_t>(engine() % 3);
    for (auto& y : phenotypes) y = static_cast<int>(engine() % 2);
    EXPECT_FALSE(separates_phenotypes(genotypes, snps, phenotypes));
    // A ninth SNP that carries allele 1 in cases only separates them.
    std::vector<std::uint8_t> with_marker;
    for (std::size_t i = 0; i < n; ++i) {
        with_marker.insert(with_marker.end(), genotypes.begin() + i * snps, genotypes.begin() + (i + 1) * snps);
        with_marker.push_back(static_cast<std::uint8_t>(phenotypes[i] == 1 && i % 5 == 0));
    }
    EXPECT_TRUE(separates_phenotypes(with_marker, snps + 1, phenotypes));
}

}  // namespace
