// Mixtures, repeats and owned expressions, with the selection trees that a
// mixture consumes.
#include "random/mixtures.h"

#include "random/integer_conversion.h"
#include "random/ranvar_alloc.h"
#include "random/ranvar_error.h"

using namespace vorlan2;

SelectedRandom& Random::operator()(double p) { return *new SelectedRandom(*this, p); }

RepeatedRandom& Random::operator()(int n) { return *new RepeatedRandom(*this, n); }

SelectedRandom::SelectedRandom(Random& rv, double p) : rv(&rv), p(p) {}

double SelectedRandom::Next() { throw_logic_error("Ranvar: Next not defined"); }

void SelectedRandom::tDelete() {
    rv->tDelete();
    delete this;
}

void SelectedRandom::load(int* i, double* probs, Random** rvs) {
    probs[*i] = p;
    rvs[*i] = rv;
    ++*i;
    delete this;
}

AddedSelectedRandom::AddedSelectedRandom(Random& rv1, Random& rv2) : rv1(&rv1), rv2(&rv2) {}

double AddedSelectedRandom::Next() { throw_logic_error("Ranvar: Next not defined"); }

void AddedSelectedRandom::tDelete() {
    rv1->tDelete();
    rv2->tDelete();
    delete this;
}

int AddedSelectedRandom::nelems() const { return rv1->nelems() + rv2->nelems(); }

void AddedSelectedRandom::load(int* i, double* probs, Random** rvs) {
    rv1->load(i, probs, rvs);
    rv2->load(i, probs, rvs);
    delete this;
}

AddedSelectedRandom& operator+(SelectedRandom& X, SelectedRandom& Y) { return *new AddedSelectedRandom(X, Y); }

AddedSelectedRandom& operator+(AddedSelectedRandom& X, SelectedRandom& Y) { return *new AddedSelectedRandom(X, Y); }

AddedSelectedRandom& operator+(SelectedRandom& X, AddedSelectedRandom& Y) { return *new AddedSelectedRandom(X, Y); }

AddedSelectedRandom& operator+(AddedSelectedRandom& X, AddedSelectedRandom& Y) {
    return *new AddedSelectedRandom(X, Y);
}

MixedRandom::MixedRandom(AddedSelectedRandom& sr) : n(sr.nelems()), mean(Missing), var(Missing) {
    std::unique_ptr<double[]> probs;
    try {
        probs = allocate_array<double>(n);
        rv = allocate_array<Random*>(n);
    } catch (...) {
        sr.tDelete();
        throw;
    }
    int i = 0;
    sr.load(&i, probs.get(), rv.get());
    try {
        Build(probs.get());
    } catch (...) {
        release_components();
        throw;
    }
}

MixedRandom::MixedRandom(int n, double* probs, Random** rvs) : n(n), mean(Missing), var(Missing) {
    try {
        if (n <= 0) throw_logic_error("Ranvar: illegal parameters");
        rv = allocate_array<Random*>(n);
    } catch (...) {
        for (int i = 0; i < n; ++i) rvs[i]->tDelete();
        throw;
    }
    for (int i = 0; i < n; ++i) rv[i] = rvs[i];
    try {
        Build(probs);
    } catch (...) {
        release_components();
        throw;
    }
}

MixedRandom::~MixedRandom() { release_components(); }

void MixedRandom::release_components() {
    for (int i = 0; i < n; ++i) rv[i]->tDelete();
}

void MixedRandom::Build(double* probs) {
    dg = make_component<DiscreteGen>(n, probs);
    mean = 0.0;
    var = 0.0;
    for (int i = 0; i < n; ++i) mean = mean + (rv[i]->Mean() * ExtReal(probs[i]));
    for (int i = 0; i < n; ++i) {
        ExtReal d = rv[i]->Mean() - mean;
        var = var + ((rv[i]->Variance() + d * d) * ExtReal(probs[i]));
    }
}

double MixedRandom::Next() {
    int k = truncate_to_int(dg->Next(), 0, n - 1);
    return rv[k]->Next();
}

const char* MixedRandom::Name() { return "MixedRandom"; }

ExtReal MixedRandom::Mean() const { return mean; }

ExtReal MixedRandom::Variance() const { return var; }

RepeatedRandom::RepeatedRandom(Random& rv, int n) : rv(&rv), n(n) {
    // Refused rather than drawn as 0: the mean and variance (mu n, sigma^2 n)
    // of a negative count would be negative for a variable that is always 0.
    if (n < 0) throw_logic_error("Ranvar: illegal parameters");
}

double RepeatedRandom::Next() {
    double sum = 0.0;
    for (int i = 0; i < n; ++i) sum = rv->Next() + sum;
    return sum;
}

ExtReal RepeatedRandom::Mean() const { return rv->Mean() * ExtReal(static_cast<double>(n)); }

ExtReal RepeatedRandom::Variance() const { return rv->Variance() * ExtReal(static_cast<double>(n)); }

void RepeatedRandom::tDelete() {
    rv->tDelete();
    delete this;
}

SumRandom::SumRandom(Random& rv) : rv(&rv) {}

SumRandom::~SumRandom() { rv->tDelete(); }

double SumRandom::Next() { return rv->Next(); }

const char* SumRandom::Name() { return "SumRandom"; }

ExtReal SumRandom::Mean() const { return rv->Mean(); }

ExtReal SumRandom::Variance() const { return rv->Variance(); }
