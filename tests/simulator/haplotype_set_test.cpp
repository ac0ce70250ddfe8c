// The packed Haplotype set: every allele reads back at every bit position,
// across word boundaries, and columns come out in the order asked.
#include "simulator/haplotype_set.h"

#include <gtest/gtest.h>

#include <random>

using namespace vorlan2;

namespace {

TEST(HaplotypeSetTest, AllelesReadBackAtEveryWordBoundary) {
    for (const int snps : {1, 63, 64, 65, 128, 200}) {
        std::mt19937 bits(static_cast<unsigned>(snps));
        std::vector<std::vector<int>> haplotypes(7, std::vector<int>(static_cast<std::size_t>(snps)));
        HaplotypeSet set;
        set.reset(snps, haplotypes.size());
        for (auto& haplotype : haplotypes) {
            for (auto& allele : haplotype) allele = static_cast<int>(bits() & 1u);
            set.push_back(haplotype);
        }
        ASSERT_EQ(set.size(), haplotypes.size());
        for (std::size_t h = 0; h < haplotypes.size(); ++h) {
            EXPECT_TRUE(set[h] == haplotypes[h]) << snps << " " << h;
            EXPECT_EQ(set[h].size(), snps);
        }
    }
}

TEST(HaplotypeSetTest, ColumnsComeOutInTheOrderAsked) {
    HaplotypeSet set;
    set.reset(3, 2);
    set.push_back(std::vector<int>{1, 0, 1});
    set.push_back(std::vector<int>{0, 1, 1});
    EXPECT_EQ(set.columns({2, 0}), (std::vector<std::vector<std::uint16_t>>{{1, 1}, {1, 0}}));
    EXPECT_EQ(set.columns({0, 1, 2}), (std::vector<std::vector<std::uint16_t>>{{1, 0, 1}, {0, 1, 1}}));
}

}  // namespace
