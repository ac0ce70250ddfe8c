// Reading the tag-SNP position file: whitespace-separated base-pair
// positions, in any order, repeats allowed.
#pragma once

#include <filesystem>
#include <set>

// The positions of the file, in ascending order and each once. Raises
// badfilename naming the file (and the line of a token that is not an
// integer) when the file cannot be opened or read or holds such a token.
std::set<int> read_tag_positions(const std::filesystem::path& tag_file);
