#!/usr/bin/env python3
"""Draws calls of every distribution function and mode at extreme arguments and
computes their references with mpmath: the incomplete gamma and beta ratios by
their series and continued fractions at a precision that keeps 60 digits
through the logarithms of the largest and smallest arguments, Poisson mixtures
of them term by term, and for the inverse modes the interval of answers whose
tail meets the target to the forward accuracy.

usage: make_extreme_sample.py SEED N_FORWARD N_INVERSE > extreme_sample.txt
(the committed sample: SEED final, 40 forward and 20 inverse draws per mode)
"""
import math
import multiprocessing as mpr
import random
import signal
import sys

import mpmath as mp

mp.mp.dps = 60
MAXIT = 3_000_000


class Unreachable(Exception):
    pass


def _prec_for(*vals):
    # digits enough that sums and differences of logarithms of the largest and
    # the smallest magnitude given keep 60 digits
    big = 0
    small = 0
    for v in vals:
        v = abs(mp.mpf(v))
        if v != 0 and mp.isfinite(v):
            e = int(mp.log10(v))
            big = max(big, e)
            small = max(small, -e)
    return min(60 + big + small, 1500)


def gamma_tails(a, x):
    """(P(a, x), Q(a, x)) for a > 0, x >= 0 (mpf)."""
    a = mp.mpf(a); x = mp.mpf(x)
    if x == 0:
        return mp.mpf(0), mp.mpf(1)
    if mp.isinf(x):
        return mp.mpf(1), mp.mpf(0)
    with mp.workdps(max(mp.mp.dps, _prec_for(a, x) + 20)):
        logpref = a * mp.log(x) - x - mp.loggamma(a)
        eps = mp.mpf(10) ** (-mp.mp.dps + 5)
        if x < a + 1:
            term = mp.mpf(1); s = mp.mpf(1); n = 0
            while True:
                n += 1
                term *= x / (a + n)
                s += term
                if term < s * eps:
                    break
                if n > MAXIT:
                    raise Unreachable("gamma series")
            # P = x^a e^-x / Gamma(a + 1) * s; Q = 1 - P from the same at high precision
            P = mp.exp(logpref) / a * s
            if P > 0.5 and a < 1:
                # Q directly: -expm1(a ln x - lngamma(a + 1)) minus the rest of the series
                # (alternating form), for tiny a where P is close to 1.
                lp = a * mp.log(x) - mp.loggamma(a + 1)
                rest = mp.mpf(0); t = mp.mpf(1); k = 0
                while True:
                    k += 1
                    t *= -x / k
                    r = t / (a + k)
                    rest += r
                    if abs(r) < eps * abs(rest) or abs(r) < eps * mp.mpf(10) ** -300:
                        break
                    if k > MAXIT:
                        raise Unreachable("gamma alternating")
                Q = -mp.expm1(lp) - mp.exp(lp) * a * rest
                return 1 - Q, Q
            return P, 1 - P
        # Legendre continued fraction for Q (modified Lentz)
        tiny = mp.mpf(10) ** (-mp.mp.dps * 3)
        b = x + 1 - a
        c = 1 / tiny
        d = 1 / b
        h = d
        i = 0
        while True:
            i += 1
            an = -i * (i - a)
            b += 2
            d = an * d + b
            if abs(d) < tiny:
                d = tiny
            c = b + an / c
            if abs(c) < tiny:
                c = tiny
            d = 1 / d
            delta = d * c
            h *= delta
            if abs(delta - 1) < eps:
                break
            if i > MAXIT:
                raise Unreachable("gamma fraction")
        Q = mp.exp(logpref) * h
        return 1 - Q, Q


def _betacf(a, b, x, eps):
    tiny = mp.mpf(10) ** (-mp.mp.dps * 3)
    qab = a + b; qap = a + 1; qam = a - 1
    c = mp.mpf(1)
    d = 1 - qab * x / qap
    if abs(d) < tiny:
        d = tiny
    d = 1 / d
    h = d
    m = 0
    while True:
        m += 1
        m2 = 2 * m
        aa = m * (b - m) * x / ((qam + m2) * (a + m2))
        d = 1 + aa * d
        if abs(d) < tiny: d = tiny
        c = 1 + aa / c
        if abs(c) < tiny: c = tiny
        d = 1 / d
        h *= d * c
        aa = -(a + m) * (qab + m) * x / ((a + m2) * (qap + m2))
        d = 1 + aa * d
        if abs(d) < tiny: d = tiny
        c = 1 + aa / c
        if abs(c) < tiny: c = tiny
        d = 1 / d
        delta = d * c
        h *= delta
        if abs(delta - 1) < eps:
            return h
        if m > MAXIT:
            raise Unreachable("beta fraction")


def beta_tails(a, b, x, y=None):
    """(I_x(a, b), 1 - I_x(a, b)); y = 1 - x may be given (the smaller of the two
    is the one taken exactly)."""
    a = mp.mpf(a); b = mp.mpf(b); x = mp.mpf(x)
    if y is None:
        y = 1 - x
    y = mp.mpf(y)
    if x == 0:
        return mp.mpf(0), mp.mpf(1)
    if y == 0:
        return mp.mpf(1), mp.mpf(0)
    with mp.workdps(max(mp.mp.dps, _prec_for(a, b, x, y) + 20)):
        if x <= y:
            y = 1 - x
        else:
            x = 1 - y
        eps = mp.mpf(10) ** (-mp.mp.dps + 5)
        lbeta = mp.loggamma(a) + mp.loggamma(b) - mp.loggamma(a + b)
        logpref = a * mp.log(x) + b * mp.log(y) - lbeta
        if x < (a + 1) / (a + b + 2):
            I = mp.exp(logpref) * _betacf(a, b, x, eps) / a
            return I, 1 - I
        J = mp.exp(logpref) * _betacf(b, a, y, eps) / b
        return 1 - J, J


def poisson_log_weight(lam, i):
    return -lam + i * mp.log(lam) - mp.loggamma(i + 1)


def _window(lam):
    lam = mp.mpf(lam)
    lo = max(0, int(mp.floor(lam - 42 * mp.sqrt(lam) - 60)))
    hi = int(mp.ceil(lam + 42 * mp.sqrt(lam) + 60))
    return lo, hi


def mixture(lam, tails_at):
    """Sums of w_i * tails_at(i) over the indices whose Poisson weight is above e^-800,
    for both tails."""
    lo, hi = _window(lam)
    if hi - lo > 60000:
        raise Unreachable("mixture too wide")
    P = mp.mpf(0); Q = mp.mpf(0)
    for i in range(lo, hi + 1):
        lw = poisson_log_weight(lam, i)
        if lw < -800:
            continue
        w = mp.exp(lw)
        p, q = tails_at(i)
        P += w * p; Q += w * q
    return P, Q


def chn_tails(x, df, pnonc):
    x = mp.mpf(x); df = mp.mpf(df); lam = mp.mpf(pnonc) / 2
    if x == 0:
        return mp.mpf(0), mp.mpf(1)
    if lam == 0:
        return gamma_tails(df / 2, x / 2)
    return mixture(lam, lambda i: gamma_tails(df / 2 + i, x / 2))


def f_variable(f, dfn, dfd):
    f = mp.mpf(f); dfn = mp.mpf(dfn); dfd = mp.mpf(dfd)
    with mp.workdps(max(mp.mp.dps, _prec_for(f, dfn, dfd) + 20)):
        prod = dfn * f
        return prod / (dfd + prod), dfd / (dfd + prod)


def f_tails(f, dfn, dfd):
    if f == 0:
        return mp.mpf(0), mp.mpf(1)
    x, y = f_variable(f, dfn, dfd)
    return beta_tails(mp.mpf(dfn) / 2, mp.mpf(dfd) / 2, x, y)


def fnc_tails(f, dfn, dfd, pnonc):
    if f == 0:
        return mp.mpf(0), mp.mpf(1)
    lam = mp.mpf(pnonc) / 2
    x, y = f_variable(f, dfn, dfd)
    if lam == 0:
        return beta_tails(mp.mpf(dfn) / 2, mp.mpf(dfd) / 2, x, y)
    return mixture(lam, lambda i: beta_tails(mp.mpf(dfn) / 2 + i, mp.mpf(dfd) / 2, x, y))


def t_tails(t, df):
    t = mp.mpf(t); df = mp.mpf(df)
    if t == 0:
        return mp.mpf(0.5), mp.mpf(0.5)
    with mp.workdps(max(mp.mp.dps, _prec_for(t * t, df) + 20)):
        tt = t * t
        half, _ = beta_tails(df / 2, mp.mpf(0.5), df / (df + tt), tt / (df + tt))
        half /= 2
        return (half, 1 - half) if t < 0 else (1 - half, half)


def nor_tails(x, mean, sd):
    z = (mp.mpf(x) - mp.mpf(mean)) / mp.mpf(sd)
    return mp.ncdf(z), mp.ncdf(-z)


def poi_tails(s, xlam):
    # P(X <= s) = Q(s + 1, xlam)
    if xlam == 0:
        return mp.mpf(1), mp.mpf(0)
    p, q = gamma_tails(mp.mpf(s) + 1, xlam)
    return q, p


def bin_tails(s, xn, pr, ompr):
    s = mp.mpf(s); xn = mp.mpf(xn)
    if s >= xn:
        return mp.mpf(1), mp.mpf(0)
    w, w1 = beta_tails(s + 1, xn - s, pr, ompr)
    return w1, w


def nbn_tails(s, xn, pr, ompr):
    return beta_tails(xn, mp.mpf(s) + 1, pr, ompr)


def gam_tails(x, shape, scale):
    with mp.workdps(max(mp.mp.dps, _prec_for(x, scale) + 20)):
        return gamma_tails(shape, mp.mpf(x) * mp.mpf(scale))


N_FORWARD = int(sys.argv[2]) if len(sys.argv) > 2 else 0
N_INVERSE = int(sys.argv[3]) if len(sys.argv) > 3 else 0


def logu(r, lo, hi):
    return 10 ** r.uniform(math.log10(lo), math.log10(hi))


def param(r, hi=1e7):
    u = r.random()
    if u < 0.55:
        return logu(r, 1e-10, hi)
    if u < 0.8:
        return logu(r, 1e-300, 1e-10)
    return logu(r, 1e-2, 1e2)


def gamma_arg(r, a, cap=1e7):
    """A statistic for a gamma variable of shape a: tiny, in the body, or far out."""
    u = r.random()
    if u < 0.3:
        return logu(r, 1e-320, 1e-3)
    if u < 0.75 and a <= cap:
        if a >= 1:
            z = r.uniform(-38, 38)
            x = a + z * math.sqrt(a)
            if x > 0:
                return x
        return a * logu(r, 1e-3, 1e3)
    return logu(r, 1e-3, 1e4) * max(a, 1.0)


# Forward tails of each routine from its arguments after which (p, q first).
def tails(routine, v):
    with mp.workdps(max(mp.mp.dps, _prec_for(*v[2:]) + 20)):
        return _tails(routine, v)


def _tails(routine, v):
    if routine == "cdfchi":
        return gamma_tails(mp.mpf(v[3]) / 2, mp.mpf(v[2]) / 2)
    if routine == "cdfgam":
        return gam_tails(v[2], v[3], v[4])
    if routine == "cdfpoi":
        return poi_tails(v[2], v[3])
    if routine == "cdfnor":
        return nor_tails(v[2], v[3], v[4])
    if routine == "cdfbet":
        return beta_tails(v[4], v[5], v[2], v[3])
    if routine == "cdfbin":
        return bin_tails(v[2], v[3], v[4], v[5])
    if routine == "cdfnbn":
        return nbn_tails(v[2], v[3], v[4], v[5])
    if routine == "cdff":
        return f_tails(v[2], v[3], v[4])
    if routine == "cdft":
        return t_tails(v[2], v[3])
    if routine == "cdfchn":
        return chn_tails(v[2], v[3], v[4])
    if routine == "cdffnc":
        return fnc_tails(v[2], v[3], v[4], v[5])
    raise ValueError(routine)


NONCENTRAL = ("cdfchn", "cdffnc")
# which -> (index of the sought argument, lower limit, upper limit); pairs give
# the index of the first of the pair.
LIMITS = {
    "cdfchi": {2: (2, 0, 1e300), 3: (3, 1e-300, 1e300)},
    "cdfgam": {2: (2, 0, math.inf), 3: (3, 1e-300, 1e300), 4: (4, 0, math.inf)},
    "cdfpoi": {2: (2, 0, 1e300), 3: (3, 0, 1e300)},
    "cdfnor": {2: (2, -math.inf, math.inf), 3: (3, -math.inf, math.inf), 4: (4, 0, math.inf)},
    "cdfbet": {2: (2, 0, 1), 3: (4, 1e-300, 1e300), 4: (5, 1e-300, 1e300)},
    "cdfbin": {2: (2, 0, None), 3: (3, 1e-300, 1e300), 4: (4, 0, 1)},
    "cdfnbn": {2: (2, 0, 1e300), 3: (3, 0, 1e300), 4: (4, 0, 1)},
    "cdff": {2: (2, 0, 1e300), 3: (3, 1e-300, 1e300), 4: (4, 1e-300, 1e300)},
    "cdft": {2: (2, -1e300, 1e300), 3: (3, 1e-300, 1e10)},
    "cdfchn": {2: (2, 0, 1e300), 3: (3, 1e-300, 1e300), 4: (4, 0, 1e4)},
    "cdffnc": {2: (2, 0, 1e300), 3: (3, 1e-300, 1e300), 4: (4, 1e-300, 1e300), 5: (5, 0, 1e4)},
}
PAIRS = {("cdfbet", 2), ("cdfbin", 4), ("cdfnbn", 4)}
NON_MONOTONE = {("cdff", 3), ("cdff", 4), ("cdffnc", 3), ("cdffnc", 4)}
WHICHES = {"cdfchi": 3, "cdfgam": 4, "cdfpoi": 3, "cdfnor": 4, "cdfbet": 4, "cdfbin": 4, "cdfnbn": 4,
           "cdff": 4, "cdft": 3, "cdfchn": 4, "cdffnc": 5}


def small_of_pair(r):
    s = logu(r, 1e-300, 0.5)
    return (s, 1 - s) if r.random() < 0.5 else (1 - s, s)


def draw(routine, r):
    """Arguments after which (p, q as 0) for one case."""
    if routine == "cdfchi":
        df = param(r)
        return [0, 0, 2 * gamma_arg(r, df / 2), df]
    if routine == "cdfgam":
        shape = param(r)
        scale = logu(r, 1e-150, 1e150)
        y = gamma_arg(r, shape)
        x = y / scale
        if x == 0 or math.isinf(x):
            x = logu(r, 1e-300, 1e300)
        return [0, 0, x, shape, scale]
    if routine == "cdfpoi":
        xlam = param(r)
        s = gamma_arg(r, xlam) if r.random() < 0.7 else logu(r, 1e-300, 1e-3)
        return [0, 0, s, xlam]
    if routine == "cdfnor":
        sd = logu(r, 1e-300, 1e300)
        mean = r.choice([-1, 1]) * logu(r, 1e-300, 1e300) if r.random() < 0.5 else 0.0
        z = r.uniform(-37.5, 37.5) if r.random() < 0.8 else r.uniform(-1e-8, 1e-8)
        return [0, 0, mean + z * sd, mean, sd]
    if routine == "cdfbet":
        x, y = small_of_pair(r)
        return [0, 0, x, y, param(r), param(r)]
    if routine == "cdfbin":
        xn = logu(r, 1e-10, 1e7)
        s = xn * r.random() if r.random() < 0.7 else xn * logu(r, 1e-300, 1e-3)
        pr, ompr = small_of_pair(r) if r.random() < 0.5 else (lambda u: (u, 1 - u))(r.random())
        return [0, 0, s, xn, pr, ompr]
    if routine == "cdfnbn":
        xn = param(r)
        s = logu(r, 1e-300, 1e7)
        pr, ompr = small_of_pair(r) if r.random() < 0.5 else (lambda u: (u, 1 - u))(r.random())
        return [0, 0, s, xn, pr, ompr]
    if routine == "cdff":
        dfn = param(r) if r.random() < 0.8 else logu(r, 1e7, 1e300)
        dfd = param(r) if r.random() < 0.8 else logu(r, 1e7, 1e300)
        u = r.random()
        f = logu(r, 1e-300, 1e300) if u < 0.6 else logu(r, 1e-3, 1e3)
        return [0, 0, f, dfn, dfd]
    if routine == "cdft":
        df = param(r)
        t = r.choice([-1, 1]) * (logu(r, 1e-300, 1e300) if r.random() < 0.5 else logu(r, 1e-3, 1e3))
        return [0, 0, t, df]
    if routine == "cdfchn":
        pnonc = 2 * logu(r, 1e-9, 3e3)
        df = param(r, 1e5)
        u = r.random()
        if u < 0.4:
            x = logu(r, 1e-320, 1.0)
        else:
            mean = df + pnonc
            x = mean + r.uniform(-12, 40) * math.sqrt(2 * (df + 2 * pnonc))
            if x <= 0:
                x = mean * logu(r, 1e-6, 1)
        return [0, 0, x, df, pnonc]
    if routine == "cdffnc":
        pnonc = 2 * logu(r, 1e-9, 1e3)
        dfn = param(r, 1e5)
        dfd = param(r, 1e5) if r.random() < 0.85 else logu(r, 1e5, 1e300)
        u = r.random()
        if u < 0.4:
            f = logu(r, 1e-300, 1e-2)
        elif u < 0.8:
            f = (dfn + pnonc) / dfn * logu(r, 0.05, 20)
        else:
            f = logu(r, 1e-300, 1e300)
        return [0, 0, f, dfn, dfd, pnonc]
    raise ValueError(routine)


class Timeout(Exception):
    pass


def _alarm(signum, frame):
    raise Timeout()


def fmt(x):
    x = float(x)
    return repr(x) if x != 0 else "0"


def reference_forward(task):
    routine, which, v = task
    p, q = tails(routine, v)
    return "%s %d %s : %s %s" % (routine, which, " ".join(fmt(a) for a in v), fmt(p), fmt(q))


def matched(routine, p, q):
    # the tail that the search matches: p for the non-central functions, else the smaller
    if routine in NONCENTRAL or p <= q:
        return 0
    return 1


def tail_at(routine, v, index, m, x):
    w = list(v)
    w[index] = x
    return tails(routine, w)[m]


def slack(x):
    # the search stops within a relative 1e-8 of its root (twice, for safety), or
    # within its absolute tolerance 1e-50
    return 2e-8 * abs(x) + 1e-50


def accepted(routine, v, index, m, x0, acc, lo, hi):
    """The interval of X around the root x0 whose matched tail T (index m) is
    within acc (relative) of T(x0), widened by the search's tolerance; and
    whether it reaches the lower and the upper limit of the search."""
    t0 = tails(routine, v)[m]
    scale = abs(x0) if x0 != 0 else abs(v[2]) + abs(v[4])
    h = mp.mpf(scale) * mp.mpf(10) ** -6
    slope = abs(tail_at(routine, v, index, m, mp.mpf(x0) + h) - tail_at(routine, v, index, m, mp.mpf(x0) - h)) / (2 * h)
    spread = float(acc * t0 / slope) if slope != 0 else math.inf
    if spread <= 0.1 * scale:
        ends = [x0 - spread, x0 + spread]
    else:
        # flat: find where the tail leaves the band, by expanding and bisecting,
        # in logarithms for a positive parameter
        positive = x0 > 0 and (lo is None or lo >= 0)
        ends = []
        for direction in (-1, 1):
            inside = x0
            if positive:
                step = min(max(spread / scale, 1e-3), 1.0)
                floor = max(lo if lo is not None else 0.0, 1e-300)
                ceiling = min(hi if hi is not None else math.inf, 1e300)
            else:
                step = max(spread, scale * 1e-3)
                floor = lo if lo is not None else -math.inf
                ceiling = hi if hi is not None else math.inf
            while True:
                if positive:
                    lx = math.log(x0) + direction * step
                    x = floor if lx <= math.log(floor) else ceiling if lx >= math.log(ceiling) else math.exp(lx)
                else:
                    x = x0 + direction * step
                x = min(max(x, floor), ceiling)
                if abs(tail_at(routine, v, index, m, x) - t0) > acc * t0:
                    outside = x
                    break
                inside = x
                if x == floor or x == ceiling:
                    outside = None
                    break
                step *= 4
            if outside is not None:
                for _ in range(60):
                    if positive and outside > 0 and inside > 0:
                        mid = math.sqrt(inside) * math.sqrt(outside)
                    else:
                        mid = 0.5 * (inside + outside)
                    if abs(tail_at(routine, v, index, m, mid) - t0) > acc * t0:
                        outside = mid
                    else:
                        inside = mid
            ends.append(inside)
    low = ends[0] - slack(ends[0])
    high = ends[1] + slack(ends[1])
    if lo is not None and lo > -math.inf:
        low = max(low, lo)
    if hi is not None and hi < math.inf:
        high = min(high, hi)
    below_ok = lo is not None and low <= lo
    above_ok = hi is not None and high >= hi
    return low, high, below_ok, above_ok


def other_roots(routine, v, index, lo, hi, target, m, x0):
    """Sign changes of T(X) - target on a log grid over [lo, hi] (positive
    parameters), refined by bisection; those farther than 1e-6 from x0."""
    grid = [10 ** e for e in range(-300, 301, 5)]
    grid = [g for g in grid if lo <= g <= hi]
    vals = []
    for g in grid:
        w = list(v); w[index] = g
        try:
            vals.append(tails(routine, w)[m] - target)
        except Unreachable:
            vals.append(None)
    roots = []
    for i in range(len(grid) - 1):
        a, b = vals[i], vals[i + 1]
        if a is None or b is None or (a > 0) == (b > 0):
            continue
        l, h = math.log(grid[i]), math.log(grid[i + 1])
        fa = a
        for _ in range(60):
            mid = 0.5 * (l + h)
            w = list(v); w[index] = math.exp(mid)
            fm = tails(routine, w)[m] - target
            if (fm > 0) == (fa > 0):
                l, fa = mid, fm
            else:
                h = mid
        root = math.exp(0.5 * (l + h))
        if abs(root - x0) > 1e-6 * x0:
            roots.append(root)
    return roots, vals[0], vals[-1]


def reference_inverse(task):
    routine, which, v = task
    index, lo, hi = LIMITS[routine][which]
    if hi is None:
        hi = v[3]
    p, q = tails(routine, v)
    pd, qd = float(p), float(q)
    if routine in NONCENTRAL:
        if pd > 1 - 1e-16 or pd < 1e-300:
            return None
    elif min(pd, qd) < 1e-300 or qd == 0:
        return None
    m = matched(routine, pd, qd)
    sought = index
    if (routine, which) in PAIRS and m == 1:
        sought = index + 1
    x0 = v[sought]
    acc = 1e-3 * min(pd, qd) / pd if routine in NONCENTRAL else 1e-11
    # the tails of the rounded targets: the root of those is the one sought
    base = [pd, qd] + list(v[2:])
    low, high, below_ok, above_ok = accepted(routine, v, sought, m, x0, acc, lo, hi)
    w = list(v)
    w[0], w[1] = pd, qd
    w[sought] = 0.0
    if (routine, which) in PAIRS:
        w[index] = w[index + 1] = 0.0
    flags = []
    extra = ""
    if (routine, which) in NON_MONOTONE:
        target = (pd, qd)[m]
        try:
            roots, below, above = other_roots(routine, base, sought, lo, hi, target, m, x0)
        except Unreachable:
            roots, below, above = [], None, None
        if below is None or above is None or (below > 0) == (above > 0):
            flags.append("may_fail")
        for r2 in roots[:3]:
            w2 = list(v); w2[sought] = r2
            l2, h2, b2, a2 = accepted(routine, w2, sought, m, r2, acc, lo, hi)
            below_ok = below_ok or b2
            above_ok = above_ok or a2
            extra += " %s %s" % (fmt(l2), fmt(h2))
    if below_ok:
        flags.append("below_ok")
    if above_ok:
        flags.append("above_ok")
    return "%s %d %s : %d %s %s%s%s" % (routine, which, " ".join(fmt(a) for a in w), sought, fmt(low), fmt(high),
                                      extra, "".join(" " + f for f in flags))


def run(task):
    signal.signal(signal.SIGALRM, _alarm)
    signal.alarm(240)
    try:
        out = reference_forward(task) if task[1] == 1 else reference_inverse(task)
        signal.alarm(0)
        return out, None
    except (Unreachable, Timeout, mp.libmp.NoConvergence, ZeroDivisionError, OverflowError) as e:
        signal.alarm(0)
        return None, "%s %d %s %s" % (task[0], task[1], task[2], type(e).__name__)


def tasks(seed):
    out = []
    for routine in WHICHES:
        for which in range(1, WHICHES[routine] + 1):
            r = random.Random("%s-%s-%d" % (seed, routine, which))
            n = N_FORWARD if which == 1 else N_INVERSE
            for _ in range(n):
                v = draw(routine, r)
                if which != 1:
                    index, lo, hi = LIMITS[routine][which]
                    if (routine, which) not in PAIRS:
                        hi = v[3] if hi is None else hi
                        if not (lo < v[index] < hi) or v[index] < 1e-290 and lo > 0:
                            continue
                out.append((routine, which, v))
    return out


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    seed = sys.argv[1]
    ts = tasks(seed)
    drawn = len(ts)
    with_reference = 0
    outside = 0
    missing = []
    print("# extreme-argument sample %s: %d forward and %d inverse draws per mode" % (seed, N_FORWARD, N_INVERSE))
    with mpr.Pool(min(8, mpr.cpu_count())) as pool:
        # in the order drawn, each line as soon as it and those before it are done
        for line, error in pool.imap(run, ts, chunksize=1):
            if line:
                with_reference += 1
                print(line, flush=True)
            elif error:
                missing.append(error)
            else:
                outside += 1
    print("# drawn %d, with references %d, no reference %d, target outside the range %d" %
          (drawn, with_reference, len(missing), outside), file=sys.stderr)
    for e in missing:
        print("# no reference:", e, file=sys.stderr)
