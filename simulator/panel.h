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
    double genetic_position;                  // map value at the SNP, in the simulator's scale
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
    // Reads genetic_map_file (a header line, then lines of position, an unused
    // number and cM) and appends to map_positions and map_values
    // (4 Ne cM / 100), reporting through update_summary_file with params.
    // Raises badfilename naming the file when it cannot be opened or read (a
    // compressed file, a lone carriage return among the line ends), when a
    // data line lacks three finite numbers or scales to a value that is not
    // finite (with its line number), or when it has no data line.
    void read_genetic_map();
    // Reads haplotype_file and legend_file in lockstep, after the map, and
    // fills n_haplotypes and snps_data with the SNPs in [lower, upper] (the
    // first line of a position; the transcript counts the others); reports
    // through update_summary_file, and to standard output alone when one file
    // has more lines than the other. Raises badfilename naming the file when
    // one cannot be opened or read (a compressed file, a lone carriage return
    // among the line ends), when a legend or haplotype line is malformed or
    // has another number of alleles than the first (with its line number),
    // when the legend's first line is a SNP line and the haplotype file has a
    // line for it, or when no SNP lies in the interval.
    void read_haplotype_data();

    VorlanParameters params;
    std::vector<double> map_values;     // 4 * Ne * cM / 100, one per map line
    std::vector<double> map_positions;  // base-pair position, one per map line
    int n_haplotypes = -1;
    vorlan2::snps_map snps_data;
};
