// Stable distributions by the Chambers-Mallows-Stuck construction, in three
// notations for the skewness and location.
#pragma once

#include "random/random.h"

class Stable : public Random {
public:
    // The values 0, 1 and 2 select the parameterisation; any other stands for
    // one not given, accepted only for symmetric draws and alpha 1 or 2.
    enum Notation : int {
        // Location shifted so that the law is continuous in alpha: for alpha > 1
        // the mean is -beta tan(alpha pi / 2).
        Continuous = 0,
        // The classical characteristic function exp(-|t|^alpha (1 - i beta
        // sign(t) tan(alpha pi / 2))): mean 0 for alpha > 1.
        Classical = 1,
        // Characteristic function exp(-|t|^alpha exp(-i k(alpha) beta (pi / 2)
        // sign(t))), k(a) = 1 - |1 - a|.
        Zolotarev = 2,
        NotGiven = 3
    };

    Stable(double alpha, double beta, Notation notation);
    double Next() override;
    const char* Name() override;
    ExtReal Mean() const override;
    ExtReal Variance() const override;

private:
    // 1 - |1 - a|.
    static double k(double a);
    // tan(x) / x.
    double tan2(double x) const;
    // (exp(x) - 1) / x.
    static double d2(double x);

    double alpha;
    double beta;        // skewness used by the draw
    double beta_given;  // skewness passed to the constructor (Zolotarev notation)
    int notation;
    double half_pi;     // 1.570796327, the value the draw is built on
    double quarter_pi;  // 0.785398163
};
