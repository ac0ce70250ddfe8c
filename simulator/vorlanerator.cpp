// The simulator's lifetime: reading the panel, the run with its installed
// generator, and the default mutation parameter.
#include "simulator/vorlanerator.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <random>
#include <sstream>

#include "common/exceptions.h"
#include "common/output_file.h"
#include "common/parallel_gzip.h"
#include "random/mt.h"
#include "random/random.h"
#include "simulator/snp_lines.h"
#include "simulator/summary_file.h"
#include "simulator/tag_file.h"
#include "simulator/usable_memory.h"

using namespace vorlan2;

namespace {

Data read_panel(const VorlanParameters& parameters) {
    Data data;
    data.params = parameters;
    data.read_genetic_map();
    data.read_haplotype_data();
    return data;
}

// Runs started in the same second (the jobs of a batch array) must differ:
// the clock's seconds, the process id and a high-resolution clock are mixed.
unsigned int clock_seed() {
    const auto ticks = static_cast<std::uint64_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count());
    std::seed_seq mixed{static_cast<std::uint32_t>(std::time(nullptr)), static_cast<std::uint32_t>(getpid()),
                        static_cast<std::uint32_t>(ticks), static_cast<std::uint32_t>(ticks >> 32)};
    std::uint32_t seed = 0;
    mixed.generate(&seed, &seed + 1);
    return seed;
}

double run_seed(const VorlanParameters& params) {
    if (params.flag_given("-nrs")) return 0.12345;
    srandom(clock_seed());
    return static_cast<double>(rand()) / 2147483647.0;
}

std::size_t saturating_product(std::size_t a, std::size_t b) {
    std::size_t product = 0;
    return __builtin_mul_overflow(a, b, &product) ? SIZE_MAX : product;
}

// What writing the files holds besides the Haplotype set: the text in flight
// and, compressed, its blocks and members. A small run's longest file (a
// genotype file: six characters per individual and a SNP's fields per line)
// bounds it first, the writers' own bound then.
std::size_t writing_memory(const VorlanParameters& params, std::size_t snps) {
    const auto individuals = static_cast<std::size_t>(std::max(params.ncontrols, params.ncases));
    const std::size_t text = saturating_product(snps, 6 * individuals + 64);
    const bool compressed = is_gzip_name(params.output_file);
    const std::size_t bound = SnpLineLimits{}.most_memory() + (compressed ? ParallelGzipWriter::most_memory() : 0);
    return std::min(bound, saturating_product(text, compressed ? 2 : 1));
}

// Refuses, before any of it is built, a Haplotype set that could not be held
// with the files' writing in the memory the process may use: the run would
// otherwise be killed after the whole simulation. Returns the memory left.
std::size_t check_haplotype_set_fits(const VorlanParameters& params, std::size_t snps) {
    const auto haplotypes = static_cast<std::size_t>(params.simulated_haplotype_count());
    const std::size_t bytes = haplotypes * ((snps + 63) / 64) * sizeof(HaplotypeSet::Word);
    const std::size_t writing = writing_memory(params, snps);
    const std::size_t usable = usable_memory_bytes();
    if (bytes <= usable && writing <= usable - bytes) return usable - bytes - writing;
    const std::size_t room = usable > writing ? usable - writing : 0;
    std::ostringstream reason;
    reason << "the " << haplotypes << " simulated haplotypes of " << snps << " SNPs would take " << bytes / (1 << 20)
           << " MB, more than the " << room / (1 << 20) << " MB of memory this run may use for them; simulate "
           << "fewer individuals or a shorter interval.\n";
    throw GenericErrorException{"Error encountered, program terminated: ", reason.str()};
}

}  // namespace

Vorlanerator::Vorlanerator(const VorlanParameters& parameters)
    : panel_data(read_panel(parameters)), params(parameters) {
    if (params.flag_given("-t")) read_tag_snps();
    index_panel();
    limit_case_model(most_case_model_bytes);
}

Vorlanerator::Vorlanerator(const VorlanParameters& parameters, const Data& data)
    : panel_data(data), params(parameters) {
    index_panel();
    limit_case_model(most_case_model_bytes);
}

void Vorlanerator::read_tag_snps() { tag_snps = tag_snp_indices(params.tag_file, panel_data.snps_data); }

void Vorlanerator::simulate_haplotypes() {
    const std::size_t memory_left = check_haplotype_set_fits(params, panel_data.snps_data.size());
    std::ostringstream buffer;
    num_simulated_haps = 0;
    const double seed = run_seed(params);
    // Installed for this run only: its destructor puts the placeholder back,
    // also when a later step raises.
    MT generator(seed);
    Random::Set(generator);
    buffer << "\nRandom seed set to " << seed << "\n";
    update_summary_file(params, buffer, std::ios::app);

    // With no panel haplotype the first strand would have no candidate to copy.
    if (panel_data.n_haplotypes < 1)
        throw GenericErrorException{"Error encountered, program terminated: ",
                                    "the reference panel holds no haplotypes, so there is nothing to copy.\n"};
    if (params.theta < 0.0) set_theta();
    process_dl();
    prepare_case_model(memory_left);
    simulate_all_alleles();
    output_haplotypes();
}

void Vorlanerator::set_theta() {
    const int n = panel_data.n_haplotypes;
    double theta = 1.0;
    if (n != 1) {
        double sum = 0.0;
        for (int k = 1; k <= n; ++k) sum += 1.0 / k;
        theta = 1.0 / sum;
    }
    params.theta = theta;
    std::ostringstream buffer;
    buffer << "theta not set, so setting to a default value of " << theta << "\n";
    update_summary_file(params, buffer, std::ios::app);
}

HaplotypeSet Vorlanerator::return_simulated_haplotypes() const { return simulated_haplotypes; }
