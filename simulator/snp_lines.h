// The haplotype and genotype files hold one line per SNP across the
// haplotypes of a group; the Haplotype set holds one row per haplotype. The
// lines are formatted on a pool of workers in chunks of bounded size (a long
// line is cut into pieces), from rows turned into lines 64 haplotypes at a
// time, and written in order: the memory of writing does not grow with the
// number of haplotypes or of cores.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "common/output_file.h"
#include "simulator/haplotype_set.h"

namespace vorlan2 {

class WorkerPool;

enum class SnpLineKind {
    haplotypes,  // every allele followed by a blank
    genotypes,   // a prefix, then " 1 0 0", " 0 1 0" or " 0 0 1" per individual
};

struct SnpLines {
    SnpLineKind kind;
    const HaplotypeSet* haplotypes;
    int first;  // the group's haplotypes [first, end); first is even
    int end;
    const std::vector<int>& snps;  // the SNP index of each line, ascending
    // Appends the text that starts line k (nothing for haplotype lines);
    // called from the workers.
    std::function<void(std::size_t k, std::string& text)> append_prefix;
    std::size_t longest_prefix = 0;  // bytes, at most
};

// Bounds on the memory of writing.
struct SnpLineLimits {
    std::size_t chunk_bytes = 1 << 20;  // text formatted by one task, about
    std::size_t tile_bytes = 8 << 20;   // turned bits shared by the tasks of one column, at most
    std::size_t chunks_in_flight = 32;  // at most; fewer with fewer workers

    // Bytes that writing holds at most: the chunks in flight with the one
    // being taken, and the tiles of the two columns they may span.
    std::size_t most_memory() const { return (chunks_in_flight + 1) * chunk_bytes + 2 * tile_bytes; }
};

// Writes the lines into out, formatted on `workers`; the text does not depend
// on how many there are.
void write_snp_lines(OutputStream& out, const SnpLines& lines, WorkerPool& workers, const SnpLineLimits& limits = {});

}  // namespace vorlan2
