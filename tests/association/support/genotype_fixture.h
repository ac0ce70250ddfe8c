// Small data sets for the association tests, written as text so that each
// individual's two haplotypes can be read off the test itself.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// "0110,1100 0010,0000": one word per individual, its two haplotypes
// separated by a comma, one character per SNP index.
std::vector<std::vector<std::uint16_t>> haplotypes_from(const std::string& individuals);

// "0101": one phenotype digit per individual.
std::vector<int> phenotypes_from(const std::string& digits);
