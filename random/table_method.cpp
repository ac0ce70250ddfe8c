// Strip tables under a density and the rejection draws over them.
#include "random/table_method.h"

#include <memory>

#include "random/ranvar_alloc.h"
#include "random/ranvar_error.h"

using namespace vorlan2;

namespace {

const int pos_table_size = 60;
const int asym_table_size = 121;
const int asym_upper_end = 120;  // slot of the point where the upper side ends

// Strip k of u * strips, the last strip for u at (or rounding to) the top.
int strip_index(double u, double strips, int last) {
    const int k = static_cast<int>(u * strips);
    return k > last ? last : k;
}

// Accepts a point under the strip's lower bound, or else under the density;
// a comparison with a value that is not a number accepts.
bool accepted(double y, double lower_bound, const Random& variable, double x) {
    return !(y >= lower_bound) || !(y >= variable.Density(x));
}

}  // namespace

// ---- PosGen ----

PosGen::PosGen() = default;

PosGen::~PosGen() {
    if (not_ready) return;
    delete[] edges;
    delete[] heights;
}

const char* PosGen::Name() { return "PosGen"; }

ExtReal PosGen::Mean() const { return Missing; }

ExtReal PosGen::Variance() const { return Missing; }

void PosGen::Build(bool symmetric) {
    std::unique_ptr<double[]> x_table = allocate_array<double>(pos_table_size);
    std::unique_ptr<double[]> f_table = allocate_array<double>(pos_table_size);
    const double step = symmetric ? 0.01 : 0.02;
    double x = 0.0;
    int i = 0;
    for (;; ++i) {
        const double f = Density(x);
        x_table[i] = x;
        f_table[i] = f;
        if (f <= 0.0) break;
        if (i + 1 == pos_table_size) throw_runtime_error("Ranvar: area too large");
        x += step / f;
    }
    if (i < 50) throw_runtime_error("Ranvar: area too small");
    edges = x_table.release();
    heights = f_table.release();
    strip_count = symmetric ? 2.0 * i : i;
    not_ready = false;
}

double PosGen::Next() {
    if (not_ready) Build(false);
    const int last = static_cast<int>(strip_count) - 1;
    for (;;) {
        const int k = strip_index(Random::RNG->Next(), strip_count, last);
        const double x = edges[k] + Random::RNG->Next() * (edges[k + 1] - edges[k]);
        const double y = Random::RNG->Next() * heights[k];
        if (accepted(y, heights[k + 1], *this, x)) return x;
    }
}

// ---- SymGen ----

const char* SymGen::Name() { return "SymGen"; }

double SymGen::Next() {
    if (not_ready) Build(true);
    const int last = static_cast<int>(strip_count) / 2 - 1;
    for (;;) {
        double u = Random::RNG->Next();
        double sign = 1.0;
        if (u > 0.5) {
            sign = -1.0;
            u = 1.0 - u;
        }
        const int k = strip_index(u, strip_count, last);
        const double x = edges[k] + Random::RNG->Next() * (edges[k + 1] - edges[k]);
        const double y = Random::RNG->Next() * heights[k];
        if (accepted(y, heights[k + 1], *this, x)) return sign * x;
    }
}

// ---- AsymGen ----

AsymGen::AsymGen(double mode) : mode(mode) {}

AsymGen::~AsymGen() {
    if (not_ready) return;
    delete[] edges;
    delete[] heights;
}

const char* AsymGen::Name() { return "AsymGen"; }

ExtReal AsymGen::Mean() const { return Missing; }

ExtReal AsymGen::Variance() const { return Missing; }

void AsymGen::Build() {
    std::unique_ptr<double[]> x_table = allocate_array<double>(asym_table_size);
    std::unique_ptr<double[]> f_table = allocate_array<double>(asym_table_size);
    double x = mode;
    int i = 0;
    for (;; ++i) {
        const double f = Density(x);
        x_table[i] = x;
        f_table[i] = f;
        if (f <= 0.0) break;
        if (i + 1 == asym_upper_end) throw_runtime_error("Ranvar: area too large (a)");
        x += 0.01 / f;
    }
    x_table[asym_upper_end] = x;
    f_table[asym_upper_end] = 0.0;
    const int upper = i - 1;
    // The lower side starts again at the mode, over the slot where the upper side ended.
    x = mode;
    for (;; ++i) {
        const double f = Density(x);
        x_table[i] = x;
        f_table[i] = f;
        if (f <= 0.0) break;
        if (i + 1 > asym_upper_end - 1) throw_runtime_error("Ranvar: area too large (b)");
        x -= 0.01 / f;
    }
    if (i <= 99) throw_runtime_error("Ranvar: area too small");
    edges = x_table.release();
    heights = f_table.release();
    last_upper = upper;
    strip_count = i;
    not_ready = false;
}

double AsymGen::Next() {
    if (not_ready) Build();
    const int last = static_cast<int>(strip_count) - 1;
    for (;;) {
        const int k = strip_index(Random::RNG->Next(), strip_count, last);
        const int far = k == last_upper ? asym_upper_end : k + 1;
        const double x = edges[k] + Random::RNG->Next() * (edges[far] - edges[k]);
        const double y = Random::RNG->Next() * heights[k];
        if (accepted(y, heights[far], *this, x)) return x;
    }
}

// ---- Density given as a function ----

PosGenX::PosGenX(double (*f)(double)) : density_function(f) {}

const char* PosGenX::Name() { return "PosGenX"; }

double PosGenX::Density(double x) const { return density_function(x); }

SymGenX::SymGenX(double (*f)(double)) : density_function(f) {}

const char* SymGenX::Name() { return "SymGenX"; }

double SymGenX::Density(double x) const { return density_function(x); }

AsymGenX::AsymGenX(double (*f)(double), double mode) : AsymGen(mode), density_function(f) {}

const char* AsymGenX::Name() { return "AsymGenX"; }

double AsymGenX::Density(double x) const { return density_function(x); }
