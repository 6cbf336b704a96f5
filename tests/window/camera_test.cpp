// camera_test.cpp - SetGLMouseMove in its four modes and an invalid one, read back from the
// modelview matrix and compared with matrices built here from the rotation formula.
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "framework_window.h"

#include <GL/gl.h>

using namespace velvix;

namespace {

using Matrix = std::array<double, 16>; // column-major

Matrix Mul(const Matrix& a, const Matrix& b) {
    Matrix m = {};
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            for (int k = 0; k < 4; ++k)
                m[c * 4 + r] += a[k * 4 + r] * b[c * 4 + k];
    return m;
}

Matrix Translation(double x, double y, double z) {
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1};
}

// Rotation by `deg` degrees about the unit axis (x, y, z), counter-clockwise seen from its tip.
Matrix Rotation(double deg, double x, double y, double z) {
    const double a = deg * M_PI / 180, c = std::cos(a), s = std::sin(a), t = 1 - c;
    return {t * x * x + c,
            t * x * y + s * z,
            t * x * z - s * y,
            0,
            t * x * y - s * z,
            t * y * y + c,
            t * y * z + s * x,
            0,
            t * x * z + s * y,
            t * y * z - s * x,
            t * z * z + c,
            0,
            0,
            0,
            0,
            1};
}

Matrix Modelview() {
    Matrix m;
    glGetDoublev(GL_MODELVIEW_MATRIX, m.data());
    return m;
}

void ExpectMatrix(const Matrix& got, const Matrix& want) {
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(got[i], want[i], 1e-5) << "element " << i;
}

TEST(SetGLMouseMove, EachModeTranslatesThenTurnsAboutItsAxes) {
    struct Case {
        int32_t mode;
        double t[3];
        double a1[3], a2[3];
    } cases[] = {
        {GL_M0, {0, 0, -5}, {1, 0, 0}, {0, 1, 0}},
        {GL_MX, {0, -5, 0}, {1, 0, 0}, {0, 0, 1}},
        {GL_MY, {-5, 0, 0}, {0, 0, -1}, {0, 1, 0}},
        {GL_MZ, {0, 0, -5}, {0, 1, 0}, {1, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        window_test::UseFrameworkWindow();
        XRot = 30;
        YRot = 40;
        Depth = 5;
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslatef(1, 2, 3); // the camera multiplies onto what the caller set up
        SetGLMouseMove(c.mode, 3);
        EXPECT_EQ(MSpeed, 3);
        EXPECT_FLOAT_EQ(My.X, c.t[0]);
        EXPECT_FLOAT_EQ(My.Y, c.t[1]);
        EXPECT_FLOAT_EQ(My.Z, c.t[2]);
        const Matrix want = Mul(Mul(Mul(Translation(1, 2, 3), Translation(c.t[0], c.t[1], c.t[2])),
                                    Rotation(30, c.a1[0], c.a1[1], c.a1[2])),
                                Rotation(40, c.a2[0], c.a2[1], c.a2[2]));
        ExpectMatrix(Modelview(), want);
    }
}

TEST(SetGLMouseMove, ModeYTurnsXRotClockwiseSeenFromPositiveZ) {
    window_test::UseFrameworkWindow();
    XRot = 90;
    glLoadIdentity();
    SetGLMouseMove(GL_MY, 2);
    const Matrix m = Modelview();
    // The x axis goes to -y.
    EXPECT_NEAR(m[0], 0, 1e-6);
    EXPECT_NEAR(m[1], -1, 1e-6);
}

TEST(SetGLMouseMove, OtherModesOnlySetTheSpeed) {
    for (int32_t mode : {4, -1, 100}) {
        SCOPED_TRACE(mode);
        window_test::UseFrameworkWindow();
        XRot = 30;
        YRot = 40;
        Depth = 5;
        My = {7, 8, 9};
        glLoadIdentity();
        glTranslatef(1, 2, 3);
        const Matrix before = Modelview();
        SetGLMouseMove(mode, 4);
        EXPECT_EQ(MSpeed, 4);
        EXPECT_EQ(Modelview(), before);
        EXPECT_FLOAT_EQ(My.X, 7);
        EXPECT_FLOAT_EQ(My.Y, 8);
        EXPECT_FLOAT_EQ(My.Z, 9);
    }
}

TEST(SetGLMouseMove, AtRestLeavesTheMatrixAsItWas) {
    window_test::UseFrameworkWindow();
    glLoadIdentity();
    glRotatef(25, 1, 0, 0);
    const Matrix before = Modelview();
    SetGLMouseMove(GL_M0, 2);
    ExpectMatrix(Modelview(), before);
}

} // namespace
