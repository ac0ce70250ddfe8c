// Discrete seeded variates: binomial (BTPE), Poisson (algorithm PD), negative binomial
// and multinomial counts.
#include "numerics/variates.h"

#include <algorithm>
#include <cmath>

#include "numerics/root_search.h"

namespace {

// Setup of ignbin, kept while the probability and the count repeat.
struct BinomialSetup {
    bool any = false;  // nothing stored before the first call
    float psave = 0.0f;
    long nsave = 0;
    float p = 0.0f, q = 0.0f, xnp = 0.0f;
    // inversion
    float qn = 0.0f, r = 0.0f, g = 0.0f;
    // BTPE: mode, region boundaries and exponential tail rates
    long m = 0;
    float fm = 0.0f, xnpq = 0.0f, p1 = 0.0f, xm = 0.0f, xl = 0.0f, xr = 0.0f, c = 0.0f;
    float xll = 0.0f, xlr = 0.0f, p2 = 0.0f, p3 = 0.0f, p4 = 0.0f;
};
BinomialSetup bin;

// n + 1 as a float, taken through double so that LONG_MAX does not overflow;
// below 2^53 it is the float of the exact n + 1.
float count_plus_one(long n) { return static_cast<float>(static_cast<double>(n) + 1.0); }

void set_binomial(long n, float pp) {
    if (!bin.any || pp != bin.psave) {
        bin.psave = pp;
        bin.p = std::min(pp, 1.0f - pp);
        bin.q = 1.0f - bin.p;
    }
    bin.any = true;
    bin.nsave = n;
    bin.xnp = static_cast<float>(n) * bin.p;
    if (bin.xnp < 30.0f) {
        bin.qn = std::pow(bin.q, static_cast<float>(n));
        bin.r = bin.p / bin.q;
        bin.g = bin.r * count_plus_one(n);
        return;
    }
    const float ffm = bin.xnp + bin.p;
    bin.m = static_cast<long>(ffm);
    bin.fm = static_cast<float>(bin.m);
    bin.xnpq = bin.xnp * bin.q;
    bin.p1 = static_cast<float>(static_cast<long>(2.195f * std::sqrt(bin.xnpq) - 4.6f * bin.q)) + 0.5f;
    bin.xm = bin.fm + 0.5f;
    bin.xl = bin.xm - bin.p1;
    bin.xr = bin.xm + bin.p1;
    bin.c = 0.134f + 20.5f / (15.3f + bin.fm);
    float al = (ffm - bin.xl) / (ffm - bin.xl * bin.p);
    bin.xll = al * (1.0f + 0.5f * al);
    al = (bin.xr - ffm) / (bin.xr * bin.q);
    bin.xlr = al * (1.0f + 0.5f * al);
    bin.p2 = bin.p1 * (1.0f + bin.c + bin.c);
    bin.p3 = bin.p2 + bin.c / bin.xll;
    bin.p4 = bin.p3 + bin.c / bin.xlr;
}

long binomial_inversion() {
    while (true) {
        long ix = 0;
        float f = bin.qn;
        float u = ranf();
        // Past 110 the search restarts with a fresh uniform.
        while (u >= f && ix <= 110) {
            u -= f;
            ++ix;
            f *= bin.g / static_cast<float>(ix) - bin.r;
        }
        if (u < f) {
            return ix;
        }
    }
}

// Remainder of Stirling's series for ln (x - 1)!: 1/(12x) - 1/(360x^3) + 1/(1260x^5) - ...
float stirling_correction(float x) {
    const float x2 = x * x;
    return (13860.0f - (462.0f - (132.0f - (99.0f - 140.0f / x2) / x2) / x2) / x2) / x / 166320.0f;
}

long binomial_btpe(long n) {
    const float p = bin.p, q = bin.q, xnpq = bin.xnpq;
    const long m = bin.m;
    while (true) {
        const float u = ranf() * bin.p4;
        float v = ranf();
        long ix;
        if (u <= bin.p1) {
            // Triangular region: accepted at once.
            return static_cast<long>(bin.xm - bin.p1 * v + u);
        }
        if (u <= bin.p2) {
            // Parallelogram region.
            const float x = bin.xl + (u - bin.p1) / bin.c;
            v = v * bin.c + 1.0f - std::fabs(bin.xm - x) / bin.p1;
            if (v > 1.0f || v <= 0.0f) {
                continue;
            }
            ix = static_cast<long>(x);
        } else if (u <= bin.p3) {
            // Left exponential tail.
            ix = static_cast<long>(bin.xl + std::log(v) / bin.xll);
            if (ix < 0) {
                continue;
            }
            v *= (u - bin.p2) * bin.xll;
        } else {
            // Right exponential tail.
            ix = static_cast<long>(bin.xr - std::log(v) / bin.xlr);
            if (ix > n) {
                continue;
            }
            v *= (u - bin.p3) * bin.xlr;
        }
        const long k = std::labs(ix - m);
        if (k <= 20 || static_cast<float>(k) >= xnpq / 2.0f - 1.0f) {
            // Explicit evaluation of f(ix) / f(m) by the recurrence.
            float f = 1.0f;
            const float r = p / q;
            const float g = count_plus_one(n) * r;
            if (m < ix) {
                for (long i = m + 1; i <= ix; ++i) {
                    f *= g / static_cast<float>(i) - r;
                }
            } else if (m > ix) {
                for (long i = ix + 1; i <= m; ++i) {
                    f /= g / static_cast<float>(i) - r;
                }
            }
            if (v <= f) {
                return ix;
            }
            continue;
        }
        // Squeeze with bounds on ln f(ix), then the exact test with Stirling's formula.
        const float fk = static_cast<float>(k);
        const float amaxp = fk / xnpq * ((fk * (fk / 3.0f + 0.625f) + 0.1666666666666f) / xnpq + 0.5f);
        const float ynorm = -(fk * fk / (2.0f * xnpq));
        const float alv = std::log(v);
        if (alv < ynorm - amaxp) {
            return ix;
        }
        if (alv > ynorm + amaxp) {
            continue;
        }
        const float x1 = static_cast<float>(ix) + 1.0f;
        const float f1 = bin.fm + 1.0f;
        const float z = static_cast<float>(n) + 1.0f - bin.fm;
        const float w = static_cast<float>(n - ix) + 1.0f;
        // ln f(ix) / f(m) = ln(m! (n - m)! / (ix! (n - ix)!)) + (ix - m) ln(p / q): the remainders of
        // m! and (n - m)! are added, those of ix! and (n - ix)! subtracted.
        const float bound = bin.xm * std::log(f1 / x1) + (static_cast<float>(n - m) + 0.5f) * std::log(z / w) +
                            static_cast<float>(ix - m) * std::log(w * p / (x1 * q)) + stirling_correction(f1) +
                            stirling_correction(z) - stirling_correction(x1) - stirling_correction(w);
        if (alv <= bound) {
            return ix;
        }
    }
}

// Setup of ignpoi, one per method, kept while the mean repeats.
struct PoissonSetup {
    // algorithm PD (means of at least 10; 0 stands for none yet)
    float muprev = 0.0f;
    float s = 0.0f, d = 0.0f;
    long l = 0;
    float hat_mean = 0.0f;
    float omega = 0.0f, c3 = 0.0f, c2 = 0.0f, c1 = 0.0f, c0 = 0.0f, c = 0.0f;
    // table inversion (means below 10, 0 among them, so a flag marks the first setup)
    bool any_table = false;
    float table_mean = 0.0f;
    long m = 0, length = 0;
    float p = 0.0f, q = 0.0f, p0 = 0.0f;
    float pp[35] = {};  // cumulative probabilities of 1 ... length
};
PoissonSetup poi;

const float factorial[10] = {1.0f, 1.0f, 2.0f, 6.0f, 24.0f, 120.0f, 720.0f, 5040.0f, 40320.0f, 362880.0f};

// Procedure F of algorithm PD: ln and value pieces (px, py) of the Poisson probability of
// k and (fx, fy) of the discrete normal approximation.
struct PoissonTerms {
    float px, py, fx, fy;
};

PoissonTerms poisson_terms(float mu, long k, float difmuk) {
    PoissonTerms terms{};
    if (k < 10) {
        terms.px = -mu;
        terms.py = std::pow(mu, static_cast<float>(k)) / factorial[k];
    } else {
        const float a0 = -0.5f, a1 = 0.3333333f, a2 = -0.2500068f, a3 = 0.2000118f;
        const float a4 = -0.1661269f, a5 = 0.1421878f, a6 = -0.1384794f, a7 = 0.125006f;
        const float fk = static_cast<float>(k);
        float del = 8.333333E-2f / fk;
        del -= 4.8f * del * del * del;
        const float v = difmuk / fk;
        if (std::fabs(v) <= 0.25f) {
            terms.px = fk * v * v * (((((((a7 * v + a6) * v + a5) * v + a4) * v + a3) * v + a2) * v + a1) * v + a0) -
                       del;
        } else {
            terms.px = fk * std::log(1.0f + v) - difmuk - del;
        }
        terms.py = 0.3989423f / std::sqrt(fk);
    }
    const float x = (0.5f - difmuk) / poi.s;
    const float xx = x * x;
    terms.fx = -0.5f * xx;
    terms.fy = poi.omega * (((poi.c3 * xx + poi.c2) * xx + poi.c1) * xx + poi.c0);
    return terms;
}

long poisson_pd(float mu) {
    if (mu != poi.muprev) {
        poi.muprev = mu;
        poi.s = std::sqrt(mu);
        poi.d = 6.0f * mu * mu;
        // The Poisson probabilities exceed the discrete normal ones from l on.
        poi.l = static_cast<long>(mu - 1.1484f);
    }
    // Normal sample, immediate acceptance, squeeze.
    const float g = mu + poi.s * snorm();
    long k = 0;
    float u = 0.0f;
    if (g >= 0.0f) {
        k = static_cast<long>(g);
        if (k >= poi.l) {
            return k;
        }
        const float difmuk = mu - static_cast<float>(k);
        u = ranf();
        if (poi.d * u >= difmuk * difmuk * difmuk) {
            return k;
        }
    }
    if (mu != poi.hat_mean) {
        // Hermite approximation of the discrete normal probabilities; c makes the
        // Laplace hat majorise them.
        poi.hat_mean = mu;
        poi.omega = 0.3989423f / poi.s;
        const float b1 = 4.166667E-2f / mu;
        const float b2 = 0.3f * b1 * b1;
        poi.c3 = 0.1428571f * b1 * b2;
        poi.c2 = b2 - 15.0f * poi.c3;
        poi.c1 = b1 - 6.0f * b2 + 45.0f * poi.c3;
        poi.c0 = 1.0f - b1 + 3.0f * b2 - 15.0f * poi.c3;
        poi.c = 0.1069f / mu;
    }
    if (g >= 0.0f) {
        // Quotient acceptance.
        const PoissonTerms terms = poisson_terms(mu, k, mu - static_cast<float>(k));
        if (terms.fy - u * terms.fy <= terms.py * std::exp(terms.px - terms.fx)) {
            return k;
        }
    }
    // Laplace hat; below t = -0.6744 the Poisson probability is under the normal one.
    while (true) {
        const float e = sexpo();
        u = ranf();
        u += u - 1.0f;
        const float t = 1.8f + fsign(e, u);
        if (t <= -0.6744f) {
            continue;
        }
        k = static_cast<long>(mu + poi.s * t);
        const PoissonTerms terms = poisson_terms(mu, k, mu - static_cast<float>(k));
        if (poi.c * std::fabs(u) <= terms.py * std::exp(terms.px + e) - terms.fy * std::exp(terms.fx + e)) {
            return k;
        }
    }
}

long poisson_table(float mu) {
    if (!poi.any_table || mu != poi.table_mean) {
        poi.any_table = true;
        poi.table_mean = mu;
        poi.m = std::max(1L, static_cast<long>(mu));
        poi.length = 0;
        poi.p = std::exp(-mu);
        poi.q = poi.p;
        poi.p0 = poi.p;
    }
    while (true) {
        const float u = ranf();
        if (u <= poi.p0) {
            return 0;
        }
        if (poi.length > 0) {
            // 0.458 is the cumulative probability of 9 at mean 10: above it the answer
            // is at least m.
            const long start = u > 0.458f ? std::min(poi.length, poi.m) : 1;
            for (long k = start; k <= poi.length; ++k) {
                if (u <= poi.pp[k - 1]) {
                    return k;
                }
            }
            if (poi.length == 35) {
                continue;
            }
        }
        for (long k = poi.length + 1; k <= 35; ++k) {
            poi.p = poi.p * mu / static_cast<float>(k);
            poi.q += poi.p;
            poi.pp[k - 1] = poi.q;
            if (u <= poi.q) {
                poi.length = k;
                return k;
            }
        }
        poi.length = 35;
    }
}

}  // namespace

long ignbin(long n, float pp) {
    // No search or rejection step ends for a probability that is not a number.
    if (!std::isfinite(pp)) {
        ftnstop("PP not finite in IGNBIN");
    }
    // Far above this mean the single-precision regions of BTPE no longer tell
    // neighbouring counts apart and its rejection loop stops ending (from about
    // 1e15 on); 2^48 keeps a wide margin below every mean seen to hang.
    if (static_cast<float>(n) * std::min(pp, 1.0f - pp) >= 0x1p48f) {
        ftnstop("N*PP too large in IGNBIN");
    }
    if (!bin.any || pp != bin.psave || n != bin.nsave) {
        set_binomial(n, pp);
    }
    const long ix = bin.xnp < 30.0f ? binomial_inversion() : binomial_btpe(n);
    return bin.psave > 0.5f ? n - ix : ix;
}

long ignpoi(float mu) {
    // No search or rejection step ends for a mean that is not a number.
    if (!std::isfinite(mu)) {
        ftnstop("MU not finite in IGNPOI");
    }
    // A count must fit a long: with mu up to 2^62 even forty standard
    // deviations above the mean stay below 2^63.
    if (mu > 0x1p62f) {
        ftnstop("MU too large in IGNPOI");
    }
    if (mu >= 10.0f) {
        return poisson_pd(mu);
    }
    return poisson_table(mu);
}

long ignnbn(long n, float p) {
    if (n < 0) {
        ftnstop("N < 0 in IGNNBN");
    }
    if (p <= 0.0f) {
        ftnstop("P <= 0 in IGNNBN");
    }
    if (p >= 1.0f) {
        ftnstop("P >= 1 in IGNNBN");
    }
    const float odds = p / (1.0f - p);
    return ignpoi(sgamma(static_cast<float>(n)) / odds);
}

void genmul(long n, float* p, long ncat, long* ix) {
    if (n < 0) {
        ftnstop("N < 0 in GENMUL");
    }
    if (ncat <= 1) {
        ftnstop("NCAT <= 1 in GENMUL");
    }
    float ptot = 0.0f;
    for (long i = 0; i < ncat - 1; ++i) {
        if (p[i] < 0.0f) {
            ftnstop("Some P(i) < 0 in GENMUL");
        }
        if (p[i] > 1.0f) {
            ftnstop("Some P(i) > 1 in GENMUL");
        }
        ptot += p[i];
    }
    if (ptot > 0.99999f) {
        ftnstop("Sum of P(i) > 1 in GENMUL");
    }
    for (long i = 0; i < ncat; ++i) {
        ix[i] = 0;
    }
    long ntot = n;
    float sum = 1.0f;
    for (long icat = 0; icat < ncat - 1; ++icat) {
        ix[icat] = ignbin(ntot, p[icat] / sum);
        ntot -= ix[icat];
        if (ntot <= 0) {
            return;
        }
        sum -= p[icat];
    }
    ix[ncat - 1] = ntot;
}
