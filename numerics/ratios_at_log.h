// The incomplete gamma and beta ratios at a variable given by its logarithm,
// for variables below the range of normal doubles, where the variable itself
// would underflow or keep only a few of its digits.
#pragma once

namespace vorlan2 {

// P(a, x) and Q(a, x) for a > 0 and x = exp(log_x) below the smallest normal
// double (log_x = -infinity for x = 0). ans = 2 (qans not written) when the
// incomplete gamma ratio fails, as gratio.
void gratio_at_log(double a, double log_x, double* ans, double* qans);

// I_x(a, b) and 1 - I_x(a, b) for a, b > 0 and x = exp(log_x) <= 0.5. Returns
// bratio's error code (0 when computed; w, w1 are then not written otherwise).
int bratio_at_log(double a, double b, double log_x, double* w, double* w1);

}  // namespace vorlan2
