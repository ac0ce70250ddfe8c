// The published inverse incomplete gamma ratio (ACM TOMS 654, GAMINV) past
// its argument checks and closed forms: the initial approximation by region
// and the Schroeder iteration, whose outcome is the routine's error code.
#pragma once

namespace vorlan2 {

struct GaminvOutcome {
    double x;
    int ierr;  // as gaminv
};

// For a > 0, a != 1 and 0 < p, q < 1 with p + q = 1; x0 > 0 is an initial
// guess, x0 <= 0 means none.
GaminvOutcome gaminv_published(double a, double p, double q, double x0);

// The largest shape at which the incomplete gamma ratio resolves x/a near 1:
// 4e-11 / e^2 for the machine precision e.
double gaminv_amax();

}  // namespace vorlan2
