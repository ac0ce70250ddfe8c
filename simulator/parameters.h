// The run's settings: the flag bookkeeping any flag-driven program needs
// (Parameters) and the simulator's own settings read from the command line.
#pragma once

#include <filesystem>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "simulator/disease_locus.h"

class Parameters {
public:
    virtual ~Parameters() = default;
    virtual void process_parameters(int argc, char** argv) = 0;
    virtual void parameters_summary(std::ostream& out) const = 0;
    virtual void parameters_help(std::ostream& out) const = 0;
    virtual void reset_parameters() = 0;

    bool flag_given(const std::string& flag) const { return given_flags.count(flag) != 0; }

    std::set<std::string> given_flags;  // every word beginning with '-', as typed
    std::string summary_file;
    std::vector<std::string> required_flags;  // in check order
    std::map<std::string, std::vector<std::string>> flag_dependencies;
    std::set<std::string> recognised_flags;
    std::set<std::string> unrecognised_flags;
};

class VorlanParameters : public Parameters {
public:
    VorlanParameters();

    void process_parameters(int argc, char** argv) override;
    void parameters_summary(std::ostream& out) const override;
    void parameters_help(std::ostream& out) const override;
    void reset_parameters() override;
    void specify_recognised_parameters();
    // The number of haplotypes a run simulates, two per control and case
    // (the command line keeps it an int).
    int simulated_haplotype_count() const { return 2 * (ncontrols + ncases); }

    std::string command_line;  // every word, each followed by a blank
    std::filesystem::path haplotype_file;
    std::string legend_file;
    int lower;
    std::string genetic_map_file;
    int ncontrols;
    int ncases;
    double Ne;
    std::filesystem::path output_directory;  // parent of output_file
    std::filesystem::path output_file;
    std::filesystem::path tag_file;
    double theta;  // below 0: not given
    int upper;
    std::map<double, DiseaseLocus> dl;  // keyed by base-pair position
};
