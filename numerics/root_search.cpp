// Reverse-communication root search: dinvr brackets a sign change by
// stepping out from a start value, dzror closes in on it (Bus and Dekker).
#include "numerics/root_search.h"

#include <cmath>

#include "numerics/fatal_error.h"

using namespace vorlan2;

namespace {

// Which evaluation the bracketing search is waiting for.
enum class InvrResume { None, Small, Big, Start, StepUp, StepDown, ZeroFinder };

// Which evaluation the zero finder is waiting for.
enum class ZrorResume { None, Low, High, Step };

// Bus and Dekker's rule takes at most about four times the evaluations of
// bisection, and bisection of any bracket of doubles ends within about 2100
// halvings; past this many steps the search is not progressing.
const int max_zero_finder_steps = 10000;

// True when u and v do not lie on opposite sides of zero. Their product
// would underflow to zero for values below about 1e-162 and hide a change of
// sign.
bool same_sign_or_zero(double u, double v) { return (u >= 0.0 && v >= 0.0) || (u <= 0.0 && v <= 0.0); }

// State of E0000, the body of dstinv and dinvr.
struct InvrState {
    // Search constants.
    double small, big, absstp, relstp, stpmul, abstol, reltol;
    double xsave;         // start value
    double fsmall, fbig;  // function values at the limits
    bool qincr;           // the function increases
    double step;
    double xlb, xub;  // current bracket
    double yy;        // last function value
    bool qup, qbdd, qlim, qcond, qok;
    double xlo, xhi;  // the zero finder's bracket
    InvrResume resume;
};

// State of E0001, the body of dstzr and dzror.
struct ZrorState {
    double xxlo, xxhi;  // bracket given by dstzr
    double abstol, reltol;
    double a, b, c, d, fa, fb, fc, fd, fda, fdb, m, mb, p, q, tol, w;
    int ext;     // interpolation steps in a row while c stayed the same
    bool first;  // no earlier point for inverse quadratic interpolation yet
    bool qrzero;
    int steps;  // points asked for since the bracket was set
    ZrorResume resume;
};

InvrState invr;
ZrorState zror;

// Asks the caller for f(x).
void request(int* status, double* x, double at) {
    *x = at;
    *status = 1;
}

// Steps 3 to 6 of the zero finder: either finishes or asks for the next point.
void E0001_iterate(int* status, double* x, double* xlo, double* xhi) {
    ZrorState& z = zror;
    for (;;) {
        if (std::fabs(z.fc) < std::fabs(z.fb)) {
            if (z.c != z.a) {
                z.d = z.a;
                z.fd = z.fa;
            }
            z.a = z.b;
            z.fa = z.fb;
            *xlo = z.c;
            z.b = *xlo;
            z.fb = z.fc;
            z.c = z.a;
            z.fc = z.fa;
        }
        z.tol = 0.5 * fifdmax1(z.abstol, z.reltol * std::fabs(*xlo));
        // Halves summed: (c + b) / 2 overflows for ends beyond half the
        // largest double.
        z.m = 0.5 * z.c + 0.5 * z.b;
        z.mb = z.m - z.b;
        if (std::fabs(z.mb) <= z.tol) {
            *xhi = z.c;
            z.qrzero = (z.fc >= 0.0 && z.fb <= 0.0) || (z.fc < 0.0 && z.fb >= 0.0);
            *status = z.qrzero ? 0 : -2;
            z.resume = ZrorResume::None;
            return;
        }
        if (z.steps >= max_zero_finder_steps) {
            *xhi = z.c;
            *status = -2;
            z.resume = ZrorResume::None;
            return;
        }
        if (z.ext > 3) {
            z.w = z.mb;
        } else {
            z.tol = fifdsign(z.tol, z.mb);
            // The step depends only on ratios of the values. Scaled up by a
            // power of two (exactly, so that the step is otherwise the
            // same), values near 1e-200 give products that do not underflow.
            double largest = std::fmax(std::fabs(z.fa), std::fabs(z.fb));
            if (!z.first) {
                largest = std::fmax(largest, std::fabs(z.fd));
            }
            int exponent = 0;
            if (largest > 0.0 && largest < 0.5) {
                std::frexp(largest, &exponent);
            }
            const double fa = std::ldexp(z.fa, -exponent);
            const double fb = std::ldexp(z.fb, -exponent);
            z.p = (z.b - z.a) * fb;
            if (z.first) {
                z.q = fa - fb;
                z.first = false;
            } else {
                const double fd = std::ldexp(z.fd, -exponent);
                z.fdb = (fd - fb) / (z.d - z.b);
                z.fda = (fd - fa) / (z.d - z.a);
                z.p = z.fda * z.p;
                z.q = z.fdb * fa - z.fda * fb;
            }
            if (z.p < 0.0) {
                z.p = -z.p;
                z.q = -z.q;
            }
            if (z.ext == 3) {
                z.p *= 2.0;
            }
            if (z.p * 1.0 == 0.0 || z.p <= z.q * z.tol) {
                z.w = z.tol;
            } else if (z.p < z.mb * z.q) {
                z.w = z.p / z.q;
            } else {
                z.w = z.mb;
            }
        }
        z.d = z.a;
        z.fd = z.fa;
        z.a = z.b;
        z.fa = z.fb;
        z.b += z.w;
        *xlo = z.b;
        z.steps += 1;
        request(status, x, *xlo);
        z.resume = ZrorResume::Step;
        return;
    }
}

void E0001(int* status, double* x, double* fx, double* xlo, double* xhi, int* qleft, int* qhi) {
    ZrorState& z = zror;
    if (*status <= 0 || z.resume == ZrorResume::None) {
        *xlo = z.xxlo;
        *xhi = z.xxhi;
        z.b = *xlo;
        request(status, x, z.b);
        z.resume = ZrorResume::Low;
        return;
    }
    switch (z.resume) {
        case ZrorResume::Low:
            z.fb = *fx;
            z.a = *xhi;
            request(status, x, z.a);
            z.resume = ZrorResume::High;
            return;
        case ZrorResume::High:
            z.fc = *fx;
            if (z.fb < 0.0 && z.fc < 0.0) {
                *status = -1;
                *qleft = z.fc < z.fb;
                *qhi = 0;
                z.resume = ZrorResume::None;
                return;
            }
            if (z.fb > 0.0 && z.fc > 0.0) {
                *status = -1;
                *qleft = z.fb < z.fc;
                *qhi = 1;
                z.resume = ZrorResume::None;
                return;
            }
            z.fa = z.fc;
            z.first = true;
            z.c = z.a;
            z.fc = z.fa;
            z.ext = 0;
            z.steps = 0;
            break;
        case ZrorResume::Step:
            z.fb = *fx;
            if (same_sign_or_zero(z.fc, z.fb)) {
                z.c = z.a;
                z.fc = z.fa;
                z.ext = 0;
            } else if (z.w == z.mb) {
                z.ext = 0;
            } else {
                z.ext += 1;
            }
            break;
        case ZrorResume::None:
            break;
    }
    E0001_iterate(status, x, xlo, xhi);
}

// Step 7 of dinvr: pass the zero finder's requests through; its end is
// ours, a failure included (the bracket handed to it always holds a change
// of sign, so its failure means no root was closed in on).
void invr_zero_finder(int* status, double* x, double* fx) {
    int qdum1 = 0;
    int qdum2 = 0;
    E0001(status, x, fx, &invr.xlo, &invr.xhi, &qdum1, &qdum2);
    if (*status == 1) {
        invr.resume = InvrResume::ZeroFinder;
        return;
    }
    *x = invr.xlo;
    invr.resume = InvrResume::None;
}

void finish_outside(int* status, double* x, int* qleft, int* qhi, bool left, bool high, double at) {
    *status = -1;
    *qleft = left;
    *qhi = high;
    *x = at;
    invr.resume = InvrResume::None;
}

void E0000(int* status, double* x, double* fx, int* qleft, int* qhi) {
    InvrState& s = invr;
    if (*status <= 0 || s.resume == InvrResume::None) {
        // Written so that a NaN start value is refused too.
        if (!(s.small <= *x && *x <= s.big)) {
            ftnstop(" SMALL, X, BIG not monotone in INVR");
        }
        s.xsave = *x;
        request(status, x, s.small);
        s.resume = InvrResume::Small;
        return;
    }
    switch (s.resume) {
        case InvrResume::Small:
            s.fsmall = *fx;
            request(status, x, s.big);
            s.resume = InvrResume::Big;
            return;
        case InvrResume::Big:
            s.fbig = *fx;
            s.qincr = s.fbig > s.fsmall;
            if (s.qincr) {
                if (s.fsmall > 0.0) {
                    finish_outside(status, x, qleft, qhi, true, true, *x);
                    return;
                }
                if (s.fbig < 0.0) {
                    finish_outside(status, x, qleft, qhi, false, false, *x);
                    return;
                }
            } else {
                if (s.fsmall < 0.0) {
                    finish_outside(status, x, qleft, qhi, true, false, *x);
                    return;
                }
                if (s.fbig > 0.0) {
                    finish_outside(status, x, qleft, qhi, false, true, *x);
                    return;
                }
            }
            s.step = fifdmax1(s.absstp, s.relstp * std::fabs(s.xsave));
            request(status, x, s.xsave);
            s.resume = InvrResume::Start;
            return;
        case InvrResume::Start:
            s.yy = *fx;
            if (s.yy == 0.0) {
                *status = 0;
                *x = s.xsave;
                s.resume = InvrResume::None;
                return;
            }
            s.qup = (s.qincr && s.yy < 0.0) || (!s.qincr && s.yy > 0.0);
            if (s.qup) {
                s.xlb = s.xsave;
                s.xub = fifdmin1(s.xlb + s.step, s.big);
                request(status, x, s.xub);
                s.resume = InvrResume::StepUp;
            } else {
                s.xub = s.xsave;
                s.xlb = fifdmax1(s.xub - s.step, s.small);
                request(status, x, s.xlb);
                s.resume = InvrResume::StepDown;
            }
            return;
        case InvrResume::StepUp:
            s.yy = *fx;
            s.qbdd = (s.qincr && s.yy >= 0.0) || (!s.qincr && s.yy <= 0.0);
            s.qlim = s.xub >= s.big;
            s.qcond = s.qbdd || s.qlim;
            if (!s.qcond) {
                s.step = s.stpmul * s.step;
                s.xlb = s.xub;
                s.xub = fifdmin1(s.xlb + s.step, s.big);
                request(status, x, s.xub);
                return;
            }
            if (s.qlim && !s.qbdd) {
                finish_outside(status, x, qleft, qhi, false, !s.qincr, s.big);
                return;
            }
            break;
        case InvrResume::StepDown:
            s.yy = *fx;
            s.qbdd = (s.qincr && s.yy <= 0.0) || (!s.qincr && s.yy >= 0.0);
            s.qlim = s.xlb <= s.small;
            s.qcond = s.qbdd || s.qlim;
            if (!s.qcond) {
                s.step = s.stpmul * s.step;
                s.xub = s.xlb;
                s.xlb = fifdmax1(s.xub - s.step, s.small);
                request(status, x, s.xlb);
                return;
            }
            if (s.qlim && !s.qbdd) {
                finish_outside(status, x, qleft, qhi, true, s.qincr, s.small);
                return;
            }
            break;
        case InvrResume::ZeroFinder:
            *status = 1;
            invr_zero_finder(status, x, fx);
            return;
        case InvrResume::None:
            return;
    }
    dstzr(&s.xlb, &s.xub, &s.abstol, &s.reltol);
    *status = 0;
    invr_zero_finder(status, x, fx);
}

}  // namespace

void dstinv(double* small, double* big, double* absstp, double* relstp, double* stpmul, double* abstol,
            double* reltol) {
    invr.small = *small;
    invr.big = *big;
    invr.absstp = *absstp;
    invr.relstp = *relstp;
    invr.stpmul = *stpmul;
    invr.abstol = *abstol;
    invr.reltol = *reltol;
    invr.resume = InvrResume::None;
}

void dinvr(int* status, double* x, double* fx, int* qleft, int* qhi) { E0000(status, x, fx, qleft, qhi); }

void dstzr(double* xlo, double* xhi, double* abstol, double* reltol) {
    zror.xxlo = *xlo;
    zror.xxhi = *xhi;
    zror.abstol = *abstol;
    zror.reltol = *reltol;
    zror.resume = ZrorResume::None;
}

void dzror(int* status, double* x, double* fx, double* xlo, double* xhi, int* qleft, int* qhi) {
    E0001(status, x, fx, xlo, xhi, qleft, qhi);
}

void ftnstop(const char* msg) { numerics_fatal(msg != nullptr ? msg : ""); }

double fifdint(double a) { return std::trunc(a); }

double fifdmax1(double a, double b) { return a < b ? b : a; }

double fifdmin1(double a, double b) { return a < b ? a : b; }

double fifdsign(double mag, double sign) {
    double magnitude = std::fabs(mag);
    return sign >= 0.0 ? magnitude : -magnitude;
}

long fifidint(double a) { return a < 1.0 ? 0 : static_cast<long>(a); }

long fifmod(long a, long b) { return a % b; }
