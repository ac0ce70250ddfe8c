// Codes of candidates' allele vectors and their counts before any candidate,
// against numbering and counting them one by one, across the boundaries of
// the stored blocks and as the blocks grow with the number of codes.
#include "simulator/allele_codes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <random>
#include <vector>

using namespace vorlan2;

namespace {

using Vector = std::vector<AlleleCodes::Word>;

Vector random_vector(int loci, std::mt19937_64& random) {
    Vector packed(static_cast<std::size_t>((loci + 63) / 64));
    for (int k = 0; k < loci; ++k)
        if (random() % 2) packed[static_cast<std::size_t>(k / 64)] |= AlleleCodes::Word{1} << (k % 64);
    return packed;
}

TEST(AlleleCodes, NumbersVectorsInOrderAndCountsThemBeforeEveryCandidate) {
    const struct {
        int loci;
        int candidates;
        int vectors;  // distinct vectors drawn from; many make the blocks grow
    } cases[] = {{1, 0, 2},        {1, 1, 2},         {3, 255, 8},   {3, 256, 8},     {3, 257, 8},    {8, 1000, 40},
                 {12, 3000, 3000}, {20, 20000, 6000}, {64, 600, 50}, {70, 2000, 300}, {130, 700, 700}};
    std::mt19937_64 random(5);
    for (const auto& c : cases) {
        std::vector<Vector> pool;
        for (int v = 0; v < c.vectors; ++v) pool.push_back(random_vector(c.loci, random));
        AlleleCodes run(c.loci);
        std::map<Vector, AlleleCodes::Code> numbered;
        std::vector<AlleleCodes::Code> expected_codes;
        for (int q = 0; q < c.candidates; ++q) {
            // Few vectors are common, as at the loci of a real panel.
            const Vector& alleles = pool[random() % 4 ? random() % 3 % pool.size() : random() % pool.size()];
            run.push_back(alleles.data());
            const auto code = numbered.emplace(alleles, static_cast<AlleleCodes::Code>(numbered.size())).first->second;
            expected_codes.push_back(code);
        }
        ASSERT_EQ(std::vector<AlleleCodes::Code>(run.codes(), run.codes() + run.size()), expected_codes) << c.loci;
        ASSERT_EQ(run.code_count(), numbered.size());
        for (const auto& [alleles, code] : numbered)
            ASSERT_EQ(Vector(run.alleles(code), run.alleles(code) + run.words()), alleles) << c.loci;

        std::vector<std::uint32_t> expected(run.code_count(), 0), counts(run.code_count());
        for (std::size_t i = 0; i <= run.size(); ++i) {
            if (i % 97 == 0 || i % run.block() <= 1 || i + 2 >= run.size()) {
                run.count_before(i, counts.data());
                ASSERT_EQ(counts, expected) << "loci " << c.loci << " before " << i;
            }
            if (i % run.block() == 0) {
                const AlleleCodes::Counts stored = run.counts_before_block(i / run.block());
                for (std::size_t code = 0; code < run.code_count(); ++code)
                    ASSERT_EQ(code < stored.codes ? stored.counts[code] : 0u, expected[code]) << i;
            }
            if (i < run.size()) ++expected[run.codes()[i]];
        }
        // The stored counts stay within a few times what the codes take.
        EXPECT_LE(run.bytes(), 64 * 1024 + run.size() * 16 + run.code_count() * (run.words() * 8 + 16 * c.loci));
    }
}

TEST(AlleleCodes, CodeOfAVectorNoCandidateCarriesNumbersItWithoutACandidate) {
    AlleleCodes run(3);
    const Vector a = {0b101}, b = {0b011};
    run.push_back(a.data());
    EXPECT_EQ(run.code_of(a.data()), 0u);
    EXPECT_EQ(run.code_of(b.data()), 1u);
    EXPECT_EQ(run.size(), 1u);
    run.push_back(b.data());
    run.push_back(b.data());
    std::vector<std::uint32_t> counts(run.code_count());
    run.count_before(3, counts.data());
    EXPECT_EQ(counts, (std::vector<std::uint32_t>{1, 2}));
    // Bits past the run's loci are not part of the vector.
    const Vector b_with_more = {0b1011};
    EXPECT_EQ(run.code_of(b_with_more.data()), 1u);
}

}  // namespace
