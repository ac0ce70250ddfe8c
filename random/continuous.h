// Continuous distributions: uniform, constant, normal, chi-squared, Cauchy,
// exponential, gamma and Pareto.
#pragma once

#include <cstdint>
#include <memory>

#include "random/random.h"
#include "random/table_method.h"

// A draw of the installed generator; mean and variance are Random's.
class Uniform : public Random {
public:
    double Next() override;
    const char* Name() override;
    double Density(double x) const override;
};

class Constant : public Random {
public:
    explicit Constant(double value);
    double Next() override;
    const char* Name() override;
    ExtReal Mean() const override;
    ExtReal Variance() const override;

private:
    double value;
};

// Standard normal. Every live Normal shares one pair of tables, built by the
// first and freed by the last.
class Normal : public SymGen {
public:
    Normal();
    ~Normal() override;
    const char* Name() override;
    double Density(double x) const override;
    ExtReal Mean() const override;
    ExtReal Variance() const override;

private:
    static double Nxi;          // strip count of the shared tables
    static double* Nsx;         // shared edge table
    static double* Nsfx;        // shared height table
    static std::int64_t count;  // live Normal objects
};

// Square of a normal variable with mean delta: non-central chi-squared with
// one degree of freedom and non-centrality delta^2.
class ChiSq1 : public Normal {
public:
    explicit ChiSq1(double noncentrality);
    double Next() override;
    ExtReal Mean() const override;
    ExtReal Variance() const override;

private:
    double noncentrality;  // delta^2
    double delta;
};

// Chi-squared with df degrees of freedom and the given non-centrality, drawn
// through one or two components chosen at construction.
class ChiSq : public Random {
public:
    ChiSq(int df, double noncentrality);
    double Next() override;
    const char* Name() override;
    ExtReal Mean() const override;
    ExtReal Variance() const override;

private:
    std::unique_ptr<Random> c1;
    std::unique_ptr<Random> c2;  // only in versions 4 and 5
    int version;                 // which combination of components, 0 to 5
    double mean_value;
    double var_value;
};

class Cauchy : public SymGen {
public:
    const char* Name() override;
    double Density(double x) const override;
    ExtReal Mean() const override;      // Indefinite
    ExtReal Variance() const override;  // PlusInfinity
};

class Exponential : public PosGen {
public:
    const char* Name() override;
    double Density(double x) const override;
    ExtReal Mean() const override;
    ExtReal Variance() const override;
};

// Gamma with the given shape (scale 1), drawn through Gamma1 below shape 1,
// Exponential at 1 and Gamma2 above.
class Gamma : public Random {
public:
    explicit Gamma(double shape);
    double Next() override;
    const char* Name() override;
    ExtReal Mean() const override;
    ExtReal Variance() const override;

private:
    std::unique_ptr<Random> method;
};

// Gamma for shape below 1: the table draws Y = X^shape, which has a density
// decreasing from 0, and returns Y^(1/shape).
class Gamma1 : public PosGen {
public:
    explicit Gamma1(double shape);
    double Next() override;
    double Density(double x) const override;
    ExtReal Mean() const override;
    ExtReal Variance() const override;

private:
    double ln_norm;    // ln gamma(shape + 1)
    double inv_shape;  // 1 / shape
    double shape;
};

// Gamma for shape above 1, by the table about its mode shape - 1.
class Gamma2 : public AsymGen {
public:
    explicit Gamma2(double shape);
    double Density(double x) const override;
    ExtReal Mean() const override;
    ExtReal Variance() const override;

private:
    double shape;
    double ln_norm;  // ln gamma(shape)
};

// Pareto on [1, infinity) with survival function x^-shape.
class Pareto : public Random {
public:
    explicit Pareto(double shape);
    double Next() override;
    const char* Name() override;
    ExtReal Mean() const override;
    ExtReal Variance() const override;

private:
    double shape;
    double power;  // -1 / shape
};
