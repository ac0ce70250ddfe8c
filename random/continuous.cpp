// The continuous distributions: draws, densities, moments, and the choice of
// components for the chi-squared and gamma variables.
#include "random/continuous.h"

#include <cmath>

#include "random/ln_gamma.h"
#include "random/ranvar_alloc.h"
#include "random/ranvar_error.h"

using namespace vorlan2;

// ---- Uniform, Constant ----

double Uniform::Next() { return Random::RNG->Next(); }

const char* Uniform::Name() { return "Uniform"; }

double Uniform::Density(double x) const { return (x < 0.0 || x > 1.0) ? 0.0 : 1.0; }

Constant::Constant(double value) : value(value) {}

double Constant::Next() { return value; }

const char* Constant::Name() { return "Constant"; }

ExtReal Constant::Mean() const { return value; }

ExtReal Constant::Variance() const { return 0.0; }

// ---- Normal and the one-degree chi-squared ----

double Normal::Nxi = 0.0;
double* Normal::Nsx = nullptr;
double* Normal::Nsfx = nullptr;
std::int64_t Normal::count = 0;

Normal::Normal() {
    if (count == 0) {
        Build(true);
        Nxi = strip_count;
        Nsx = edges;
        Nsfx = heights;
    } else {
        strip_count = Nxi;
        edges = Nsx;
        heights = Nsfx;
        not_ready = false;
    }
    ++count;
}

// Only the last live Normal frees the shared tables.
Normal::~Normal() {
    if (count-- != 1) not_ready = true;
}

const char* Normal::Name() { return "Normal"; }

double Normal::Density(double x) const { return std::fabs(x) > 8.0 ? 0.0 : 0.39894228 * std::exp(-x * x * 0.5); }

ExtReal Normal::Mean() const { return 0.0; }

ExtReal Normal::Variance() const { return 1.0; }

ChiSq1::ChiSq1(double noncentrality) : noncentrality(noncentrality), delta(std::sqrt(noncentrality)) {}

double ChiSq1::Next() {
    const double z = SymGen::Next() + delta;
    return z * z;
}

ExtReal ChiSq1::Mean() const { return 1.0 + noncentrality; }

ExtReal ChiSq1::Variance() const { return 2.0 + 4.0 * noncentrality; }

// ---- ChiSq ----

ChiSq::ChiSq(int df, double noncentrality) {
    if (df <= 0 || noncentrality < 0.0) throw_logic_error("Ranvar: illegal parameters");
    if (df == 1) {
        version = 0;
        c1 = make_component<ChiSq1>(noncentrality);
    } else if (noncentrality == 0.0) {
        if (df == 2) {
            version = 1;
            c1 = make_component<Exponential>();
        } else {
            version = 2;
            c1 = make_component<Gamma2>(0.5 * df);
        }
    } else if (df == 2) {
        version = 3;
        c1 = make_component<ChiSq1>(noncentrality / 2.0);
    } else {
        // The central part with df - 1 degrees, plus one non-central degree.
        if (df == 3) {
            version = 4;
            c1 = make_component<Exponential>();
        } else {
            version = 5;
            c1 = make_component<Gamma2>(0.5 * (df - 1));
        }
        c2 = make_component<ChiSq1>(noncentrality);
    }
    mean_value = df + noncentrality;
    var_value = 2.0 * df + 4.0 * noncentrality;
}

double ChiSq::Next() {
    if (version == 0) return c1->Next();
    if (version <= 2) return 2.0 * c1->Next();
    if (version == 3) {
        const double first = c1->Next();
        return first + c1->Next();
    }
    const double central = 2.0 * c1->Next();
    return central + c2->Next();
}

const char* ChiSq::Name() { return "ChiSq"; }

ExtReal ChiSq::Mean() const { return mean_value; }

ExtReal ChiSq::Variance() const { return var_value; }

// ---- Cauchy, Exponential ----

const char* Cauchy::Name() { return "Cauchy"; }

double Cauchy::Density(double x) const { return std::fabs(x) > 1e15 ? 0.0 : 0.31830988618 / (x * x + 1.0); }

ExtReal Cauchy::Mean() const { return Indefinite; }

ExtReal Cauchy::Variance() const { return PlusInfinity; }

const char* Exponential::Name() { return "Exponential"; }

double Exponential::Density(double x) const { return (x > 40.0 || x < 0.0) ? 0.0 : std::exp(-x); }

ExtReal Exponential::Mean() const { return 1.0; }

ExtReal Exponential::Variance() const { return 1.0; }

// ---- Gamma ----

Gamma::Gamma(double shape) {
    if (shape < 1.0) {
        method = make_component<Gamma1>(shape);
    } else if (shape == 1.0) {
        method = make_component<Exponential>();
    } else {
        method = make_component<Gamma2>(shape);
    }
}

double Gamma::Next() { return method->Next(); }

const char* Gamma::Name() { return "Gamma"; }

ExtReal Gamma::Mean() const { return method->Mean(); }

ExtReal Gamma::Variance() const { return method->Variance(); }

Gamma1::Gamma1(double shape) : ln_norm(ln_gamma(shape + 1.0)), inv_shape(1.0 / shape), shape(shape) {}

double Gamma1::Next() { return std::pow(PosGen::Next(), inv_shape); }

double Gamma1::Density(double x) const {
    const double v = -std::pow(x, inv_shape) - ln_norm;
    return v < -40.0 ? 0.0 : std::exp(v);
}

ExtReal Gamma1::Mean() const { return shape; }

ExtReal Gamma1::Variance() const { return shape; }

Gamma2::Gamma2(double shape) : AsymGen(shape - 1.0), shape(shape), ln_norm(ln_gamma(shape)) {}

double Gamma2::Density(double x) const {
    if (x <= 0.0) return 0.0;
    const double v = (shape - 1.0) * std::log(x) - x - ln_norm;
    return v < -40.0 ? 0.0 : std::exp(v);
}

ExtReal Gamma2::Mean() const { return shape; }

ExtReal Gamma2::Variance() const { return shape; }

// ---- Pareto ----

Pareto::Pareto(double shape) : shape(shape) {
    if (!(shape > 0.0)) throw_logic_error("Ranvar: illegal parameter");
    power = -1.0 / shape;
}

double Pareto::Next() { return std::pow(Random::RNG->Next(), power); }

const char* Pareto::Name() { return "Pareto"; }

ExtReal Pareto::Mean() const {
    if (shape > 1.0) return shape / (shape - 1.0);
    return PlusInfinity;
}

ExtReal Pareto::Variance() const {
    if (shape > 2.0) return shape / ((shape - 1.0) * (shape - 1.0)) / (shape - 2.0);
    return PlusInfinity;
}
