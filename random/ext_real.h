// ExtReal: a real number extended by infinities, an undefined and an unknown value,
// so that means and variances of random variables can be infinite or unknown.
#pragma once

#include <iosfwd>

enum ExtRealKind { Finite, PlusInfinity, MinusInfinity, Indefinite, Missing };

class ExtReal {
public:
    // Not yet known: Missing.
    ExtReal() : value(0.0), kind(Missing) {}
    ExtReal(double v) : value(v), kind(Finite) {}
    ExtReal(ExtRealKind k) : value(0.0), kind(k) {}

    double Value() const { return value; }
    ExtRealKind Kind() const { return kind; }

    ExtReal operator+(const ExtReal& y) const;
    ExtReal operator-(const ExtReal& y) const;
    ExtReal operator*(const ExtReal& y) const;
    ExtReal operator-() const;

private:
    ExtReal(double v, ExtRealKind k) : value(v), kind(k) {}

    double value;  // meaningful only when kind is Finite
    ExtRealKind kind;
};

// A finite value with the stream's formatting, otherwise the name of the kind.
std::ostream& operator<<(std::ostream& out, const ExtReal& x);
