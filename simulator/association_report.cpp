// Formats the association tables; a number that does not exist (every number
// of a fit that cannot be computed, the effect sizes of separated data)
// shows "NA" and the report goes on.
#include "simulator/association_report.h"

#include <iomanip>
#include <set>

#include <newmat.h>

#include "association/single_snp_test.h"
#include "simulator/vorlanerator.h"

namespace vorlan2 {

namespace {

using single_snp_test::FitStatus;

// Which numbers of a fit exist: a separated fit has a p-value but no
// effect sizes.
struct Shown {
    explicit Shown(FitStatus status)
        : estimates(status == FitStatus::converged),
          pvalue(status == FitStatus::converged || status == FitStatus::separated) {}
    bool estimates;
    bool pvalue;
};

void number(std::ostream& out, int width, bool valid, double value) {
    out << std::setw(width);
    if (valid) {
        out << value;
    } else {
        out << "NA";
    }
}

}  // namespace

void write_association_report(const Vorlanerator& simulator, std::ostream& buffer) {
    std::set<int> snp_indices;
    for (const vorlan2::DiseaseSnp& disease : simulator.dl_indices) snp_indices.insert(disease.snp_index);
    // The tests read only the disease SNPs: their columns, numbered from 0.
    const std::vector<int> ordered(snp_indices.begin(), snp_indices.end());
    const auto haplotypes = simulator.simulated_haplotypes.columns(ordered);
    std::set<int> columns;
    for (std::size_t k = 0; k < ordered.size(); ++k) columns.insert(static_cast<int>(k));
    NEWMAT::Matrix beta;
    NEWMAT::Matrix beta_se;
    double pvalue = 0.0;

    buffer.precision(4);
    buffer.unsetf(std::ios::fixed | std::ios::showpoint);

    buffer << "\n\nThe pvalues and effect sizes of each disease SNP is:\n" << std::endl;
    buffer << std::setw(15) << "Disease_locus_index" << std::setw(15) << "beta" << std::setw(15) << "beta_se"
           << std::setw(15) << "pvalue" << std::endl;
    for (std::size_t column = 0; column < ordered.size(); ++column) {
        const Shown shown(single_snp_test::run_test(haplotypes, simulator.simulated_phenotypes,
                                                    {static_cast<int>(column)}, beta, beta_se, pvalue));
        buffer << std::setw(15) << ordered[column];
        number(buffer, 19, shown.estimates, beta(2, 1));
        number(buffer, 15, shown.estimates, beta_se(2, 1));
        number(buffer, 15, shown.pvalue, pvalue);
        buffer << std::endl;
    }

    const Shown shown(
        single_snp_test::run_test(haplotypes, simulator.simulated_phenotypes, columns, beta, beta_se, pvalue));
    buffer << "\n\nThe pvalue for the full disease model is ";
    number(buffer, 0, shown.pvalue, pvalue);
    buffer << ":" << std::endl;
    buffer << std::setw(15) << "Disease_locus_index" << std::setw(15) << "beta" << std::setw(15) << "beta_se"
           << std::endl;
    auto index = snp_indices.begin();
    for (int i = 2; i <= static_cast<int>(snp_indices.size()) + 1; ++i, ++index) {
        buffer << std::setw(15) << *index;
        number(buffer, 19, shown.estimates, beta(i, 1));
        number(buffer, 15, shown.estimates, beta_se(i, 1));
        buffer << std::endl;
    }
}

}  // namespace vorlan2
