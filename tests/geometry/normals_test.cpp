// normals_test.cpp - FindNormal over a table of point triples: orientation, degenerate faces,
// scale invariance and the single-precision length.
#include <cmath>

#include <gtest/gtest.h>

#include "framework/geometry/normals.h"

using namespace velvix;

namespace {

struct Triple {
    const char* what;
    double p[9];
    double normal[3];
};

TEST(FindNormalTest, TableOfFaces) {
    const double s = 1 / std::sqrt(3.0);
    const Triple cases[] = {
        {"counter-clockwise in XY", {0, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 0, 1}},
        {"clockwise in XY", {0, 0, 0, 0, 1, 0, 1, 0, 0}, {0, 0, -1}},
        {"floor quad", {10, 0, -10, -10, 0, -10, -10, 0, 10}, {0, 1, 0}},
        {"tilted face", {1, 0, 0, 0, 1, 0, 0, 0, 1}, {s, s, s}},
        {"tilted face scaled by 1000", {1000, 0, 0, 0, 1000, 0, 0, 0, 1000}, {s, s, s}},
        {"tilted face scaled by 1/1000", {1e-3, 0, 0, 0, 1e-3, 0, 0, 0, 1e-3}, {s, s, s}},
        {"off-origin face", {5, 5, 5, 7, 5, 5, 5, 5, 3}, {0, 1, 0}},
        {"collinear", {0, 0, 0, 1, 1, 1, 3, 3, 3}, {0, 0, 0}},
        {"coincident", {2, 2, 2, 2, 2, 2, 2, 2, 2}, {0, 0, 0}},
    };
    for (const Triple& c : cases) {
        SCOPED_TRACE(c.what);
        FNormal[1] = FNormal[2] = FNormal[3] = 99; // every call overwrites all three
        const double* p = c.p;
        FindNormal(p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7], p[8]);
        for (int k = 1; k <= 3; ++k) {
            EXPECT_FALSE(std::isnan(FNormal[k]));
            EXPECT_NEAR(FNormal[k], c.normal[k - 1], 1e-6) << "component " << k;
        }
    }
}

TEST(FindNormalTest, LengthIsMeasuredInSinglePrecision) {
    // A face whose double-precision length (sqrt 2 * 3) is no float: dividing by the rounded
    // float leaves a unit vector that is off by that rounding, not by double rounding.
    FindNormal(0, 0, 0, 3, 0, 0, 0, 3, 3);
    const double exact = 9 * std::sqrt(2.0);
    const float rounded = static_cast<float>(exact);
    ASSERT_NE(static_cast<double>(rounded), exact);
    EXPECT_EQ(FNormal[1], 0.0);
    EXPECT_EQ(FNormal[2], -9.0 / rounded);
    EXPECT_EQ(FNormal[3], 9.0 / rounded);
    const double length = std::sqrt(FNormal[2] * FNormal[2] + FNormal[3] * FNormal[3]);
    EXPECT_NEAR(length, 1.0, 1e-7);
}

} // namespace
