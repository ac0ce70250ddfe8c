// State and routines of the combined multiplicative generator (L'Ecuyer 1988, organised
// as in L'Ecuyer and Cote 1991) behind every seeded variate.
#include "numerics/com.h"

#include <cstdio>

#include "numerics/fatal_error.h"

using namespace vorlan2;

long Xm1, Xm2;
long Xa1, Xa2;
long Xa1w, Xa2w;
long Xa1vw, Xa2vw;
long Xig1[generator_count], Xig2[generator_count];
long Xlg1[generator_count], Xlg2[generator_count];
long Xcg1[generator_count], Xcg2[generator_count];
long Xqanti[generator_count];

namespace {

long initialised = 0;
long seeds_set = 0;
long current_generator = 1;

bool is_initialised() {
    long flag;
    gsrgs(0, &flag);
    return flag != 0;
}

long current_index() {
    long g;
    gscgn(0, &g);
    return g - 1;
}

}  // namespace

void gsrgs(long getset, long* qvalue) {
    if (getset == 0) {
        *qvalue = initialised;
    } else {
        initialised = *qvalue;
    }
}

void gssst(long getset, long* qset) {
    if (getset != 0) {
        seeds_set = 1;
    } else {
        *qset = seeds_set;
    }
}

void gscgn(long getset, long* g) {
    if (getset == 0) {
        *g = current_generator;
        return;
    }
    if (*g < 1 || *g > generator_count) {
        std::fputs(" Generator number out of range in GSCGN", stderr);
        numerics_fatal("");
    }
    current_generator = *g;
}

void inrgcm() {
    Xm1 = 2147483563;
    Xm2 = 2147483399;
    Xa1 = 40014;
    Xa2 = 40692;
    Xa1w = 1033780774;
    Xa2w = 1494757890;
    Xa1vw = 2082007225;
    Xa2vw = 784306273;
    for (long i = 0; i < generator_count; ++i) {
        Xqanti[i] = 0;
    }
    long flag = 1;
    gsrgs(1, &flag);
}

void setall(long iseed1, long iseed2) {
    long ignored = 0;
    gssst(1, &ignored);
    long remembered;
    gscgn(0, &remembered);
    if (!is_initialised()) {
        inrgcm();
    }
    Xig1[0] = iseed1;
    Xig2[0] = iseed2;
    long g = 1;
    gscgn(1, &g);
    initgn(-1);
    for (g = 2; g <= generator_count; ++g) {
        Xig1[g - 1] = mltmod(Xa1vw, Xig1[g - 2], Xm1);
        Xig2[g - 1] = mltmod(Xa2vw, Xig2[g - 2], Xm2);
        gscgn(1, &g);
        initgn(-1);
    }
    gscgn(1, &remembered);
}

void setsd(long iseed1, long iseed2) {
    if (!is_initialised()) {
        numerics_fatal(" SETSD called before random number generator  initialized -- abort!");
    }
    const long g = current_index();
    Xig1[g] = iseed1;
    Xig2[g] = iseed2;
    initgn(-1);
}

void getsd(long* iseed1, long* iseed2) {
    if (!is_initialised()) {
        numerics_fatal(" GETSD called before random number generator  initialized -- abort!");
    }
    const long g = current_index();
    *iseed1 = Xcg1[g];
    *iseed2 = Xcg2[g];
}

void initgn(long isdtyp) {
    if (!is_initialised()) {
        numerics_fatal(" INITGN called before random number generator  initialized -- abort!");
    }
    const long g = current_index();
    if (isdtyp == -1) {
        Xlg1[g] = Xig1[g];
        Xlg2[g] = Xig2[g];
    } else if (isdtyp == 1) {
        Xlg1[g] = mltmod(Xa1w, Xlg1[g], Xm1);
        Xlg2[g] = mltmod(Xa2w, Xlg2[g], Xm2);
    } else if (isdtyp != 0) {
        numerics_fatal("isdtyp not in range in INITGN");
    }
    Xcg1[g] = Xlg1[g];
    Xcg2[g] = Xlg2[g];
}

void setant(long qvalue) {
    if (!is_initialised()) {
        numerics_fatal(" SETANT called before random number generator  initialized -- abort!");
    }
    Xqanti[current_index()] = qvalue;
}

void advnst(long k) {
    if (!is_initialised()) {
        std::fputs(" ADVNST called before random generator initialized - ABORT", stderr);
        numerics_fatal("");
    }
    const long g = current_index();
    long b1 = Xa1;
    long b2 = Xa2;
    for (long i = 0; i < k; ++i) {
        b1 = mltmod(b1, b1, Xm1);
        b2 = mltmod(b2, b2, Xm2);
    }
    setsd(mltmod(b1, Xcg1[g], Xm1), mltmod(b2, Xcg2[g], Xm2));
}

long ignlgi() {
    if (!is_initialised()) {
        inrgcm();
    }
    long seeded;
    gssst(0, &seeded);
    if (seeded == 0) {
        setall(1234567890, 123456789);
    }
    const long g = current_index();
    long s1 = Xcg1[g];
    long s2 = Xcg2[g];
    // Schrage's decomposition keeps 40014 * s1 and 40692 * s2 from overflowing 32 bits:
    // 53668 = m1 div a1, 12211 = m1 mod a1; 52774 = m2 div a2, 3791 = m2 mod a2.
    long k = s1 / 53668;
    s1 = Xa1 * (s1 - k * 53668) - k * 12211;
    if (s1 < 0) {
        s1 += Xm1;
    }
    k = s2 / 52774;
    s2 = Xa2 * (s2 - k * 52774) - k * 3791;
    if (s2 < 0) {
        s2 += Xm2;
    }
    Xcg1[g] = s1;
    Xcg2[g] = s2;
    long z = s1 - s2;
    if (z < 1) {
        z += Xm1 - 1;
    }
    if (Xqanti[g] != 0) {
        z = Xm1 - z;
    }
    return z;
}

long mltmod(long a, long s, long m) {
    // Splitting a at h = 2^15 keeps every partial product below m.
    constexpr long h = 32768;
    if (!(a > 0 && a < m && s > 0 && s < m)) {
        std::fputs(" a, m, s out of order in mltmod - ABORT!", stderr);
        std::fprintf(stderr, " a = %12ld s = %12ld m = %12ld\n", a, s, m);
        std::fputs(" mltmod requires: 0 < a < m; 0 < s < m", stderr);
        numerics_fatal("");
    }
    long a0;
    long p;
    if (a < h) {
        a0 = a;
        p = 0;
    } else {
        long a1 = a / h;
        a0 = a - h * a1;
        const long qh = m / h;
        const long rh = m - h * qh;
        if (a1 >= h) {
            a1 -= h;
            const long k = s / qh;
            p = h * (s - k * qh) - k * rh;
            while (p < 0) {
                p += m;
            }
        } else {
            p = 0;
        }
        if (a1 != 0) {
            const long q = m / a1;
            const long k = s / q;
            p -= k * (m - a1 * q);
            if (p > 0) {
                p -= m;
            }
            p += a1 * (s - k * q);
            while (p < 0) {
                p += m;
            }
        }
        const long k = p / qh;
        p = h * (p - k * qh) - k * rh;
        while (p < 0) {
            p += m;
        }
    }
    if (a0 != 0) {
        const long q = m / a0;
        const long k = s / q;
        p -= k * (m - a0 * q);
        if (p > 0) {
            p -= m;
        }
        p += a0 * (s - k * q);
        while (p < 0) {
            p += m;
        }
    }
    return p;
}
