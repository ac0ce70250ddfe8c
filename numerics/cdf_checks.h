// Argument checks shared by the distribution functions: each reports the
// failed argument's status and the limit it violated. The comparisons are
// written so that a NaN argument fails its check (with the lower limit).
#pragma once

namespace vorlan2 {

// Each returns true (and sets status and bound) when the check fails.

// which outside 1 to largest: status -1, bound 1 or largest.
bool fails_which(int which, int largest, int* status, double* bound);

// v outside [lo, hi].
bool fails_closed(double v, double lo, double hi, int code, int* status, double* bound);

// v outside (lo, hi].
bool fails_open_below(double v, double lo, double hi, int code, int* status, double* bound);

// v < lo.
bool fails_at_least(double v, double lo, int code, int* status, double* bound);

// v <= lo.
bool fails_above(double v, double lo, int code, int* status, double* bound);

// u + v differs from 1 by more than 3 machine epsilons: status code, bound 1.
bool fails_sum_to_one(double u, double v, int code, int* status, double* bound);

}  // namespace vorlan2
