// A random sample of calls of every distribution function and mode at extreme
// arguments (parameters from 1e-300 to 1e300, statistics whose tails reach
// 1e-300, products and beta variables beyond the normal doubles, non-central
// sums whose centre terms underflow), against references computed with
// mpmath by tests/numerics/support/make_extreme_sample.py, which also wrote
// data/extreme_sample.txt. Each line: routine, which, the arguments after
// which, ":", then for which = 1 the two tails, and for an inverse mode the
// index of the sought argument, the interval(s) of answers whose tails meet
// the target to the forward accuracy (widened by the search's tolerance), and
// the flags below_ok / above_ok (the interval reaches that search limit, so
// status 1 / 2 is right too) and may_fail (the tail is not monotone there).
#include <cfloat>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "distribution_calls.h"

namespace {

struct SampleCase {
    std::string line;
    Routine routine;
    int which;
    std::vector<double> args;
    std::vector<std::string> expected;
};

std::vector<SampleCase> read_sample() {
    std::ifstream in(std::string(VORLAN2_SOURCE_DIR) + "/tests/numerics/data/extreme_sample.txt");
    std::vector<SampleCase> cases;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream words(line);
        SampleCase c;
        c.line = line;
        std::string word;
        words >> word >> c.which;
        if (!routine_named(word, &c.routine)) {
            ADD_FAILURE() << "unknown routine in: " << line;
            continue;
        }
        while (words >> word && word != ":") {
            c.args.push_back(std::strtod(word.c_str(), nullptr));
        }
        while (words >> word) {
            c.expected.push_back(word);
        }
        cases.push_back(c);
    }
    return cases;
}

double number(const std::string& word) { return std::strtod(word.c_str(), nullptr); }

// A tail is right within tolerance (relative) of a reference that is a
// normal double, and at most the smallest normal double below that.
bool tail_is_right(double got, double want, double tolerance) {
    if (!(got >= 0.0 && got <= 1.0)) {
        return false;
    }
    return want >= DBL_MIN ? std::fabs(got - want) <= tolerance * want : got <= DBL_MIN;
}

bool forward_is_right(const SampleCase& c, const Result& r) {
    const bool noncentral = c.routine == Routine::chn || c.routine == Routine::fnc;
    const double tolerance = noncentral ? 1e-3 : 1e-12;
    return r.status == 0 && tail_is_right(r.args[0], number(c.expected[0]), tolerance) &&
           tail_is_right(r.args[1], number(c.expected[1]), tolerance);
}

bool inverse_is_right(const SampleCase& c, const Result& r) {
    const std::size_t sought = static_cast<std::size_t>(std::stoi(c.expected[0]));
    bool below_ok = false;
    bool above_ok = false;
    bool may_fail = false;
    bool inside = false;
    for (std::size_t i = 1; i < c.expected.size(); ++i) {
        const std::string& word = c.expected[i];
        if (word == "below_ok") {
            below_ok = true;
        } else if (word == "above_ok") {
            above_ok = true;
        } else if (word == "may_fail") {
            may_fail = true;
        } else {
            const double low = number(word);
            const double high = number(c.expected[++i]);
            inside = inside || (r.args[sought] >= low && r.args[sought] <= high);
        }
    }
    if (r.status != 0) {
        return may_fail || (r.status == 1 && below_ok) || (r.status == 2 && above_ok);
    }
    return inside;
}

class ExtremeSample : public testing::TestWithParam<Routine> {};

TEST_P(ExtremeSample, EveryModeGivesTheReferenceOrItsStatus) {
    static const std::vector<SampleCase> cases = read_sample();
    ASSERT_FALSE(cases.empty());
    int count = 0;
    for (const SampleCase& c : cases) {
        if (c.routine != GetParam()) {
            continue;
        }
        ++count;
        // cdfnor announces every call on standard output.
        testing::internal::CaptureStdout();
        const Result r = call(c.routine, c.which, c.args);
        testing::internal::GetCapturedStdout();
        const bool right = c.which == 1 ? forward_is_right(c, r) : inverse_is_right(c, r);
        if (!right) {
            std::ostringstream got;
            got.precision(17);
            for (double v : r.args) {
                got << " " << v;
            }
            ADD_FAILURE() << c.line << "\n  status " << r.status << ", arguments" << got.str();
        }
    }
    EXPECT_GT(count, 0);
}

INSTANTIATE_TEST_SUITE_P(Routines, ExtremeSample,
                         testing::Values(Routine::chi, Routine::gam, Routine::poi, Routine::nor, Routine::bet,
                                         Routine::bin, Routine::nbn, Routine::f, Routine::t, Routine::chn,
                                         Routine::fnc),
                         [](const testing::TestParamInfo<Routine>& info) { return std::string(name(info.param)); });

}  // namespace
