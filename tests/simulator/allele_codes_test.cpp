// Counts of candidates' codes before any candidate, against counting them one
// by one, across the boundaries of the stored blocks.
#include "simulator/allele_codes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

using namespace vorlan2;

namespace {

TEST(AlleleCodes, CountsBeforeEveryCandidate) {
    std::mt19937 random(5);
    for (const int loci : {1, 3, 8}) {
        const std::size_t codes = std::size_t{1} << loci;
        for (const std::size_t n : {std::size_t{0}, std::size_t{1}, AlleleCodes::block - 1, AlleleCodes::block,
                                    AlleleCodes::block + 1, 3 * AlleleCodes::block, std::size_t{1000}}) {
            AlleleCodes run(loci);
            std::vector<std::uint8_t> appended;
            std::vector<std::vector<std::uint32_t>> expected(1, std::vector<std::uint32_t>(codes, 0));
            for (std::size_t q = 0; q < n; ++q) {
                // Few codes are common, as at the loci of a real panel.
                const auto code = static_cast<std::uint8_t>(random() % 4 == 0 ? random() % codes : q % 2);
                run.push_back(code);
                appended.push_back(code);
                expected.push_back(expected.back());
                ++expected.back()[code];
            }
            ASSERT_EQ(std::vector<std::uint8_t>(run.codes(), run.codes() + run.size()), appended);
            std::vector<std::uint32_t> counts(codes);
            for (std::size_t i = 0; i <= n; ++i) {
                run.count_before(i, counts.data());
                ASSERT_EQ(counts, expected[i]) << "loci " << loci << " of " << n << " before " << i;
                if (i % AlleleCodes::block == 0) {
                    const std::uint32_t* stored = run.counts_before_block(i / AlleleCodes::block);
                    ASSERT_EQ(std::vector<std::uint32_t>(stored, stored + codes), expected[i]) << i;
                }
            }
        }
    }
}

}  // namespace
