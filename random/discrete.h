// Discrete distributions: Poisson, binomial and negative binomial variables
// with fixed parameters, and Poisson and binomial draws whose parameters
// change from one draw to the next.
#pragma once

#include <memory>

#include "random/continuous.h"
#include "random/discrete_gen.h"
#include "random/random.h"
#include "random/table_method.h"

// Poisson by the table method over its step density (for larger means).
class Poisson1 : public AsymGen {
public:
    explicit Poisson1(double mu);
    double Next() override;
    double Density(double x) const override;
    ExtReal Mean() const override;
    ExtReal Variance() const override;

private:
    double mu;
    double ln_mu;  // ln mu
};

// Poisson by an exact table of the values 0 ... 39 (for means up to 8).
class Poisson2 : public Random {
public:
    explicit Poisson2(double mu);
    double Next() override;
    ExtReal Mean() const override;
    ExtReal Variance() const override;

private:
    std::unique_ptr<DiscreteGen> dg;
};

// Poisson with mean mu: Poisson1 above a mean of 8, else Poisson2.
class Poisson : public Random {
public:
    explicit Poisson(double mu);
    double Next() override;
    const char* Name() override;
    ExtReal Mean() const override;
    ExtReal Variance() const override;

private:
    std::unique_ptr<Random> method;  // a Poisson1 or a Poisson2
};

// Binomial by the table method over its step density.
class Binomial1 : public AsymGen {
public:
    // n must not be negative.
    Binomial1(int n, double p);
    double Next() override;
    double Density(double x) const override;
    ExtReal Mean() const override;
    ExtReal Variance() const override;

private:
    double p;
    double q;  // 1 - p
    double ln_p;
    double ln_q;
    double ln_n_factorial;  // ln gamma(n + 1)
    int n;
};

// Binomial by an exact table of the values 0 ... min(n, 39); n must not be
// negative and n * p must lie inside the table.
class Binomial2 : public Random {
public:
    Binomial2(int n, double p);
    double Next() override;
    ExtReal Mean() const override;
    ExtReal Variance() const override;

private:
    std::unique_ptr<DiscreteGen> dg;
};

// Binomial: Binomial1 from 40 trials with n * p above 8, else Binomial2.
class Binomial : public Random {
public:
    Binomial(int n, double p);
    double Next() override;
    const char* Name() override;
    ExtReal Mean() const override;
    ExtReal Variance() const override;

private:
    std::unique_ptr<Random> method;  // a Binomial1 or a Binomial2
};

// Negative binomial with shape N and mean N * P: the probability of k is
// gamma(k + N) / (gamma(N) k!) p^N (1 - p)^k with p = 1 / (1 + P).
class NegativeBinomial : public AsymGen {
public:
    NegativeBinomial(double N, double P);
    double Next() override;
    const char* Name() override;
    double Density(double x) const override;
    ExtReal Mean() const override;
    ExtReal Variance() const override;

private:
    double N;
    double P;
    double Q;     // 1 + P
    double p;     // 1 / Q
    double ln_q;  // ln(1 - p)
    double c;     // N ln p - ln gamma(N)
};

// Poisson draws with a mean given at each draw.
class VariPoisson {
public:
    VariPoisson();
    double Next(double mu);
    // Next rounded to an int; raises Runtime_error "Cannot convert to integer "
    // when it does not fit.
    int iNext(double mu);
    // Inversion from 0 (for means below 10).
    double Next_very_small(double mu);
    // Inversion outward from the mode (for means below 100).
    double Next_small(double mu);
    // Normal approximation (for means from 300).
    double Next_large(double mu);

private:
    Uniform U;
    Normal N;
    Poisson P100;  // mean 100
    Poisson P200;  // mean 200
};

// Binomial draws with the number of trials and the probability given at each draw.
class VariBinomial {
public:
    double Next(int n, double p);
    // Next rounded to an int; raises Runtime_error "Cannot convert to integer "
    // when it does not fit.
    int iNext(int n, double p);
    // Inversion from 0 (for n * p up to 10).
    double Next_very_small(int n, double p);
    // Inversion outward from the mode (for n * p up to 200).
    double Next_small(int n, double p);
    // Normal approximation (for n * p above 200); not clamped to [0, n].
    double Next_large(int n, double p);

private:
    Uniform U;
    Normal N;
};
