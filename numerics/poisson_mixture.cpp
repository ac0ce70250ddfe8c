// Poisson-weighted sums of the non-central distribution functions with a
// rigorous bound on the terms left out.
#include "numerics/poisson_mixture.h"

#include <cfloat>
#include <cmath>
#include <initializer_list>

#include "numerics/gaminv.h"

namespace vorlan2 {

namespace {

// The terms left out are dropped once their bound is below this fraction of
// the sum so far (which only grows, so it bounds the result from below), or
// below an absolute floor that keeps a sum of zeros from walking far out.
const double relative_tail = 1.0e-16;
const double absolute_tail = 1.0e-300;

// Largest centre whose neighbouring indices are all whole doubles.
const double largest_centre = 4503599627370496.0;  // 2^52

bool negligible(double bound, double sum) { return bound <= relative_tail * sum || bound <= absolute_tail; }

// The walks into a deep tail, whose sum may itself be far below
// absolute_tail, stop at the relative bound or when the bound underflows.
const double deep_absolute_tail = 0x1p-1074;

}  // namespace

bool has_whole_indices(double xnonc) { return xnonc > 0.0 && xnonc <= largest_centre; }

bool is_exact_start(double value, double difference) {
    const double d = std::fabs(difference);
    return value >= DBL_MIN && (d >= DBL_MIN || d <= 0x1p-60 * value);
}

void clamp_to_probabilities(double* cum, double* ccum) {
    // Far beyond the rounding of a sum of terms in [0, 1] lies an error
    // value (the 2 of a failed incomplete gamma ratio), which stays.
    const double rounding = 1.0e-9;
    for (double* tail : {cum, ccum}) {
        if (*tail < 0.0 && *tail > -rounding) {
            *tail = 0.0;
        } else if (*tail > 1.0 && *tail < 1.0 + rounding) {
            *tail = 1.0;
        }
    }
}

PoissonMixture::PoissonMixture(double xnonc) : xnonc_(xnonc) {
    centre_ = std::trunc(xnonc);
    if (centre_ == 0.0) {
        centre_ = 1.0;
    }
    // e^-xnonc xnonc^i / i! = rcomp(i, xnonc) / i, without the cancellation of
    // the logarithms of large factorials.
    centre_weight_ = rcomp(&centre_, &xnonc_) / centre_;
}

void PoissonMixture::move_to(double i) {
    index_ = i;
    if (i == centre_) {
        weight_ = centre_weight_;
    } else if (i == 0.0) {
        weight_ = std::exp(-xnonc_);
    } else {
        weight_ = rcomp(&i, &xnonc_) / i;
    }
}

bool PoissonMixture::deep_negligible(double bound) const {
    // Written so that a NaN (a failed value) ends the walk too.
    return !(bound > relative_tail * sum_ && bound > deep_absolute_tail);
}

bool PoissonMixture::step_down() {
    if (index_ == 0.0) {
        return false;
    }
    // Below index i the weights fall by j / xnonc <= (i - 1) / xnonc from
    // index j to j - 1, so together they are at most w(i - 1) / (1 - (i - 1) / xnonc);
    // i <= centre keeps the ratio below 1.
    const double next = weight_ * (index_ / xnonc_);
    if (negligible(next / (1.0 - (index_ - 1.0) / xnonc_), sum_)) {
        return false;
    }
    weight_ = next;
    index_ -= 1.0;
    return true;
}

bool PoissonMixture::step_up() {
    // Above index i the weights fall by xnonc / (j + 1) <= xnonc / (i + 2) from
    // index j to j + 1 (j > i), so together they are at most
    // w(i + 1) / (1 - xnonc / (i + 2)); i >= centre > xnonc - 1 keeps the ratio below 1.
    const double next = weight_ * (xnonc_ / (index_ + 1.0));
    if (negligible(next / (1.0 - xnonc_ / (index_ + 2.0)), sum_)) {
        return false;
    }
    weight_ = next;
    index_ += 1.0;
    return true;
}

}  // namespace vorlan2
