// Case distributions against the written computation (strand lists as
// products of the groups' tables, the pairs' weights added up in order, a key
// recorded for each new running total, divided by the final total): the
// same keys and pairs, and every draw at a key, beside it and at the start
// of every stride of the compact form finds the pair the whole table gives.
#include "simulator/pair_distribution.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "simulator/allele_codes.h"
#include "simulator/control_table.h"

using namespace vorlan2;

namespace {

using Word = AlleleCodes::Word;
using Alleles = std::vector<int>;
using Table = std::map<Alleles, double>;

Table as_map(const ControlTable& table) {
    Table map;
    for (std::size_t i = 0; i < table.size(); ++i) {
        Alleles alleles(static_cast<std::size_t>(table.loci));
        for (int k = 0; k < table.loci; ++k)
            alleles[static_cast<std::size_t>(k)] = (table.entry(i)[k / 64] >> (k % 64)) & 1u;
        map.emplace(alleles, table.frequency[i]);
    }
    return map;
}

// The written computation's distribution of the pairs, keyed by cumulative probability.
std::map<double, std::pair<Alleles, Alleles>> written_distribution(const std::vector<Table>* tables,
                                                                   const PairDistribution::Risks& risks) {
    std::vector<std::pair<Alleles, double>> lists[2];
    for (int s = 0; s < 2; ++s) {
        for (const Table& table : tables[s]) {
            if (lists[s].empty()) {
                for (const auto& [alleles, frequency] : table) lists[s].emplace_back(alleles, frequency);
                continue;
            }
            std::vector<std::pair<Alleles, double>> product;
            for (const auto& [old_alleles, old_probability] : lists[s]) {
                for (const auto& [alleles, frequency] : table) {
                    Alleles joined = old_alleles;
                    joined.insert(joined.end(), alleles.begin(), alleles.end());
                    product.emplace_back(joined, old_probability * frequency);
                }
            }
            lists[s] = product;
        }
    }
    std::map<double, std::pair<std::size_t, std::size_t>> recorded;
    double total = 0;
    for (std::size_t i = 0; i < lists[0].size(); ++i) {
        for (std::size_t k = 0; k < lists[1].size(); ++k) {
            const Alleles& a = lists[0][i].first;
            const Alleles& b = lists[1][k].first;
            double r = 1.0;
            for (std::size_t m = 0; m < a.size(); ++m) r *= risks[m][static_cast<std::size_t>(a[m] + b[m])];
            total = total + r * lists[0][i].second * lists[1][k].second;
            recorded.emplace(total, std::make_pair(i, k));
        }
    }
    std::map<double, std::pair<Alleles, Alleles>> distribution;
    for (const auto& [key, pair] : recorded)
        distribution.emplace_hint(distribution.end(), key / total,
                                  std::make_pair(lists[0][pair.first].first, lists[1][pair.second].first));
    return distribution;
}

// A group's table from `haplotypes` haplotypes drawn from a few prototypes
// with an allele changed now and then, as at the loci of a panel.
ControlTable random_table(int loci, int haplotypes, std::mt19937& random) {
    std::vector<std::vector<Word>> prototypes(1 + random() % 6);
    for (auto& prototype : prototypes) {
        prototype.assign(static_cast<std::size_t>((loci + 63) / 64), 0);
        for (int k = 0; k < loci; ++k)
            if (random() % 2) prototype[static_cast<std::size_t>(k / 64)] |= Word{1} << (k % 64);
    }
    AlleleCodes codes(loci);
    for (int h = 0; h < haplotypes; ++h) {
        std::vector<Word> alleles = prototypes[random() % prototypes.size()];
        if (random() % 3 == 0) {
            const int k = static_cast<int>(random() % static_cast<unsigned>(loci));
            alleles[static_cast<std::size_t>(k / 64)] ^= Word{1} << (k % 64);
        }
        codes.push_back(alleles.data());
    }
    return control_table(codes, static_cast<std::size_t>(haplotypes), 1 / (2.0 * (haplotypes / 2) + haplotypes % 2));
}

Alleles alleles_of(const PairDistribution& distribution, std::size_t pair, int s) {
    Alleles alleles;
    distribution.alleles(pair, s, alleles);
    return alleles;
}

TEST(PairDistribution, DrawsWhatTheWholeTableGives) {
    const struct {
        std::string name;
        std::vector<int> strand0, strand1;  // group sizes
        std::vector<double> risks;          // rr0 rr1 rr2 of every locus
    } cases[] = {
        {"one locus", {1}, {1}, {1, 1.5, 2.25}},
        {"three in one segment", {3}, {3}, {1, 2, 4}},
        {"1.1/2", {1, 1}, {2}, {1, 1.2, 1.44}},
        {"unit risks", {2, 3}, {5}, {1, 1, 1}},
        {"a zero risk", {2, 2}, {1, 3}, {1, 3, 0}},
        {"eight apart", {1, 1, 1, 1, 1, 1, 1, 1}, {4, 4}, {1, 1.3, 1.69}},
        {"nine together", {9}, {9}, {1, 1.2, 1.44}},
        {"nine, split", {4, 5}, {2, 7}, {0.5, 1, 2}},
        {"twelve apart", {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, {12}, {1, 1.2, 1.44}},
        {"twelve in threes", {3, 3, 3, 3}, {6, 6}, {1, 1.5, 2.25}},
    };
    std::mt19937 random(17);
    for (const auto& c : cases) {
        int loci = 0;
        for (const int size : c.strand0) loci += size;
        std::vector<ControlTable> tables[2];
        std::vector<Table> maps[2];
        for (int s = 0; s < 2; ++s) {
            for (const int size : s == 0 ? c.strand0 : c.strand1) {
                tables[s].push_back(random_table(size, 50 + static_cast<int>(random() % 400), random));
                maps[s].push_back(as_map(tables[s].back()));
            }
        }
        PairDistribution::Risks risks(static_cast<std::size_t>(loci), {c.risks[0], c.risks[1], c.risks[2]});
        const auto written = written_distribution(maps, risks);

        // Room for all totals, and room for 8 or 512: strides of 256 pairs and
        // of many (a draw repeats up to a stride of additions).
        std::size_t pairs = 1;
        for (int s = 0; s < 2; ++s) {
            std::size_t entries = 1;
            for (const ControlTable& table : tables[s]) entries *= table.size();
            pairs *= entries;
        }
        for (const std::size_t total_bytes :
             {std::size_t{1} << 30, pairs < 100000 ? std::size_t{64} : std::size_t{4096}}) {
            std::vector<const ControlTable*> groups[2];
            for (int s = 0; s < 2; ++s)
                for (const ControlTable& table : tables[s]) groups[s].push_back(&table);
            const PairDistribution distribution(strand_list(groups[0], loci), strand_list(groups[1], loci), risks,
                                                total_bytes);
            const auto entries = distribution.entries();
            ASSERT_EQ(entries.size(), written.size()) << c.name;
            auto expected = written.begin();
            for (const auto& [key, pair] : entries) {
                ASSERT_EQ(key, expected->first) << c.name;
                ASSERT_EQ(alleles_of(distribution, pair, 0), expected->second.first) << c.name;
                ASSERT_EQ(alleles_of(distribution, pair, 1), expected->second.second) << c.name;
                ++expected;
            }
            EXPECT_EQ(written.rbegin()->first, 1.0) << c.name;

            // Draws at every key of small tables, at a few hundred keys of
            // large ones, and at the keys where strides begin.
            std::vector<double> keys;
            for (const auto& [key, pair] : written) keys.push_back(key);
            std::vector<double> draws;
            const std::size_t step = keys.size() / 300 + 1;
            for (std::size_t i = 0; i < keys.size(); ++i) {
                if (i % step != 0 && i % 256 > 1) continue;
                for (const double u : {keys[i], std::nextafter(keys[i], 0.0), std::nextafter(keys[i], 1.0)})
                    if (u > 0.0 && u < 1.0) draws.push_back(u);
            }
            for (int k = 0; k < 200; ++k) draws.push_back(std::uniform_real_distribution<double>(0.0, 1.0)(random));
            for (const double u : draws) {
                const auto drawn = written.upper_bound(u);
                ASSERT_NE(drawn, written.end());
                const std::size_t pair = distribution.draw(u);
                ASSERT_EQ(alleles_of(distribution, pair, 0), drawn->second.first) << c.name << " u " << u;
                ASSERT_EQ(alleles_of(distribution, pair, 1), drawn->second.second) << c.name << " u " << u;
            }
        }
    }
}

TEST(PairDistribution, TheLastStrideEndsAtTheLastPair) {
    // A few pairs in strides of 256: one stride, cut short.
    std::mt19937 random(3);
    const ControlTable table = random_table(2, 40, random);
    const std::vector<const ControlTable*> groups = {&table};
    const PairDistribution distribution(strand_list(groups, 2), strand_list(groups, 2),
                                        PairDistribution::Risks(2, {1, 2, 4}), 1 << 20);
    ASSERT_EQ(distribution.pairs(), table.size() * table.size());
    EXPECT_EQ(distribution.draw(0.9999999998835847), distribution.pairs() - 1);
    EXPECT_EQ(distribution.draw(1e-300), 0u);
}

}  // namespace
