// L'Ecuyer's combined multiplicative congruential generator with 32 virtual
// generators, block splitting and antithetic streams: the uniform source of the seeded variates.
#pragma once

namespace vorlan2 {

// Number of virtual generators; generator g (1-based) uses entry g - 1 of each array.
constexpr long generator_count = 32;

}  // namespace vorlan2

// Process-wide state. The constants are stored by inrgcm, not at start-up.
extern long Xm1, Xm2;      // the two moduli
extern long Xa1, Xa2;      // the two multipliers
extern long Xa1w, Xa2w;    // multipliers that advance one block of 2^30 values
extern long Xa1vw, Xa2vw;  // multipliers that advance 2^50 values, the spacing of generators
extern long Xig1[vorlan2::generator_count], Xig2[vorlan2::generator_count];  // initial seeds
extern long Xlg1[vorlan2::generator_count], Xlg2[vorlan2::generator_count];  // seeds at the start of the current block
extern long Xcg1[vorlan2::generator_count], Xcg2[vorlan2::generator_count];  // current seeds
extern long Xqanti[vorlan2::generator_count];                                // antithetic flag, 0 = off

// Stores the constants, clears every antithetic flag and marks the state initialised.
void inrgcm();

// getset 0 reads a flag into *qvalue (*qset, *g); otherwise it is written.
void gsrgs(long getset, long* qvalue);  // initialised flag
void gssst(long getset, long* qset);    // seeds-set flag; a write always sets it to 1
void gscgn(long getset, long* g);       // current generator, 1 ... 32

// Seeds all 32 generators from one pair, generator g + 1 lying 2^50 values after generator g.
void setall(long iseed1, long iseed2);
// The current generator's initial seeds become (iseed1, iseed2); it restarts there.
void setsd(long iseed1, long iseed2);
// The current generator's current seeds.
void getsd(long* iseed1, long* iseed2);
// -1: restart at the initial seeds; 0: at the start of the block; 1: at the next block.
void initgn(long isdtyp);
// Nonzero makes the current generator return 2147483563 - z instead of z.
void setant(long qvalue);
// Moves the current generator 2^k values on and makes that its initial seed.
void advnst(long k);
// Next integer of the current generator, in 1 ... 2147483562.
long ignlgi();

// (a * s) mod m without a product wider than the operands; needs 0 < a < m and 0 < s < m.
long mltmod(long a, long s, long m);
