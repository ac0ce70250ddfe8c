// Logarithm of the gamma function (with the sign of gamma) and gamma itself,
// the normalising constants of the gamma-family and discrete variates.
#pragma once

// ln|gamma(x)|, with sign set to +1 or -1, the sign of gamma(x).
// Raises Invalid_argument "Non-positive integer argument " for x = 0, -1, ...
double ln_gamma(double x, int& sign);

// ln gamma(x); raises Invalid_argument "Negative gamma value " where gamma(x)
// is negative, and the errors of the two-argument form.
double ln_gamma(double x);

// ln gamma(x) for x >= 0.9; raises Invalid_argument "Argument less than 1"
// below that.
double ln_gamma_gt_1(double x);

// Rational factor S of the Lanczos form:
// gamma(x) = S(x - 1) * ((x + 10 - 0.5) / e)^(x - 0.5) for x >= 1.
long double gamma_series(long double x);

// ln gamma(x) by the Lanczos form alone, for x >= 1.
double ln_gamma_lanczos(double x);

// gamma(x); raises Invalid_argument "Non-positive integer argument " for
// x = 0, -1, -2, ...
double rbd_gamma(double x);
