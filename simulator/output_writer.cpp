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
#include "simulator/ordered_tasks.h"
#include "simulator/output_names.h"
#include "simulator/tag_file.h"
#include "simulator/text_pool.h"
#include "simulator/output_file.h"
#include "simulator/vorlanerator.h"

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

// About this many bytes of text are formatted by one task.
constexpr std::size_t chunk_bytes = 8 << 20;

// SNPs per task: whole words of the packed rows, at least one.
int snps_per_chunk(std::size_t line_bytes) {
    const std::size_t lines = std::max<std::size_t>(1, chunk_bytes / std::max<std::size_t>(line_bytes, 1));
    return static_cast<int>(std::max<std::size_t>(64, lines / 64 * 64));
}

// Formats the text of chunks 0 .. chunks-1 on all cores, format(chunk, text)
// writing into a buffer reused from earlier chunks, and writes it in order.
template <typename Format>
void write_formatted_chunks(OutputStream& out, std::size_t chunks, Format format) {
    TextPool pool;
    OrderedTasks<std::string> tasks([&out, &pool](std::string&& text) {
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        pool.give_back(std::move(text));
    });
    for (std::size_t chunk = 0; chunk < chunks; ++chunk) {
        tasks.submit([&pool, &format, chunk] {
            std::string text = pool.take();
            format(chunk, text);
            return text;
        });
    }
    tasks.finish();
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
                                                 const int& first, const int& end,
                                                 std::ostringstream& line) const {
    std::string text;
    append_genotype_line(snp_it, snp_index, first, end, text);
    line.write(text.data(), static_cast<std::streamsize>(text.size()));
}

void Vorlanerator::format_haplotype_lines(int first_snp, int end_snp, int first, int end, std::string& text) const {
    // Every line is the alleles of haplotypes [first, end), each followed by a
    // blank: "0 " everywhere, then the 1s set from the packed rows.
    const std::size_t line_bytes = 2 * static_cast<std::size_t>(end - first) + 1;
    const int lines = end_snp - first_snp;
    text.assign(line_bytes * static_cast<std::size_t>(lines), ' ');
    for (int k = 0; k < lines; ++k) {
        char* line = &text[static_cast<std::size_t>(k) * line_bytes];
        for (std::size_t i = 0; i + 1 < line_bytes; i += 2) line[i] = '0';
        line[line_bytes - 1] = '\n';
    }
    const int words_begin = first_snp >> 6;
    const int words_end = (end_snp + 63) >> 6;
    for (int h = first; h < end; ++h) {
        const HaplotypeSet::Word* row = simulated_haplotypes.row_words(static_cast<std::size_t>(h));
        const std::size_t column = 2 * static_cast<std::size_t>(h - first);
        for (int w = words_begin; w < words_end; ++w) {
            for (HaplotypeSet::Word bits = row[w]; bits != 0; bits &= bits - 1) {
                const int j = (w << 6) + __builtin_ctzll(bits);
                if (j < first_snp || j >= end_snp) continue;
                text[static_cast<std::size_t>(j - first_snp) * line_bytes + column] = '1';
            }
        }
    }
}

void Vorlanerator::format_genotype_lines(const std::vector<snps_map::const_iterator>& snp_its,
                                         const std::vector<int>& snp_indices, int first, int end,
                                         std::string& text) const {
    const std::size_t individuals = static_cast<std::size_t>(end - first) / 2;
    text.reserve(snp_indices.size() * (48 + 6 * individuals));
    for (std::size_t k = 0; k < snp_indices.size(); ++k) {
        append_snp_fields(text, snp_its[k], snp_indices[k]);
        const int j = snp_indices[k];
        const std::size_t word = static_cast<std::size_t>(j >> 6);
        const int shift = j & 63;
        std::size_t at = text.size();
        text.resize(at + 6 * individuals + 1);
        for (int h = first; h + 1 < end; h += 2) {
            const int c = static_cast<int>((simulated_haplotypes.row_words(static_cast<std::size_t>(h))[word] >> shift) & 1u) +
                          static_cast<int>((simulated_haplotypes.row_words(static_cast<std::size_t>(h + 1))[word] >> shift) & 1u);
            std::copy(genotype_triples[c], genotype_triples[c] + 6, &text[at]);
            at += 6;
        }
        text[at] = '\n';
    }
}

void Vorlanerator::write_genotype_lines(OutputStream& out, const std::vector<int>& snp_indices, int first,
                                        int end) const {
    std::vector<snps_map::const_iterator> snp_its;
    snp_its.reserve(snp_indices.size());
    {
        auto it = panel_data.snps_data.begin();
        int j = 0;
        for (const int index : snp_indices) {
            std::advance(it, index - j);
            j = index;
            snp_its.push_back(it);
        }
    }
    const std::size_t per_chunk = static_cast<std::size_t>(snps_per_chunk(48 + 3 * static_cast<std::size_t>(end - first)));
    const std::size_t chunks = (snp_indices.size() + per_chunk - 1) / per_chunk;
    write_formatted_chunks(out, chunks, [&](std::size_t chunk, std::string& text) {
        const std::size_t begin = chunk * per_chunk;
        const std::size_t stop = std::min(snp_indices.size(), begin + per_chunk);
        const std::vector<snps_map::const_iterator> its(snp_its.begin() + static_cast<std::ptrdiff_t>(begin),
                                                        snp_its.begin() + static_cast<std::ptrdiff_t>(stop));
        const std::vector<int> indices(snp_indices.begin() + static_cast<std::ptrdiff_t>(begin),
                                       snp_indices.begin() + static_cast<std::ptrdiff_t>(stop));
        format_genotype_lines(its, indices, first, end, text);
    });
}

void Vorlanerator::output_haplotypes() const {
    std::ostringstream buffer;
    buffer << std::endl << "Writing output to files " << std::endl;
    update_summary_file(params, buffer, std::ios::app);

    const OutputNames names(params);
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
            const fs::path path = names.haplotype_file(g);
            auto out = open_output_file(path, buffer, std::ios::out);
            update_summary_file(params, buffer, std::ios::app);
            const int S = static_cast<int>(panel_data.snps_data.size());
            const int per_chunk =
                snps_per_chunk(2 * static_cast<std::size_t>(read_bounds[g + 1] - read_bounds[g]) + 1);
            const int chunks = (S + per_chunk - 1) / per_chunk;
            write_formatted_chunks(*out, static_cast<std::size_t>(chunks), [&](std::size_t chunk, std::string& text) {
                const int first_snp = static_cast<int>(chunk) * per_chunk;
                const int end_snp = std::min(S, first_snp + per_chunk);
                format_haplotype_lines(first_snp, end_snp, read_bounds[g], read_bounds[g + 1], text);
            });
            finish_output_file(out, path);
        }

        const fs::path path = names.legend_file();
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
        std::vector<int> all_snps(panel_data.snps_data.size());
        for (std::size_t j = 0; j < all_snps.size(); ++j) all_snps[j] = static_cast<int>(j);
        for (int g = 0; g < 2; ++g) {
            const fs::path path = names.genotype_file(g);
            auto out = open_output_file(path, buffer, std::ios::out);
            update_summary_file(params, buffer, std::ios::app);
            write_genotype_lines(*out, all_snps, read_bounds[g], read_bounds[g + 1]);
            finish_output_file(out, path);
        }
    }

    if (params.flag_given("-t")) {
        // Each tag position that is a panel SNP, by its SNP index among all of them.
        std::vector<int> tag_snps;
        {
            const std::set<int> tags = read_tag_positions(params.tag_file);
            auto tag = tags.begin();
            int j = 0;
            for (auto it = panel_data.snps_data.begin(); it != panel_data.snps_data.end() && tag != tags.end();
                 ++it, ++j) {
                while (tag != tags.end() && *tag < it->first) ++tag;
                if (tag != tags.end() && *tag == it->first) tag_snps.push_back(j);
            }
        }
        for (int g = 0; g < 2; ++g) {
            const fs::path path = names.tag_genotype_file(g);
            auto out = open_output_file(path, buffer, std::ios::out);
            update_summary_file(params, buffer, std::ios::app);
            write_genotype_lines(*out, tag_snps, read_bounds[g], read_bounds[g + 1]);
            finish_output_file(out, path);
        }
    }

    for (int g = 0; g < 2; ++g) {
        const fs::path path = names.sample_file(g);
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
