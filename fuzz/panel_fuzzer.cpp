// Fuzz target: the haplotype and legend reader, over a fuzzed or a fixed
// genetic map. The bytes are the haplotype file, NUL, the legend file, NUL,
// and optionally the map.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/exceptions.h"
#include "fuzz_support.h"
#include "simulator/panel.h"

namespace {

const char fixed_map[] = "position rate cM\n1000 1 0\n5000 1 0.01\n";

void check_panel(const Data& panel) {
    if (panel.snps_data.empty() || panel.n_haplotypes < 1) std::abort();
    for (const auto& [position, stored] : panel.snps_data) {
        if (position < panel.params.lower || position > panel.params.upper) std::abort();
        if (static_cast<int>(stored.panel_alleles.size()) != panel.n_haplotypes) std::abort();
        for (const auto allele : stored.panel_alleles)
            if (allele > 1) std::abort();
        if (!(stored.frequency >= 0.0 && stored.frequency <= 1.0)) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    silence_standard_output();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> parts = split_at_nul(data, size, 3);
    Data panel;
    panel.params.haplotype_file = write_scratch_file("panel.haps", parts[0]);
    panel.params.legend_file = write_scratch_file("panel.legend", parts.size() > 1 ? parts[1] : "");
    panel.params.genetic_map_file = write_scratch_file("map.txt", parts.size() > 2 ? parts[2] : fixed_map);
    panel.params.summary_file = "/dev/null";
    try {
        panel.read_genetic_map();
        panel.read_haplotype_data();
    } catch (const badfilename&) {
        return 0;
    }
    check_panel(panel);
    return 0;
}
