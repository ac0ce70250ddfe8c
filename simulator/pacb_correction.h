// Correction of a value on the log scale by coefficients chosen from two
// integer arguments, taken from a table or from two fitted polynomials.
#pragma once

// Pairs (m, s) for A, B = 2..100, row by row: entry 99 * (A - 2) + (B - 2)
// holds m at position 2 * entry and s at 2 * entry + 1.
namespace vorlan2 {
constexpr int pacb_table_size = 2 * 99 * 99;
}
extern const double pacbarray[vorlan2::pacb_table_size];

// x unchanged when a or b is at most 1 or x is 0; a and b above 100 use
// the entries of 100.
double back_correction(int a, int b, double x);

// x unchanged when it is 0; a of 121 or more counts as 100 (101 to 120 as
// they are), b above 100 as 100.
double my_back_correction(int a, int b, double x);
