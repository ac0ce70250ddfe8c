// Small in-memory panels and scratch-directory run parameters for the simulator tests.
#include "simulator_fixture.h"

#include <cstdint>

Data make_panel(const std::vector<std::vector<int>>& alleles, const std::vector<double>& genetic,
                std::vector<int> positions) {
    if (positions.empty())
        for (std::size_t j = 0; j < alleles.size(); ++j) positions.push_back(1000 * static_cast<int>(j + 1));
    Data data;
    data.n_haplotypes = static_cast<int>(alleles.front().size());
    for (std::size_t j = 0; j < alleles.size(); ++j) {
        snp entry;
        entry.rs_id = "rs" + std::to_string(j + 1);
        entry.genetic_position = genetic[j];
        double sum = 0;
        for (const int a : alleles[j]) {
            entry.panel_alleles.push_back(static_cast<std::uint8_t>(a));
            sum += a;
        }
        entry.allele0 = "A";
        entry.allele1 = "G";
        entry.frequency = sum / static_cast<double>(alleles[j].size());
        data.snps_data.emplace(positions[j], entry);
    }
    return data;
}

VorlanParameters make_parameters(const std::filesystem::path& directory, int ncontrols, int ncases, double theta) {
    VorlanParameters params;
    params.output_file = directory / "sim";
    params.output_directory = directory;
    params.summary_file = (directory / "sim.summary").string();
    params.ncontrols = ncontrols;
    params.ncases = ncases;
    params.theta = theta;
    params.given_flags = {"-nrs"};
    return params;
}
