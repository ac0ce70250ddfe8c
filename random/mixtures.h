// Variables formed from others: mixtures X(p1) + Y(p2) + ... (MixedRandom),
// repeats X(n) summing n draws (RepeatedRandom), and SumRandom, the owner of an
// expression built with the arithmetic operators.
#pragma once

#include <memory>

#include "random/discrete_gen.h"
#include "random/random.h"

// X(p): a mixture component with its probability, until a MixedRandom loads it.
class SelectedRandom : public Random {
public:
    SelectedRandom(Random& rv, double p);
    double Next() override;  // raises: a selection is not a variable
    void tDelete() override;
    void load(int* i, double* probs, Random** rvs) override;

private:
    Random* rv;  // the selected variable
    double p;    // its probability
};

// A sum of selections, X(p1) + Y(p2), until a MixedRandom loads it.
class AddedSelectedRandom : public Random {
public:
    AddedSelectedRandom(Random& rv1, Random& rv2);
    double Next() override;  // raises: a selection is not a variable
    void tDelete() override;
    int nelems() const override;
    void load(int* i, double* probs, Random** rvs) override;

private:
    Random* rv1;  // left part: a SelectedRandom or an AddedSelectedRandom
    Random* rv2;  // right part: a SelectedRandom or an AddedSelectedRandom
};

AddedSelectedRandom& operator+(SelectedRandom& X, SelectedRandom& Y);
AddedSelectedRandom& operator+(AddedSelectedRandom& X, SelectedRandom& Y);
AddedSelectedRandom& operator+(SelectedRandom& X, AddedSelectedRandom& Y);
AddedSelectedRandom& operator+(AddedSelectedRandom& X, AddedSelectedRandom& Y);

// Each draw picks one component with the given probabilities and returns its
// draw. The mixture owns its components: it releases each through tDelete(),
// also when its constructor raises.
class MixedRandom : public Random {
public:
    // Consumes the selection tree (its nodes are deleted).
    explicit MixedRandom(AddedSelectedRandom& sr);
    // Copies the n component pointers; probs is read here only.
    MixedRandom(int n, double* probs, Random** rvs);
    MixedRandom(const MixedRandom&) = delete;
    MixedRandom& operator=(const MixedRandom&) = delete;
    ~MixedRandom() override;

    double Next() override;
    const char* Name() override;
    ExtReal Mean() const override;
    ExtReal Variance() const override;

private:
    // Builds the component chooser and the moments from the probabilities.
    void Build(double* probs);
    void release_components();

    int n;                            // number of components
    std::unique_ptr<DiscreteGen> dg;  // draws a component index
    std::unique_ptr<Random*[]> rv;    // the components
    ExtReal mean;
    ExtReal var;
};

// X(n): the sum of n independent draws of X.
class RepeatedRandom : public Random {
public:
    // n must not be negative; n = 0 always gives 0.
    RepeatedRandom(Random& rv, int n);
    double Next() override;
    ExtReal Mean() const override;
    ExtReal Variance() const override;
    void tDelete() override;

private:
    Random* rv;  // the repeated variable
    int n;       // number of draws
};

// Owner of an expression: forwards to its root and frees the expression's
// nodes (not its plain variables) when destroyed.
class SumRandom : public Random {
public:
    explicit SumRandom(Random& rv);
    SumRandom(const SumRandom&) = delete;
    SumRandom& operator=(const SumRandom&) = delete;
    ~SumRandom() override;

    double Next() override;
    const char* Name() override;
    ExtReal Mean() const override;
    ExtReal Variance() const override;

private:
    Random* rv;  // root of the owned expression
};
