// One disease locus: its disease allele and relative risks, and the risk
// table indexed by the number of copies of allele 1.
#pragma once

#include <vector>

struct DiseaseLocus {
    int allele;
    double rr1;              // one copy of the disease allele
    double rr2;              // two copies of the disease allele
    std::vector<double> rr;  // risk by the number of copies of allele 1

    DiseaseLocus();
    DiseaseLocus(const int& allele, const double& rr1, const double& rr2);
    void summarise() const;
};

namespace vorlan2 {

// A usable disease locus, matched to its panel SNP once: what the copying
// model, the case model and the association report read of it.
struct DiseaseSnp {
    double position;     // base-pair position, as given
    int snp_index;       // its SNP index
    DiseaseLocus locus;  // disease allele and relative risks
};

}  // namespace vorlan2
