// SNP lines cut into chunks: whatever the chunk and tile sizes, whole lines,
// pieces of long lines or lines spread over columns, and whatever the number
// of workers, the text is the same as the lines written allele by allele.
#include "simulator/snp_lines.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include <boost/iostreams/device/back_inserter.hpp>

#include "common/worker_pool.h"

using namespace vorlan2;

namespace {

// 300 haplotypes over 200 SNPs (four 64-SNP columns, the last one short).
HaplotypeSet random_haplotypes() {
    std::mt19937 random(2024);
    HaplotypeSet set;
    set.reset(200, 300);
    std::vector<int> alleles(200);
    for (int h = 0; h < 300; ++h) {
        for (int& allele : alleles) allele = static_cast<int>(random() % 3 == 0);
        set.push_back(alleles);
    }
    return set;
}

void prefix(std::size_t k, std::string& text) { text += "snp_" + std::to_string(k) + " rs A G"; }

// The lines written the plain way, one allele at a time.
std::string expected_text(const SnpLines& lines) {
    static const char* const triples[3] = {" 1 0 0", " 0 1 0", " 0 0 1"};
    std::string text;
    for (std::size_t k = 0; k < lines.snps.size(); ++k) {
        const int j = lines.snps[k];
        if (lines.kind == SnpLineKind::genotypes) {
            prefix(k, text);
            for (int h = lines.first; h < lines.end; h += 2)
                text += triples[(*lines.haplotypes)[h][j] + (*lines.haplotypes)[h + 1][j]];
        } else {
            for (int h = lines.first; h < lines.end; ++h) text += std::to_string((*lines.haplotypes)[h][j]) + " ";
        }
        text += '\n';
    }
    return text;
}

std::string written_text(const SnpLines& lines, WorkerPool& workers, const SnpLineLimits& limits) {
    std::string text;
    OutputStream out;
    out.push(boost::iostreams::back_inserter(text));
    write_snp_lines(out, lines, workers, limits);
    out.reset();
    return text;
}

TEST(SnpLines, AnyCutGivesTheLinesAlleleByAllele) {
    const HaplotypeSet haplotypes = random_haplotypes();
    std::vector<int> all(200);
    for (int j = 0; j < 200; ++j) all[j] = j;
    const std::vector<std::vector<int>> snp_lists = {all, {0, 5, 63, 64, 130, 199}, {70}, {}};
    const struct { int first, end; } groups[] = {{0, 300}, {38, 300}, {2, 4}, {100, 100}};
    const struct {
        const char* name;
        SnpLineLimits limits;
    } cuts[] = {
        {"one chunk", {}},
        {"whole lines, columns shared by several chunks", {700, 1 << 20, 3}},
        {"pieces of lines sharing a tile", {200, 1 << 20, 5}},
        {"pieces of lines, each turning its own rows", {200, 8, 2}},
        {"whole lines, each turning its own rows", {1000, 8, 32}},
        {"pieces of the least size", {1, 1, 1}},
    };
    // No worker (the writing thread alone), one, and several.
    WorkerPool pools[] = {WorkerPool(0), WorkerPool(1), WorkerPool(8)};
    for (const auto kind : {SnpLineKind::haplotypes, SnpLineKind::genotypes}) {
        for (const auto& snps : snp_lists) {
            for (const auto& group : groups) {
                SnpLines lines{kind, &haplotypes, group.first, group.end, snps, nullptr, 0};
                if (kind == SnpLineKind::genotypes) {
                    lines.append_prefix = prefix;
                    lines.longest_prefix = 20;
                }
                const std::string expected = expected_text(lines);
                for (const auto& cut : cuts)
                    for (auto& workers : pools)
                        EXPECT_EQ(written_text(lines, workers, cut.limits), expected)
                            << cut.name << ", " << (kind == SnpLineKind::genotypes ? "genotypes" : "haplotypes") << ", "
                            << snps.size() << " SNPs, haplotypes " << group.first << " to " << group.end << ", "
                            << workers.workers() << " workers";
            }
        }
    }
}

}  // namespace
