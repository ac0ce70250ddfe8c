// Standard normal distribution function by Cody's rational Chebyshev
// approximations (W. J. Cody, Math. Comp. 23, 1969) in three ranges.
#include "numerics/cdfnor.h"

#include <cmath>

#include "numerics/ipmpar.h"
#include "numerics/root_search.h"

void cumnor(double* arg, double* cum, double* ccum) {
    const double a[5] = {2.2352520354606839287e00, 1.6102823106855587881e02, 1.0676894854603709582e03,
                         1.8154981253343561249e04, 6.5682337918207449113e-2};
    const double b[4] = {4.7202581904688241870e01, 9.7609855173777669322e02, 1.0260932208618978205e04,
                         4.5507789335026729956e04};
    const double c[9] = {3.9894151208813466764e-1, 8.8831497943883759412e00, 9.3506656132177855979e01,
                         5.9727027639480026226e02, 2.4945375852903726711e03, 6.8481904505362823326e03,
                         1.1602651437647350124e04, 9.8427148383839780218e03, 1.0765576773720192317e-8};
    const double d[8] = {2.2266688044328115691e01, 2.3538790178262499861e02, 1.5193775994075548050e03,
                         6.4855582982667607550e03, 1.8615571640885098091e04, 3.4900952721145977266e04,
                         3.8912003286093271411e04, 1.9685429676859990727e04};
    const double p[6] = {2.1589853405795699e-1,   1.274011611602473639e-1, 2.2235277870649807e-2,
                         1.421619193227893466e-3, 2.9112874951168792e-5,   2.307344176494017303e-2};
    const double q[5] = {1.28426009614491121e00, 4.68238212480865118e-1, 6.59881378689285515e-2, 3.78239633202758244e-3,
                         7.29751555083966205e-5};
    const double sixten = 16.0;
    // 1/sqrt(2 pi)
    const double sqrpi = 3.9894228040143267794e-1;
    const double thrsh = 0.66291;
    const double root32 = 5.656854248;
    int precision = 1;
    int smallest = 2;
    const double eps = spmpar(&precision) * 0.5;
    const double tiny = spmpar(&smallest);

    const double x = *arg;
    const double y = std::fabs(x);
    if (y <= thrsh) {
        double xsq = 0.0;
        if (y > eps) {
            xsq = x * x;
        }
        double xnum = a[4] * xsq;
        double xden = xsq;
        for (int i = 0; i < 3; ++i) {
            xnum = (xnum + a[i]) * xsq;
            xden = (xden + b[i]) * xsq;
        }
        const double temp = x * (xnum + a[3]) / (xden + b[3]);
        *cum = 0.5 + temp;
        *ccum = 0.5 - temp;
    } else {
        double result;
        if (y <= root32) {
            double xnum = c[8] * y;
            double xden = y;
            for (int i = 0; i < 7; ++i) {
                xnum = (xnum + c[i]) * y;
                xden = (xden + d[i]) * y;
            }
            result = (xnum + c[7]) / (xden + d[7]);
        } else {
            const double xsq = 1.0 / (x * x);
            double xnum = p[5] * xsq;
            double xden = xsq;
            for (int i = 0; i < 4; ++i) {
                xnum = (xnum + p[i]) * xsq;
                xden = (xden + q[i]) * xsq;
            }
            result = xsq * (xnum + p[4]) / (xden + q[4]);
            result = (sqrpi - result) / y;
        }
        // exp(-y^2/2) split so that y^2 is formed without rounding error.
        const double xsq = fifdint(y * sixten) / sixten;
        const double del = (y - xsq) * (y + xsq);
        result = std::exp(-(xsq * xsq * 0.5)) * std::exp(-(del * 0.5)) * result;
        if (x > 0.0) {
            *cum = 1.0 - result;
            *ccum = result;
        } else {
            *cum = result;
            *ccum = 1.0 - result;
        }
    }
    if (*cum < tiny) {
        *cum = 0.0;
    }
    if (*ccum < tiny) {
        *ccum = 0.0;
    }
}
