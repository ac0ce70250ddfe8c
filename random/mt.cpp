// The MT19937 generator: seeding from a double, renewal of the state block, seed file.
#include "random/mt.h"

#include <istream>
#include <ostream>

#include "random/ranvar_error.h"
#include "random/seed_file.h"

using namespace vorlan2;

namespace {

const std::uint32_t upper_mask = 0x80000000u;
const std::uint32_t lower_mask = 0x7fffffffu;
const std::uint32_t matrix_a = 0x9908b0dfu;

// The low 32 bits of s * 2^32 truncated toward zero; 0 where no 64-bit integer holds
// that value (NaN, infinities, out of range), as such a cast would be undefined.
std::uint32_t seed_word(double s) {
    const double t = s * 4294967296.0;
    if (t >= 0x1p63 && t < 0x1p64) {
        return static_cast<std::uint32_t>(static_cast<std::uint64_t>(t));
    }
    if (t > -0x1p63 && t < 0x1p63) {
        return static_cast<std::uint32_t>(static_cast<std::int64_t>(t));
    }
    return 0;
}

std::uint32_t twist(std::uint32_t upper, std::uint32_t lower, std::uint32_t far) {
    const std::uint32_t y = (upper & upper_mask) | (lower & lower_mask);
    // The matrix term without a table lookup, so that the renewal vectorises.
    return far ^ (y >> 1) ^ ((0u - (y & 1u)) & matrix_a);
}

// The next block of N words, in place. Wider vectors where the processor has
// them, here and in temper; the words are the same.
__attribute__((target_clones("avx2", "default"))) void renew(std::uint32_t* mt) {
    const int N = MT::N;
    const int M = MT::M;
    int kk = 0;
    for (; kk < N - M; ++kk) mt[kk] = twist(mt[kk], mt[kk + 1], mt[kk + M]);
    for (; kk < N - 1; ++kk) mt[kk] = twist(mt[kk], mt[kk + 1], mt[kk + (M - N)]);
    mt[N - 1] = twist(mt[N - 1], mt[0], mt[M - 1]);
}

__attribute__((target_clones("avx2", "default"))) void temper(const std::uint32_t* __restrict words,
                                                              std::uint32_t* __restrict outputs) {
    for (int i = 0; i < MT::N; ++i) {
        std::uint32_t y = words[i];
        y ^= y >> 11;
        y ^= (y << 7) & 0x9d2c5680u;
        y ^= (y << 15) & 0xefc60000u;
        y ^= y >> 18;
        outputs[i] = y;
    }
}

}  // namespace

MT::MT(double s) { init_genrand(seed_word(s)); }

MT::~MT() { retire(copy_to_disk); }

const char* MT::Name() { return "MT19937"; }

void MT::init_genrand(unsigned long s) {
    mt[0] = static_cast<std::uint32_t>(s);
    for (int i = 1; i < N; ++i) {
        mt[i] = 1812433253u * (mt[i - 1] ^ (mt[i - 1] >> 30)) + static_cast<std::uint32_t>(i);
    }
    mti = N;
}

void MT::regenerate() {
    if (mti == never_seeded) init_genrand(5489);
    renew(mt);
    temper_block();
    mti = 0;
}

void MT::temper_block() { temper(mt, outputs); }

void MT::CSTD() {
    write_seed_file("mt19937.txt", [](std::ostream& out) {
        for (const std::uint32_t word : mt) write_hex(out, word, 8);
        write_hex(out, static_cast<std::uint32_t>(mti), 8);
    });
}

void MT::CSFD(bool copy) {
    copy_to_disk = false;
    // Whatever of the state is replaced, a failed read included, is what the next draws temper.
    struct TemperOnExit {
        ~TemperOnExit() { temper_block(); }
    } temper_on_exit;
    unsigned long position = 0;
    read_seed_file("mt19937.txt", [&position](std::istream& in) {
        for (std::uint32_t& word : mt) word = static_cast<std::uint32_t>(read_hex(in, 8));
        position = read_hex(in, 8);
    });
    // Any other position would index outside the state.
    if (position > static_cast<unsigned long>(never_seeded)) {
        throw_runtime_error("Ranvar: seed file verification fails");
    }
    mti = static_cast<std::int32_t>(position);
    copy_to_disk = copy;
}
