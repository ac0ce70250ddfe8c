// The six base generators besides MT: Park-Miller (plain and shuffled),
// Wichmann-Hill, Fishman-Moore, multiply-with-carry and mother-of-all. Each
// keeps its state in the object, so several can run side by side.
#pragma once

#include <cstdint>

#include "random/random.h"

// Park-Miller minimal standard generator, x -> 16807 x mod (2^31 - 1); no
// seed file of its own.
class LGM_base : public Random {
public:
    // x = integer part of s * 2^31; s must lie in (0, 1) and give 1 <= x <= 2^31 - 2.
    explicit LGM_base(double s);
    LGM_base(const LGM_base&) = delete;
    LGM_base& operator=(const LGM_base&) = delete;

    double Next() override;           // x * 2^-31 after one step
    unsigned long ulNext() override;  // 2x after one step
    const char* Name() override;

protected:
    void NextValue();

    std::int64_t x;             // 1 <= x <= 2^31 - 2
    bool copy_to_disk = false;  // write the seed file on destruction
};

class LGM_simple : public LGM_base {
public:
    explicit LGM_simple(double s);
    ~LGM_simple() override;

    void CSFD(bool copy_to_disk) override;
    void CSTD() override;
    const char* Name() override;
};

// Park-Miller with a 128-entry shuffle table: two steps per draw, the first
// choosing the slot whose value is returned, the second refilling it.
class LGM_mixed : public LGM_base {
public:
    explicit LGM_mixed(double s);
    ~LGM_mixed() override;

    void CSFD(bool copy_to_disk) override;
    void CSTD() override;
    double Next() override;
    unsigned long ulNext() override;
    const char* Name() override;

private:
    // The shuffled draw; returns the value taken out of the table.
    std::int64_t NextValue();
    // The 128 steps that fill the table from the current x.
    void Fill();

    std::int64_t table[128];
};

// Wichmann-Hill: three small congruential generators whose scaled sum, taken
// modulo 1, is the output.
class WH : public Random {
public:
    // x = integer part of s * 30269 (0 for s below 1/30269), y = 1234, z = 5678.
    explicit WH(double s);
    WH(const WH&) = delete;
    WH& operator=(const WH&) = delete;
    ~WH() override;

    void CSFD(bool copy_to_disk) override;
    void CSTD() override;
    double Next() override;
    unsigned long ulNext() override;  // integer part of Next() * 2^32
    const char* Name() override;

private:
    std::uint64_t x, y, z;  // below 30269, 30307 and 30323
    bool copy_to_disk = false;
};

// Fishman-Moore: x -> 950706376 x mod (2^31 - 1).
class FM : public Random {
public:
    // x = integer part of s * 2^31; s must lie in (0, 1) and give 1 <= x <= 2^31 - 2.
    explicit FM(double s);
    FM(const FM&) = delete;
    FM& operator=(const FM&) = delete;
    ~FM() override;

    void CSFD(bool copy_to_disk) override;
    void CSTD() override;
    double Next() override;           // x * 2^-31 after one step
    unsigned long ulNext() override;  // 2x after one step
    const char* Name() override;

private:
    void NextValue();

    std::uint64_t x;  // 1 <= x <= 2^31 - 2
    bool copy_to_disk = false;
};

// Multiply-with-carry on 32-bit words: t = 2083801278 x + carry,
// x = t mod 2^32, carry = t div 2^32.
class MultWithCarry : public Random {
public:
    // x = integer part of s * 2^32, carry = 1234567; s must lie in (0, 1).
    explicit MultWithCarry(double s);
    MultWithCarry(const MultWithCarry&) = delete;
    MultWithCarry& operator=(const MultWithCarry&) = delete;
    ~MultWithCarry() override;

    void CSFD(bool copy_to_disk) override;
    void CSTD() override;
    double Next() override;           // (x + 0.5) * 2^-32 after one step
    unsigned long ulNext() override;  // x after one step
    const char* Name() override;

private:
    void NextValue();

    std::uint64_t x, carry;  // both below 2^32
    bool copy_to_disk = false;
};

// Mother-of-all: two order-8 multiply-with-carry sequences on 16-bit digits,
// their newest digits joined into one 32-bit output word.
class MotherOfAll : public Random {
public:
    // number = integer part of s * 2^31, which must not be 0; s must lie in (0, 1).
    explicit MotherOfAll(double s);
    MotherOfAll(const MotherOfAll&) = delete;
    MotherOfAll& operator=(const MotherOfAll&) = delete;
    ~MotherOfAll() override;

    void CSFD(bool copy_to_disk) override;
    void CSTD() override;
    double Next() override;           // (w + 0.5) * 2^-32 for the next word w
    unsigned long ulNext() override;  // the next word w
    const char* Name() override;

private:
    // Sets the digits from number, which the first draw (or the first seed
    // file written) does.
    void SeedDigits();
    void Mother();

    std::uint16_t mother1[10] = {};  // digits of the first sequence
    std::uint16_t mother2[10] = {};  // digits of the second sequence
    std::uint16_t start = 1;         // 1 until the digits are set from number
    std::uint64_t number;            // the seed, then the last output word
    bool copy_to_disk = false;
};
