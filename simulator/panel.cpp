// Reading the genetic map and the haplotype and legend files of the panel.
#include "simulator/panel.h"

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <iostream>
#include <limits>
#include <optional>
#include <sstream>

#include "common/exceptions.h"
#include "simulator/genetic_map.h"
#include "simulator/line_reader.h"
#include "simulator/number_parsing.h"
#include "simulator/summary_file.h"

using namespace vorlan2;

namespace {

std::optional<double> finite_field(FieldSplitter& fields) {
    std::string_view field;
    if (!fields.next(field)) return std::nullopt;
    const auto value = parse_real_token(field);
    if (!value || !std::isfinite(*value)) return std::nullopt;
    return value;
}

// A map read with a chromosome number for its positions (a PLINK .map) puts
// every SNP outside it, where no switch is ever placed.
bool some_snp_inside_map(const snps_map& snps, const std::vector<double>& map_positions) {
    const auto bounds = std::minmax_element(map_positions.begin(), map_positions.end());
    const double lowest = *bounds.first;
    const double highest = *bounds.second;
    return std::any_of(snps.begin(), snps.end(), [lowest, highest](const auto& entry) {
        const double position = entry.first;
        return lowest < position && position < highest;
    });
}

struct LegendLine {
    std::string rs_id;
    int position;
    std::string allele0;
    std::string allele1;
};

// A byte-order mark is skipped with the header line; on a data line (files
// joined together) it would become part of an identifier.
bool begins_with_byte_order_mark(std::string_view line) { return line.substr(0, 3) == "\xEF\xBB\xBF"; }

std::optional<LegendLine> parse_legend_line(std::string_view line) {
    if (begins_with_byte_order_mark(line)) return std::nullopt;
    FieldSplitter fields(line);
    std::string_view rs_id, position, allele0, allele1;
    if (!fields.next(rs_id) || !fields.next(position) || !fields.next(allele0) || !fields.next(allele1))
        return std::nullopt;
    const auto value = parse_integer_token(position);
    if (!value || *value < std::numeric_limits<int>::min() || *value > std::numeric_limits<int>::max())
        return std::nullopt;
    return LegendLine{std::string(rs_id), static_cast<int>(*value), std::string(allele0), std::string(allele1)};
}

// A panel allele is 0 or 1; anything else would corrupt every output. The
// usual line, single digits between blanks, is read one character at a time.
bool parse_haplotype_line(std::string_view line, std::vector<std::uint8_t>& alleles) {
    alleles.clear();
    const char* p = line.data();
    const char* const end = p + line.size();
    while (p < end) {
        if (FieldSplitter::is_blank(*p)) {
            ++p;
            continue;
        }
        if ((*p == '0' || *p == '1') && (p + 1 == end || FieldSplitter::is_blank(p[1]))) {
            alleles.push_back(static_cast<std::uint8_t>(*p - '0'));
            ++p;
            continue;
        }
        const char* token_end = p;
        while (token_end < end && !FieldSplitter::is_blank(*token_end)) ++token_end;
        const auto value = parse_integer_token(std::string_view(p, static_cast<std::size_t>(token_end - p)));
        if (!value || (*value != 0 && *value != 1)) return false;
        alleles.push_back(static_cast<std::uint8_t>(*value));
        p = token_end;
    }
    return true;
}

double allele_frequency(const std::vector<std::uint8_t>& alleles) {
    long long sum = 0;
    for (const auto allele : alleles) sum += allele;
    return static_cast<double>(sum) / static_cast<double>(alleles.size());
}

void label(std::ostream& out, const char* text) { out << std::right << std::setw(60) << text; }

}  // namespace

void Data::read_genetic_map() {
    std::ostringstream buffer;
    buffer << "Reading genetic map file ... ";
    update_summary_file(params, buffer, std::ios::app);

    LineReader map(params.genetic_map_file);
    if (!map.is_open()) throw badfilename(params.genetic_map_file, "can't open file.");

    std::string_view line;
    map.next(line);
    int count = 0;
    while (map.next(line)) {
        ++count;
        FieldSplitter fields(line);
        const auto position = finite_field(fields);
        const auto unused = position ? finite_field(fields) : std::nullopt;
        const auto cM = unused ? finite_field(fields) : std::nullopt;
        const auto bad_line = [&] {
            return badfilename(params.genetic_map_file, "bad line in rates file on line " + std::to_string(count + 1));
        };
        if (!cM) throw bad_line();
        // Infinite or not a number after the scaling, the value would leave
        // every genetic position without meaning. A finite one is at most a
        // hundredth of the largest double: interpolation and differences of
        // such values stay finite.
        const double value = 4.0 * params.Ne * *cM / 100.0;
        if (!std::isfinite(value)) throw bad_line();
        map_positions.push_back(*position);
        map_values.push_back(value);
    }

    buffer << "done\n";
    update_summary_file(params, buffer, std::ios::app);
    label(buffer, "number of rates read: ");
    buffer << count << "\n\n";
    update_summary_file(params, buffer, std::ios::app);

    // Every SNP's genetic position is interpolated from at least one map point.
    if (map_positions.empty()) throw badfilename(params.genetic_map_file, "no rates found in file.");
}

void Data::read_haplotype_data() {
    std::ostringstream buffer;
    buffer << "\nReading haplotype and legend files: ";
    buffer << "looking for SNPs in [" << params.lower << ", " << params.upper << "] ... ";
    update_summary_file(params, buffer, std::ios::app);

    n_haplotypes = -1;
    const std::string haplotype_path = params.haplotype_file.string();
    LineReader haplotypes(haplotype_path);
    if (!haplotypes.is_open()) throw badfilename(haplotype_path, "can't open haplotype file.");
    LineReader legend(params.legend_file);
    if (!legend.is_open()) throw badfilename(params.legend_file, "can't open legend file.");

    const GeneticMapInterpolator genetic_map(map_positions, map_values);
    std::string_view haplotype_line, legend_line;
    std::vector<std::uint8_t> alleles;
    // A legend without its header pairs every haplotype line with the next
    // SNP's position and alleles, and leaves the last haplotype line over.
    const bool first_line_is_snp = legend.next(legend_line) && parse_legend_line(legend_line).has_value();
    int count = 0;
    int shared_positions = 0;  // SNPs of the interval at the position of an earlier one
    bool have_haplotype = false;
    bool have_legend = false;
    while (true) {
        have_haplotype = haplotypes.next(haplotype_line);
        have_legend = legend.next(legend_line);
        if (!have_haplotype || !have_legend) break;
        ++count;

        const auto fields = parse_legend_line(legend_line);
        if (!fields)
            throw badfilename(params.legend_file,
                              "bad format detected in legend file on line " + std::to_string(count + 1) + ".");
        if (!parse_haplotype_line(haplotype_line, alleles) || (n_haplotypes == -1 && alleles.empty()))
            throw badfilename(haplotype_path,
                              "bad format detected in haplotype file on line " + std::to_string(count) + ".");
        const int n_alleles = static_cast<int>(alleles.size());
        if (n_haplotypes == -1) {
            n_haplotypes = n_alleles;
        } else if (n_alleles != n_haplotypes) {
            throw badfilename(haplotype_path, "different number of haplotypes found in haplotype file (" +
                                                  std::to_string(n_haplotypes) + " and " + std::to_string(n_alleles) +
                                                  " on line " + std::to_string(count) + ".");
        }

        if (fields->position < params.lower || fields->position > params.upper) continue;
        if (snps_data.count(fields->position) != 0) {
            ++shared_positions;
            continue;
        }
        snp& stored = snps_data[fields->position];
        stored.rs_id = fields->rs_id;
        stored.genetic_position = genetic_map.interpolate_genetic_position(static_cast<double>(fields->position));
        stored.panel_alleles = std::move(alleles);
        alleles = std::vector<std::uint8_t>();
        alleles.reserve(static_cast<std::size_t>(n_haplotypes));
        stored.allele0 = fields->allele0;
        stored.allele1 = fields->allele1;
        stored.frequency = allele_frequency(stored.panel_alleles);
    }
    const bool more_haplotype_lines = have_haplotype && !have_legend;
    const bool more_legend_lines = have_legend && !have_haplotype;
    // The haplotype file then has exactly one line more than the legend has
    // SNP lines.
    if (first_line_is_snp && more_haplotype_lines && !haplotypes.next(haplotype_line))
        throw badfilename(params.legend_file,
                          "the first line must be a header such as \"rs pos X0 X1\", but line 1 is a SNP line.");

    buffer << "done\n";
    update_summary_file(params, buffer, std::ios::app);

    if (more_haplotype_lines)
        std::cout << "Warning: haplotype file contained more lines than legend file, only those SNPs with a line in "
                     "the legend file were read."
                  << std::endl;
    if (more_legend_lines)
        std::cout << "Warning: legend file contained more lines than haplotype file, only those SNPs with a line in "
                     "the haplotype file were read."
                  << std::endl;

    if (snps_data.empty()) throw badfilename(haplotype_path, "No SNPs in the interval in haplotype file!");

    label(buffer, "number of haplotypes: ");
    buffer << n_haplotypes << "\n";
    label(buffer, "number of SNPs in total: ");
    buffer << count << "\n";
    label(buffer, "number of SNPs in interval: ");
    buffer << snps_data.size() << "\n";
    if (shared_positions > 0)
        buffer << "Warning: " << shared_positions
               << " SNPs share a base-pair position with an earlier SNP and were not used.\n";
    if (!some_snp_inside_map(snps_data, map_positions))
        buffer << "Warning: no SNP in the interval lies inside the range of the genetic map.\n";
    buffer << "\n";
    update_summary_file(params, buffer, std::ios::app);
}
