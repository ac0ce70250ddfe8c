// Non-central F distribution function with inversion for f, the degrees of
// freedom and the non-centrality.
#pragma once

// which = 1: p, q from f, dfn, dfd, phonc; 2: f; 3: dfn; 4: dfd; 5: phonc.
// The inverse modes match p alone (q is neither checked nor written). The
// series is summed until the terms left out are provably negligible. status 0
// on success; otherwise status and bound name the failed argument or limit;
// 10: the forward computation failed (phonc not finite or above 2^53, or the
// incomplete beta ratio failed). As for cdff, the tail is not monotone in dfn
// or dfd everywhere, and which = 3 and 4 may then end with status 1 or 2 and
// that limit in bound though an answer exists.
void cdffnc(int* which, double* p, double* q, double* f, double* dfn, double* dfd, double* phonc, int* status,
            double* bound);

// Non-central F: cum = P(F <= f) with dfn, dfd degrees of freedom and
// non-centrality pnonc.
void cumfnc(double* f, double* dfn, double* dfd, double* pnonc, double* cum, double* ccum);
