// Matching the run's disease loci to the panel SNPs.
#include <cstdlib>
#include <map>
#include <sstream>

#include "simulator/summary_file.h"
#include "simulator/vorlanerator.h"

void Vorlanerator::process_dl() {
    std::ostringstream buffer;
    buffer << "\nProcessing disease loci ... ";
    update_summary_file(params, buffer, std::ios::app);

    std::map<double, int> snp_index_at;
    int index = 0;
    for (const auto& [position, panel_snp] : panel_data.snps_data) snp_index_at.emplace(position, index++);

    for (auto locus = params.dl.begin(); locus != params.dl.end();) {
        const double position = locus->first;
        const auto found = snp_index_at.find(position);
        if (found == snp_index_at.end()) {
            buffer << "\ncannot find snp information for position " << position
                   << ", so it has been removed from the set of disease loci.\n";
            update_summary_file(params, buffer, std::ios::app);
            locus = params.dl.erase(locus);
            continue;
        }
        const double frequency = panel_data.snps_data.at(static_cast<int>(position)).frequency;
        if (frequency == 0.0 || frequency == 1.0) {
            buffer << "\nsnp at position " << position << " has frequency " << frequency
                   << ", so it has been removed from the set of disease loci.\n";
            locus = params.dl.erase(locus);
            continue;
        }
        dl_indices.push_back({position, found->second, locus->second});
        ++locus;
    }

    buffer << "done \n\n";
    update_summary_file(params, buffer, std::ios::app);

    if (params.dl.empty()) {
        buffer << "No suitable disease loci. Program terminated.\n";
        update_summary_file(params, buffer, std::ios::app);
        std::exit(1);
    }
}
