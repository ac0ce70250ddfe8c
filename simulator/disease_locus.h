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
