// Output names: the suffixes of the nine output files, and which of them a
// run writes given its flags.
#include "simulator/output_names.h"

#include "common/output_file.h"

namespace vorlan2 {

namespace fs = std::filesystem;

namespace {
const char* const group_names[2] = {".controls", ".cases"};
}

OutputNames::OutputNames(const VorlanParameters& params) : compressed_(is_gzip_name(params.output_file)) {
    const std::string name = params.output_file.filename().string();
    if (compressed_) {
        directory_ = params.output_directory;
        stem_ = name.substr(0, name.rfind('.'));
    } else {
        whole_ = params.output_file.string();
    }
}

fs::path OutputNames::data_file(int group, const std::string& suffix) const {
    const std::string name = group_names[group] + suffix;
    return compressed_ ? directory_ / (stem_ + name + ".gz") : fs::path(whole_ + name);
}

fs::path OutputNames::text_file(const std::string& suffix) const {
    return compressed_ ? directory_ / (stem_ + suffix) : fs::path(whole_ + suffix);
}

fs::path OutputNames::haplotype_file(int group) const { return data_file(group, ".haps"); }
fs::path OutputNames::genotype_file(int group) const { return data_file(group, ".gen"); }
fs::path OutputNames::tag_genotype_file(int group) const { return data_file(group, ".tags.gen"); }
fs::path OutputNames::legend_file() const { return text_file(".legend"); }
fs::path OutputNames::sample_file(int group) const { return text_file(group_names[group] + std::string(".sample")); }
fs::path OutputNames::lock_file() const { return text_file(".lock"); }

std::vector<fs::path> run_output_files(const VorlanParameters& params) {
    const OutputNames names(params);
    std::vector<fs::path> files = {params.summary_file};
    if (!params.flag_given("-no_haps_output"))
        files.insert(files.end(), {names.haplotype_file(0), names.haplotype_file(1), names.legend_file()});
    if (!params.flag_given("-no_gens_output"))
        files.insert(files.end(), {names.genotype_file(0), names.genotype_file(1)});
    if (params.flag_given("-t")) files.insert(files.end(), {names.tag_genotype_file(0), names.tag_genotype_file(1)});
    files.insert(files.end(), {names.sample_file(0), names.sample_file(1)});
    return files;
}

}  // namespace vorlan2
