// MT: the MT19937 Mersenne-Twister base generator, seeded from a double. Its state is
// process-wide, shared by every MT object; the draw is inline as the simulator's hot path.
#pragma once

#include <algorithm>
#include <cstdint>

#include "random/random.h"

class MT : public Random {
public:
    // Reseeds the shared state from the integer part of s * 2^32 (low 32 bits).
    explicit MT(double s);
    ~MT() override;

    void CSFD(bool copy_to_disk) override;
    void CSTD() override;
    // (y + 0.5) * 2^-32 for the next 32-bit output y: never 0, never 1.
    double Next() override { return next_uniform(); }
    // The same draw without the virtual call, for callers that know the
    // installed generator is an MT (the state is shared by all of them).
    static double next_uniform() { return uniform_of(static_cast<std::uint32_t>(genrand_int32())); }
    // The draw that output y gives; exact, as y + 0.5 needs 33 bits.
    static double uniform_of(std::uint32_t y) { return (static_cast<double>(y) + 0.5) * 2.3283064365386963e-10; }
    unsigned long ulNext() override { return genrand_int32(); }
    const char* Name() override;

    static void init_genrand(unsigned long s);
    static unsigned long genrand_int32() {
        if (mti >= N) regenerate();
        return outputs[mti++];
    }
    // The next outputs in bulk, for callers that test many draws at once: up to
    // `wanted` of them (at least one), as many as are left in the current block,
    // taken from the stream just as that many genrand_int32 calls would take them.
    static const std::uint32_t* take_outputs(int wanted, int& taken) {
        if (mti >= N) regenerate();
        taken = std::min(wanted, N - mti);
        const std::uint32_t* first = outputs + mti;
        mti += taken;
        return first;
    }

    static constexpr int N = 624;  // words in the state
    static constexpr int M = 397;  // the twist's distance

private:
    static constexpr int never_seeded = N + 1;

    // Seeds with 5489 when never seeded, then renews all N words; mti = 0.
    static void regenerate();
    // Tempers the whole state block into outputs.
    static void temper_block();

    inline static std::uint32_t mt[N] = {};
    // The tempered outputs of the current block, made once per block so that
    // a draw is one load.
    inline static std::uint32_t outputs[N] = {};
    // Next output: 0..N-1; N when the block is used up; N + 1 when never seeded.
    inline static std::int32_t mti = never_seeded;

    bool copy_to_disk = false;  // write the seed file on destruction
};
