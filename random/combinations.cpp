// Expression nodes of arithmetic on random variables: draws, means and
// variances of independent operands, and freeing through tDelete().
#include "random/combinations.h"

NegatedRandom::NegatedRandom(Random& rv) : rv(&rv) {}

double NegatedRandom::Next() { return -rv->Next(); }

ExtReal NegatedRandom::Mean() const { return -rv->Mean(); }

ExtReal NegatedRandom::Variance() const { return rv->Variance(); }

void NegatedRandom::tDelete() {
    rv->tDelete();
    delete this;
}

ScaledRandom::ScaledRandom(Random& rv, double s) : rv(&rv), s(s) {}

double ScaledRandom::Next() { return rv->Next() * s; }

ExtReal ScaledRandom::Mean() const { return rv->Mean() * ExtReal(s); }

ExtReal ScaledRandom::Variance() const { return rv->Variance() * ExtReal(s * s); }

void ScaledRandom::tDelete() {
    rv->tDelete();
    delete this;
}

ShiftedRandom::ShiftedRandom(Random& rv, double s) : ScaledRandom(rv, s) {}

double ShiftedRandom::Next() { return rv->Next() + s; }

ExtReal ShiftedRandom::Mean() const { return rv->Mean() + ExtReal(s); }

ExtReal ShiftedRandom::Variance() const { return rv->Variance(); }

ReverseShiftedRandom::ReverseShiftedRandom(Random& rv, double s) : ScaledRandom(rv, s) {}

double ReverseShiftedRandom::Next() { return s - rv->Next(); }

ExtReal ReverseShiftedRandom::Mean() const { return (-rv->Mean()) + ExtReal(s); }

ExtReal ReverseShiftedRandom::Variance() const { return rv->Variance(); }

ReciprocalRandom::ReciprocalRandom(Random& rv, double s) : rv(&rv), s(s) {}

double ReciprocalRandom::Next() { return s / rv->Next(); }

ExtReal ReciprocalRandom::Mean() const { return ExtReal(Missing); }

ExtReal ReciprocalRandom::Variance() const { return ExtReal(Missing); }

void ReciprocalRandom::tDelete() {
    rv->tDelete();
    delete this;
}

MultipliedRandom::MultipliedRandom(Random& rv1, Random& rv2) : rv1(&rv1), rv2(&rv2) {}

// The two-operand draws name their operands' draws so that the left one is
// always taken first.
double MultipliedRandom::Next() {
    double x1 = rv1->Next();
    double x2 = rv2->Next();
    return x1 * x2;
}

ExtReal MultipliedRandom::Mean() const { return rv1->Mean() * rv2->Mean(); }

ExtReal MultipliedRandom::Variance() const {
    ExtReal mean1 = rv1->Mean();
    ExtReal mean2 = rv2->Mean();
    ExtReal var1 = rv1->Variance();
    ExtReal var2 = rv2->Variance();
    return ((var1 * var2) + (var1 * (mean2 * mean2))) + ((mean1 * mean1) * var2);
}

void MultipliedRandom::tDelete() {
    rv1->tDelete();
    rv2->tDelete();
    delete this;
}

AddedRandom::AddedRandom(Random& rv1, Random& rv2) : MultipliedRandom(rv1, rv2) {}

double AddedRandom::Next() {
    double x1 = rv1->Next();
    double x2 = rv2->Next();
    return x1 + x2;
}

ExtReal AddedRandom::Mean() const { return rv1->Mean() + rv2->Mean(); }

ExtReal AddedRandom::Variance() const { return rv1->Variance() + rv2->Variance(); }

SubtractedRandom::SubtractedRandom(Random& rv1, Random& rv2) : MultipliedRandom(rv1, rv2) {}

double SubtractedRandom::Next() {
    double x1 = rv1->Next();
    double x2 = rv2->Next();
    return x1 - x2;
}

ExtReal SubtractedRandom::Mean() const { return rv1->Mean() - rv2->Mean(); }

ExtReal SubtractedRandom::Variance() const { return rv1->Variance() + rv2->Variance(); }

DividedRandom::DividedRandom(Random& rv1, Random& rv2) : MultipliedRandom(rv1, rv2) {}

double DividedRandom::Next() {
    double x1 = rv1->Next();
    double x2 = rv2->Next();
    return x1 / x2;
}

ExtReal DividedRandom::Mean() const { return ExtReal(Missing); }

ExtReal DividedRandom::Variance() const { return ExtReal(Missing); }

Random& operator-(Random& X) { return *new NegatedRandom(X); }

Random& operator+(Random& X, double s) { return *new ShiftedRandom(X, s); }

Random& operator+(double s, Random& X) { return *new ShiftedRandom(X, s); }

Random& operator-(Random& X, double s) { return *new ShiftedRandom(X, -s); }

Random& operator-(double s, Random& X) { return *new ReverseShiftedRandom(X, s); }

Random& operator*(Random& X, double s) { return *new ScaledRandom(X, s); }

Random& operator*(double s, Random& X) { return *new ScaledRandom(X, s); }

Random& operator/(Random& X, double s) { return *new ScaledRandom(X, 1.0 / s); }

Random& operator/(double s, Random& X) { return *new ReciprocalRandom(X, s); }

Random& operator+(Random& X, Random& Y) { return *new AddedRandom(X, Y); }

Random& operator-(Random& X, Random& Y) { return *new SubtractedRandom(X, Y); }

Random& operator*(Random& X, Random& Y) { return *new MultipliedRandom(X, Y); }

Random& operator/(Random& X, Random& Y) { return *new DividedRandom(X, Y); }
