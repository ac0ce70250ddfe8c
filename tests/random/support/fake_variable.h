// A test variable with chosen moments (any kind of extended real) whose draws
// are an arithmetic sequence, so that tests can see which draw went where.
#pragma once

#include "random/random.h"

class Fake : public Random {
public:
    // Draws start, start + step, start + 2 step, ...
    Fake(ExtReal mean, ExtReal variance, double start = 0.0, double step = 0.0)
        : mean_(mean), variance_(variance), next_(start), step_(step) {}
    double Next() override {
        double x = next_;
        next_ += step_;
        return x;
    }
    ExtReal Mean() const override { return mean_; }
    ExtReal Variance() const override { return variance_; }

private:
    ExtReal mean_, variance_;
    double next_, step_;
};
