// Poisson-weighted sums of the non-central distribution functions with a
// rigorous bound on the terms left out.
#include "numerics/poisson_mixture.h"

#include <cmath>

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

}  // namespace

bool has_whole_indices(double xnonc) { return xnonc > 0.0 && xnonc <= largest_centre; }

PoissonMixture::PoissonMixture(double xnonc) : xnonc_(xnonc) {
    centre_ = std::trunc(xnonc);
    if (centre_ == 0.0) {
        centre_ = 1.0;
    }
    // e^-xnonc xnonc^i / i! = rcomp(i, xnonc) / i, without the cancellation of
    // the logarithms of large factorials.
    centre_weight_ = rcomp(&centre_, &xnonc_) / centre_;
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
