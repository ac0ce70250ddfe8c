// Reading, checking, summarising and explaining the command line.
#include "simulator/parameters.h"

#include <cmath>
#include <iomanip>
#include <iostream>
#include <limits>

#include "common/exceptions.h"
#include "simulator/number_parsing.h"
#include "simulator/output_names.h"

using namespace vorlan2;

namespace {

// The words after a flag, read by their position on the command line.
class FlagValues {
public:
    FlagValues(int argc, char** argv, int flag_index)
        : argc_(argc), argv_(argv), flag_index_(flag_index), flag_(argv[flag_index]) {}

    bool has(int offset) const { return flag_index_ + offset < argc_; }

    std::string word(int offset) const {
        if (!has(offset)) throw BadInputValueException(flag_);
        return argv_[flag_index_ + offset];
    }

    long long integer(int offset) const {
        const auto value = parse_integer_token(word(offset));
        if (!value) throw BadInputValueException(flag_);
        return *value;
    }

    int int32(int offset) const {
        const long long value = integer(offset);
        if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
            throw BadInputValueException(flag_);
        return static_cast<int>(value);
    }

    double finite_real(int offset) const {
        const auto value = parse_real_token(word(offset));
        if (!value || !std::isfinite(*value)) throw BadInputValueException(flag_);
        return *value;
    }

private:
    int argc_;
    char** argv_;
    int flag_index_;
    std::string flag_;
};

bool begins_with_dash(const char* word) { return word[0] == '-'; }

void read_disease_loci(int argc, char** argv, int flag_index, std::map<double, DiseaseLocus>& dl) {
    const FlagValues values(argc, argv, flag_index);
    for (int group = 1; values.has(group) && !begins_with_dash(argv[flag_index + group]); group += 4) {
        const double rr2 = values.finite_real(group + 3);
        const double rr1 = values.finite_real(group + 2);
        if (rr1 < 0.0 || rr2 < 0.0) throw BadInputValueException(argv[flag_index]);
        const int allele = values.int32(group + 1);
        const DiseaseLocus locus(allele, rr1, rr2);
        const double position = values.finite_real(group);
        dl.emplace(position, locus);
    }
}

// Label lines of the summary: the label right-aligned in 60 characters.
std::ostream& label(std::ostream& out, const char* text) { return out << std::right << std::setw(60) << text; }

void help_row(std::ostream& out, const char* flag, const char* description) {
    out << std::left << std::setw(40) << flag << description;
}

}  // namespace

VorlanParameters::VorlanParameters() : lower(0), ncontrols(1), ncases(1), Ne(11418.0), theta(-1.0), upper(500000000) {
    VorlanParameters::reset_parameters();
    specify_recognised_parameters();
}

void VorlanParameters::reset_parameters() {
    summary_file = std::string("vorlan2") + summary_suffix;
    command_line.clear();
    haplotype_file = "NULL";
    legend_file = "NULL";
    genetic_map_file = "NULL";
    lower = 0;
    theta = -1.0;
    ncontrols = 1;
    ncases = 1;
    Ne = 11418.0;
    upper = 500000000;
    dl.clear();
    required_flags = {"-h", "-l", "-m", "-o"};
    flag_dependencies.clear();
}

void VorlanParameters::specify_recognised_parameters() {
    recognised_flags = {"-help",
                        "-h",
                        "-l",
                        "-m",
                        "-o",
                        "-dl",
                        "-int",
                        "-n",
                        "-t",
                        "-theta",
                        "-Ne",
                        "-nrs",
                        "-no_gens_output",
                        "-no_haps_output",
                        "-output_snp_summary"};
}

void VorlanParameters::process_parameters(int argc, char** argv) {
    reset_parameters();
    for (int i = 0; i < argc; ++i) {
        const std::string word = argv[i];
        command_line += word + " ";
        if (!begins_with_dash(argv[i])) continue;
        given_flags.insert(word);
        const FlagValues values(argc, argv, i);
        if (word == "-help") {
            throw HelpException();
        } else if (word == "-h") {
            haplotype_file = values.word(1);
        } else if (word == "-l") {
            legend_file = values.word(1);
        } else if (word == "-m") {
            genetic_map_file = values.word(1);
        } else if (word == "-o") {
            output_file = values.word(1);
            summary_file = values.word(1) + summary_suffix;
            output_directory = output_file.parent_path();
        } else if (word == "-dl") {
            read_disease_loci(argc, argv, i, dl);
        } else if (word == "-int") {
            lower = values.int32(1);
            if (lower < 0) lower = 0;
            upper = values.int32(2);
            if (upper < 0) upper = 500000000;
        } else if (word == "-n") {
            const long long controls = values.integer(1);
            const long long cases = values.integer(2);
            // Every simulated haplotype is indexed by an int.
            constexpr long long most_people = std::numeric_limits<int>::max() / 2;
            if (controls < 0 || cases < 0 || controls > most_people || cases > most_people ||
                controls + cases > most_people)
                throw BadInputValueException(word);
            ncontrols = static_cast<int>(controls);
            ncases = static_cast<int>(cases);
        } else if (word == "-t") {
            tag_file = values.word(1);
        } else if (word == "-theta") {
            theta = values.finite_real(1);
        } else if (word == "-Ne") {
            Ne = values.finite_real(1);
        }
    }

    for (const auto& flag : given_flags)
        if (recognised_flags.count(flag) == 0) unrecognised_flags.insert(flag);

    if (given_flags.empty()) throw HelpException();

    if (Ne < 0.0 || Ne > 30000.0) std::cout << "Error: Ne needs to be set" << std::endl;

    for (const auto& flag : required_flags)
        if (!flag_given(flag)) throw MissingFlagException(flag);

    for (const auto& [flag, needed] : flag_dependencies) {
        if (!flag_given(flag)) continue;
        for (const auto& other : needed)
            if (!flag_given(other)) throw MissingFlagException(other);
    }

    if (output_directory.empty() || !std::filesystem::exists(output_directory)) {
        std::cout << "Creating directory " << output_directory.string() << std::endl;
        if (!output_directory.empty()) std::filesystem::create_directories(output_directory);
    }
}

void VorlanParameters::parameters_summary(std::ostream& out) const {
    out << "Command line input is:\n" << command_line << "\n\n";

    if (!unrecognised_flags.empty()) {
        out << "WARNING!! The following specified parameters were not recognised:"
            << "\n";
        for (const auto& flag : unrecognised_flags) out << "    " << flag << "\n";
        out << "\n";
    }

    out << "FILE INPUTS"
        << "\n";
    label(out, "haplotype file: ") << haplotype_file.string() << "\n";
    label(out, "legend file: ") << legend_file << "\n";
    label(out, "genetic map file: ") << genetic_map_file << "\n";
    label(out, "tag snps file: ");
    if (flag_given("-t")) out << tag_file.string();
    out << "\n";

    out << "FILE OUTPUTS"
        << "\n";
    label(out, "output file: ") << output_file.string() << "\n";
    label(out, "summary file: ") << summary_file << "\n";

    out << "PARAMETER INPUTS"
        << "\n";
    label(out, "no. controls to simulate: ") << ncontrols << "\n";
    label(out, "no. cases to simulate: ") << ncases << "\n";

    label(out, "disease loci: ");
    int k = 1;
    for (const auto& [position, locus] : dl)
        out << "(" << k++ << ") " << std::fixed << std::setprecision(0) << position << " ";
    out << "\n";

    label(out, "disease alleles: ");
    k = 1;
    for (const auto& [position, locus] : dl) out << "(" << k++ << ") " << locus.allele << " ";
    out << "\n";

    label(out, "heterozygote/homozygote risks: ");
    k = 1;
    for (const auto& [position, locus] : dl)
        out << std::fixed << std::setprecision(2) << "(" << k++ << ") " << locus.rr1 << "/" << locus.rr2 << " ";
    out << "\n";

    label(out, "lower: ") << std::fixed << std::setprecision(0) << lower << "\n";
    label(out, "upper: ") << std::fixed << std::setprecision(0) << upper << "\n";
    label(out, "Ne: ") << Ne << "\n";
    label(out, "theta: ") << theta << "\n";
    out << "\n";
}

void VorlanParameters::parameters_help(std::ostream& out) const {
    out << "Help Menu"
        << "\n\n";
    out << "Essential flags are:\n";
    help_row(out, "-h <file> ", ": the reference panel (e.g. HapMap) file\n");
    help_row(out, "-l <file> ", ": the legend file to the reference panel\n");
    help_row(out, "-m <file> ", ": the recombinaion rate file\n");
    help_row(out, "-o <file> ", ": the output file\n");
    help_row(out, "-dl <pos1> <allele1> <rr11> <rr12> ... ",
             ": the list of positions, risk allele, heterozygote risk and homozygote risks for each disease locus\n");
    help_row(out, "-int <pos1> <pos2> ", ": the physical position interval of interest (pos2>pos1) \n");
    out << "\n";
    out << "Optional flags are:\n";
    help_row(out, "-n <m> <n>", ": the number of cases (n) and controls (m) individuals to simulate\n");
    help_row(out, "-Ne <n>", ": the effective population side, defaults to 11418\n");
    help_row(out, "-theta <n>", ": the mutation rate\n");
    help_row(out, "-t <file> ",
             ": the physical positions of snps where the data will be written to the .tag.gen the output file\n");
    help_row(out, "-no_gens_output ", ": genotype files will not be written to file\n");
    help_row(out, "-no_haps_output ", ": haplotype files will not be written to file\n");
    help_row(out, "-output_snp_summary ",
             ": output pvalues and effect size estimates for the simulated disease SNPs\n");
}
