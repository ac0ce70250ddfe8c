// Reading the tag-SNP position file: whitespace-separated base-pair
// positions, in any order, repeats allowed, and the panel SNPs they name.
#pragma once

#include <filesystem>
#include <set>
#include <vector>

#include "simulator/panel.h"

namespace vorlan2 {

// The positions of the file, in ascending order and each once. Raises
// badfilename naming the file when it cannot be opened or read (a compressed
// file, a lone carriage return among the line ends) or, with the line's
// number, when it holds a token that is not an integer.
std::set<int> read_tag_positions(const std::filesystem::path& tag_file);

// The SNP index (rank among the given SNPs) of every position of the file
// that is a SNP's, ascending; raises as read_tag_positions does.
std::vector<int> tag_snp_indices(const std::filesystem::path& tag_file, const snps_map& snps);

}  // namespace vorlan2
