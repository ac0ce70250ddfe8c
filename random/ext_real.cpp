// Arithmetic and printing of extended reals.
#include "random/ext_real.h"

#include <ostream>

ExtReal ExtReal::operator+(const ExtReal& y) const {
    if (kind == Finite && y.kind == Finite) return ExtReal(value + y.value);
    if (kind == Missing || y.kind == Missing) return ExtReal(Missing);
    if (kind == Indefinite || y.kind == Indefinite) return ExtReal(Indefinite);
    if (kind == PlusInfinity) return y.kind == MinusInfinity ? ExtReal(Indefinite) : *this;
    if (kind == MinusInfinity) return y.kind == PlusInfinity ? ExtReal(Indefinite) : *this;
    return y;
}

ExtReal ExtReal::operator-(const ExtReal& y) const {
    if (kind == Finite && y.kind == Finite) return ExtReal(value - y.value);
    if (kind == Missing || y.kind == Missing) return ExtReal(Missing);
    if (kind == Indefinite || y.kind == Indefinite) return ExtReal(Indefinite);
    if (kind == PlusInfinity) return y.kind == PlusInfinity ? ExtReal(Indefinite) : *this;
    if (kind == MinusInfinity) return y.kind == MinusInfinity ? ExtReal(Indefinite) : *this;
    return -y;
}

ExtReal ExtReal::operator*(const ExtReal& y) const {
    if (kind == Finite && y.kind == Finite) return ExtReal(value * y.value);
    if (kind == Missing || y.kind == Missing) return ExtReal(Missing);
    if (kind == Indefinite || y.kind == Indefinite) return ExtReal(Indefinite);
    // A NaN factor counts as negative, as neither test below holds for it.
    if (kind == Finite) {
        if (value == 0.0) return ExtReal(Indefinite);
        return value > 0.0 ? y : -y;
    }
    if (y.kind == Finite) {
        if (y.value == 0.0) return ExtReal(Indefinite);
        return y.value > 0.0 ? *this : -*this;
    }
    return kind == PlusInfinity ? y : -y;
}

ExtReal ExtReal::operator-() const {
    switch (kind) {
        case Finite:
            return ExtReal(-value);
        case PlusInfinity:
            return ExtReal(value, MinusInfinity);
        case MinusInfinity:
            return ExtReal(value, PlusInfinity);
        default:
            return *this;
    }
}

std::ostream& operator<<(std::ostream& out, const ExtReal& x) {
    switch (x.Kind()) {
        case Finite:
            return out << x.Value();
        case PlusInfinity:
            return out << "plus-infinity";
        case MinusInfinity:
            return out << "minus-infinity";
        case Indefinite:
            return out << "indefinite";
        case Missing:
            return out << "missing";
    }
    return out;
}
