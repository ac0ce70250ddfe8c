// Poisson-weighted sums of the non-central distribution functions, summed
// outward from the centre until a bound on the remaining terms is negligible.
#ifndef VORLAN2_NUMERICS_POISSON_MIXTURE_H
#define VORLAN2_NUMERICS_POISSON_MIXTURE_H

// Sum over i >= 0 of w_i v_i, w_i the Poisson(xnonc) probability of i and
// every v_i in [0, 1]. The caller gives v at the centre (start), then walks
// down with step_down and add until step_down says stop, then up likewise;
// each step first bounds the terms not yet added by their Poisson mass, so
// there is no cap on the number of terms.
class PoissonMixture {
public:
    // xnonc must satisfy has_whole_indices.
    explicit PoissonMixture(double xnonc);
    // The index of the largest weight (at least 1).
    double centre() const { return centre_; }
    // Adds the centre term.
    void start(double value);
    // Moves to the next index below (or above); false, without moving, once
    // the terms beyond are negligible or none remain.
    bool step_down();
    bool step_up();
    // The index reached by the last step.
    double index() const { return index_; }
    // Adds the term of the current index.
    void add(double value);
    double sum() const { return sum_; }

private:
    double xnonc_;
    double centre_;
    double centre_weight_;
    bool going_up_ = false;
    double index_;
    double weight_;
    double sum_ = 0.0;
};

// True when xnonc is finite, positive, and small enough that the indices
// around it are whole doubles that step by 1 exactly.
bool has_whole_indices(double xnonc);

#endif
