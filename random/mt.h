// MT: the MT19937 Mersenne-Twister base generator, seeded from a double. Its state is
// process-wide, shared by every MT object; the draw is inline as the simulator's hot path.
#ifndef VORLAN2_RANDOM_MT_H
#define VORLAN2_RANDOM_MT_H

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
  static double next_uniform() {
    return (static_cast<double>(genrand_int32()) + 0.5) * 2.3283064365386963e-10;
  }
  unsigned long ulNext() override { return genrand_int32(); }
  const char* Name() override;

  static void init_genrand(unsigned long s);
  static unsigned long genrand_int32() {
    if (mti >= N) regenerate();
    std::uint32_t y = mt[mti++];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9d2c5680u;
    y ^= (y << 15) & 0xefc60000u;
    y ^= y >> 18;
    return y;
  }

private:
  static constexpr int N = 624;
  static constexpr int M = 397;
  static constexpr int never_seeded = N + 1;

  // Seeds with 5489 when never seeded, then renews all N words; mti = 0.
  static void regenerate();

  inline static std::uint32_t mt[N] = {};
  // Next word to temper: 0..N-1; N when the block is used up; N + 1 when never seeded.
  inline static std::int32_t mti = never_seeded;

  bool copy_to_disk = false;  // write the seed file on destruction
};

#endif
