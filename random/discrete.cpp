// Poisson, binomial and negative binomial variables, and the Poisson and
// binomial draws with per-draw parameters.
#include "random/discrete.h"

#include <myexcept.h>

#include <cmath>

#include "random/integer_conversion.h"
#include "random/ln_gamma.h"
#include "random/ranvar_alloc.h"
#include "random/ranvar_error.h"

using namespace vorlan2;

namespace {

// Sheppard's correction for rounding a continuous variate to an integer.
const double sheppard = 0.08333333333333333;  // 1/12

// Largest value of the exact tables, and their number of entries.
const int table_top = 39;
const int table_size = table_top + 1;

// count * ln x, with 0 * ln 0 taken as its limit 0 so that the degenerate
// distributions (p = 0 or 1, mean 0) keep a finite log-probability.
double times_log(double count, double ln_x) { return count == 0.0 ? 0.0 : count * ln_x; }

// ln of the binomial probability of k successes out of n, summed left to right.
double binomial_log_probability(double ln_n_factorial, double n, double k, double ln_p, double ln_q) {
    return (((ln_n_factorial - ln_gamma(k + 1.0)) - ln_gamma(n - k + 1.0)) + times_log(k, ln_p)) +
           times_log(n - k, ln_q);
}

// Probabilities below e^-40 count as 0 in the step densities.
double density_from_log(double l) { return l < -40.0 ? 0.0 : std::exp(l); }

// x^n for n >= 0 by repeated squaring.
double integer_power(double x, int n) {
    double result = 1.0;
    while (n > 0) {
        if (n & 1) result *= x;
        x *= x;
        n >>= 1;
    }
    return result;
}

void check_trials(int n) {
    if (n < 0) throw_logic_error("Ranvar: illegal parameters");
}

// r rounded to the nearest int; raises when it does not fit.
int round_to_int(double r) {
    RBD_COMMON::Tracer trace("Round ");
    int i = truncate_to_int(std::floor(r + 0.5));
    if (std::fabs(i - r) > 0.5) throw_runtime_error("Cannot convert to integer ");
    return i;
}

double negative_binomial_mode(double N, double P) {
    double mode = (N - 1.0) * P;
    return mode < 1.0 ? 0.0 : mode;
}

}  // namespace

Poisson1::Poisson1(double mu) : AsymGen(mu), mu(mu), ln_mu(std::log(mu)) {}

double Poisson1::Next() { return std::floor(AsymGen::Next()); }

double Poisson1::Density(double x) const {
    if (x < 0.0) return 0.0;
    double k = std::floor(x);
    return density_from_log((times_log(k, ln_mu) - mu) - ln_gamma(k + 1.0));
}

ExtReal Poisson1::Mean() const { return mu; }

ExtReal Poisson1::Variance() const { return mu; }

Poisson2::Poisson2(double mu) {
    double t[table_size];
    t[0] = std::exp(-mu);
    for (int i = 1; i < table_size; ++i) t[i] = (t[i - 1] * mu) / i;
    dg = make_component<DiscreteGen>(table_size, t);
}

double Poisson2::Next() { return dg->Next(); }

ExtReal Poisson2::Mean() const { return dg->Mean(); }

ExtReal Poisson2::Variance() const { return dg->Variance(); }

Poisson::Poisson(double mu) {
    if (mu > 8.0 || std::isnan(mu)) {
        method = make_component<Poisson1>(mu);
    } else {
        method = make_component<Poisson2>(mu);
    }
}

double Poisson::Next() { return method->Next(); }

const char* Poisson::Name() { return "Poisson"; }

ExtReal Poisson::Mean() const { return method->Mean(); }

ExtReal Poisson::Variance() const { return method->Variance(); }

Binomial1::Binomial1(int n, double p)
    : AsymGen((static_cast<double>(n) + 1.0) * p),
      p(p),
      q(1.0 - p),
      ln_p(std::log(p)),
      ln_q(std::log(q)),
      ln_n_factorial(0.0),
      n(n) {
    check_trials(n);
    ln_n_factorial = ln_gamma(n + 1.0);
}

double Binomial1::Next() { return std::floor(AsymGen::Next()); }

double Binomial1::Density(double x) const {
    double k = std::floor(x);
    if (k < 0.0 || k > n) return 0.0;
    return density_from_log(binomial_log_probability(ln_n_factorial, n, k, ln_p, ln_q));
}

ExtReal Binomial1::Mean() const { return n * p; }

ExtReal Binomial1::Variance() const { return p * q * n; }

Binomial2::Binomial2(int n, double p) {
    check_trials(n);
    int top = n <= table_top ? n : table_top;
    double np = n * p;
    // The table starts at the value n * p: it must be one of its entries.
    if (!(np >= 0.0 && np < top + 1.0)) throw_logic_error("Ranvar: illegal parameters");
    double q = 1.0 - p;
    int m = static_cast<int>(np);
    double t[table_size];
    t[m] = std::exp(binomial_log_probability(ln_gamma(n + 1.0), n, m, std::log(p), std::log(q)));
    for (int i = m + 1; i <= top; ++i) t[i] = (((p * t[i - 1]) * (n - i + 1)) / q) / i;
    for (int j = m - 1; j >= 0; --j) t[j] = (((q * t[j + 1]) * (j + 1)) / p) / (n - j);
    dg = make_component<DiscreteGen>(top + 1, t);
}

double Binomial2::Next() { return dg->Next(); }

ExtReal Binomial2::Mean() const { return dg->Mean(); }

ExtReal Binomial2::Variance() const { return dg->Variance(); }

Binomial::Binomial(int n, double p) {
    double np = n * p;
    if (n >= 40 && (np > 8.0 || std::isnan(np))) {
        method = make_component<Binomial1>(n, p);
    } else {
        method = make_component<Binomial2>(n, p);
    }
}

double Binomial::Next() { return method->Next(); }

const char* Binomial::Name() { return "Binomial"; }

ExtReal Binomial::Mean() const { return method->Mean(); }

ExtReal Binomial::Variance() const { return method->Variance(); }

NegativeBinomial::NegativeBinomial(double N, double P)
    : AsymGen(negative_binomial_mode(N, P)),
      N(N),
      P(P),
      Q(1.0 + P),
      p(1.0 / Q),
      ln_q(std::log(1.0 - p)),
      c(N * std::log(p) - ln_gamma(N)) {}

double NegativeBinomial::Next() { return std::floor(AsymGen::Next()); }

const char* NegativeBinomial::Name() { return "NegativeBinomial"; }

double NegativeBinomial::Density(double x) const {
    if (x < 0.0) return 0.0;
    double k = std::floor(x);
    return density_from_log(((ln_gamma(k + N) + c) - ln_gamma(k + 1.0)) + times_log(k, ln_q));
}

ExtReal NegativeBinomial::Mean() const { return N * P; }

ExtReal NegativeBinomial::Variance() const { return N * P * Q; }

VariPoisson::VariPoisson() : P100(100.0), P200(200.0) {}

double VariPoisson::Next(double mu) {
    if (mu <= 0.0) {
        if (mu == 0.0) return 0.0;
        throw_logic_error("Ranvar: illegal parameters");
    }
    if (mu < 10.0) return Next_very_small(mu);
    if (mu < 100.0) return Next_small(mu);
    if (mu < 200.0) {
        int k = truncate_to_int(P100.Next());
        return k + Next_small(mu - 100.0);
    }
    if (mu < 300.0) {
        int k = truncate_to_int(P200.Next());
        return k + Next_small(mu - 200.0);
    }
    return Next_large(mu);
}

int VariPoisson::iNext(double mu) {
    RBD_COMMON::Tracer trace("VariPoisson::iNext ");
    return round_to_int(Next(mu));
}

double VariPoisson::Next_very_small(double mu) {
    if (mu == 0.0) return 0.0;
    double t = std::exp(-mu);
    // With e^-mu rounding to 0 every term is 0 and the search could not end.
    if (t == 0.0) throw_logic_error("Ranvar: illegal parameters");
    double s = t;
    double k = 0.0;
    double u = U.Next();
    while (u > s) {
        k = k + 1.0;
        t = t * (mu / k);
        s = s + t;
        // Past the mode the terms only shrink: once they vanish, s is final.
        if (t == 0.0) break;
    }
    return k;
}

double VariPoisson::Next_small(double mu) {
    if (mu < 10.0) return Next_very_small(mu);
    // The counters are doubles: the search may pass the int range above m.
    double m = truncate_to_int(mu);
    double u = U.Next();
    double t1 = std::exp((m * std::log(mu) - mu) - ln_gamma(m + 1.0));
    if (t1 > u) return m;
    double k1 = m;
    double k2 = m;
    double t2 = t1;
    double s = t1;
    for (;;) {
        k1 = k1 + 1.0;
        t1 = t1 * (mu / k1);
        s = s + t1;
        if (s > u) return k1;
        if (k2 > 0.0) {
            t2 = t2 * (k2 / mu);
            k2 = k2 - 1.0;
            s = s + t2;
            if (s > u) return k2;
        }
        // Both searches have run out of mass: s can no longer grow.
        if (t1 == 0.0 && (k2 == 0.0 || t2 == 0.0)) return k1;
    }
}

double VariPoisson::Next_large(double mu) {
    double u = U.Next();
    double k;
    if (u > 0.3333333333333333) {
        double a = (mu - sheppard) * 0.5;
        double m = std::sqrt(mu * mu - a);
        double sd = std::sqrt(a / (mu + m));
        double z = N.Next();
        double x = sd * z + std::sqrt(m);
        k = std::floor(x * x + 0.5);
    } else {
        double z = N.Next();
        double x = z * std::sqrt(mu - sheppard) + mu;
        k = std::floor(x + 0.5);
    }
    return k < 0.0 ? 0.0 : k;
}

double VariBinomial::Next(int n, double p) {
    if (p > 0.5) return n - Next(n, 1.0 - p);
    if (n < 0 || p < 0.0) throw_logic_error("Ranvar: illegal parameters");
    if (n == 0 || p == 0.0) return 0.0;
    double np = n * p;
    if (np <= 10.0) return Next_very_small(n, p);
    if (np <= 200.0) return Next_small(n, p);
    return Next_large(n, p);
}

int VariBinomial::iNext(int n, double p) {
    RBD_COMMON::Tracer trace("VariBinomial::iNext ");
    return round_to_int(Next(n, p));
}

double VariBinomial::Next_very_small(int n, double p) {
    check_trials(n);
    double q = 1.0 - p;
    if (q == 0.0) return n;
    double r = p / q;
    double u = U.Next();
    double t = integer_power(q, n);
    // With q^n rounding to 0 every term is 0 and the search would find nothing.
    if (t == 0.0) throw_logic_error("Ranvar: illegal parameters");
    double s = t;
    // The counter is a double so that it cannot overflow at n = INT_MAX. A u
    // above the computed sum of all the probabilities ends the search at the
    // last k reached: k = n, or the first k past the mode whose probability no
    // longer changes s (the later ones are smaller still).
    for (double k = 0.0;; k = k + 1.0) {
        if (s >= u || k == n) return k;
        t = t * (((n - k) * r) / (k + 1.0));
        double before = s;
        s = s + t;
        if (s == before) return k + 1.0;
    }
}

double VariBinomial::Next_small(int n, double p) {
    check_trials(n);
    double q = 1.0 - p;
    double r = p / q;
    double u = U.Next();
    double m = truncate_to_int((n * r) / (1.0 + r), 0, n);
    double t1 = std::exp(binomial_log_probability(ln_gamma(n + 1.0), n, m, std::log(p), std::log(q)));
    if (t1 >= u) return m;
    // Counters are doubles so that k1 + 1 cannot overflow at n = INT_MAX.
    double k1 = m;
    double k2 = m;
    double t2 = t1;
    double s = t1;
    for (;;) {
        t1 = t1 * (((n - k1) * r) / (k1 + 1.0));
        k1 = k1 + 1.0;
        double before = s;
        s = s + t1;
        if (s >= u) return k1;
        if (k2 > 0.0) {
            // A real division: k2 / (n - k2 + 1) as integers would truncate to 0.
            t2 = t2 * ((k2 / (n - k2 + 1.0)) / r);
            k2 = k2 - 1.0;
            s = s + t2;
            if (s >= u) return k2;
        }
        // A u above the computed sum of all the probabilities ends the search at
        // the top k reached, once both searches are exhausted or their
        // probabilities (which only shrink from here) no longer change s.
        if ((k2 == 0.0 && k1 >= n) || s == before) return k1 < n ? k1 : n;
    }
}

double VariBinomial::Next_large(int n, double p) {
    double np = n * p;
    double sd = std::sqrt((1.0 - p) * np - sheppard);
    double z = N.Next();
    return std::floor((np + sd * z) + 0.5);
}
