// Matrix routines of the statistics utilities: exponential of a rate matrix, inverse-Wishart
// and multivariate normal log densities, and Wishart draws from the installed generator.
#pragma once

#include <vector>

// The matrix library's headers bring a using-directive and macros with them, so only its
// class names are declared here.
namespace NEWMAT {
class SymmetricMatrix;
class ColumnVector;
}  // namespace NEWMAT

namespace stat_utils {

// Replaces the n x n matrix q by e^(-t) times the first 100 terms of the series of e^(tQ);
// for a stochastic Q that is the transition matrix e^(t(Q - I)).
void matrix_exp(std::vector<std::vector<double>>* q, double t);

// Log density of the inverse-Wishart distribution with nu degrees of freedom and scale s at w.
double log_inverse_Wishart_density(NEWMAT::SymmetricMatrix* w, double nu, NEWMAT::SymmetricMatrix* s);
// The same for 2 x 2 matrices given as their entries (1,1), (1,2), (2,2).
double log_inverse_Wishart_density_2D(std::vector<double>* w, double nu, std::vector<double>* s);

// Log density of the multivariate normal with mean mu and covariance sigma at x.
double log_mvt_norm_density(NEWMAT::ColumnVector* x, NEWMAT::ColumnVector* mu, NEWMAT::SymmetricMatrix* sigma);

// A Wishart(df, s) draw into w or, when inverse is true, the inverse of a Wishart(df, s^-1)
// draw. Needs df >= the order of s.
void rwish(NEWMAT::SymmetricMatrix* w, int df, NEWMAT::SymmetricMatrix* s, bool inverse);

}  // namespace stat_utils
