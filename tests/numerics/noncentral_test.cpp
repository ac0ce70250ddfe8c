// The non-central chi-squared and F distribution functions against Poisson
// mixtures summed with mpmath at 50 digits (the centre term from mpmath's
// regularised incomplete gamma ratio, or from a continued fraction for the
// incomplete beta ratio; a sample checked against quadrature of the density),
// over a grid of non-centralities up to 1e6 and statistics from the far
// lower tail to the far upper tail.
#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "numerics/cdfchn.h"
#include "numerics/cdffnc.h"
#include "numerics/poisson_mixture.h"

using namespace vorlan2;

namespace {

// Within this of the reference in p and in q; a lower tail below 0.01 also
// to this relative accuracy.
const double absolute_accuracy = 1e-12;
const double relative_accuracy = 1e-9;

void expect_tails(double p, double q, double p_ref, double q_ref) {
    EXPECT_NEAR(p, p_ref, absolute_accuracy);
    EXPECT_NEAR(q, q_ref, absolute_accuracy);
    if (p_ref < 0.01) {
        EXPECT_NEAR(p, p_ref, relative_accuracy * p_ref);
    }
}

struct ChiCase {
    double x, df, pnonc, p, q;
};

// x at the mean + z sd for z = -5, -1, 0.5, 3, 7 (or mean / 50 where that
// is negative), then a small non-centrality (centre below 1), one next to
// the central limit and the lower-tail point x = 0.001, df = 0.01, pnonc = 20.
const std::vector<ChiCase> chi_cases = {
    {0.4002, 0.01, 20, 0.00017563947520361301, 0.99982436052479639},
    {11.0646, 0.01, 20, 0.15469938072577192, 0.84530061927422808},
    {24.4827, 0.01, 20, 0.71967274054707466, 0.28032725945292534},
    {46.8462, 0.01, 20, 0.99308418107882543, 0.006915818921174566},
    {82.6277, 0.01, 20, 0.9999986618219693, 1.3381780307029422e-6},
    {2452.29, 0.01, 3000, 7.9356896791504353e-8, 0.99999992064310321},
    {2890.47, 0.01, 3000, 0.15864506932586231, 0.84135493067413769},
    {3054.78, 0.01, 3000, 0.69385437812580651, 0.30614562187419349},
    {3328.64, 0.01, 3000, 0.99831018169596302, 0.0016898183040369757},
    {3766.82, 0.01, 3000, 0.99999999998087494, 1.9125060536643403e-11},
    {9000.01, 0.01, 10000.0, 1.4756092152698645e-7, 0.99999985243907847},
    {9800.01, 0.01, 10000.0, 0.1586492045123214, 0.8413507954876786},
    {10100.0, 0.01, 10000.0, 0.69276178376243596, 0.30723821623756404},
    {10600.0, 0.01, 10000.0, 0.99846768479481425, 0.0015323152051857519},
    {11400.0, 0.01, 10000.0, 0.99999999999380426, 6.1957412308836954e-12},
    {990000.0, 0.01, 1000000.0, 2.6924272541208777e-7, 0.99999973075727459},
    {998000.0, 0.01, 1000000.0, 0.15865398292208006, 0.84134601707791994},
    {1001000.0, 0.01, 1000000.0, 0.69159269187391172, 0.30840730812608828},
    {1006000.0, 0.01, 1000000.0, 0.99863230241161155, 0.0013676975883884459},
    {1014000.0, 0.01, 1000000.0, 0.99999999999848325, 1.5167506055635929e-12},
    {0.46, 3, 20, 7.3636011460610106e-6, 0.99999263639885394},
    {13.7264, 3, 20, 0.15501282309326012, 0.84498717690673988},
    {27.6368, 3, 20, 0.71819934627210728, 0.28180065372789272},
    {50.8209, 3, 20, 0.99343857677773962, 0.0065614232222603813},
    {87.9153, 3, 20, 0.99999899660069633, 1.0033993036703589e-6},
    {2455.14, 3, 3000, 7.9390331689630195e-8, 0.99999992060966831},
    {2893.43, 3, 3000, 0.15863898415766912, 0.84136101584233088},
    {3057.79, 3, 3000, 0.69387355724661289, 0.30612644275338711},
    {3331.72, 3, 3000, 0.99831071095670778, 0.0016892890432922163},
    {3770.0, 3, 3000, 0.99999999998089204, 1.9107955343594424e-11},
    {9002.93, 3, 10000.0, 1.4759367935210784e-7, 0.99999985240632065},
    {9802.99, 3, 10000.0, 0.15865525362350888, 0.84134474637649112},
    {10103.0, 3, 10000.0, 0.69276603665734024, 0.30723396334265976},
    {10603.0, 3, 10000.0, 0.99846686584235276, 0.001533134157647241},
    {11403.1, 3, 10000.0, 0.99999999999380644, 6.1935598942482664e-12},
    {990003.0, 3, 1000000.0, 2.6925503719358862e-7, 0.99999973074496281},
    {998003.0, 3, 1000000.0, 0.1586553750378651, 0.8413446249621349},
    {1001000.0, 3, 1000000.0, 0.69106638640692118, 0.30893361359307882},
    {1006000.0, 3, 1000000.0, 0.99862559205054499, 0.0013744079494550094},
    {1014000.0, 3, 1000000.0, 0.99999999999846709, 1.5329100514175426e-12},
    {36.334, 100, 20, 8.3506634818396937e-13, 0.99999999999916493},
    {103.267, 100, 20, 0.15786127557650311, 0.84213872442349689},
    {128.367, 100, 20, 0.70342928393443791, 0.29657071606556209},
    {170.2, 100, 20, 0.99665203877902913, 0.0033479612209708683},
    {237.132, 100, 20, 0.99999998792452936, 1.2075470642909723e-8},
    {2547.73, 100, 3000, 8.0952748412867803e-8, 0.99999991904725159},
    {2989.55, 100, 3000, 0.15864310824131826, 0.84135689175868174},
    {3155.23, 100, 3000, 0.69383935204132346, 0.30616064795867654},
    {3431.36, 100, 3000, 0.9983151329590752, 0.0016848670409247966},
    {3873.18, 100, 3000, 0.99999999998147271, 1.8527286567931978e-11},
    {9097.5, 100, 10000.0, 1.4798523559340841e-7, 0.99999985201476441},
    {9899.5, 100, 10000.0, 0.15864841402704147, 0.84135158597295853},
    {10200.2, 100, 10000.0, 0.69268722656133179, 0.30731277343866821},
    {10701.5, 100, 10000.0, 0.99846874663199721, 0.0015312533680027936},
    {11503.5, 100, 10000.0, 0.99999999999384393, 6.1560659453421826e-12},
    {990100.0, 100, 1000000.0, 2.6942632988844254e-7, 0.99999973057367011},
    {998100.0, 100, 1000000.0, 0.15866124855304342, 0.84133875144695658},
    {1001100.0, 100, 1000000.0, 0.6915900482964602, 0.3084099517035398},
    {1006100.0, 100, 1000000.0, 0.9986319901404108, 0.0013680098595891986},
    {1014100.0, 100, 1000000.0, 0.99999999999848144, 1.5185624424562539e-12},
    {0.001, 0.01, 20, 4.4050506921523916e-5, 0.99995594949307848},
    {0.2, 2, 0.5, 0.075027436132374071, 0.92497256386762593},
    {3.5, 2, 0.5, 0.7515625173923986, 0.2484374826076014},
    {1e-06, 0.5, 1e-09, 0.029337383210454398, 0.9706626167895456},
};

TEST(NonCentralChiSquared, MatchesHighPrecisionSums) {
    for (const ChiCase& c : chi_cases) {
        SCOPED_TRACE(testing::Message() << "x " << c.x << " df " << c.df << " pnonc " << c.pnonc);
        int which = 1;
        int status = -99;
        double bound = 0.0;
        double p = -1.0;
        double q = -1.0;
        double x = c.x, df = c.df, pnonc = c.pnonc;
        cdfchn(&which, &p, &q, &x, &df, &pnonc, &status, &bound);
        ASSERT_EQ(status, 0);
        expect_tails(p, q, c.p, c.q);
    }
}

struct FCase {
    double f, dfn, dfd, pnonc, p, q;
};

// f at (dfn + pnonc + z sqrt(2 (dfn + 2 pnonc))) / dfn for z = -4, 0, 3 (at
// least 0.01).
const std::vector<FCase> f_cases = {
    {0.01, 1, 2, 3, 0.015856278020465261, 0.98414372197953474},
    {4.0, 1, 2, 3, 0.49523020988320326, 0.50476979011679674},
    {15.225, 1, 2, 3, 0.7898778554446061, 0.2101221445553939},
    {2562.79, 1, 2, 3000, 0.31034321317953477, 0.68965678682046523},
    {3001.0, 1, 2, 3000, 0.36812448989094176, 0.63187551010905824},
    {3329.66, 1, 2, 3000, 0.40626392552119712, 0.59373607447880288},
    {9200.98, 1, 2, 10000.0, 0.33732337849969755, 0.66267662150030245},
    {10001.0, 1, 2, 10000.0, 0.36795299866938281, 0.63204700133061719},
    {10601.0, 1, 2, 10000.0, 0.38937062523549296, 0.61062937476450704},
    {992001.0, 1, 2, 1000000.0, 0.36492534680553131, 0.63507465319446869},
    {1000000.0, 1, 2, 1000000.0, 0.3678798090499638, 0.6321201909500362},
    {1006000.0, 1, 2, 1000000.0, 0.37008047273542253, 0.62991952726457747},
    {0.01, 1, 1000, 3, 0.017858059961895182, 0.98214194003810482},
    {4.0, 1, 1000, 3, 0.60523890127338848, 0.39476109872661152},
    {15.225, 1, 1000, 3, 0.9846406882787124, 0.015359311721287602},
    {2562.79, 1, 1000, 3000, 0.0030274794314397566, 0.99697252056856024},
    {3001.0, 1, 1000, 3000, 0.49815657068923494, 0.50184342931076506},
    {3329.66, 1, 1000, 3000, 0.96333954383800295, 0.036660456161997055},
    {9200.98, 1, 1000, 10000.0, 0.04198403786053378, 0.95801596213946622},
    {10001.0, 1, 1000, 10000.0, 0.49561133554712216, 0.50438866445287784},
    {10601.0, 1, 1000, 10000.0, 0.87912424037926615, 0.12087575962073385},
    {992001.0, 1, 1000, 1000000.0, 0.42288517444923559, 0.57711482555076441},
    {1000000.0, 1, 1000, 1000000.0, 0.49406175517529126, 0.50593824482470874},
    {1006000.0, 1, 1000, 1000000.0, 0.547205483029902, 0.452794516970098},
    {0.01, 30, 2, 3, 1.4602600947078065e-14, 0.9999999999999854},
    {1.1, 30, 2, 3, 0.37971975466688015, 0.62028024533311985},
    {1.94853, 30, 2, 3, 0.57450516251403948, 0.42549483748596052},
    {86.3576, 30, 2, 3000, 0.31078382227671876, 0.68921617772328124},
    {101.0, 30, 2, 3000, 0.36812098392663523, 0.63187901607336477},
    {111.982, 30, 2, 3000, 0.40600220304597657, 0.59399779695402343},
    {307.647, 30, 2, 10000.0, 0.33739252505637131, 0.66260747494362869},
    {334.333, 30, 2, 10000.0, 0.36795231327548465, 0.63204768672451535},
    {354.348, 30, 2, 10000.0, 0.38932542933453376, 0.61067457066546624},
    {33067.7, 30, 2, 1000000.0, 0.36492580362603419, 0.63507419637396581},
    {33334.3, 30, 2, 1000000.0, 0.36787980902862782, 0.63212019097137218},
    {33534.3, 30, 2, 1000000.0, 0.37008040908813323, 0.62991959091186677},
    {0.01, 30, 1000, 3, 8.0754146951385051e-26, 1.0},
    {1.1, 30, 1000, 3, 0.53247730150702926, 0.46752269849297074},
    {1.94853, 30, 1000, 3, 0.99348371569443766, 0.0065162843055623413},
    {86.3576, 30, 1000, 3000, 0.0031468921884066576, 0.99685310781159334},
    {101.0, 30, 1000, 3000, 0.49811710415607138, 0.50188289584392862},
    {111.982, 30, 1000, 3000, 0.96273976184341338, 0.037260238156586624},
    {307.647, 30, 1000, 10000.0, 0.042278223983051961, 0.95772177601694804},
    {334.333, 30, 1000, 10000.0, 0.49559741188628667, 0.50440258811371333},
    {354.348, 30, 1000, 10000.0, 0.87870809356442083, 0.12129190643557917},
    {33067.7, 30, 1000, 1000000.0, 0.42289605907169875, 0.57710394092830125},
    {33334.3, 30, 1000, 1000000.0, 0.49406175465985082, 0.50593824534014918},
    {33534.3, 30, 1000, 1000000.0, 0.54720395738344368, 0.45279604261655632},
};

TEST(NonCentralF, MatchesHighPrecisionSums) {
    for (const FCase& c : f_cases) {
        SCOPED_TRACE(testing::Message() << "f " << c.f << " dfn " << c.dfn << " dfd " << c.dfd << " pnonc " << c.pnonc);
        int which = 1;
        int status = -99;
        double bound = 0.0;
        double p = -1.0;
        double q = -1.0;
        double f = c.f, dfn = c.dfn, dfd = c.dfd, pnonc = c.pnonc;
        cdffnc(&which, &p, &q, &f, &dfn, &dfd, &pnonc, &status, &bound);
        ASSERT_EQ(status, 0);
        expect_tails(p, q, c.p, c.q);
    }
}

// Each inverse mode, from a reference p of the tables above, finds the
// argument that gave it.
TEST(NonCentral, InverseModesFindTheArgumentOfAReferenceProbability) {
    struct Inverse {
        const char* name;
        bool chi;
        int which;
        std::vector<double> args;  // after which; the sought one given as 0
        int sought;
        double expected;
    };
    const std::vector<Inverse> cases = {
        {"chn x", true, 2, {0.69276603665734024, 0, 0, 3, 1e4}, 2, 10103.0},
        {"chn df", true, 3, {0.69387355724661289, 0, 3057.79, 0, 3000}, 3, 3.0},
        {"chn pnonc", true, 4, {0.69385437812580651, 0, 3054.78, 0.01, 0}, 4, 3000.0},
        {"chn x, lower tail", true, 2, {4.4050506921523916e-5, 0, 0, 0.01, 20}, 2, 0.001},
        {"fnc f", false, 2, {0.49815657068923494, 0, 0, 1, 1000, 3000}, 2, 3001.0},
        {"fnc dfn", false, 3, {0.9846406882787124, 0, 15.225, 0, 1000, 3}, 3, 1.0},
        {"fnc dfd", false, 4, {0.59124066939639446, 0, 4.0, 1, 0, 3}, 4, 20.0},
        {"fnc pnonc", false, 5, {0.49811710415607138, 0, 101.0, 30, 1000, 0}, 5, 3000.0},
    };
    for (const Inverse& c : cases) {
        std::vector<double> v = c.args;
        int which = c.which;
        int status = -99;
        double bound = 0.0;
        if (c.chi) {
            cdfchn(&which, &v[0], &v[1], &v[2], &v[3], &v[4], &status, &bound);
        } else {
            cdffnc(&which, &v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &status, &bound);
        }
        ASSERT_EQ(status, 0) << c.name;
        EXPECT_NEAR(v[c.sought], c.expected, 1e-6 * c.expected) << c.name;
    }
}

// An infinite statistic is certain to be exceeded by nothing; a tiny one
// (the density ratios overflow there) by everything; a non-centrality whose
// Poisson indices cannot be stepped exactly, or an infinite one, is a failed
// computation rather than a loop without end.
TEST(NonCentral, ExtremeArgumentsGiveTheLimitOrAFailedComputation) {
    const double inf = std::numeric_limits<double>::infinity();
    struct Extreme {
        const char* name;
        bool chi;
        std::vector<double> args;  // after which = 1, p and q given as 0
        int status;
        double p;
    };
    const std::vector<Extreme> cases = {
        {"chn x infinite", true, {0, 0, inf, 2, 1e6}, 0, 1.0},
        {"chn x 1e-310", true, {0, 0, 1e-310, 2, 4}, 0, 0.0},
        {"chn pnonc infinite", true, {0, 0, 5, 2, inf}, 10, 0.0},
        {"chn pnonc 1e17", true, {0, 0, 5, 2, 1e17}, 10, 0.0},
        {"fnc f infinite", false, {0, 0, inf, 2, 3, 4}, 0, 1.0},
        {"fnc f 1e-310", false, {0, 0, 1e-310, 2, 3, 4}, 0, 0.0},
        {"fnc f 1e-322", false, {0, 0, 1e-322, 0.5, 3, 40}, 0, 0.0},
        {"fnc pnonc infinite", false, {0, 0, 5, 2, 3, inf}, 10, 0.0},
    };
    for (const Extreme& c : cases) {
        std::vector<double> v = c.args;
        int which = 1;
        int status = -99;
        double bound = 0.0;
        if (c.chi) {
            cdfchn(&which, &v[0], &v[1], &v[2], &v[3], &v[4], &status, &bound);
        } else {
            cdffnc(&which, &v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &status, &bound);
        }
        ASSERT_EQ(status, c.status) << c.name;
        if (status == 0) {
            EXPECT_NEAR(v[0], c.p, 1e-15) << c.name;
            EXPECT_NEAR(v[1], 1.0 - c.p, 1e-15) << c.name;
        }
    }
}

// The mixture of the values 1 is the whole Poisson mass, and of the
// indicator of i <= k (a fall of 1 at k alone) the Poisson distribution
// function at k (R: ppois(k, xnonc)).
TEST(PoissonMixture, SumsThePoissonMassUpToTheBoundOnTheRest) {
    struct MassCase {
        double xnonc, k, below;
    };
    const std::vector<MassCase> cases = {
        {0.3, 0, 0.74081822068171788},
        {7.5, 3, 0.059145459832683982},
        {1e4, 1e4 + 250, 0.99372534018094472},
        {1e6, 1e6 - 3000, 0.0013462037182411051},
    };
    for (const MassCase& c : cases) {
        PoissonMixture mixture(c.xnonc);
        const auto none = [](double, double) { return 0.0; };
        EXPECT_NEAR(mixture.sum_by_differences(1.0, 0.0, none, none), 1.0, 1e-13) << c.xnonc;
        const auto fall_at_k = [&c](double, double i) { return i == c.k ? 1.0 : 0.0; };
        const double at_centre = mixture.centre() <= c.k ? 1.0 : 0.0;
        const double fall_at_centre = fall_at_k(0.0, mixture.centre());
        EXPECT_NEAR(mixture.sum_by_differences(at_centre, fall_at_centre, fall_at_k, fall_at_k), c.below, 1e-13)
            << c.xnonc;
    }
}

// The walks from a start away from the centre, with the values of one
// direction taken afresh: the indicator of i <= k (falling) sums to the
// Poisson distribution function at k, that of i > k (rising) to its upper
// tail (mpmath: sums of Poisson(7.5) probabilities).
TEST(PoissonMixture, WalksFromAStartAwayFromTheCentre) {
    PoissonMixture mixture(7.5);
    const auto at_most = [](double k) { return [k](double i) { return i <= k ? 1.0 : 0.0; }; };
    const auto above_k = [](double k) { return [k](double i) { return i > k ? 1.0 : 0.0; }; };
    const auto fall_at = [](double k) { return [k](double, double i) { return i == k ? 1.0 : 0.0; }; };
    EXPECT_NEAR(mixture.sum_falling_from(2.0, 1.0, 0.0, fall_at(3.0), at_most(3.0)), 0.059145459832683954, 1e-15);
    EXPECT_NEAR(mixture.sum_falling_from(5.0, 0.0, 0.0, fall_at(3.0), at_most(3.0)), 0.059145459832683954, 1e-15);
    EXPECT_NEAR(mixture.sum_rising_from(10.0, 1.0, 0.0, fall_at(9.0), above_k(9.0)), 0.22359238698028557, 1e-15);
    EXPECT_NEAR(mixture.sum_afresh(false, above_k(9.0)), 0.22359238698028557, 1e-15);
    EXPECT_NEAR(mixture.sum_afresh(true, at_most(3.0)), 0.059145459832683954, 1e-15);
}

// The start of a deep tail's walk is the peak of w_i d_i, here for the
// chi-squared differences d_i / d_(i-1) = y / (a + i): the terms rise while
// xnonc y >= (i + 1)(a + i + 1) (lower tail) or (i + 1)(a + i) (upper tail).
TEST(PoissonMixture, DeepTailsStartAtThePeakOfTheirTerms) {
    const auto chi_ratio = [](double y, double a) { return [y, a](double i) { return y / (a + i); }; };
    EXPECT_EQ(PoissonMixture(8.0).peak_below_centre(chi_ratio(3e-42, 1e-5)), 0.0);
    // 122 x 122.5 < 300 x 50 < 123 x 123.5.
    EXPECT_EQ(PoissonMixture(300.0).peak_below_centre(chi_ratio(50.0, 0.5)), 122.0);
    // 80 x 80 = 8 x 800.
    EXPECT_EQ(PoissonMixture(8.0).peak_above_centre(chi_ratio(800.0, 1.0)), 80.0);
    EXPECT_EQ(PoissonMixture(300.0).peak_above_centre(chi_ratio(50.0, 0.5)), 300.0);
}

}  // namespace
