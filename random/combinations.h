// Arithmetic on random variables: the operators + - * / build expression nodes
// whose draws combine draws of their operands. Nodes are freed only through
// tDelete(), called by the owner of the root (SumRandom or MixedRandom).
#pragma once

#include "random/random.h"

// -X
class NegatedRandom : public Random {
public:
    explicit NegatedRandom(Random& rv);
    double Next() override;
    ExtReal Mean() const override;
    ExtReal Variance() const override;
    void tDelete() override;

private:
    Random* rv;  // the operand
};

// X * s
class ScaledRandom : public Random {
public:
    ScaledRandom(Random& rv, double s);
    double Next() override;
    ExtReal Mean() const override;
    ExtReal Variance() const override;
    void tDelete() override;

protected:
    Random* rv;  // the operand
    double s;    // the number it is combined with
};

// X + s
class ShiftedRandom : public ScaledRandom {
public:
    ShiftedRandom(Random& rv, double s);
    double Next() override;
    ExtReal Mean() const override;
    ExtReal Variance() const override;
};

// s - X
class ReverseShiftedRandom : public ScaledRandom {
public:
    ReverseShiftedRandom(Random& rv, double s);
    double Next() override;
    ExtReal Mean() const override;
    ExtReal Variance() const override;
};

// s / X; mean and variance Missing
class ReciprocalRandom : public Random {
public:
    ReciprocalRandom(Random& rv, double s);
    double Next() override;
    ExtReal Mean() const override;
    ExtReal Variance() const override;
    void tDelete() override;

private:
    Random* rv;  // the operand
    double s;    // the numerator
};

// X * Y, with independent draws of the two operands (left first)
class MultipliedRandom : public Random {
public:
    MultipliedRandom(Random& rv1, Random& rv2);
    double Next() override;
    ExtReal Mean() const override;
    ExtReal Variance() const override;
    void tDelete() override;

protected:
    Random* rv1;  // left operand
    Random* rv2;  // right operand
};

// X + Y
class AddedRandom : public MultipliedRandom {
public:
    AddedRandom(Random& rv1, Random& rv2);
    double Next() override;
    ExtReal Mean() const override;
    ExtReal Variance() const override;
};

// X - Y
class SubtractedRandom : public MultipliedRandom {
public:
    SubtractedRandom(Random& rv1, Random& rv2);
    double Next() override;
    ExtReal Mean() const override;
    ExtReal Variance() const override;
};

// X / Y; mean and variance Missing
class DividedRandom : public MultipliedRandom {
public:
    DividedRandom(Random& rv1, Random& rv2);
    double Next() override;
    ExtReal Mean() const override;
    ExtReal Variance() const override;
};

// Each operator returns a new node on the free store; use each result once.
Random& operator-(Random& X);
Random& operator+(Random& X, double s);
Random& operator+(double s, Random& X);
Random& operator-(Random& X, double s);
Random& operator-(double s, Random& X);
Random& operator*(Random& X, double s);
Random& operator*(double s, Random& X);
Random& operator/(Random& X, double s);
Random& operator/(double s, Random& X);
Random& operator+(Random& X, Random& Y);
Random& operator-(Random& X, Random& Y);
Random& operator*(Random& X, Random& Y);
Random& operator/(Random& X, Random& Y);
