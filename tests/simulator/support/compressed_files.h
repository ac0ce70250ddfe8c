// Small compressed files, byte for byte as their tools write them, for the
// readers' refusal of compressed input.
#pragma once

#include <map>
#include <string>

// The bytes by format: the line "0 1\n" packed by gzip -n, xz, bzip2 and
// zstd; the block that ends every bgzip file (an empty bgzip file); an empty
// file packed by bzip2.
const std::map<std::string, std::string>& compressed_files();
