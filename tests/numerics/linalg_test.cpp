// Single-precision dot product and Cholesky factorisation.
#include "numerics/linalg.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

TEST(Sdot, StridesAndLengths) {
    std::vector<float> x = {1, 2, 3, 4, 5, 6, 7};
    std::vector<float> y = {7, 6, 5, 4, 3, 2, 1};
    struct Case {
        long n, incx, incy;
        float expected;
    };
    const Case cases[] = {
        {0, 1, 1, 0.0f},
        {-3, 2, -1, 0.0f},
        {3, 1, 1, 7 + 12 + 15},             // shorter than one group of five
        {5, 1, 1, 7 + 12 + 15 + 16 + 15},   // exactly one group
        {7, 1, 1, 84},                      // two single products, then a group of five
        {3, 2, 1, 1 * 7 + 3 * 6 + 5 * 5},   // x at 0, 2, 4
        {3, 1, -1, 1 * 5 + 2 * 6 + 3 * 7},  // y walked from element 2 down
        {7, -1, 1, 7 * 7 + 6 * 6 + 5 * 5 + 4 * 4 + 3 * 3 + 2 * 2 + 1 * 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sdot(c.n, x.data(), c.incx, y.data(), c.incy), c.expected)
            << "n " << c.n << " incx " << c.incx << " incy " << c.incy;
    }
}

TEST(Sdot, NegativeStridePairsTheLastElementWithTheFirst) {
    std::vector<float> x = {1, 10, 100};
    std::vector<float> y = {1, 0, 0};
    EXPECT_EQ(sdot(3, x.data(), -1, y.data(), 1), 100.0f);
}

TEST(Spofa, FactorsMatchR) {
    // R: chol(B) for the symmetric matrix below, upper triangle R with B = R'R.
    std::vector<float> a = {2.5f,  0.3f, -0.7f, 1.1f, 0.3f, 3.2f,  0.4f, -0.2f,
                            -0.7f, 0.4f, 1.9f,  0.5f, 1.1f, -0.2f, 0.5f, 2.7f};
    const double r[4][4] = {{1.58113883, 0.1897366596, -0.4427188724, 0.6957010852},
                            {0, 1.7787636155, 0.2720991119, -0.1866464982},
                            {0, 0, 1.2766996802, 0.6726612059},
                            {0, 0, 0, 1.3147965572}};
    // The strict lower triangle is left alone: mark it.
    for (int j = 0; j < 4; ++j) {
        for (int i = j + 1; i < 4; ++i) {
            a[i + 4 * j] = -99.0f;
        }
    }
    long info = -1;
    spofa(a.data(), 4, 4, &info);
    EXPECT_EQ(info, 0);
    for (int j = 0; j < 4; ++j) {
        for (int i = 0; i < 4; ++i) {
            const double expected = i <= j ? r[i][j] : -99.0;
            EXPECT_NEAR(a[i + 4 * j], expected, 2e-6) << i << "," << j;
        }
    }
}

TEST(Spofa, UsesTheLeadingDimension) {
    // 2 x 2 matrix [[4, 2], [2, 5]] stored with leading dimension 3; the padding row is untouched.
    std::vector<float> a = {4, 0, 7, 2, 5, 7};
    long info = -1;
    spofa(a.data(), 3, 2, &info);
    EXPECT_EQ(info, 0);
    EXPECT_EQ(a, (std::vector<float>{2, 0, 7, 1, 2, 7}));
}

TEST(Spofa, OneByOne) {
    float a = 4.0f;
    long info = -1;
    spofa(&a, 1, 1, &info);
    EXPECT_EQ(info, 0);
    EXPECT_EQ(a, 2.0f);
}

TEST(Spofa, StopsAtTheFirstMinorThatIsNotPositiveDefinite) {
    // Second leading minor 1 * 4 - 2 * 2 = 0.
    std::vector<float> a = {1, 2, 3, 2, 4, 5, 3, 5, 9};
    long info = -1;
    spofa(a.data(), 3, 3, &info);
    EXPECT_EQ(info, 2);
    EXPECT_EQ(a[0], 1.0f);  // sqrt(1), already written
    EXPECT_EQ(a[3], 2.0f);  // R(1, 2) = 2 / 1, already written
    EXPECT_EQ(a[4], 4.0f);  // the failing diagonal keeps its value
    EXPECT_EQ(a[6], 3.0f);  // column 3 not reached

    float negative = -1.0f;
    spofa(&negative, 1, 1, &info);
    EXPECT_EQ(info, 1);
}
