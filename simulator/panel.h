// The reference panel of a run: the genetic map and the panel SNPs that lie
// in the requested interval.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "simulator/parameters.h"

struct snp {
    std::string rs_id;
    double genetic_position;  // map value at the SNP, in the simulator's scale
    std::vector<std::uint8_t> panel_alleles;  // one 0/1 allele per panel haplotype
    std::string allele0;
    std::string allele1;
    double frequency;  // of allele 1 among the panel haplotypes
};

namespace vorlan2 {

// SNPs keyed by base-pair position; a SNP's rank is its SNP index.
using snps_map = std::map<int, snp>;

}  // namespace vorlan2

class Data {
public:
    void read_genetic_map();
    void read_haplotype_data();

    VorlanParameters params;
    std::vector<double> map_values;  // 4 * Ne * cM / 100, one per map line
    std::vector<double> map_positions;  // base-pair position, one per map line
    int n_haplotypes = -1;
    vorlan2::snps_map snps_data;
};
