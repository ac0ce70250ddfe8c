// The run's output files: haplotypes, legend, genotypes, tag-SNP genotypes
// and samples, for the controls and for the cases.
#include <algorithm>
#include <charconv>
#include <filesystem>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "common/invariant.h"
#include "common/output_file.h"
#include "common/worker_pool.h"
#include "simulator/output_names.h"
#include "simulator/snp_lines.h"
#include "simulator/summary_file.h"
#include "simulator/vorlanerator.h"

using namespace vorlan2;

namespace {

namespace fs = std::filesystem;

void append_number(std::string& out, long long value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

const char* const genotype_triples[3] = {" 1 0 0", " 0 1 0", " 0 0 1"};

// The text of one SNP's genotype line up to the genotypes.
void append_snp_fields(std::string& out, snps_map::const_iterator snp_it, int snp_index) {
    const snp& panel_snp = snp_it->second;
    out += "snp_";
    append_number(out, snp_index);
    out += ' ';
    out += panel_snp.rs_id;
    out += ' ';
    append_number(out, snp_it->first);
    out += ' ';
    out += panel_snp.allele0;
    out += ' ';
    out += panel_snp.allele1;
}

// Writes the haplotype or genotype lines of the given SNPs for haplotypes
// [first, end) of the set, formatted on the given workers.
void write_lines(OutputStream& out, SnpLineKind kind, const HaplotypeSet& haplotypes, const snps_map& snps,
                 const std::vector<int>& snp_indices, int first, int end, WorkerPool& workers) {
    SnpLines lines{kind, &haplotypes, first, end, snp_indices, nullptr, 0};
    std::vector<snps_map::const_iterator> snp_its;
    if (kind == SnpLineKind::genotypes) {
        snp_its.reserve(snp_indices.size());
        auto it = snps.begin();
        int j = 0;
        for (const int index : snp_indices) {
            std::advance(it, index - j);
            j = index;
            snp_its.push_back(it);
            const snp& panel_snp = it->second;
            // "snp_", two numbers of at most 11 characters, four blanks.
            lines.longest_prefix =
                std::max(lines.longest_prefix,
                         4 + 2 * 11 + 4 + panel_snp.rs_id.size() + panel_snp.allele0.size() + panel_snp.allele1.size());
        }
        lines.append_prefix = [&snp_its, &snp_indices](std::size_t k, std::string& text) {
            append_snp_fields(text, snp_its[k], snp_indices[k]);
        };
    }
    write_snp_lines(out, lines, workers);
}

}  // namespace

void Vorlanerator::append_genotype_line(snps_map::const_iterator snp_it, int snp_index, int first, int end,
                                        std::string& line) const {
    append_snp_fields(line, snp_it, snp_index);
    for (int h = first; h < end; h += 2) {
        const int c = simulated_haplotypes[static_cast<std::size_t>(h)][snp_index] +
                      simulated_haplotypes[static_cast<std::size_t>(h + 1)][snp_index];
        line.append(genotype_triples[c], 6);
    }
    line += '\n';
}

void Vorlanerator::output_snp_data_velisk_format(snps_map::const_iterator snp_it, const int& snp_index,
                                                 const int& first, const int& end, std::ostringstream& line) const {
    std::string text;
    append_genotype_line(snp_it, snp_index, first, end, text);
    line.write(text.data(), static_cast<std::streamsize>(text.size()));
}

void Vorlanerator::output_haplotypes() const {
    std::ostringstream buffer;
    buffer << std::endl << "Writing output to files " << std::endl;
    update_summary_file(params, buffer, std::ios::app);

    // Started for the writing alone, so that their stacks take none of the
    // memory that the simulation may use.
    WorkerPool workers(writer_workers);
    const OutputNames names(params);
    const int bounds[3] = {0, 2 * params.ncontrols, params.simulated_haplotype_count()};

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

    // Opens the file, whose "writing output file " line goes into the buffer
    // and, with log_now, to the transcript before the content is written;
    // writes the content and gives the file its name.
    const auto write_file = [this, &buffer, &workers](const fs::path& path, bool log_now, const auto& write) {
        auto out = open_output_file(path, buffer, std::ios::out, &workers);
        if (log_now) update_summary_file(params, buffer, std::ios::app);
        write(*out);
        out->commit();
    };
    const auto write_line = [](OutputStream& out, std::string& line) {
        out.write(line.data(), static_cast<std::streamsize>(line.size()));
        line.clear();
    };

    // The controls' file and the cases' file of the lines of the given SNPs.
    const auto write_groups = [&](fs::path (OutputNames::*name)(int) const, SnpLineKind kind,
                                  const std::vector<int>& snp_indices) {
        for (int g = 0; g < 2; ++g)
            write_file((names.*name)(g), true, [&](OutputStream& out) {
                write_lines(out, kind, simulated_haplotypes, panel_data.snps_data, snp_indices, read_bounds[g],
                            read_bounds[g + 1], workers);
            });
    };

    std::vector<int> all_snps(panel_data.snps_data.size());
    for (std::size_t j = 0; j < all_snps.size(); ++j) all_snps[j] = static_cast<int>(j);

    if (!params.flag_given("-no_haps_output")) {
        write_groups(&OutputNames::haplotype_file, SnpLineKind::haplotypes, all_snps);
        // Its line reaches the transcript with the next file's.
        write_file(names.legend_file(), false, [&](OutputStream& out) {
            std::string line = "rs pos X0 X1\n";
            write_line(out, line);
            for (const auto& [position, panel_snp] : panel_data.snps_data) {
                line += panel_snp.rs_id;
                line += ' ';
                append_number(line, position);
                line += ' ';
                line += panel_snp.allele0;
                line += ' ';
                line += panel_snp.allele1;
                line += '\n';
                write_line(out, line);
            }
        });
    }

    if (!params.flag_given("-no_gens_output"))
        write_groups(&OutputNames::genotype_file, SnpLineKind::genotypes, all_snps);

    if (params.flag_given("-t")) {
        VORLAN2_CHECK(tag_snps.has_value());
        write_groups(&OutputNames::tag_genotype_file, SnpLineKind::genotypes, *tag_snps);
    }

    for (int g = 0; g < 2; ++g)
        write_file(names.sample_file(g), true, [&](OutputStream& out) {
            std::string line = "ID_1 ID_2 missing pheno\n0 0 0 B\n";
            write_line(out, line);
            for (int i = bounds[g] / 2; i < bounds[g + 1] / 2; ++i) {
                line += "id1_";
                append_number(line, i);
                line += " id2_";
                append_number(line, i);
                line += " 0 ";
                append_number(line, g);
                line += '\n';
                write_line(out, line);
            }
        });
}
