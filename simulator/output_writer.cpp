// The run's output files: haplotypes, legend, genotypes, tag-SNP genotypes
// and samples, for the controls and for the cases.
#include <algorithm>
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <memory>
#include <set>
#include <sstream>
#include <string>

#include "simulator/exceptions.h"
#include "simulator/number_parsing.h"
#include "simulator/output_file.h"
#include "simulator/vorlanerator.h"

namespace {

namespace fs = std::filesystem;

void append_number(std::string& out, long long value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

// An allele as the 16-bit signed code it stands for (unset reads -1).
int allele_code(std::uint16_t allele) { return static_cast<std::int16_t>(allele); }

class OutputNames {
public:
    explicit OutputNames(const VorlanParameters& params) {
        const std::string name = params.output_file.filename().string();
        compressed_ = is_gzip_name(params.output_file);
        if (compressed_) {
            directory_ = params.output_directory;
            stem_ = name.substr(0, name.rfind('.'));
        } else {
            whole_ = params.output_file.string();
        }
    }

    // A haplotype, genotype or tag-genotype file: compressed with a ".gz" output name.
    fs::path data_file(const std::string& suffix) const {
        return compressed_ ? directory_ / (stem_ + suffix + ".gz") : fs::path(whole_ + suffix);
    }

    // A legend or sample file: always plain text.
    fs::path text_file(const std::string& suffix) const {
        return compressed_ ? directory_ / (stem_ + suffix) : fs::path(whole_ + suffix);
    }

private:
    bool compressed_;
    fs::path directory_;
    std::string stem_;
    std::string whole_;
};

std::set<int> read_tag_positions(const fs::path& tag_file) {
    std::ifstream in(tag_file);
    if (!in) throw badfilename(tag_file.string(), "can't open file.");
    std::set<int> positions;
    std::string token;
    while (in >> token) {
        const auto value = parse_integer_token(token);
        if (!value) throw badfilename(tag_file.string(), "tag position \"" + token + "\" is not an integer.");
        // A position beyond the range of panel positions matches no SNP.
        if (*value >= std::numeric_limits<int>::min() && *value <= std::numeric_limits<int>::max())
            positions.insert(static_cast<int>(*value));
    }
    if (in.bad()) throw badfilename(tag_file.string(), "can't read file.");
    return positions;
}

}  // namespace

void Vorlanerator::append_genotype_line(snps_map::const_iterator snp_it, int snp_index, int first, int end,
                                        std::string& line) const {
    static const char* const genotypes[3] = {" 1 0 0", " 0 1 0", " 0 0 1"};
    const snp& panel_snp = snp_it->second;
    line += "snp_";
    append_number(line, snp_index);
    line += ' ';
    line += panel_snp.rs_id;
    line += ' ';
    append_number(line, snp_it->first);
    line += ' ';
    line += panel_snp.allele0;
    line += ' ';
    line += panel_snp.allele1;
    for (int h = first; h < end; h += 2) {
        const int c = allele_code(simulated_haplotypes[h][snp_index]) +
                      allele_code(simulated_haplotypes[h + 1][snp_index]);
        if (c >= 0 && c <= 2) {
            line.append(genotypes[c], 6);
            continue;
        }
        std::ostringstream buffer;
        buffer << h << " " << snp_index << " " << simulated_haplotypes.size() << " "
               << simulated_haplotypes[0].size() << " " << panel_data.snps_data.size() << std::endl
               << "something has gone wrong in output_haplotypes: one of the genotypes is " << c << std::endl;
        update_summary_file(params, buffer, std::ios::app);
    }
    line += '\n';
}

void Vorlanerator::output_snp_data_velisk_format(snps_map::const_iterator snp_it, const int& snp_index,
                                                 const int& first, const int& end,
                                                 std::ostringstream& line) const {
    std::string text;
    append_genotype_line(snp_it, snp_index, first, end, text);
    line.write(text.data(), static_cast<std::streamsize>(text.size()));
}

void Vorlanerator::output_haplotypes() const {
    std::ostringstream buffer;
    buffer << std::endl << "Writing output to files " << std::endl;
    update_summary_file(params, buffer, std::ios::app);

    const OutputNames names(params);
    const char* const group_names[2] = {".controls", ".cases"};
    const int bounds[3] = {0, 2 * params.ncontrols, 2 * (params.ncontrols + params.ncases)};

    const int available = static_cast<int>(simulated_haplotypes.size());
    if (bounds[2] != available) {
        buffer << "something has gone wrong in output_haplotypes: simulated_haplotypes.size()/2 != "
                  "(params.ncontrols+params.ncases)"
               << std::endl;
        update_summary_file(params, buffer, std::ios::app);
    }
    // The data files read only the individuals whose two haplotypes exist.
    int read_bounds[3];
    for (int k = 0; k < 3; ++k) read_bounds[k] = std::min(bounds[k], available - available % 2);

    std::string line;
    const auto write_line = [&line](OutputStream& out) {
        out.write(line.data(), static_cast<std::streamsize>(line.size()));
        line.clear();
    };

    if (!params.flag_given("-no_haps_output")) {
        for (int g = 0; g < 2; ++g) {
            const fs::path path = names.data_file(group_names[g] + std::string(".haps"));
            auto out = open_output_file(path, buffer, std::ios::out);
            update_summary_file(params, buffer, std::ios::app);
            for (int j = 0; j < static_cast<int>(panel_data.snps_data.size()); ++j) {
                for (int h = read_bounds[g]; h < read_bounds[g + 1]; ++h) {
                    const int allele = allele_code(simulated_haplotypes[h][j]);
                    if (allele < 0)
                        buffer << "something has gone wrong in output_haplotypes: one of the alleles is" << allele
                               << std::endl
                               << simulated_haplotypes.size() << " " << h << " " << simulated_haplotypes[0].size()
                               << " " << j << std::endl;
                    append_number(line, allele);
                    line += ' ';
                }
                line += '\n';
                write_line(*out);
            }
            finish_output_file(out, path);
        }

        const fs::path path = names.text_file(".legend");
        auto out = open_output_file(path, buffer, std::ios::out);
        line = "rs pos X0 X1\n";
        write_line(*out);
        for (const auto& [position, panel_snp] : panel_data.snps_data) {
            line += panel_snp.rs_id;
            line += ' ';
            append_number(line, position);
            line += ' ';
            line += panel_snp.allele0;
            line += ' ';
            line += panel_snp.allele1;
            line += '\n';
            write_line(*out);
        }
        finish_output_file(out, path);
    }

    if (!params.flag_given("-no_gens_output")) {
        for (int g = 0; g < 2; ++g) {
            const fs::path path = names.data_file(group_names[g] + std::string(".gen"));
            auto out = open_output_file(path, buffer, std::ios::out);
            update_summary_file(params, buffer, std::ios::app);
            int j = 0;
            for (auto it = panel_data.snps_data.begin(); it != panel_data.snps_data.end(); ++it, ++j) {
                append_genotype_line(it, j, read_bounds[g], read_bounds[g + 1], line);
                write_line(*out);
            }
            finish_output_file(out, path);
        }
    }

    if (params.flag_given("-t")) {
        const std::set<int> tags = read_tag_positions(params.tag_file);
        for (int g = 0; g < 2; ++g) {
            const fs::path path = names.data_file(group_names[g] + std::string(".tags.gen"));
            auto out = open_output_file(path, buffer, std::ios::out);
            update_summary_file(params, buffer, std::ios::app);
            for (const int position : tags) {
                const auto it = panel_data.snps_data.find(position);
                if (it == panel_data.snps_data.end()) continue;
                const int j = static_cast<int>(std::distance(panel_data.snps_data.begin(), it));
                append_genotype_line(it, j, read_bounds[g], read_bounds[g + 1], line);
                write_line(*out);
            }
            finish_output_file(out, path);
        }
    }

    for (int g = 0; g < 2; ++g) {
        const fs::path path = names.text_file(group_names[g] + std::string(".sample"));
        auto out = open_output_file(path, buffer, std::ios::out);
        update_summary_file(params, buffer, std::ios::app);
        line = "ID_1 ID_2 missing pheno\n0 0 0 B\n";
        write_line(*out);
        for (int i = bounds[g] / 2; i < bounds[g + 1] / 2; ++i) {
            line += "id1_";
            append_number(line, i);
            line += " id2_";
            append_number(line, i);
            line += " 0 ";
            append_number(line, g);
            line += '\n';
            write_line(*out);
        }
        finish_output_file(out, path);
    }
}
