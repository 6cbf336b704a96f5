// lighting_test.cpp - the lighting helpers, read back from OpenGL: light set-up, moving a light
// with and without its marker point, two-sided lighting and the culling set-up.
#include "gl_fixture.h"

#include <GL/gl.h>

using namespace velvix;

namespace geomtest {
namespace {

class LightingTest : public GLTest {};

void ExpectLight(GLenum light, GLenum what, float a, float b, float c, float d) {
    GLfloat v[4] = {};
    glGetLightfv(light, what, v);
    EXPECT_FLOAT_EQ(v[0], a);
    EXPECT_FLOAT_EQ(v[1], b);
    EXPECT_FLOAT_EQ(v[2], c);
    EXPECT_FLOAT_EQ(v[3], d);
}

void ExpectCurrent(GLenum what, float a, float b, float c) {
    GLfloat v[4] = {};
    glGetFloatv(what, v);
    EXPECT_FLOAT_EQ(v[0], a);
    EXPECT_FLOAT_EQ(v[1], b);
    EXPECT_FLOAT_EQ(v[2], c);
}

TEST_F(LightingTest, SetGLLightConfiguresAndSwitchesOnTheLight) {
    SetGLLight(GL_LIGHT0, 0, 0, 0, 0.1f);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_EQ(LightPosition[3], 0.1f);
    ExpectLight(GL_LIGHT0, GL_AMBIENT, 0.5f, 0.5f, 0.5f, 1);
    ExpectLight(GL_LIGHT0, GL_DIFFUSE, 1, 1, 1, 1);
    ExpectLight(GL_LIGHT0, GL_SPECULAR, 1, 1, 1, 1);
    ExpectLight(GL_LIGHT0, GL_POSITION, 0, 0, 0, 0.1f);

    // The colours are read when the light is set up, so a host can change them first.
    const float saved = DiffuseLight[1];
    DiffuseLight[1] = 0.25f;
    glTranslatef(1, 0, 0); // positions are taken in the current modelview frame
    SetGLLight(GL_LIGHT2, 1, 2, 3, 1);
    DiffuseLight[1] = saved;
    EXPECT_TRUE(glIsEnabled(GL_LIGHT2));
    ExpectLight(GL_LIGHT2, GL_DIFFUSE, 1, 0.25f, 1, 1);
    ExpectLight(GL_LIGHT2, GL_POSITION, 2, 2, 3, 1);
    EXPECT_EQ(LightPosition[0], 1.0f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(LightingTest, PutGLPointLightWithoutSizeOnlyMovesTheLight) {
    glPointSize(3);
    glNormal3f(1, 0, 0);
    const auto drawn = Feedback([] { PutGLPointLight(GL_LIGHT1, 0, 4, 5, 6, 1); });
    EXPECT_TRUE(drawn.empty());
    ExpectLight(GL_LIGHT1, GL_POSITION, 4, 5, 6, 1);
    EXPECT_EQ(LightPosition[0], 4.0f);
    EXPECT_EQ(LightPosition[3], 1.0f);
    GLfloat size = 0;
    glGetFloatv(GL_POINT_SIZE, &size);
    EXPECT_EQ(size, 3.0f);
    ExpectCurrent(GL_CURRENT_NORMAL, 1, 0, 0);
    EXPECT_FALSE(glIsEnabled(GL_LIGHT1)); // moving a light does not switch it on
}

TEST_F(LightingTest, PutGLPointLightWithSizeDrawsItsMarkerThroughTheCaptureLayer) {
    const auto drawn = Feedback([] { PutGLPointLight(GL_LIGHT0, 5, 1, 2, 3, 0); });
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].Token, GL_POINT_TOKEN);
    EXPECT_NEAR(drawn[0].V[0].X, 1, 1e-4);
    EXPECT_NEAR(drawn[0].V[0].Y, 2, 1e-4);
    EXPECT_NEAR(drawn[0].V[0].Z, 3, 1e-4);
    ExpectLight(GL_LIGHT0, GL_POSITION, 1, 2, 3, 0); // directional
    GLfloat size = 0;
    glGetFloatv(GL_POINT_SIZE, &size);
    EXPECT_EQ(size, 5.0f);
    ExpectCurrent(GL_CURRENT_NORMAL, 0, 0, 1);

    // The marker is geometry like any other: the capture layer sees it (and can suppress it).
    const auto recorded = Record([] { PutGLPointLight(GL_LIGHT0, 5, 7, 8, 9, 2); });
    ASSERT_EQ(recorded.size(), 1u);
    EXPECT_EQ(recorded[0].X, 7.0f);
    EXPECT_EQ(recorded[0].Z, 9.0f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(LightingTest, SwitchesAndCulling) {
    GLint twoSide = -1;
    TwoSideOn();
    glGetIntegerv(GL_LIGHT_MODEL_TWO_SIDE, &twoSide);
    EXPECT_EQ(twoSide, GL_TRUE);
    TwoSideOff();
    glGetIntegerv(GL_LIGHT_MODEL_TWO_SIDE, &twoSide);
    EXPECT_EQ(twoSide, GL_FALSE);

    LightingOn();
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    LightingOff();
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));

    glCullFace(GL_FRONT);
    glFrontFace(GL_CW);
    SetGLRefractive();
    GLint cull = 0, front = 0;
    glGetIntegerv(GL_CULL_FACE_MODE, &cull);
    glGetIntegerv(GL_FRONT_FACE, &front);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_EQ(cull, GL_BACK);
    EXPECT_EQ(front, GL_CCW);
}

} // namespace
} // namespace geomtest
