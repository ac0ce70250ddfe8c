// Uniform draws of the seeded variate library: reals, integers, permutations, and the
// helpers that turn a phrase into a seed pair.
#include "numerics/variates.h"

#include <cstdio>
#include <cstring>

#include "numerics/com.h"
#include "numerics/fatal_error.h"

using namespace vorlan2;

float ranf() { return static_cast<float>(static_cast<double>(ignlgi()) * 4.656613057E-10); }

float genunf(float low, float high) {
    if (low > high) {
        std::fprintf(stderr, "LOW > HIGH in GENUNF: LOW %16.6E HIGH: %16.6E\n", low, high);
        std::fputs("Abort", stderr);
        numerics_fatal("");
    }
    return low + (high - low) * ranf();
}

long ignuin(long low, long high) {
    // ignlgi() - 1 takes the 2147483562 values 0 ... 2147483561 equally often; only a
    // multiple of range + 1 of them is accepted, so every result is equally likely.
    constexpr unsigned long generator_values = 2147483562UL;
    if (low > high) {
        std::fputs(" low > high in ignuin - ABORT", stderr);
        numerics_fatal("");
    }
    // Unsigned arithmetic gives the true difference even when high - low overflows a long.
    const unsigned long range = static_cast<unsigned long>(high) - static_cast<unsigned long>(low);
    if (range > generator_values - 1) {
        std::fputs(" high - low too large in ignuin - ABORT", stderr);
        numerics_fatal("");
    }
    if (range == 0) {
        return low;
    }
    const long ranp1 = static_cast<long>(range) + 1;
    const long accepted = static_cast<long>(generator_values) / ranp1 * ranp1;
    long ign;
    do {
        ign = ignlgi() - 1;
    } while (ign >= accepted);
    return low + ign % ranp1;
}

void genprm(long* iarray, long larray) {
    for (long i = 1; i <= larray; ++i) {
        const long j = ignuin(i, larray);
        const long held = iarray[j - 1];
        iarray[j - 1] = iarray[i - 1];
        iarray[i - 1] = held;
    }
}

void phrtsd(const char* phrase, long* seed1, long* seed2) {
    static const char table[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789!@#$%^&*()_+[];:'\\\"<>?,./";
    static const long shift[5] = {1, 64, 4096, 262144, 16777216};
    constexpr long twop30 = 1073741824;
    *seed1 = 1234567890;
    *seed2 = 123456789;
    const long length = lennob(phrase);
    for (long i = 0; i < length; ++i) {
        const char* found = std::strchr(table, phrase[i]);
        long ichr = found == nullptr ? 0 : (found - table) % 64;
        if (ichr == 0) {
            ichr = 63;
        }
        long values[5];
        for (long j = 1; j <= 5; ++j) {
            values[j - 1] = ichr - j;
            if (values[j - 1] < 1) {
                values[j - 1] += 63;
            }
        }
        for (long j = 1; j <= 5; ++j) {
            *seed1 = (*seed1 + shift[j - 1] * values[j - 1]) % twop30;
            *seed2 = (*seed2 + shift[j - 1] * values[5 - j]) % twop30;
        }
    }
}

long lennob(const char* str) {
    long last_nonblank = -1;
    for (long i = 0; str[i] != '\0'; ++i) {
        if (str[i] != ' ') {
            last_nonblank = i;
        }
    }
    return last_nonblank + 1;
}

float fsign(float num, float sign) {
    if ((sign > 0.0f && num < 0.0f) || (sign < 0.0f && num > 0.0f)) {
        return -num;
    }
    return num;
}
