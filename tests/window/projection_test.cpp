// projection_test.cpp - OpenGL_Init and OpenGL_I2D read back with glGet on the framework's
// context; the expected matrices are computed here from the projection formulas.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>

#include "framework_window.h"

#include <GL/gl.h>

using namespace velvix;

namespace {

using Matrix = std::array<double, 16>; // column-major, as OpenGL stores it

Matrix Perspective(double fovy, double aspect, double zNear, double zFar) {
    const double f = 1 / std::tan(fovy * M_PI / 360);
    Matrix m = {};
    m[0] = f / aspect;
    m[5] = f;
    m[10] = (zFar + zNear) / (zNear - zFar);
    m[11] = -1;
    m[14] = 2 * zFar * zNear / (zNear - zFar);
    return m;
}

Matrix Ortho(double l, double r, double b, double t, double n, double f) {
    Matrix m = {};
    m[0] = 2 / (r - l);
    m[5] = 2 / (t - b);
    m[10] = -2 / (f - n);
    m[12] = -(r + l) / (r - l);
    m[13] = -(t + b) / (t - b);
    m[14] = -(f + n) / (f - n);
    m[15] = 1;
    return m;
}

Matrix Get(GLenum which) {
    Matrix m;
    glGetDoublev(which, m.data());
    return m;
}

void ExpectMatrix(const Matrix& got, const Matrix& want) {
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(got[i], want[i], 1e-5 * (1 + std::fabs(want[i]))) << "element " << i;
}

const Matrix kIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// The default drawing state that OpenGL_Init leaves, as one comparable record.
struct DrawingState {
    GLfloat clear[4], colour[4];
    GLdouble clearDepth;
    GLint viewport[4], depthFunc, blendSrc, blendDst, localViewer, hints[3], matrixMode;
    GLboolean depthTest, autoNormal, normalize, blend, lighting, cull, texture;
};

DrawingState Read() {
    DrawingState s;
    std::memset(&s, 0, sizeof(s)); // padding too, so two records compare with memcmp
    glGetFloatv(GL_COLOR_CLEAR_VALUE, s.clear);
    glGetFloatv(GL_CURRENT_COLOR, s.colour);
    glGetDoublev(GL_DEPTH_CLEAR_VALUE, &s.clearDepth);
    glGetIntegerv(GL_VIEWPORT, s.viewport);
    glGetIntegerv(GL_DEPTH_FUNC, &s.depthFunc);
    glGetIntegerv(GL_BLEND_SRC, &s.blendSrc);
    glGetIntegerv(GL_BLEND_DST, &s.blendDst);
    glGetIntegerv(GL_LIGHT_MODEL_LOCAL_VIEWER, &s.localViewer);
    glGetIntegerv(GL_LINE_SMOOTH_HINT, &s.hints[0]);
    glGetIntegerv(GL_POLYGON_SMOOTH_HINT, &s.hints[1]);
    glGetIntegerv(GL_PERSPECTIVE_CORRECTION_HINT, &s.hints[2]);
    glGetIntegerv(GL_MATRIX_MODE, &s.matrixMode);
    s.depthTest = glIsEnabled(GL_DEPTH_TEST);
    s.autoNormal = glIsEnabled(GL_AUTO_NORMAL);
    s.normalize = glIsEnabled(GL_NORMALIZE);
    s.blend = glIsEnabled(GL_BLEND);
    s.lighting = glIsEnabled(GL_LIGHTING);
    s.cull = glIsEnabled(GL_CULL_FACE);
    s.texture = glIsEnabled(GL_TEXTURE_2D);
    return s;
}

void Reset() {
    window_test::UseFrameworkWindow();
    while (glGetError() != GL_NO_ERROR) {
    }
}

TEST(OpenGL_Init, SetsThePerspectiveAndTheDefaultDrawingState) {
    Reset();
    Width = 800;
    Height = 600;
    OpenGL_Init(100, 0.4, 0.1, 0.2, 0.3); // alpha first in the arguments, last in the colour
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)); // nothing invalid is enabled
    ExpectMatrix(Get(GL_PROJECTION_MATRIX), Perspective(45, 800.0 / 600, 0.1, 100));
    ExpectMatrix(Get(GL_MODELVIEW_MATRIX), kIdentity);
    const DrawingState s = Read();
    EXPECT_EQ(s.matrixMode, GL_MODELVIEW);
    EXPECT_FLOAT_EQ(s.clear[0], 0.1f);
    EXPECT_FLOAT_EQ(s.clear[1], 0.2f);
    EXPECT_FLOAT_EQ(s.clear[2], 0.3f);
    EXPECT_FLOAT_EQ(s.clear[3], 0.4f);
    EXPECT_EQ(s.clearDepth, 1.0); // 100, clamped
    EXPECT_EQ(s.viewport[0], 0);
    EXPECT_EQ(s.viewport[1], 0);
    EXPECT_EQ(s.viewport[2], 800);
    EXPECT_EQ(s.viewport[3], 600);
    EXPECT_TRUE(s.depthTest);
    EXPECT_EQ(s.depthFunc, GL_LEQUAL);
    EXPECT_FLOAT_EQ(s.colour[0], 1);
    EXPECT_FLOAT_EQ(s.colour[1], 1);
    EXPECT_FLOAT_EQ(s.colour[2], 1);
    EXPECT_FLOAT_EQ(s.colour[3], 0.5f);
    EXPECT_EQ(s.blendSrc, GL_SRC_ALPHA);
    EXPECT_EQ(s.blendDst, GL_ONE);
    EXPECT_FALSE(s.blend);
    EXPECT_EQ(s.localViewer, 1);
    for (GLint h : s.hints)
        EXPECT_EQ(h, GL_NICEST);
    EXPECT_TRUE(s.autoNormal);
    EXPECT_TRUE(s.normalize);
}

TEST(OpenGL_Init, SwitchesNoLightingCullingBlendingOrTexturing) {
    Reset();
    for (GLboolean on : {GL_FALSE, GL_TRUE}) {
        for (GLenum cap : {GL_LIGHTING, GL_CULL_FACE, GL_BLEND, GL_TEXTURE_2D})
            on ? glEnable(cap) : glDisable(cap);
        OpenGL_Init(100, 0, 0, 0, 0);
        OpenGL_I2D(0, 0, 0, 0);
        const DrawingState s = Read();
        EXPECT_EQ(s.lighting, on);
        EXPECT_EQ(s.cull, on);
        EXPECT_EQ(s.blend, on);
        EXPECT_EQ(s.texture, on);
    }
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
}

TEST(OpenGL_I2D, SetsTheOrthographicViewAndTheOffsets) {
    struct Case {
        int32_t w, h;
        float offX, offY;
    } cases[] = {
        {800, 600, -2.05f, -1.45f},
        {600, 800, -1.05f, -0.45f},
        {1920, 1080, -2.05f, -1.45f},
        {100, 250, -0.05f, 0.55f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << " x " << c.h);
        Reset();
        Width = c.w;
        Height = c.h;
        OpenGL_I2D(0.4, 0.1, 0.2, 0.3);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        EXPECT_FLOAT_EQ(OffX, c.offX);
        EXPECT_FLOAT_EQ(OffY, c.offY);
        const double v = 2.0 * c.h / c.w;
        ExpectMatrix(Get(GL_PROJECTION_MATRIX), Ortho(-2, 2, -v, v, -2, 2));
        ExpectMatrix(Get(GL_MODELVIEW_MATRIX), kIdentity);
        const DrawingState s = Read();
        EXPECT_EQ(s.viewport[2], c.w);
        EXPECT_EQ(s.viewport[3], c.h);
        EXPECT_FLOAT_EQ(s.clear[3], 0.4f);
        EXPECT_TRUE(s.depthTest);
        EXPECT_EQ(s.depthFunc, GL_LEQUAL);
        EXPECT_TRUE(s.normalize);
    }
}

TEST(OpenGL_I2D, TheSceneSequenceLeavesExactlyThePerspectiveState) {
    Reset();
    Width = 800;
    Height = 600;
    OpenGL_Init(100, 0, 0, 0, 0);
    const DrawingState alone = Read();
    const Matrix projection = Get(GL_PROJECTION_MATRIX);
    glColor4f(0.2f, 0.3f, 0.4f, 1);
    glBlendFunc(GL_ONE, GL_ZERO);
    OpenGL_I2D(0, 0, 0, 0);
    OpenGL_Init(100, 0, 0, 0, 0);
    const DrawingState again = Read();
    EXPECT_EQ(std::memcmp(&alone, &again, sizeof(alone)), 0);
    EXPECT_EQ(Get(GL_PROJECTION_MATRIX), projection);
}

TEST(OpenGL_I2D, ZeroWidthDoesNotTrap) {
    Reset();
    Width = 0;
    Height = 600;
    OpenGL_I2D(0, 0, 0, 0);
    EXPECT_FLOAT_EQ(OffX, -2.05f);
    EXPECT_FLOAT_EQ(OffY, -1.45f);
}

} // namespace
