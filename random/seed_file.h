// Seed files of the base generators: one line holding the marker "!Ranvar03!", the state
// as fixed-width upper-case hex digits and the marker again, at Random::Dir + file name.
#pragma once

#include <functional>
#include <iosfwd>

namespace vorlan2 {

// The low 4 * digits bits of value as digits hex digits, most significant first
// (digits at most 16).
void write_hex(std::ostream& out, unsigned long value, int digits);

// digits hex digits, white space skipped, most significant first. Stops at a failed read,
// leaving the short file to the closing marker check of read_seed_file.
unsigned long read_hex(std::istream& in, int digits);

// The body of a generator's CSTD: refuses to overwrite an existing file that is not a
// seed file, then writes the markers around what write_state writes.
void write_seed_file(const char* file_name, const std::function<void(std::ostream&)>& write_state);

// The file part of a generator's CSFD: checks the markers around what read_state reads.
void read_seed_file(const char* file_name, const std::function<void(std::istream&)>& read_state);

}  // namespace vorlan2
