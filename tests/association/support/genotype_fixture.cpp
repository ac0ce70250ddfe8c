// Parsing of the textual data sets of the association tests.
#include "association/support/genotype_fixture.h"

#include <sstream>
#include <stdexcept>

namespace {

std::vector<std::uint16_t> alleles_from(const std::string& text) {
    std::vector<std::uint16_t> alleles;
    for (const char c : text) {
        if (c != '0' && c != '1') throw std::invalid_argument("allele must be 0 or 1: " + text);
        alleles.push_back(static_cast<std::uint16_t>(c - '0'));
    }
    return alleles;
}

}  // namespace

std::vector<std::vector<std::uint16_t>> haplotypes_from(const std::string& individuals) {
    std::vector<std::vector<std::uint16_t>> haplotypes;
    std::istringstream words(individuals);
    std::string word;
    while (words >> word) {
        const auto comma = word.find(',');
        if (comma == std::string::npos) throw std::invalid_argument("two haplotypes expected: " + word);
        haplotypes.push_back(alleles_from(word.substr(0, comma)));
        haplotypes.push_back(alleles_from(word.substr(comma + 1)));
    }
    return haplotypes;
}

std::vector<int> phenotypes_from(const std::string& digits) {
    std::vector<int> phenotypes;
    for (const char c : digits) {
        if (c != '0' && c != '1') throw std::invalid_argument("phenotype must be 0 or 1: " + digits);
        phenotypes.push_back(c - '0');
    }
    return phenotypes;
}
