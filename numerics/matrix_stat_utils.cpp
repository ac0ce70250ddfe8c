// Matrix exponential, inverse-Wishart and multivariate normal log densities and Wishart
// draws, over the matrix library.
#include "numerics/matrix_stat_utils.h"

#include <newmat.h>
#include <newmatap.h>

#include <cmath>
#include <cstddef>

#include "random/continuous.h"

namespace stat_utils {

namespace {

// The lower-case names under which these routines use the matrix library's operations.
double log_determinant(const NEWMAT::BaseMatrix& m) { return m.LogDeterminant().LogValue(); }
double determinant(const NEWMAT::BaseMatrix& m) { return m.Determinant(); }
double trace(const NEWMAT::BaseMatrix& m) { return m.Trace(); }
double as_scalar(const NEWMAT::BaseMatrix& m) { return NEWMAT::Matrix(m).AsScalar(); }

}  // namespace

void matrix_exp(std::vector<std::vector<double>>* q, double t) {
    const int n = static_cast<int>(q->size());
    NEWMAT::Matrix rates(n, n);
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            rates(i + 1, j + 1) = (*q)[i][j];
        }
    }
    NEWMAT::Matrix sum(n, n);
    sum = 0.0;
    for (int i = 1; i <= n; ++i) {
        sum(i, i) = 1.0;
    }
    NEWMAT::Matrix term = rates;
    double power = t;
    double factorial = 1.0;
    for (int k = 1; k <= 99; ++k) {
        sum += (power / factorial) * term;
        term = term * rates;
        power = power * t;
        factorial = factorial * (k + 1);
    }
    sum = sum * std::exp(-t);
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            (*q)[i][j] = sum(i + 1, j + 1);
        }
    }
}

double log_inverse_Wishart_density(NEWMAT::SymmetricMatrix* w, double nu, NEWMAT::SymmetricMatrix* s) {
    const int n = w->Nrows();
    double g = 0.0;
    for (int i = 0; i < n; ++i) {
        g -= std::lgamma(0.5 * (nu - i));
    }
    // 1.144729885979973 stands for ln pi; it is kept as given.
    const double c = 0.5 * nu * n * 0.6931471805599453 + 0.25 * n * (n - 1) * 1.144729885979973;
    const NEWMAT::Matrix s_over_w = (*s) * w->i();
    return 0.5 * nu * log_determinant(*s) + (g - c) - 0.5 * (nu + n + 1) * log_determinant(*w) - 0.5 * trace(s_over_w);
}

double log_inverse_Wishart_density_2D(std::vector<double>* w, double nu, std::vector<double>* s) {
    const double w11 = (*w)[0], w12 = (*w)[1], w22 = (*w)[2];
    const double s11 = (*s)[0], s12 = (*s)[1], s22 = (*s)[2];
    const double det_w = w11 * w22 - w12 * w12;
    const double det_s = s11 * s22 - s12 * s12;
    // 0.5723649429899865 stands for ln(pi) / 2; it is kept as given.
    return -std::lgamma(nu / 2.0) - std::lgamma((nu - 1.0) / 2.0) - (nu * 0.6931471805599453 + 0.5723649429899865) +
           (nu / 2.0) * std::log(det_s) - 0.5 * (nu + 3.0) * std::log(det_w) -
           0.5 * (s11 * w22 + s22 * w11 - 2.0 * s12 * w12) / det_w;
}

double log_mvt_norm_density(NEWMAT::ColumnVector* x, NEWMAT::ColumnVector* mu, NEWMAT::SymmetricMatrix* sigma) {
    const int d = mu->Nrows();
    const NEWMAT::ColumnVector deviation = *x - *mu;
    const NEWMAT::Matrix quadratic = deviation.t() * sigma->i() * deviation;
    // 1.8378770665399184 stands for ln(2 pi); it is kept as given.
    return -0.5 * (std::log(determinant(*sigma)) + d * 1.8378770665399184 + as_scalar(quadratic));
}

void rwish(NEWMAT::SymmetricMatrix* w, int df, NEWMAT::SymmetricMatrix* s, bool inverse) {
    const int n = s->Nrows();
    NEWMAT::SymmetricMatrix target;
    if (inverse) {
        target << s->i();
    } else {
        target = *s;
    }
    const NEWMAT::LowerTriangularMatrix lower = NEWMAT::Cholesky(target);
    NEWMAT::UpperTriangularMatrix upper;
    upper << lower.t();

    NEWMAT::UpperTriangularMatrix bartlett(n);
    bartlett = 0.0;
    Normal normal;
    for (int i = 1; i <= n; ++i) {
        bartlett(i, i) = std::sqrt(ChiSq(df - i + 1, 0.0).Next());
        for (int j = i + 1; j <= n; ++j) {
            bartlett(i, j) = normal.Next();
        }
    }
    const NEWMAT::UpperTriangularMatrix product = bartlett * upper;
    NEWMAT::SymmetricMatrix draw;
    draw << product.t() * product;
    if (inverse) {
        *w << draw.i();
    } else {
        *w = draw;
    }
}

}  // namespace stat_utils
