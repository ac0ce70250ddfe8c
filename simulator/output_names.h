// The names of a run's output files, formed from the "-o" value: the one
// place of the suffix rules, for the writers and for the input-file guard.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "simulator/parameters.h"

namespace vorlan2 {

// What the summary file's name adds to the "-o" value (or to "vorlan2"
// without one); the parameters name the summary file as the command line is
// read.
inline constexpr char summary_suffix[] = ".summary";

// Group 0 is the controls, group 1 the cases.
class OutputNames {
public:
    explicit OutputNames(const VorlanParameters& params);

    // Compressed when the "-o" value ends in ".gz".
    std::filesystem::path haplotype_file(int group) const;
    std::filesystem::path genotype_file(int group) const;
    std::filesystem::path tag_genotype_file(int group) const;
    // Always plain text.
    std::filesystem::path legend_file() const;
    std::filesystem::path sample_file(int group) const;
    // The run's lock file: beside the legend and sample files, which the
    // values "NAME" and "NAME.gz" share.
    std::filesystem::path lock_file() const;

private:
    std::filesystem::path data_file(int group, const std::string& suffix) const;
    std::filesystem::path text_file(const std::string& suffix) const;

    bool compressed_;
    std::filesystem::path directory_;  // with a ".gz" value: its directory and stem
    std::string stem_;
    std::string whole_;  // otherwise: the value itself
};

// Every file that a run with these parameters writes, the summary file first
// and then the others in the order written.
std::vector<std::filesystem::path> run_output_files(const VorlanParameters& params);

}  // namespace vorlan2
