// F distribution function with inversion for f and the two degrees of freedom.
#pragma once

// which = 1: p, q from f, dfn, dfd; 2: f; 3: dfn; 4: dfd. status 0 on
// success; otherwise status and bound name the failed argument or limit;
// 10: the incomplete beta ratio failed or the search closed in on no root.
// The tails are not monotone in dfn or in dfd everywhere: where the target is
// met twice between the limits (or the search's steps pass over both roots),
// which = 3 and 4 may end with status 1 or 2 and that limit in bound, though
// an answer exists.
void cdff(int* which, double* p, double* q, double* f, double* dfn, double* dfd, int* status, double* bound);

// F distribution with dfn and dfd degrees of freedom: cum = P(F <= f).
void cumf(double* f, double* dfn, double* dfd, double* cum, double* ccum);

namespace vorlan2 {

// The logarithms of the beta variables of the F distribution, formed without
// dfn f itself, which may under- or overflow.
struct FVariableLogarithms {
    double lower;  // ln(dfn f / (dfd + dfn f))
    double upper;  // ln(dfd / (dfd + dfn f))
};
FVariableLogarithms f_variable_logarithms(double f, double dfn, double dfd);

// True when the beta variables formed directly keep their digits: the
// product dfn f and the smaller variable are normal doubles and the sum
// dfd + dfn f is finite; or an argument is not finite, whose limit or NaN the
// direct forms carry.
bool f_variables_are_exact(double f, double dfn, double dfd, double prod, double dsum, double smaller);

}  // namespace vorlan2
