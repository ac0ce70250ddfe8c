// The simulator of one run: reads the panel at construction, then simulates
// control and case haplotypes with the copying model and writes the output.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "random/mt.h"
#include "random/random.h"
#include "simulator/bounded_cache.h"
#include "simulator/control_table.h"
#include "simulator/disease_choice.h"
#include "simulator/haplotype_set.h"
#include "simulator/pair_distribution.h"
#include "simulator/panel.h"
#include "simulator/parameters.h"

class Vorlanerator {
public:
    // Copies the parameters into the panel and into params, reads the genetic
    // map and the panel (Data::read_genetic_map, Data::read_haplotype_data)
    // and, with "-t", the tag file. Raises badfilename as those readers do;
    // what they flushed stays in the transcript.
    explicit Vorlanerator(const VorlanParameters& parameters);
    // The panel given as read already; nothing is read, not even the tag file.
    Vorlanerator(const VorlanParameters& parameters, const Data& data);
    Vorlanerator(const Vorlanerator&) = delete;
    Vorlanerator& operator=(const Vorlanerator&) = delete;

    // The run: installs an MT seeded with 0.12345 under "-nrs" (else from the
    // clock and the process id) for the length of the call, gives theta its
    // default when it is negative (set_theta), matches the disease loci
    // (process_dl), simulates every individual (simulate_all_alleles) and
    // writes the output files (output_haplotypes). Fills the results and
    // dl_indices; changes params (theta, the unusable loci erased). Raises
    // GenericErrorException, before the generator is seeded, when the
    // Haplotype set could never fit in physical memory, and after it for a
    // panel without haplotypes or from the case model; badfilename from an
    // output file or the summary file; ends the process with status 1 when no
    // disease locus is usable. Random::RNG is the placeholder again when it
    // returns or raises.
    void simulate_haplotypes();
    // Reads the tag-position file ("-t") and keeps the SNP indices of the
    // positions that are panel SNPs in tag_snps; the file constructor calls
    // it, so that a bad tag file ends the run before the simulation. Raises
    // badfilename naming the file when it cannot be read or holds a token
    // that is not an integer.
    void read_tag_snps();
    // Sets params.theta to 1 / (1 + 1/2 + ... + 1/P) for the P panel
    // haplotypes (1 for one haplotype) and reports it. Raises badfilename
    // when the summary file cannot be written.
    void set_theta();
    // A copy of simulated_haplotypes.
    vorlan2::HaplotypeSet return_simulated_haplotypes() const;

    // Erases from params.dl, with a line in the transcript each, the loci
    // that are no panel SNP or whose allele 1 has frequency 0 or 1; appends
    // the others, matched to their SNPs, to dl_indices. When none is left it
    // reports "No suitable disease loci. Program terminated." and ends the
    // process with status 1. Raises badfilename when the summary file cannot
    // be written.
    void process_dl();
    // Replaces segments by those of one strand with K candidates over the
    // given SNPs (each segment the ranks of its SNPs among them, in order),
    // the switches drawn from Random::RNG.
    void simulate_crossovers(const vorlan2::snps_map& snps, const int& K,
                             std::vector<std::vector<int>>& segments) const;
    // Simulates the controls, then the cases, drawing from Random::RNG in the
    // fixed order of draws; replaces simulated_haplotypes and
    // simulated_phenotypes and sets num_simulated_haps. Needs params.theta
    // set and, for cases, dl_indices. Raises GenericErrorException from the
    // case model (see calculate_case_hap_freq), badfilename when the summary
    // file cannot be written.
    void simulate_all_alleles();
    // Replaces freqs by the frequency of each allele vector at the SNP indices
    // of snp_list among the panel haplotypes and the controls' simulated
    // ones, each counting 1 / (P + 2 ncontrols); needs the controls simulated.
    void calculate_control_hap_freq(const std::vector<int>& snp_list, std::map<std::vector<int>, double>& freqs) const;
    // Replaces distribution by the cases' disease-allele pairs for the given
    // groups of loci (groups[0] and groups[1], one per strand; locus numbers
    // index dl_indices), keyed by their cumulative probability, as the
    // written computation records them (a run draws from the compact form
    // that case_distribution_cache holds); fills control_frequency_cache.
    // Raises GenericErrorException when the strands' lists could not be held
    // within the case model's memory, or when the relative risks give the
    // pairs no finite positive total weight.
    void calculate_case_hap_freq(const std::vector<std::vector<int>>* groups,
                                 std::map<double, std::vector<std::vector<int>>>& distribution);
    // For the case being built: draws its disease alleles into disease_alleles
    // (per strand, one per locus) and the copy choice of each disease segment
    // (the entries of copying_states labelled -(r + 2)), which it writes into
    // the segment's entries; mutation_rates holds one rate per strand. Fills
    // the two caches; raises as calculate_case_hap_freq does.
    void simulate_disease_alleles(std::vector<std::vector<int>>& copying_states,
                                  std::vector<std::vector<int>>& disease_alleles, const double* mutation_rates);
    // Writes the haplotype, legend, genotype, tag-genotype and sample files
    // that the flags ask for, each opened through open_output_file and
    // complete under its name before the next is opened, on writer_workers
    // threads started for the writing; changes nothing of the simulator.
    // Raises badfilename when a file or the summary file cannot be opened or
    // written: the files before it stay complete and the failing one is not
    // left under its name.
    void output_haplotypes() const;
    // Appends to line the genotype line of the SNP snp_it, whose SNP index is
    // snp_index, for haplotypes [first, end).
    void output_snp_data_velisk_format(vorlan2::snps_map::const_iterator snp_it, const int& snp_index, const int& first,
                                       const int& end, std::ostringstream& line) const;

    // panel
    Data panel_data;
    std::optional<std::vector<int>> tag_snps;  // ascending SNP indices of the tag positions, once read
    // results
    vorlan2::HaplotypeSet simulated_haplotypes;  // individual i owns 2i and 2i+1, controls first
    std::vector<int> simulated_phenotypes;       // 0 control, 1 case
    // parameters
    VorlanParameters params;  // own copy: theta set, unusable loci erased
    int writer_workers = 1;   // threads that format and compress the output files (a run: the CPUs it may use)
    int num_simulated_haps = 0;
    std::vector<vorlan2::DiseaseSnp> dl_indices;  // the usable disease loci, in ascending SNP index
    // caches of the case model, each within its share of the case model's memory
    vorlan2::BoundedCache<std::string, vorlan2::PairDistribution> case_distribution_cache;   // by grouping text
    vorlan2::BoundedCache<std::vector<int>, vorlan2::ControlTable> control_frequency_cache;  // by SNP list

    // Sets the most that the case model may hold, in bytes (256 MB unless
    // set): half for the case distributions, a quarter for the allele codes
    // of runs of loci, an eighth for the control tables. A run gives it less
    // when less of the memory the process may use is left.
    void limit_case_model(std::size_t bytes);

private:
    // The panel as packed rows and the disease SNPs as columns for the hot
    // loops; the panel never changes after construction.
    void index_panel();
    // Segment starts (SNP indices, ascending, the first 0) for one strand with K
    // candidates; gaps[j] is the genetic distance from SNP j-1 to SNP j.
    void place_switches(const std::vector<double>& gaps, int K, std::vector<int>& starts) const;
    // The same with the installed MT's outputs taken in bulk.
    void place_switches_from_mt(int K, std::vector<int>& starts);
    // One uniform draw of the installed generator.
    double draw() const { return draw_from_mt_ ? MT::next_uniform() : Random::RNG->Next(); }
    // One copy choice among K equally likely candidates.
    int choose_uniform_candidate(int K);
    // Fills the packed alleles of one strand from its copying states; SNPs
    // listed in preset (ascending SNP indices) take the given alleles instead.
    void fill_alleles(const std::vector<int>& states, double mu, const std::vector<int>* preset_alleles);
    // The same for strand s from its segments, with the installed MT's
    // outputs taken in bulk; flips_below counts the outputs that flip.
    void fill_alleles_from_mt(int s, double mu, std::uint32_t flips_below, const std::vector<int>* preset_alleles);
    // Packed row of candidate q (a panel haplotype, then the simulated ones).
    const vorlan2::HaplotypeSet::Word* candidate_row(int q) const;
    // Gives the case model what limit_case_model set, or memory_left when
    // that is less, and refuses, before the work, disease loci whose worst
    // grouping it could not hold: raises GenericErrorException naming the
    // loci, the memory they would need and the memory the model may hold.
    void prepare_case_model(std::size_t memory_left);
    // Shares `bytes` among the case model's caches.
    void share_case_model_memory(std::size_t bytes);
    // Extends the disease loci's allele columns to the first `candidates` candidates.
    void extend_disease_columns(int candidates);
    // The codes of the run of `loci` loci from locus `first` over every
    // candidate in the columns, pinned until the case's choices are made.
    vorlan2::AlleleCodes& disease_run(int first, int loci);
    // The control frequency table of the run of `loci` loci from locus
    // `first`, pinned until the case distribution is made.
    const vorlan2::ControlTable& control_table_of(int first, int loci);
    // A segment's SNP indices, [first, end).
    using Span = std::pair<int, int>;
    // simulate_disease_alleles, with the disease segments of each strand
    // given in order (spans[s]) rather than found from their labels.
    void simulate_disease_alleles(std::vector<std::vector<int>>& copying_states,
                                  std::vector<std::vector<int>>& disease_alleles, const double* mutation_rates,
                                  const std::vector<Span>* spans);
    // The case distribution of the given groups; raises as calculate_case_hap_freq does.
    vorlan2::PairDistribution make_case_distribution(const std::vector<std::vector<int>>* groups);
    // Genotype line of one SNP for haplotypes [first, end), appended to line.
    void append_genotype_line(vorlan2::snps_map::const_iterator snp_it, int snp_index, int first, int end,
                              std::string& line) const;

    // Working state of the individual being built, kept between individuals
    // so that the hot loops allocate nothing.
    bool draw_from_mt_ = false;  // while simulate_all_alleles runs with an MT installed: draw without the virtual call
    std::vector<double> genetic_gaps_;          // per SNP index, from the previous SNP
    std::vector<std::uint32_t> switch_floors_;  // per SNP index: outputs below it place no switch
    int switch_floors_K_ = 0;                   // the candidate count the floors hold from (0: none made)
    vorlan2::HaplotypeSet panel_rows_;          // panel haplotype q as row q
    static constexpr std::size_t most_case_model_bytes = std::size_t{256} << 20;  // whatever the memory
    std::size_t case_model_most_ = 0;                                       // bytes the case model may hold at the most
    std::size_t case_model_limit_ = 0;                                      // bytes it may hold in this run
    std::vector<std::vector<vorlan2::AlleleCodes::Word>> disease_columns_;  // per disease locus, a bit per candidate
    int disease_candidates_ = 0;                                            // candidates in the columns
    vorlan2::BoundedCache<std::pair<int, int>, vorlan2::AlleleCodes> disease_runs_;  // by first locus and loci
    vorlan2::DiseaseSegmentChooser disease_chooser_;
    std::vector<vorlan2::AlleleCodes::Word> packed_alleles_;  // one candidate's or drawn alleles at a run
    std::vector<vorlan2::HaplotypeSet::Word> strand_words_;   // the strand being filled
    std::vector<int> segment_starts_[2];                      // per strand
    std::vector<Span> disease_spans_[2];                      // per strand, a case's disease segments
    std::vector<std::vector<int>> copying_states_;            // per strand: label, then candidate
    std::vector<std::vector<int>> disease_alleles_;           // per strand, one allele per locus
    std::vector<std::vector<int>> groups_[2];                 // disease groups per strand (locus numbers)
    std::string grouping_text_;
    std::vector<vorlan2::DiseaseSegmentChoice> disease_segments_;  // the case's disease segments, in draw order
};
