// Poisson-weighted sums of the non-central distribution functions, summed
// outward from the centre until a bound on the remaining terms is negligible.
#pragma once

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

private:
    void to_centre() {
        index_ = centre_;
        weight_ = centre_weight_;
    }
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

}  // namespace vorlan2
