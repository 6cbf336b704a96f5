// primitives_test.cpp - LineFree and Sfera: emitted vertices, texture coordinates, strip layout,
// normals (recovered from lighting), winding, and degenerate arguments.
#include "gl_fixture.h"

#include <cmath>

#include <GL/gl.h>

using namespace velvix;

namespace geomtest {
namespace {

constexpr double kPi = 3.14159265358979323846;

class PrimitivesTest : public GLTest {};

TEST_F(PrimitivesTest, LineFreeEmitsTwoVerticesWithOptionalTextureCoordinates) {
    for (bool texture : {true, false}) {
        SCOPED_TRACE(texture ? "with texture" : "without texture");
        SetUp();
        glTexCoord2f(7, 8);
        const auto drawn = Feedback([&] {
            GLBegin(GL_LINES);
            LineFree(3, 3, 0, 3, 10, 0, -10, -10, 0, -10, texture);
            GLEnd();
        });
        ASSERT_EQ(drawn.size(), 1u);
        ASSERT_EQ(drawn[0].V.size(), 2u);
        const FeedbackVertex& a = drawn[0].V[0];
        const FeedbackVertex& b = drawn[0].V[1];
        EXPECT_NEAR(a.X, 10, 1e-4);
        EXPECT_NEAR(a.Z, -10, 1e-4);
        EXPECT_NEAR(b.X, -10, 1e-4);
        EXPECT_NEAR(b.Z, -10, 1e-4);
        EXPECT_EQ(a.S, texture ? 3.0f : 7.0f);
        EXPECT_EQ(a.T, texture ? 3.0f : 8.0f);
        EXPECT_EQ(b.S, texture ? 0.0f : 7.0f);
        EXPECT_EQ(b.T, texture ? 3.0f : 8.0f);
    }
}

// Where Sfera(P, Radius, NumCircle, NumLine, ...) puts vertex `k` of strip `i`.
TGLVector SphereVertex(TGLVector p, double radius, int numCircle, int numLine, int i, int k) {
    const double a = (i + k % 2) * kPi / numLine, c = (k / 2) * 2 * kPi / numCircle;
    return TGLVector{static_cast<float>(p.X + radius * std::sin(a) * std::cos(c)),
                     static_cast<float>(p.Y + radius * std::sin(a) * std::sin(c)),
                     static_cast<float>(p.Z + radius * std::cos(a))};
}

TEST_F(PrimitivesTest, SferaEmitsOneStripPerBandWithClosedSeams) {
    struct Case {
        TGLVector centre;
        float radius;
        int numCircle, numLine;
    } cases[] = {{{0, 0, 0}, 4, 20, 20}, {{0, 0, 0}, 2, 4, 2}, {{1, -2, 3}, 5, 7, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.numCircle << " x " << c.numLine);
        const int perStrip = 2 * (c.numCircle + 1);
        const auto v = Record([&] {
            Sfera(c.centre.X, c.centre.Y, c.centre.Z, c.radius, c.numCircle, c.numLine, 1);
        });
        ASSERT_EQ(v.size(), static_cast<size_t>(c.numLine * perStrip));
        for (int i = 0; i < c.numLine; ++i)
            for (int k = 0; k < perStrip; ++k) {
                const TGLVector got = v[static_cast<size_t>(i * perStrip + k)];
                const TGLVector want =
                    SphereVertex(c.centre, c.radius, c.numCircle, c.numLine, i, k);
                ASSERT_NEAR(got.X, want.X, 2e-6 * c.radius) << "strip " << i << " vertex " << k;
                ASSERT_NEAR(got.Y, want.Y, 2e-6 * c.radius) << "strip " << i << " vertex " << k;
                ASSERT_NEAR(got.Z, want.Z, 2e-6 * c.radius) << "strip " << i << " vertex " << k;
            }
        // One strip per band: a single long strip would make two more triangles per seam.
        const auto triangles = Feedback([&] {
            Sfera(c.centre.X, c.centre.Y, c.centre.Z, c.radius, c.numCircle, c.numLine, 1);
        });
        EXPECT_EQ(triangles.size(), static_cast<size_t>(c.numLine * (perStrip - 2)));
    }
}

TEST_F(PrimitivesTest, SferaOctahedronHasItsMiddleRingOnTheEquator) {
    const auto v = Record([] { Sfera(0, 0, 0, 3, 4, 2, 1); });
    ASSERT_EQ(v.size(), 20u);
    for (int k = 1; k < 10; k += 2) { // the lower ring of the first strip
        EXPECT_NEAR(v[k].Z, 0, 1e-6);
        EXPECT_NEAR(std::hypot(v[k].X, v[k].Y), 3, 1e-6);
    }
    EXPECT_EQ(v[0].Z, 3.0f);
    EXPECT_NEAR(v[19].Z, -3.0f, 1e-6);
}

TEST_F(PrimitivesTest, SferaSceneCallFirstAndLastVertices) {
    const float third = 1.0f / 3;
    const auto v = Record([&] { Sfera(0, 0, 0, 4, 20, 20, third); });
    ASSERT_EQ(v.size(), 840u);
    EXPECT_EQ(v[0].X, 0.0f);
    EXPECT_EQ(v[0].Y, 0.0f);
    EXPECT_EQ(v[0].Z, 4.0f);
    EXPECT_NEAR(v[1].X, 0.6257, 1e-4);
    EXPECT_NEAR(v[1].Z, 3.9508, 1e-4);
    EXPECT_NEAR(v[839].X, 0, 1e-5);
    EXPECT_NEAR(v[839].Y, 0, 1e-5);
    EXPECT_NEAR(v[839].Z, -4, 1e-5);

    const auto strip = StripVertices(Feedback([&] { Sfera(0, 0, 0, 4, 20, 20, third); }), 20, 42);
    ASSERT_EQ(strip.size(), 840u);
    EXPECT_NEAR(strip[0].S, 0, 1e-6);
    EXPECT_NEAR(strip[0].T, 0, 1e-6);
    EXPECT_NEAR(strip[1].S, 0, 1e-6);
    EXPECT_NEAR(strip[1].T, 0.15, 1e-6);
    EXPECT_NEAR(strip[2].S, -0.15, 1e-6); // s falls as the angle around the axis grows
    EXPECT_NEAR(strip[839].S, -3, 1e-5);
    EXPECT_NEAR(strip[839].T, 3, 1e-5);
}

// Lights the sphere with three directional lights along +X, +Y, +Z (sign -1: along -X, -Y,
// -Z) of red, green and blue diffuse colour and nothing else: each vertex's colour is then
// (max(0, sign nx), max(0, sign ny), max(0, sign nz)) of its normal n.
void LightAlongAxes(float sign) {
    const GLfloat black[] = {0, 0, 0, 1}, white[] = {1, 1, 1, 1};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, black);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, black);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, black);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, black);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, white);
    for (int axis = 0; axis < 3; ++axis) {
        const GLenum light = GL_LIGHT0 + axis;
        GLfloat colour[4] = {0, 0, 0, 1}, direction[4] = {0, 0, 0, 0};
        colour[axis] = 1;
        direction[axis] = sign;
        glLightfv(light, GL_AMBIENT, black);
        glLightfv(light, GL_SPECULAR, black);
        glLightfv(light, GL_DIFFUSE, colour);
        glLightfv(light, GL_POSITION, direction);
        glEnable(light);
    }
    glEnable(GL_LIGHTING);
}

TEST_F(PrimitivesTest, SferaNormalsAreUnitAndPointAwayFromTheCentre) {
    const TGLVector centre{1, 2, -1};
    const float radius = 6;
    auto draw = [&] { Sfera(centre.X, centre.Y, centre.Z, radius, 9, 5, 1); };
    LightAlongAxes(1);
    const auto plus = StripVertices(Feedback(draw), 5, 20);
    LightAlongAxes(-1);
    const auto minus = StripVertices(Feedback(draw), 5, 20);
    ASSERT_EQ(plus.size(), 100u);
    ASSERT_EQ(minus.size(), 100u);
    for (size_t k = 0; k < plus.size(); ++k) {
        const double n[3] = {plus[k].R - minus[k].R, plus[k].G - minus[k].G,
                             plus[k].B - minus[k].B};
        const double d[3] = {(plus[k].X - centre.X) / radius, (plus[k].Y - centre.Y) / radius,
                             (plus[k].Z - centre.Z) / radius};
        EXPECT_NEAR(std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]), 1, 1e-5) << k;
        for (int a = 0; a < 3; ++a)
            EXPECT_NEAR(n[a], d[a], 1e-4) << "vertex " << k << " axis " << a;
    }
}

TEST_F(PrimitivesTest, SferaOutsideIsFrontFacing) {
    // With back faces culled, only the half facing the viewer (+Z) is left, and no triangle of
    // it is wound clockwise.
    SetGLRefractive();
    const auto front = Feedback([] { Sfera(0, 0, 0, 5, 12, 8, 1); });
    ASSERT_FALSE(front.empty());
    for (const auto& t : front) {
        const auto& v = t.V;
        const double area2 =
            (v[1].X - v[0].X) * (v[2].Y - v[0].Y) - (v[2].X - v[0].X) * (v[1].Y - v[0].Y);
        EXPECT_GE(area2, 0);
        EXPECT_GE(v[0].Z + v[1].Z + v[2].Z, 0);
    }
}

TEST_F(PrimitivesTest, SferaWithDegenerateArgumentsIssuesNothing) {
    struct Case {
        float radius;
        int numCircle, numLine;
        float tSize;
    } cases[] = {{4, 0, 20, 1},  {4, -3, 20, 1}, {4, 20, 0, 1},
                 {4, 20, -1, 1}, {0, 20, 20, 1}, {4, 20, 20, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "radius " << c.radius << " counts " << c.numCircle
                                        << ", " << c.numLine << " TSize " << c.tSize);
        SetUp();
        glNormal3f(0.5f, 0, 0);
        glTexCoord2f(0.25f, 0);
        const auto drawn =
            Feedback([&] { Sfera(0, 0, 0, c.radius, c.numCircle, c.numLine, c.tSize); });
        EXPECT_TRUE(drawn.empty());
        EXPECT_TRUE(
            Record([&] { Sfera(0, 0, 0, c.radius, c.numCircle, c.numLine, c.tSize); }).empty());
        // No bracket left open (glGet inside one would fail) and no current value touched.
        GLfloat normal[4] = {}, tex[4] = {};
        glGetFloatv(GL_CURRENT_NORMAL, normal);
        glGetFloatv(GL_CURRENT_TEXTURE_COORDS, tex);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        EXPECT_EQ(normal[0], 0.5f);
        EXPECT_EQ(tex[0], 0.25f);
    }
}

} // namespace
} // namespace geomtest
