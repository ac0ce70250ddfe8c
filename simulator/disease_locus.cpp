// Disease locus construction and its console summary.
#include "simulator/disease_locus.h"

#include <iostream>
#include <string>

#include "common/exceptions.h"

DiseaseLocus::DiseaseLocus() : allele(0), rr1(1.0), rr2(1.0), rr{1.0, 1.0, 1.0} {}

DiseaseLocus::DiseaseLocus(const int& allele_, const double& rr1_, const double& rr2_)
    : allele(allele_), rr1(rr1_), rr2(rr2_) {
    if (allele == 1) {
        rr = {1.0, rr1, rr2};
    } else if (allele == 0) {
        rr = {rr2, rr1, 1.0};
    } else {
        throw GenericErrorException{
            "Error encountered, program terminated: ",
            "Disease allele must be 0 or 1 but got " + std::to_string(allele) + " in DiseaseLocus. \n"};
    }
}

void DiseaseLocus::summarise() const {
    std::cout << "Disease locus created" << std::endl;
    std::cout << "disease allele: " << allele << std::endl;
    std::cout << "rr1: " << rr1 << std::endl;
    std::cout << "rr2: " << rr2 << std::endl;
    std::cout << "rr: " << rr[0] << " " << rr[1] << " " << rr[2] << std::endl;
}
