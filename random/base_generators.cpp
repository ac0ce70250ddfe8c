// The six other base generators: seeding, one step of each, and their seed files.
#include "random/base_generators.h"

#include <istream>
#include <ostream>

#include "random/ranvar_error.h"
#include "random/seed_file.h"

using namespace vorlan2;

namespace {

const std::int64_t park_miller_modulus = 2147483647;  // 2^31 - 1
const double two_to_31 = 2147483648.0;
const double two_to_32 = 4294967296.0;
const double two_to_minus_31 = 4.656612873077393e-10;
const double two_to_minus_32 = 2.3283064365386963e-10;

// Seeds lie strictly between 0 and 1 (NaN excluded).
void check_seed(double s) {
    if (!(s > 0.0 && s < 1.0)) throw_logic_error("Ranvar: seed out of range");
}

// x = integer part of s * 2^31 for a state of a generator modulo 2^31 - 1,
// which stays at 0 from 0 and from the modulus.
std::int64_t modular_seed(double s) {
    check_seed(s);
    const std::int64_t x = static_cast<std::int64_t>(s * two_to_31);
    if (x == 0 || x == park_miller_modulus) throw_logic_error("Ranvar: seed out of range");
    return x;
}

// One Park-Miller step by Schrage's method: 16807 x mod (2^31 - 1) without overflow.
std::int64_t park_miller_step(std::int64_t x) {
    x = 16807 * (x % 127773) - 2836 * (x / 127773);
    if (x <= 0) x += park_miller_modulus;
    return x;
}

std::int64_t signed_digit(std::uint16_t d) { return static_cast<std::int16_t>(d); }

// Shifts the history up one place, forms the weighted sum of the carry digit
// and the eight previous digits, and stores it as the new carry and digit.
void mother_step(std::uint16_t (&digits)[10], const std::int64_t (&weights)[8]) {
    for (int i = 9; i >= 2; --i) digits[i] = digits[i - 1];
    std::int64_t sum = signed_digit(digits[0]);
    for (int i = 0; i < 8; ++i) sum += weights[i] * signed_digit(digits[i + 2]);
    const std::uint32_t bits = static_cast<std::uint32_t>(sum);
    digits[0] = static_cast<std::uint16_t>(bits >> 16);
    digits[1] = static_cast<std::uint16_t>(bits & 0xffffu);
}

const std::int64_t mother1_weights[8] = {1941, 1860, 1812, 1776, 1492, 1215, 1066, 12013};
const std::int64_t mother2_weights[8] = {1111, 2222, 3333, 4444, 5555, 6666, 7777, 9272};

}  // namespace

// ---- Park-Miller ----

LGM_base::LGM_base(double s) : x(modular_seed(s)) {}

void LGM_base::NextValue() { x = park_miller_step(x); }

double LGM_base::Next() {
    NextValue();
    return static_cast<double>(x) * two_to_minus_31;
}

unsigned long LGM_base::ulNext() {
    NextValue();
    return 2 * static_cast<unsigned long>(x);
}

const char* LGM_base::Name() { return "LGM_base"; }

LGM_simple::LGM_simple(double s) : LGM_base(s) {}

LGM_simple::~LGM_simple() { retire(copy_to_disk); }

const char* LGM_simple::Name() { return "LGM_simple"; }

void LGM_simple::CSTD() {
    write_seed_file("lgm.txt", [this](std::ostream& out) { write_hex(out, static_cast<unsigned long>(x), 8); });
}

void LGM_simple::CSFD(bool copy) {
    copy_to_disk = false;
    read_seed_file("lgm.txt", [this](std::istream& in) { x = static_cast<std::int64_t>(read_hex(in, 8)); });
    copy_to_disk = copy;
}

LGM_mixed::LGM_mixed(double s) : LGM_base(s) { Fill(); }

LGM_mixed::~LGM_mixed() { retire(copy_to_disk); }

void LGM_mixed::Fill() {
    for (std::int64_t& slot : table) {
        x = park_miller_step(x);
        slot = x;
    }
}

std::int64_t LGM_mixed::NextValue() {
    x = park_miller_step(x);
    const int j = static_cast<int>(static_cast<double>(x) * two_to_minus_31 * 128.0);
    x = park_miller_step(x);
    const std::int64_t v = table[j];
    table[j] = x;
    return v;
}

double LGM_mixed::Next() { return static_cast<double>(NextValue()) * two_to_minus_31; }

unsigned long LGM_mixed::ulNext() { return 2 * static_cast<unsigned long>(NextValue()); }

const char* LGM_mixed::Name() { return "LGM_mixed"; }

// Only x is saved: reading rebuilds the table from it, as the constructor does.
void LGM_mixed::CSTD() {
    write_seed_file("lgm_mix.txt", [this](std::ostream& out) { write_hex(out, static_cast<unsigned long>(x), 8); });
}

void LGM_mixed::CSFD(bool copy) {
    copy_to_disk = false;
    read_seed_file("lgm_mix.txt", [this](std::istream& in) { x = static_cast<std::int64_t>(read_hex(in, 8)); });
    Fill();
    copy_to_disk = copy;
}

// ---- Wichmann-Hill ----

WH::WH(double s) : y(1234), z(5678) {
    check_seed(s);
    // Below 1/30269 x is 0 and stays 0: the y and z parts still move, so the
    // outputs stay inside (0, 1), from a shorter cycle.
    x = static_cast<std::uint64_t>(s * 30269.0);
}

WH::~WH() { retire(copy_to_disk); }

double WH::Next() {
    x = (171 * x) % 30269;
    y = (172 * y) % 30307;
    z = (170 * z) % 30323;
    double u = static_cast<double>(x) / 30269.0 + static_cast<double>(y) / 30307.0 + static_cast<double>(z) / 30323.0;
    if (u < 1.0) return u;
    return u >= 2.0 ? u - 2.0 : u - 1.0;
}

unsigned long WH::ulNext() { return static_cast<unsigned long>(Next() * two_to_32); }

const char* WH::Name() { return "Wichmann Hill"; }

void WH::CSTD() {
    write_seed_file("wh.txt", [this](std::ostream& out) {
        write_hex(out, x, 8);
        write_hex(out, y, 8);
        write_hex(out, z, 8);
    });
}

void WH::CSFD(bool copy) {
    copy_to_disk = false;
    read_seed_file("wh.txt", [this](std::istream& in) {
        x = read_hex(in, 8);
        y = read_hex(in, 8);
        z = read_hex(in, 8);
    });
    copy_to_disk = copy;
}

// ---- Fishman-Moore ----

FM::FM(double s) : x(static_cast<std::uint64_t>(modular_seed(s))) {}

FM::~FM() { retire(copy_to_disk); }

void FM::NextValue() { x = (950706376 * x) % static_cast<std::uint64_t>(park_miller_modulus); }

double FM::Next() {
    NextValue();
    return static_cast<double>(x) * two_to_minus_31;
}

unsigned long FM::ulNext() {
    NextValue();
    return 2 * x;
}

const char* FM::Name() { return "Fishman Moore"; }

void FM::CSTD() {
    write_seed_file("fm.txt", [this](std::ostream& out) { write_hex(out, x, 8); });
}

void FM::CSFD(bool copy) {
    copy_to_disk = false;
    std::uint64_t value = 0;
    read_seed_file("fm.txt", [&value](std::istream& in) { value = read_hex(in, 8); });
    x = value;
    copy_to_disk = copy;
}

// ---- Multiply-with-carry ----

MultWithCarry::MultWithCarry(double s) : carry(1234567) {
    check_seed(s);
    x = static_cast<std::uint64_t>(s * two_to_32);
}

MultWithCarry::~MultWithCarry() { retire(copy_to_disk); }

void MultWithCarry::NextValue() {
    const std::uint64_t t = 2083801278u * x + carry;
    x = t & 0xffffffffu;
    carry = t >> 32;
}

double MultWithCarry::Next() {
    NextValue();
    return (static_cast<double>(x) + 0.5) * two_to_minus_32;
}

unsigned long MultWithCarry::ulNext() {
    NextValue();
    return x;
}

const char* MultWithCarry::Name() { return "MultWithCarry"; }

void MultWithCarry::CSTD() {
    write_seed_file("multwc.txt", [this](std::ostream& out) {
        write_hex(out, x, 8);
        write_hex(out, carry, 8);
    });
}

void MultWithCarry::CSFD(bool copy) {
    copy_to_disk = false;
    read_seed_file("multwc.txt", [this](std::istream& in) {
        x = read_hex(in, 8);
        carry = read_hex(in, 8);
    });
    copy_to_disk = copy;
}

// ---- Mother-of-all ----

MotherOfAll::MotherOfAll(double s) {
    check_seed(s);
    number = static_cast<std::uint64_t>(s * two_to_31);
    if (number == 0) throw_logic_error("Ranvar: seed out of range");
}

MotherOfAll::~MotherOfAll() { retire(copy_to_disk); }

void MotherOfAll::SeedDigits() {
    std::uint64_t n = number & 0x7fffffffu;
    std::uint64_t d = number & 0xffffu;
    for (int i = 0; i < 18; ++i) {
        n = 30903 * d + (n >> 16);
        d = n & 0xffffu;
        std::uint16_t& digit = i < 9 ? mother1[i] : mother2[i - 9];
        digit = static_cast<std::uint16_t>(d);
    }
    mother1[0] &= 0x7fffu;
    mother2[0] &= 0x7fffu;
    start = 0;
}

void MotherOfAll::Mother() {
    if (start) SeedDigits();
    mother_step(mother1, mother1_weights);
    mother_step(mother2, mother2_weights);
    const std::int64_t w = 65536 * signed_digit(mother1[1]) + signed_digit(mother2[1]);
    number = static_cast<std::uint32_t>(w);
}

double MotherOfAll::Next() {
    Mother();
    return (static_cast<double>(number) + 0.5) * two_to_minus_32;
}

unsigned long MotherOfAll::ulNext() {
    Mother();
    return number;
}

const char* MotherOfAll::Name() { return "MotherOfAll"; }

// Digits not yet set from the seed are set first, so that the file holds the
// state that the next draw uses.
void MotherOfAll::CSTD() {
    if (start) SeedDigits();
    write_seed_file("mother.txt", [this](std::ostream& out) {
        for (int i = 0; i < 10; ++i) {
            write_hex(out, mother1[i], 4);
            write_hex(out, mother2[i], 4);
        }
    });
}

void MotherOfAll::CSFD(bool copy) {
    copy_to_disk = false;
    read_seed_file("mother.txt", [this](std::istream& in) {
        for (int i = 0; i < 10; ++i) {
            mother1[i] = static_cast<std::uint16_t>(read_hex(in, 4));
            mother2[i] = static_cast<std::uint16_t>(read_hex(in, 4));
        }
    });
    start = 0;
    copy_to_disk = copy;
}
