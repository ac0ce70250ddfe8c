// Continuous seeded variates: exponential, normal, gamma and the distributions built
// from them (chi-squared, F and their noncentral forms), and beta.
#include "numerics/variates.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "numerics/fatal_error.h"

using namespace vorlan2;

namespace {

// Algorithm SA: q[k - 1] = sum over i = 1 ... k of (ln 2)^i / i!, the last entry set to 1.
const float sa_q[8] = {0.6931472f, 0.9333737f, 0.9888778f, 0.9984959f, 0.9998293f, 0.9999833f, 0.9999986f, 1.0f};

// Algorithm FL (Ahrens and Dieter 1973), as published. fl_a[i] is the normal quantile of
// (32 + i) / 64; for the strip [a[i-1], a[i]], fl_t[i-1] = (a[i]^2 - a[i-1]^2) / 2 bounds
// the exponent of its wedge and fl_h[i-1] = (a[i] - a[i-1]) / (1 - fl_t[i-1]) maps the
// rectangle onto it; fl_d[i] (from entry 5) is the width of the tail piece of probability
// 2^-(i + 2).
const float fl_a[32] = {0.0f,       3.917609E-2f, 7.841241E-2f, 0.11777f,   0.1573107f, 0.1970991f, 0.2372021f,
                        0.2776904f, 0.3186394f,   0.36013f,     0.4022501f, 0.4450965f, 0.4887764f, 0.5334097f,
                        0.5791322f, 0.626099f,    0.6744898f,   0.7245144f, 0.7764218f, 0.8305109f, 0.8871466f,
                        0.9467818f, 1.00999f,     1.077516f,    1.150349f,  1.229859f,  1.318011f,  1.417797f,
                        1.534121f,  1.67594f,     1.862732f,    2.153875f};
const float fl_d[31] = {0.0f,       0.0f,       0.0f,       0.0f,       0.0f,       0.2636843f, 0.2425085f, 0.2255674f,
                        0.2116342f, 0.1999243f, 0.1899108f, 0.1812252f, 0.1736014f, 0.1668419f, 0.1607967f, 0.1553497f,
                        0.1504094f, 0.1459026f, 0.14177f,   0.1379632f, 0.1344418f, 0.1311722f, 0.128126f,  0.1252791f,
                        0.1226109f, 0.1201036f, 0.1177417f, 0.1155119f, 0.1134023f, 0.1114027f, 0.1095039f};
const float fl_t[31] = {
    7.673828E-4f, 2.30687E-3f,  3.860618E-3f, 5.438454E-3f, 7.0507E-3f,   8.708396E-3f, 1.042357E-2f, 1.220953E-2f,
    1.408125E-2f, 1.605579E-2f, 1.81529E-2f,  2.039573E-2f, 2.281177E-2f, 2.543407E-2f, 2.830296E-2f, 3.146822E-2f,
    3.499233E-2f, 3.895483E-2f, 4.345878E-2f, 4.864035E-2f, 5.468334E-2f, 6.184222E-2f, 7.047983E-2f, 8.113195E-2f,
    9.462444E-2f, 0.1123001f,   0.136498f,    0.1716886f,   0.2276241f,   0.330498f,    0.5847031f};
const float fl_h[31] = {
    3.920617E-2f, 3.932705E-2f, 3.951E-2f,    3.975703E-2f, 4.007093E-2f, 4.045533E-2f, 4.091481E-2f, 4.145507E-2f,
    4.208311E-2f, 4.280748E-2f, 4.363863E-2f, 4.458932E-2f, 4.567523E-2f, 4.691571E-2f, 4.833487E-2f, 4.996298E-2f,
    5.183859E-2f, 5.401138E-2f, 5.654656E-2f, 5.95313E-2f,  6.308489E-2f, 6.737503E-2f, 7.264544E-2f, 7.926471E-2f,
    8.781922E-2f, 9.930398E-2f, 0.11556f,     0.1404344f,   0.1836142f,   0.2790016f,   0.7010474f};

// Setup of sgamma's algorithm GD, kept while the shape repeats.
struct GammaSetup {
    float shape = 0.0f;  // shape of s2, s, d; 0 before the first GD call
    float s2 = 0.0f, s = 0.0f, d = 0.0f;
    float hat_shape = 0.0f;  // shape of q0, b, si, c (the rejection step)
    float q0 = 0.0f, b = 0.0f, si = 0.0f, c = 0.0f;
};
GammaSetup gd;

// ln of the quotient of the gamma density and the normal hat at t (algorithm GD).
float gd_quotient(float t) {
    const float a1 = 0.3333333f, a2 = -0.250003f, a3 = 0.2000062f, a4 = -0.1662921f;
    const float a5 = 0.1423657f, a6 = -0.1367177f, a7 = 0.1233795f;
    const float v = t / (gd.s + gd.s);
    if (std::fabs(v) <= 0.25f) {
        return gd.q0 + 0.5f * t * t * ((((((a7 * v + a6) * v + a5) * v + a4) * v + a3) * v + a2) * v + a1) * v;
    }
    return gd.q0 - gd.s * t + 0.25f * t * t + (gd.s2 + gd.s2) * std::log(1.0f + v);
}

void set_hat(float a) {
    const float q1 = 4.166669E-2f, q2 = 2.083148E-2f, q3 = 8.01191E-3f, q4 = 1.44121E-3f;
    const float q5 = -7.388E-5f, q6 = 2.4511E-4f, q7 = 2.424E-4f;
    gd.hat_shape = a;
    const float r = 1.0f / a;
    gd.q0 = ((((((q7 * r + q6) * r + q5) * r + q4) * r + q3) * r + q2) * r + q1) * r;
    // The constants of b, si and c were fitted by Ahrens and Dieter in three ranges of a.
    if (a <= 3.686f) {
        gd.b = 0.463f + gd.s + 0.178f * gd.s2;
        gd.si = 1.235f;
        gd.c = 0.195f / gd.s - 7.9E-2f + 0.16f * gd.s;
    } else if (a <= 13.022f) {
        gd.b = 1.654f + 7.6E-3f * gd.s2;
        gd.si = 1.68f / gd.s + 0.275f;
        gd.c = 6.2E-2f / gd.s + 2.4E-2f;
    } else {
        gd.b = 1.77f;
        gd.si = 0.75f;
        gd.c = 0.1515f / gd.s;
    }
}

// Algorithm GS for shapes below 1 (0.3678794 = exp(-1)).
float gamma_small_shape(float a) {
    const float b = 1.0f + 0.3678794f * a;
    while (true) {
        const float p = b * ranf();
        if (p < 1.0f) {
            const float x = std::exp(std::log(p) / a);
            if (sexpo() >= x) {
                return x;
            }
        } else {
            const float x = -std::log((b - p) / a);
            if (sexpo() >= (1.0f - a) * std::log(x)) {
                return x;
            }
        }
    }
}

// Below this ratio of denominator to numerator the quotient would overflow a float.
constexpr float overflow_ratio = 9.999999999998E-39f;

// Cheng's setup and last accepted shapes, kept while the pair repeats.
struct BetaSetup {
    bool any = false;  // no pair before the first call
    float olda = 0.0f, oldb = 0.0f;
    float a = 0.0f, b = 0.0f, alpha = 0.0f, beta = 0.0f, gamma = 0.0f;
    float k1 = 0.0f, k2 = 0.0f;
};
BetaSetup cheng;

// w = a exp(v), capped at 1.0E38 beyond v = 89 and also below it wherever the product
// would overflow a float: an infinite w would make w / (b + w) undefined.
float cheng_w(float v) { return v > 89.0f ? 1.0E38f : std::min(cheng.a * std::exp(v), 1.0E38f); }

// Algorithm BB, both shapes above 1.
float beta_bb() {
    while (true) {
        const float u1 = ranf();
        const float u2 = ranf();
        const float v = cheng.beta * std::log(u1 / (1.0f - u1));
        const float w = cheng_w(v);
        const float z = u1 * u1 * u2;
        const float r = cheng.gamma * v - 1.3862944f;
        const float s = cheng.a + r - w;
        if (s + 2.609438f >= 5.0f * z) {
            return w;
        }
        const float t = std::log(z);
        if (s > t) {
            return w;
        }
        if (r + cheng.alpha * std::log(cheng.alpha / (cheng.b + w)) >= t) {
            return w;
        }
    }
}

// Algorithm BC, the smaller shape at most 1.
float beta_bc() {
    while (true) {
        const float u1 = ranf();
        const float u2 = ranf();
        float z;
        if (u1 < 0.5f) {
            const float y = u1 * u2;
            z = u1 * y;
            if (0.25f * u2 + z - y >= cheng.k1) {
                continue;
            }
        } else {
            z = u1 * u1 * u2;
            if (z <= 0.25f) {
                return cheng_w(cheng.beta * std::log(u1 / (1.0f - u1)));
            }
            if (z >= cheng.k2) {
                continue;
            }
        }
        const float v = cheng.beta * std::log(u1 / (1.0f - u1));
        const float w = cheng_w(v);
        if (cheng.alpha * (std::log(cheng.alpha / (cheng.b + w)) + v) - 1.3862944f >= std::log(z)) {
            return w;
        }
    }
}

}  // namespace

float sexpo() {
    float a = 0.0f;
    float u = ranf();
    u += u;
    while (u <= 1.0f) {
        a += sa_q[0];
        u += u;
    }
    u -= 1.0f;
    if (u <= sa_q[0]) {
        return a + u;
    }
    long i = 1;
    float umin = ranf();
    do {
        const float ustar = ranf();
        if (ustar < umin) {
            umin = ustar;
        }
        ++i;
    } while (u > sa_q[i - 1]);
    return a + umin * sa_q[0];
}

float genexp(float av) { return av * sexpo(); }

float snorm() {
    float u = ranf();
    const float s = u > 0.5f ? 1.0f : 0.0f;
    u = 32.0f * ((u - s) + u);
    long i = static_cast<long>(u);
    if (i == 32) {
        i = 31;
    }
    float aa;
    float w;
    if (i != 0) {
        // Centre strip i: rectangle, else the wedge by Forsythe's comparison chain.
        float ustar = u - static_cast<float>(i);
        aa = fl_a[i - 1];
        while (true) {
            if (ustar > fl_t[i - 1]) {
                w = (ustar - fl_t[i - 1]) * fl_h[i - 1];
                break;
            }
            u = ranf();
            w = u * (fl_a[i] - aa);
            float tt = (0.5f * w + aa) * w;
            bool accepted = false;
            while (true) {
                if (ustar > tt) {
                    accepted = true;
                    break;
                }
                u = ranf();
                if (u > ustar) {
                    break;
                }
                tt = u;
                ustar = ranf();
            }
            if (accepted) {
                break;
            }
            ustar = ranf();
        }
    } else {
        // Tail beyond a[31]: pieces of halving probability, each by the comparison chain.
        i = 6;
        aa = fl_a[31];
        u += u;
        while (u < 1.0f) {
            aa += fl_d[i - 1];
            ++i;
            u += u;
        }
        u -= 1.0f;
        while (true) {
            w = u * fl_d[i - 1];
            float tt = (0.5f * w + aa) * w;
            bool accepted = false;
            while (true) {
                const float ustar = ranf();
                if (ustar > tt) {
                    accepted = true;
                    break;
                }
                u = ranf();
                if (u > ustar) {
                    break;
                }
                tt = u;
            }
            if (accepted) {
                break;
            }
            u = ranf();
        }
    }
    const float y = aa + w;
    return s == 1.0f ? -y : y;
}

float gennor(float av, float sd) { return sd * snorm() + av; }

float sgamma(float a) {
    // Shapes below 1 (0 among them) never use the GD setup, so a stored GD setup cannot be
    // mistaken for theirs.
    if (a < 1.0f) {
        return gamma_small_shape(a);
    }
    if (a != gd.shape) {
        gd.shape = a;
        gd.s2 = a - 0.5f;
        gd.s = std::sqrt(gd.s2);
        gd.d = 5.656854f - 12.0f * gd.s;
    }
    // Normal step with immediate acceptance, then the squeeze.
    float t = snorm();
    float x = gd.s + 0.5f * t;
    if (t >= 0.0f) {
        return x * x;
    }
    float u = ranf();
    if (gd.d * u <= t * t * t) {
        return x * x;
    }
    if (a != gd.hat_shape) {
        set_hat(a);
    }
    if (x > 0.0f && std::log(1.0f - u) <= gd_quotient(t)) {
        return x * x;
    }
    // Double-exponential (Laplace) hat with rejection.
    while (true) {
        const float e = sexpo();
        u = ranf();
        u += u - 1.0f;
        t = gd.b + fsign(gd.si * e, u);
        if (t < -0.7187449f) {
            continue;
        }
        const float q = gd_quotient(t);
        if (q <= 0.0f) {
            continue;
        }
        const float w = q <= 0.5f ? ((((1.0293E-2f * q + 4.07753E-2f) * q + 0.166829f) * q + 0.4999897f) * q + 1.0f) * q
                                  : std::exp(q) - 1.0f;
        if (gd.c * std::fabs(u) <= w * std::exp(e - 0.5f * t * t)) {
            x = gd.s + 0.5f * t;
            return x * x;
        }
    }
}

float gengam(float a, float r) { return sgamma(r) / a; }

float genchi(float df) {
    if (df <= 0.0f) {
        std::fputs("DF <= 0 in GENCHI - ABORT", stderr);
        std::fprintf(stderr, "Value of DF: %16.6E\n", df);
        numerics_fatal("");
    }
    return 2.0f * sgamma(df / 2.0f);
}

float gennch(float df, float xnonc) {
    if (df <= 1.0f || xnonc < 0.0f) {
        std::fputs("DF <= 1 or XNONC < 0 in GENNCH - ABORT", stderr);
        std::fprintf(stderr, "Value of DF: %16.6E Value of XNONC%16.6E\n", df, xnonc);
        numerics_fatal("");
    }
    const float chi = genchi(df - 1.0f);
    const float shifted = snorm() + std::sqrt(xnonc);
    return chi + shifted * shifted;
}

float genf(float dfn, float dfd) {
    if (dfn <= 0.0f || dfd <= 0.0f) {
        std::fputs("Degrees of freedom nonpositive in GENF - abort!", stderr);
        std::fprintf(stderr, "DFN value: %16.6EDFD value: %16.6E\n", dfn, dfd);
        numerics_fatal("");
    }
    const float xnum = genchi(dfn) / dfn;
    const float xden = genchi(dfd) / dfd;
    if (xden <= overflow_ratio * xnum) {
        std::fputs(" GENF - generated numbers would cause overflow", stderr);
        std::fprintf(stderr, " Numerator %16.6E Denominator %16.6E\n", xnum, xden);
        std::fputs(" GENF returning 1.0E38", stderr);
        return 1.0E38f;
    }
    return xnum / xden;
}

float gennf(float dfn, float dfd, float xnonc) {
    if (dfn <= 1.0f || dfd <= 0.0f || xnonc < 0.0f) {
        std::fputs("In GENNF - Either (1) Numerator DF <= 1.0 or", stderr);
        std::fputs("(2) Denominator DF < 0.0 or ", stderr);
        std::fputs("(3) Noncentrality parameter < 0.0", stderr);
        std::fprintf(stderr, "DFN value: %16.6EDFD value: %16.6EXNONC value: \n%16.6E\n", dfn, dfd, xnonc);
        numerics_fatal("");
    }
    const float xnum = gennch(dfn, xnonc) / dfn;
    const float xden = genchi(dfd) / dfd;
    if (xden <= overflow_ratio * xnum) {
        std::fputs(" GENNF - generated numbers would cause overflow", stderr);
        std::fprintf(stderr, " Numerator %16.6E Denominator %16.6E\n", xnum, xden);
        std::fputs(" GENNF returning 1.0E38", stderr);
        return 1.0E38f;
    }
    return xnum / xden;
}

float genbet(float aa, float bb) {
    const bool same = cheng.any && cheng.olda == aa && cheng.oldb == bb;
    if (!same) {
        if (aa <= 0.0f || bb <= 0.0f) {
            std::fputs(" AA or BB <= 0 in GENBET - Abort!", stderr);
            std::fprintf(stderr, " AA: %16.6E BB %16.6E\n", aa, bb);
            numerics_fatal("");
        }
        cheng.any = true;
        cheng.olda = aa;
        cheng.oldb = bb;
    }
    const bool both_above_one = std::min(aa, bb) > 1.0f;
    if (!same) {
        if (both_above_one) {
            cheng.a = std::min(aa, bb);
            cheng.b = std::max(aa, bb);
            cheng.alpha = cheng.a + cheng.b;
            cheng.beta = std::sqrt((cheng.alpha - 2.0f) / (2.0f * cheng.a * cheng.b - cheng.alpha));
            cheng.gamma = cheng.a + 1.0f / cheng.beta;
        } else {
            cheng.a = std::max(aa, bb);
            cheng.b = std::min(aa, bb);
            cheng.alpha = cheng.a + cheng.b;
            cheng.beta = 1.0f / cheng.b;
            const float delta = 1.0f + cheng.a - cheng.b;
            cheng.k1 = delta * (1.38889E-2f + 4.16667E-2f * cheng.b) / (cheng.a * cheng.beta - 0.777778f);
            cheng.k2 = 0.25f + (0.5f + 0.25f / delta) * cheng.b;
        }
    }
    const float w = both_above_one ? beta_bb() : beta_bc();
    return aa == cheng.a ? w / (cheng.b + w) : cheng.b / (cheng.b + w);
}
