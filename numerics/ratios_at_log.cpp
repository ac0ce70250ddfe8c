// Incomplete gamma and beta ratios at a variable below the normal doubles:
// near 0 both ratios scale as x^a, so they are taken at a small normal point
// and rescaled there in logarithms; a beta ratio with an enormous b is its
// gamma limit in b x.
#include "numerics/ratios_at_log.h"

#include <cfloat>
#include <cmath>

#include "numerics/bratio.h"
#include "numerics/gratio.h"

namespace vorlan2 {

namespace {

// P(a, x) / P(a, x') = (x / x')^a to within a relative x' for x < x'.
const double gamma_scaling_point = 0x1p-60;

// From this b on, I_x(a, b) for an x below the normal doubles is P(a, b x) to
// within a relative O((a + b x)^2 / b), far below the rounding of a double.
const double gamma_limit = 0x1p940;

}  // namespace

void gratio_at_log(double a, double log_x, double* ans, double* qans) {
    double point = gamma_scaling_point;
    double p_point;
    double q_point;
    int accuracy = 0;
    gratio(&a, &point, &p_point, &q_point, &accuracy);
    if (p_point == 2.0) {
        *ans = 2.0;
        return;
    }
    // Q from the sum of the two positive parts, so that a tiny Q keeps its digits.
    const double scaling = a * (log_x - std::log(point));
    *ans = p_point * std::exp(scaling);
    *qans = q_point - p_point * std::expm1(scaling);
}

int bratio_at_log(double a, double b, double log_x, double* w, double* w1) {
    double x = std::exp(log_x);
    if (x >= DBL_MIN) {
        double y = 1.0 - x;
        int ierr = 0;
        bratio(&a, &b, &x, &y, w, w1, &ierr);
        return ierr;
    }
    if (b >= gamma_limit) {
        const double log_y = log_x + std::log(b);
        double y = std::exp(log_y);
        if (y >= DBL_MIN) {
            int accuracy = 0;
            gratio(&a, &y, w, w1, &accuracy);
        } else {
            gratio_at_log(a, log_y, w, w1);
        }
        return *w == 2.0 ? 8 : 0;
    }
    // The series of I_x(a, b) is x^a / (a B(a, b)) (1 + O((1 + b) x)), so at
    // x' = 2^-70 / (1 + b) or below, I_x / I_x' = (x / x')^a to within 2^-68.
    int exponent = 0;
    std::frexp(1.0 + b, &exponent);
    double point = std::ldexp(1.0, -70 - exponent);
    double point_complement = 1.0 - point;
    double w_point;
    double w1_point;
    int ierr = 0;
    bratio(&a, &b, &point, &point_complement, &w_point, &w1_point, &ierr);
    if (ierr != 0) {
        return ierr;
    }
    const double scaling = a * (log_x - std::log(point));
    *w = w_point * std::exp(scaling);
    *w1 = w1_point - w_point * std::expm1(scaling);
    return 0;
}

}  // namespace vorlan2
