// Regularised incomplete gamma function ratios P(a, x) and Q(a, x).
#pragma once

// ans = P(a, x), qans = Q(a, x). ind selects the accuracy: 0 about 14
// significant digits, 1 about 6, anything else about 3. On an error ans = 2
// and qans is not written.
void gratio(double* a, double* x, double* ans, double* qans, int* ind);
