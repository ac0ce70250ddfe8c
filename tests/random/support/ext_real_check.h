// Test check that an extended real has the expected kind and, when finite, the
// expected value (to rounding).
#pragma once

#include <gtest/gtest.h>

#include <cmath>

#include "random/ext_real.h"

inline void ExpectSame(const ExtReal& actual, const ExtReal& expected, const char* what) {
    EXPECT_EQ(actual.Kind(), expected.Kind()) << what;
    if (expected.Kind() == Finite && actual.Kind() == Finite) {
        EXPECT_NEAR(actual.Value(), expected.Value(), 1e-12 * (1 + std::fabs(expected.Value()))) << what;
    }
}
