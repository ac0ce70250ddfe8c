// Stable variates from one uniform angle and one exponential variate, with
// rational approximations of tan(x)/x and (exp(x) - 1)/x near 0.
#include "random/stable.h"

#include <cmath>

#include "random/ranvar_error.h"

using namespace vorlan2;

Stable::Stable(double alpha, double beta, Notation notation)
    : alpha(alpha), beta(beta), beta_given(beta), notation(notation), half_pi(1.570796327), quarter_pi(0.785398163) {
    if (notation == Continuous || notation == Classical) return;
    if (notation == Zolotarev) {
        if (alpha == 1.0) return;
        if (std::fabs(beta) == 1.0) {
            this->beta = alpha > 1.0 ? -beta : beta;
        } else {
            this->beta = std::tan(k(alpha) * half_pi * beta) / std::tan(half_pi * alpha);
        }
        return;
    }
    this->notation = Continuous;
    if (beta != 0.0 && alpha != 1.0 && alpha != 2.0) {
        throw_logic_error("Ranvar: must specify Stable notation");
    }
}

double Stable::k(double a) { return 1.0 - std::fabs(1.0 - a); }

double Stable::tan2(double x) const {
    const double ax = std::fabs(x);
    if (ax <= quarter_pi) {
        const double r = ax / quarter_pi;
        const double s = r * r;
        return ((0.0528644456 * s - 8.87662377) * s + 129.221035) / (((s - 45.1320561) * s + 164.529332) * quarter_pi);
    }
    return std::tan(x) / x;
}

double Stable::d2(double x) {
    if (std::fabs(x) <= 0.1) {
        const double x2 = x * x;
        const double p = 20.001114158996458 * x2 + 840.0668525364832;
        return 2.0 * p / (x2 * (x2 + 180.01337040739003) + 1680.1337050729664 - x * p);
    }
    return (std::exp(x) - 1.0) / x;
}

double Stable::Next() {
    const double u1 = Random::RNG->Next();
    const double u2 = Random::RNG->Next();
    const double w = -std::log(u2);  // standard exponential
    const double phi = half_pi * (u1 - 0.5);
    const double a = std::tan(phi);
    const double h = 1.0 - alpha;
    const double tau = tan2(h * phi);
    const double b = h * phi * tau;
    const double z = h > -0.99 ? beta / (tan2(h * half_pi) * half_pi) : std::tan(alpha * half_pi) * (h * beta);
    const double d =
        std::log((2.0 * phi * tau * z + (1.0 - b * b)) * (1.0 + a * a) / (w * (1.0 - a * a) * (1.0 + b * b))) / alpha;
    const double e = d2(h * d);
    const double x = 2.0 * (1.0 + h * d * e) *
                         ((a - b) * (1.0 + a * b) - phi * tau * z * (b * (1.0 - a * a) - 2.0 * a)) /
                         ((1.0 - a * a) * (1.0 + b * b)) +
                     d * e * z;
    if (notation == Continuous || beta == 0.0 || alpha == 1.0 || alpha == 2.0) return x;
    if (notation == Classical) return x + beta * std::tan(alpha * half_pi);
    const double g = k(alpha) * half_pi * beta_given;
    return (x + std::tan(g)) * std::pow(std::cos(g), 1.0 / alpha);
}

const char* Stable::Name() { return "Stable"; }

ExtReal Stable::Mean() const {
    if (alpha < 1.0) {
        if (beta == 1.0) return PlusInfinity;
        if (beta == -1.0) return MinusInfinity;
        return Indefinite;
    }
    if (alpha == 1.0) return Indefinite;
    if (notation == Continuous) return -beta * std::tan(alpha * half_pi);
    return 0.0;
}

// Below alpha = 2 the tails make the variance infinite; at 2 the draw is
// normal with variance 2; above 2 the draw is not a stable law.
ExtReal Stable::Variance() const {
    if (alpha < 2.0) return PlusInfinity;
    if (alpha == 2.0) return 2.0;
    return Indefinite;
}
