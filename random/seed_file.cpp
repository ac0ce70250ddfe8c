// Writing and reading seed files, shared by every base generator that has one.
#include "random/seed_file.h"

#include <fstream>

#include "random/random.h"
#include "random/ranvar_error.h"

namespace vorlan2 {

namespace {

const char marker[] = "!Ranvar03!";

[[noreturn]] void verification_fails() { throw_runtime_error("Ranvar: seed file verification fails"); }

// Checks for the marker. When silent, a stream that is not open or holds nothing more is
// accepted; a wrong marker never is.
void ReadVerify(std::ifstream& in, bool silent) {
    if (!in.good()) {
        if (silent) return;
        throw_runtime_error("Ranvar: can't open seed file");
    }
    char c;
    if (!(in >> c)) {
        if (silent && in.eof()) return;
        verification_fails();
    }
    if (c != marker[0]) verification_fails();
    for (const char* expected = marker + 1; *expected != '\0'; ++expected) {
        if (!(in >> c) || c != *expected) verification_fails();
    }
}

void WriteVerify(std::ofstream& out) {
    if (!out) throw_runtime_error("Ranvar: can't access seed file");
    out << marker;
}

unsigned long unhex(char c, int shift) {
    unsigned long digit;
    if (c >= '0' && c <= '9') {
        digit = static_cast<unsigned long>(c - '0');
    } else if (c >= 'A' && c <= 'F') {
        digit = static_cast<unsigned long>(c - 'A' + 10);
    } else {
        throw_runtime_error("ranvar: invalid character in unhex");
    }
    return digit << shift;
}

SimpleString seed_file_path(const char* file_name) { return Random::Dir + file_name; }

}  // namespace

void write_hex(std::ostream& out, unsigned long value, int digits) {
    char text[16];
    for (int i = 0; i < digits; ++i) {
        const unsigned long d = (value >> (4 * (digits - 1 - i))) & 0xFu;
        text[i] = static_cast<char>(d < 10 ? '0' + d : 'A' + (d - 10));
    }
    out.write(text, digits);
}

unsigned long read_hex(std::istream& in, int digits) {
    unsigned long value = 0;
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) {
        char c;
        if (!(in >> c)) break;
        value |= unhex(c, shift);
    }
    return value;
}

void write_seed_file(const char* file_name, const std::function<void(std::ostream&)>& write_state) {
    const SimpleString path = seed_file_path(file_name);
    {
        std::ifstream existing(path.Text());
        ReadVerify(existing, true);
    }
    std::ofstream out(path.Text(), std::ios::out | std::ios::trunc);
    WriteVerify(out);
    write_state(out);
    WriteVerify(out);
    out << '\n';
    // Most of a seed file sits in the stream buffer until here: a full disk shows only now.
    out.flush();
    out.close();
    if (!out) throw_runtime_error("Ranvar: can't access seed file");
}

void read_seed_file(const char* file_name, const std::function<void(std::istream&)>& read_state) {
    std::ifstream in(seed_file_path(file_name).Text());
    ReadVerify(in, false);
    read_state(in);
    ReadVerify(in, false);
}

}  // namespace vorlan2
