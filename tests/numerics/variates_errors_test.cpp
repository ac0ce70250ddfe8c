// Parameter errors of the seeded variates: each writes its texts to standard error and
// ends the process with status 1.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "exact_stderr.h"
#include "numerics/com.h"
#include "numerics/variates.h"

namespace {

struct FatalCase {
    std::string name;
    std::function<void()> call;
    std::string text;
};

float p_negative[3] = {0.2f, -0.1f, 0.5f};
float p_above_one[3] = {0.2f, 1.5f, 0.5f};
float p_sum_above_one[3] = {0.6f, 0.5f, 0.0f};
float p_valid[3] = {0.2f, 0.3f, 0.5f};
const float nan_f = std::numeric_limits<float>::quiet_NaN();
const float inf_f = std::numeric_limits<float>::infinity();
float p_nan[3] = {nan_f, 0.3f, 0.5f};
long counts[3];

void set_normal_of(long p, std::vector<float> covm) {
    std::vector<float> mean(p > 0 ? p : 1, 0.0f);
    std::vector<float> parm(p > 0 ? p * (p + 3) / 2 + 1 : 1);
    setgmn(mean.data(), covm.data(), p, parm.data());
}

}  // namespace

TEST(VariatesDeathTest, ParameterErrorsWriteTheirTextsAndExitWithStatus1) {
    const std::vector<FatalCase> cases = {
        {"genunf", [] { genunf(2.0f, 1.0f); },
         "LOW > HIGH in GENUNF: LOW     2.000000E+00 HIGH:     1.000000E+00\nAbort"},
        {"genchi", [] { genchi(0.0f); }, "DF <= 0 in GENCHI - ABORTValue of DF:     0.000000E+00\n"},
        {"gennch df", [] { gennch(1.0f, 0.5f); },
         "DF <= 1 or XNONC < 0 in GENNCH - ABORTValue of DF:     1.000000E+00 Value of XNONC    5.000000E-01\n"},
        {"gennch xnonc", [] { gennch(3.0f, -1.0f); },
         "DF <= 1 or XNONC < 0 in GENNCH - ABORTValue of DF:     3.000000E+00 Value of XNONC   -1.000000E+00\n"},
        {"genf", [] { genf(4.0f, -2.0f); },
         "Degrees of freedom nonpositive in GENF - abort!DFN value:     4.000000E+00DFD value:    -2.000000E+00\n"},
        {"gennf", [] { gennf(1.0f, 2.0f, 0.0f); },
         "In GENNF - Either (1) Numerator DF <= 1.0 or(2) Denominator DF < 0.0 or (3) Noncentrality parameter < "
         "0.0DFN value:     1.000000E+00DFD value:     2.000000E+00XNONC value: \n    0.000000E+00\n"},
        {"genbet", [] { genbet(0.0f, 1.0f); },
         " AA or BB <= 0 in GENBET - Abort! AA:     0.000000E+00 BB     1.000000E+00\n"},
        {"genbet after a valid pair",
         [] {
             genbet(2.0f, 3.0f);
             genbet(2.0f, -3.0f);
         },
         " AA or BB <= 0 in GENBET - Abort! AA:     2.000000E+00 BB    -3.000000E+00\n"},
        {"ignuin order", [] { ignuin(2, 1); }, " low > high in ignuin - ABORT"},
        {"ignuin range", [] { ignuin(0, 2147483562); }, " high - low too large in ignuin - ABORT"},
        {"ignuin widest range", [] { ignuin(LONG_MIN, LONG_MAX); }, " high - low too large in ignuin - ABORT"},
        {"setgmn p", [] { set_normal_of(0, {1.0f}); }, "P nonpositive in SETGMNValue of P:            0\n"},
        {"setgmn covariance",
         [] {
             set_normal_of(2, {1.0f, 2.0f, 2.0f, 1.0f});
         },
         " COVM not positive definite in SETGMN"},
        {"genmul n", [] { genmul(-1, p_valid, 3, counts); }, "N < 0 in GENMUL\n"},
        {"genmul ncat", [] { genmul(5, p_valid, 1, counts); }, "NCAT <= 1 in GENMUL\n"},
        {"genmul p < 0", [] { genmul(5, p_negative, 3, counts); }, "Some P(i) < 0 in GENMUL\n"},
        {"genmul p > 1", [] { genmul(5, p_above_one, 3, counts); }, "Some P(i) > 1 in GENMUL\n"},
        {"genmul sum", [] { genmul(5, p_sum_above_one, 3, counts); }, "Sum of P(i) > 1 in GENMUL\n"},
        {"ignbin NaN", [] { ignbin(10, nan_f); }, "PP not finite in IGNBIN\n"},
        {"ignbin infinite", [] { ignbin(10, -inf_f); }, "PP not finite in IGNBIN\n"},
        {"ignpoi NaN", [] { ignpoi(nan_f); }, "MU not finite in IGNPOI\n"},
        {"ignpoi NaN after a valid mean",
         [] {
             ignpoi(25.0f);
             ignpoi(nan_f);
         },
         "MU not finite in IGNPOI\n"},
        {"ignpoi infinite", [] { ignpoi(inf_f); }, "MU not finite in IGNPOI\n"},
        {"ignpoi mean beyond a long", [] { ignpoi(1e19f); }, "MU too large in IGNPOI\n"},
        {"ignbin mean beyond single precision", [] { ignbin(10000000000000000L, 0.5f); }, "N*PP too large in IGNBIN\n"},
        {"ignbin mean of the upper tail", [] { ignbin(100000000000000000L, 0.99f); }, "N*PP too large in IGNBIN\n"},
        {"genmul NaN probability", [] { genmul(5, p_nan, 3, counts); }, "PP not finite in IGNBIN\n"},
        {"ignnbn NaN probability", [] { ignnbn(3, nan_f); }, "MU not finite in IGNPOI\n"},
        {"ignnbn n first", [] { ignnbn(-1, 0.0f); }, "N < 0 in IGNNBN\n"},
        {"ignnbn p <= 0", [] { ignnbn(3, 0.0f); }, "P <= 0 in IGNNBN\n"},
        {"ignnbn p >= 1", [] { ignnbn(3, 1.0f); }, "P >= 1 in IGNNBN\n"},
    };
    for (const FatalCase& c : cases) {
        EXPECT_EXIT(c.call(), testing::ExitedWithCode(1), exact_stderr(c.text)) << c.name;
    }
}
