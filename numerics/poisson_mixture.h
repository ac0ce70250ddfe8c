// Poisson-weighted sums of the non-central distribution functions, summed
// outward from the centre (or from the peak of a deep tail's terms) until a
// bound on the remaining terms is negligible.
#pragma once

#include <cmath>

namespace vorlan2 {

// Sum over i >= 0 of w_i v_i, w_i the Poisson(xnonc) probability of i and
// every v_i in [0, 1], taken outward from the centre, down to 0 and then up.
// Before each step the terms not yet added are bounded by their Poisson mass,
// and the walk stops once that bound is negligible: there is no cap on the
// number of terms.
class PoissonMixture {
public:
    // xnonc must satisfy has_whole_indices.
    explicit PoissonMixture(double xnonc);
    // The index of the largest weight (at least 1).
    double centre() const { return centre_; }

    // The sum for values that fall by d(i) from index i to i + 1, given the
    // value and d at the centre: below(d(i + 1), i) gives d(i) and
    // above(d(i - 1), i) gives d(i).
    template <class Below, class Above>
    double sum_by_differences(double value, double difference, Below below, Above above) {
        sum_ = centre_weight_ * value;
        double v = value;
        double d = difference;
        to_centre();
        while (step_down()) {
            d = below(d, index_);
            v += d;
            sum_ += weight_ * v;
        }
        v = value;
        d = difference;
        to_centre();
        while (step_up()) {
            v -= d;
            sum_ += weight_ * v;
            d = above(d, index_);
        }
        return sum_;
    }

    // Where a deep tail's sum has its largest terms, for a start away from the
    // centre when the centre's own value or difference underflows: the peak of
    // w_i d_i, d_i the differences of the values, whose ratio d_i / d_(i-1) is
    // ratio(i), taken at or below the centre (lower tails) or at or above it
    // (upper tails). ratio(i) must fall with i.
    template <class Ratio>
    double peak_below_centre(Ratio ratio) const {
        // The terms rise from i to i + 1 while xnonc ratio(i + 1) / (i + 1) >= 1.
        const auto rising = [&](double i) { return xnonc_ * ratio(i + 1.0) >= i + 1.0; };
        if (!rising(0.0)) {
            return 0.0;
        }
        return last_rising(0.0, centre_, rising) + 1.0;
    }
    template <class Ratio>
    double peak_above_centre(Ratio ratio) const {
        // Upper-tail values grow by d_(i-1) from i - 1 to i, so the terms rise
        // from i to i + 1 while xnonc ratio(i) / (i + 1) >= 1.
        const auto rising = [&](double i) { return xnonc_ * ratio(i) >= i + 1.0; };
        if (!rising(centre_)) {
            return centre_;
        }
        double lo = centre_;
        double hi = centre_;
        while (rising(hi)) {
            if (hi >= largest_index) {
                return largest_index;
            }
            lo = hi;
            hi = std::fmin(2.0 * hi + 1.0, largest_index);
        }
        return last_rising(lo, hi, rising) + 1.0;
    }

    // The sum for values that fall with i (lower tails), from start <= centre
    // with its value and its difference d(start): down to 0 by the
    // differences as sum_by_differences, up by value(i) afresh, since the
    // differences cancel there.
    template <class Below, class Value>
    double sum_falling_from(double start, double value, double difference, Below below, Value value_at) {
        move_to(start);
        sum_ = weight_ * value;
        double v = value;
        double d = difference;
        walk_down(
            [&](double i) {
                d = below(d, i);
                v += d;
                return v;
            },
            false);
        move_to(start);
        walk_up(value_at, true);
        return sum_;
    }

    // The sum for values that rise with i (upper tails), from start >= centre
    // with its value and the difference d(start) to the value above: up by
    // the differences (above(d(i - 1), i) gives d(i)), down by value(i)
    // afresh.
    template <class Above, class Value>
    double sum_rising_from(double start, double value, double difference, Above above, Value value_at) {
        move_to(start);
        sum_ = weight_ * value;
        double u = value;
        double d = difference;
        walk_up(
            [&](double i) {
                u += d;
                d = above(d, i);
                return u;
            },
            false);
        move_to(start);
        walk_down(value_at, true);
        return sum_;
    }

    // The sum for values that fall (or rise) with i, every one taken by
    // value(i), from the centre.
    template <class Value>
    double sum_afresh(bool falling, Value value_at) {
        move_to(centre_);
        sum_ = weight_ * value_at(centre_);
        walk_up(value_at, falling);
        move_to(centre_);
        walk_down(value_at, !falling);
        return sum_;
    }

private:
    void to_centre() {
        index_ = centre_;
        weight_ = centre_weight_;
    }
    void move_to(double i);
    // Add the terms below (above) index_, each value from next(i), until the
    // terms left out are negligible: they are bounded by their Poisson mass
    // times 1, or times the value just reached when the values fall that way.
    template <class Next>
    void walk_down(Next next, bool values_fall) {
        while (index_ > 0.0) {
            const double m = index_ - 1.0;
            const double w = weight_ * (index_ / xnonc_);
            const double v = next(m);
            const double mass = m < xnonc_ ? std::fmin(1.0, w / (1.0 - m / xnonc_)) : 1.0;
            if (deep_negligible(values_fall ? mass * v : mass)) {
                return;
            }
            weight_ = w;
            index_ = m;
            sum_ += weight_ * v;
        }
    }
    template <class Next>
    void walk_up(Next next, bool values_fall) {
        for (;;) {
            const double m = index_ + 1.0;
            const double w = weight_ * (xnonc_ / m);
            const double v = next(m);
            const double mass = m + 1.0 > xnonc_ ? std::fmin(1.0, w / (1.0 - xnonc_ / (m + 1.0))) : 1.0;
            if (deep_negligible(values_fall ? mass * v : mass)) {
                return;
            }
            weight_ = w;
            index_ = m;
            sum_ += weight_ * v;
        }
    }
    // Negligible against the sum so far, or below every double.
    bool deep_negligible(double bound) const;
    // The last i in [lo, hi) at which rising(i) holds, given that it holds at
    // lo, not at hi (or hi ends the range), and on an interval from lo.
    template <class Rising>
    static double last_rising(double lo, double hi, Rising rising) {
        while (hi - lo > 1.0) {
            const double mid = std::floor(lo + (hi - lo) / 2.0);
            if (rising(mid)) {
                lo = mid;
            } else {
                hi = mid;
            }
        }
        return lo;
    }
    static constexpr double largest_index = 4503599627370496.0;  // 2^52
    // Move to the next index below (above), with its weight; false, without
    // moving, once the terms beyond are negligible or none remain.
    bool step_down();
    bool step_up();

    double xnonc_;
    double centre_;
    double centre_weight_;
    double index_ = 0.0;   // the index reached
    double weight_ = 0.0;  // its Poisson weight
    double sum_ = 0.0;     // the terms added so far
};

// True when xnonc is finite, positive, and small enough that the indices
// around it are whole doubles that step by 1 exactly.
bool has_whole_indices(double xnonc);

// True when a walk may start at the centre from this value and difference:
// both are normal doubles, or the difference is too small beside the value
// for its lost digits to matter.
bool is_exact_start(double value, double difference);

// An upper tail taken as 1 - cum carries the rounding of the lower sum, about
// 1e-16; below this it is summed from the upper tails themselves.
constexpr double upper_tail_by_complement = 1.0e-10;

// Moves tails that rounding has carried just beyond [0, 1] back to its ends
// (a NaN or an error value stays as it is).
void clamp_to_probabilities(double* cum, double* ccum);

// Both tails of a non-central distribution function, the mixture of central
// ones: central(i, lower, upper) gives the central tails of index i, fall(i)
// the fall d(i) of the lower tail from i to i + 1, below and above step d as
// in sum_by_differences (so above(1, i) = d(i) / d(i - 1)). The lower tail is
// summed from the centre, or from the peak of its terms when those of the
// centre underflow; an upper tail that 1 - cum cannot resolve is summed from
// the upper tails likewise.
template <class Central, class Fall, class Below, class Above>
void mixture_tails(PoissonMixture& mixture, Central central, Fall fall, Below below, Above above, double* cum,
                   double* ccum) {
    const auto ratio = [&](double i) { return above(1.0, i); };
    // A tail that central() leaves unwritten (a failed ratio) is NaN.
    const double failed = std::nan("");
    const auto lower_at = [&](double i) {
        double lower = failed;
        double upper = failed;
        central(i, &lower, &upper);
        return lower;
    };
    const auto upper_at = [&](double i) {
        double lower = failed;
        double upper = failed;
        central(i, &lower, &upper);
        return upper;
    };
    double pcent = failed;
    double ccent = failed;
    central(mixture.centre(), &pcent, &ccent);
    if (!(pcent <= 1.0 && ccent <= 1.0)) {
        *cum = failed;
        *ccum = failed;
        return;
    }
    const double centre_fall = fall(mixture.centre());
    if (is_exact_start(pcent, centre_fall)) {
        *cum = mixture.sum_by_differences(pcent, centre_fall, below, above);
    } else {
        const double start = mixture.peak_below_centre(ratio);
        *cum = mixture.sum_falling_from(start, lower_at(start), fall(start), below, lower_at);
    }
    *ccum = 0.5 + (0.5 - *cum);
    if (*ccum < upper_tail_by_complement) {
        double upper;
        if (is_exact_start(ccent, centre_fall)) {
            // The upper tails rise by the same differences.
            upper = mixture.sum_by_differences(ccent, -centre_fall, below, above);
        } else {
            const double start = mixture.peak_above_centre(ratio);
            upper = mixture.sum_rising_from(start, upper_at(start), fall(start), above, upper_at);
        }
        *ccum = upper;
        *cum = 0.5 + (0.5 - upper);
    }
    clamp_to_probabilities(cum, ccum);
}

}  // namespace vorlan2
