// particles_test.cpp - the volumetric particle effect: layer geometry, the alpha reference of
// each layer (seen through how many layers a texel of known alpha shows), the GL state the
// call leaves for normal and degenerate qualities, and rendered clouds.
#include "gl_fixture.h"

#include <cmath>
#include <cstring>
#include <functional>

#include <GL/gl.h>

using namespace velvix;

namespace geomtest {
namespace {

class ParticlesTest : public GLTest {
protected:
    void TearDown() override {
        if (texture_)
            glDeleteTextures(1, &texture_);
        LockViewModelScale = true;
    }

    // Binds a size x size RGBA texture, white with alpha(s, t) in 0..255, and enables
    // texturing the way the scene does (modulated by the current colour).
    void BindTexture(int size, const std::function<int(double s, double t)>& alpha) {
        std::vector<unsigned char> texels;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const int a = alpha((x + 0.5) / size, (y + 0.5) / size);
                texels.insert(texels.end(), {255, 255, 255, static_cast<unsigned char>(a)});
            }
        glGenTextures(1, &texture_);
        glBindTexture(GL_TEXTURE_2D, texture_);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, size, size, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     texels.data());
        glEnable(GL_TEXTURE_2D);
    }

    // Clears to black, draws one cloud at the origin and returns the red channel of the frame.
    std::vector<int> DrawCloud(float size, int quality) {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        FX_VolumetricParticle(0, 0, 0, size, quality);
        const auto rgba = window_->ReadPixels();
        std::vector<int> red;
        for (size_t i = 0; i < rgba.size(); i += 4)
            red.push_back(rgba[i]);
        return red;
    }

    GLuint texture_ = 0;
};

TEST_F(ParticlesTest, LayersStackFromFarToNearAsFacingSquares) {
    struct Layer {
        int index;
        double z;
    };
    struct Case {
        float size;
        int quality;
        std::vector<Layer> layers;
    } cases[] = {
        {4, 32, {{0, -1.75}, {1, -1.5080645}, {15, 1.8790323}, {31, 5.75}, {32, 5.9919353}}},
        {4, 2, {{0, 2}, {1, 2}, {2, 2}}},
        {2, 4, {{0, 0}, {1, 0.6666667}, {2, 1.3333333}, {3, 2}, {4, 2.6666667}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "Size " << c.size << " Quality " << c.quality);
        const auto v = Record([&] { FX_VolumetricParticle(3, -2, 1, c.size, c.quality); });
        ASSERT_EQ(v.size(), 4u * (c.quality + 1));
        for (int layer = 0; layer <= c.quality; ++layer) {
            const float s = c.size;
            const TGLVector corners[4] = {{-s, -s, 0}, {s, -s, 0}, {s, s, 0}, {-s, s, 0}};
            for (int k = 0; k < 4; ++k) {
                const TGLVector& got = v[4 * layer + k];
                EXPECT_EQ(got.X, corners[k].X) << "layer " << layer;
                EXPECT_EQ(got.Y, corners[k].Y) << "layer " << layer;
                EXPECT_EQ(got.Z, v[4 * layer].Z) << "layer " << layer;
            }
            if (layer > 0) {
                EXPECT_GE(v[4 * layer].Z, v[4 * (layer - 1)].Z); // far to near
            }
        }
        for (const Layer& l : c.layers)
            EXPECT_NEAR(v[4 * l.index].Z, l.z, 1e-6) << "layer " << l.index;
    }
}

TEST_F(ParticlesTest, EachLayerIsAlphaTestedAgainstARisingReference) {
    // A texel of alpha a shows through every layer whose reference lies below a: k layers of
    // white blended over black give 1 - (1 - a)^k. (An alpha of 1 would look the same through
    // any number of layers; the reference clamped to 1 is checked with the state left behind.)
    struct Case {
        float size;
        int quality;
        int texelAlpha;    // 0..255
        float colourAlpha; // modulates the texel
        int layers;        // expected number of layers that pass
    } cases[] = {
        {2, 4, 61, 1, 0},                        // 0.239 < 0.25
        {2, 4, 66, 1, 1},                        // 0.259
        {2, 4, 153, 1, 2},                       // 0.6: references 0.25 and 0.5
        {2, 4, 153, 0.5f, 1},                    // fragment alpha 0.3
        {2, 4, 194, 1, 3},                       // 0.761
        {4, 2, 125, 1, 0},                       // references 0.5, 1, 1.5
        {4, 2, 153, 1, 1},    {4, 32, 26, 1, 3}, // 0.102: references 1/32, 2/32, 3/32
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "Size " << c.size << " Quality " << c.quality << " alpha " << c.texelAlpha
                     << " colour alpha " << c.colourAlpha);
        SetUp();
        BindTexture(2, [&](double, double) { return c.texelAlpha; });
        glColor4f(1, 1, 1, c.colourAlpha);
        glEnable(GL_DEPTH_TEST);
        const auto red = DrawCloud(c.size, c.quality);
        glDeleteTextures(1, &texture_);
        texture_ = 0;

        const double a = c.texelAlpha / 255.0 * c.colourAlpha;
        const int centre = red[(kWindowSize / 2) * kWindowSize + kWindowSize / 2];
        int nearest = -1;
        double best = 1e9;
        for (int k = 0; k <= c.quality + 1; ++k) {
            const double d = std::fabs(255 * (1 - std::pow(1 - a, k)) - centre);
            if (d < best)
                best = d, nearest = k;
        }
        EXPECT_EQ(nearest, c.layers) << "centre red " << centre;
        EXPECT_LT(best, 4.0);
    }
}

TEST_F(ParticlesTest, LeavesTheSameStateForEveryQuality) {
    BindTexture(2, [](double, double) { return 255; });
    for (int quality : {32, 4, 2, 1, 0, -5}) {
        for (bool lit : {false, true}) {
            SCOPED_TRACE(testing::Message() << "Quality " << quality << (lit ? " lit" : ""));
            glMatrixMode(GL_MODELVIEW);
            glLoadIdentity();
            glTranslatef(1, 2, -3);
            glRotatef(33, 0, 1, 1);
            if (lit)
                glEnable(GL_LIGHTING);
            else
                glDisable(GL_LIGHTING);
            glColor4f(0.2f, 0.4f, 0.6f, 0.5f);
            glBlendFunc(GL_ONE, GL_ZERO);
            glAlphaFunc(GL_LESS, 0.3f);
            LockViewModelScale = true;
            GLfloat before[16], after[16];
            glGetFloatv(GL_MODELVIEW_MATRIX, before);
            GLint depthBefore = 0, depthAfter = 0;
            glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore);

            FX_VolumetricParticle(0.5f, 0, 0, 3, quality);

            EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
            EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
            EXPECT_FALSE(glIsEnabled(GL_BLEND));
            EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
            GLboolean depthMask = GL_FALSE;
            glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask);
            EXPECT_EQ(depthMask, GL_TRUE);
            GLint src = 0, dst = 0, func = 0, bound = 0;
            glGetIntegerv(GL_BLEND_SRC, &src);
            glGetIntegerv(GL_BLEND_DST, &dst);
            glGetIntegerv(GL_ALPHA_TEST_FUNC, &func);
            glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
            EXPECT_EQ(src, GL_SRC_ALPHA);
            EXPECT_EQ(dst, GL_ONE_MINUS_SRC_ALPHA);
            EXPECT_EQ(func, GL_GREATER);
            GLfloat ref = 0, colour[4] = {};
            glGetFloatv(GL_ALPHA_TEST_REF, &ref);
            EXPECT_EQ(ref, 1.0f); // the last layer's reference, clamped
            glGetFloatv(GL_CURRENT_COLOR, colour);
            EXPECT_EQ(colour[3], 0.5f);
            EXPECT_EQ(bound, static_cast<GLint>(texture_));
            EXPECT_FALSE(LockViewModelScale);
            glGetFloatv(GL_MODELVIEW_MATRIX, after);
            glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthAfter);
            EXPECT_EQ(std::memcmp(before, after, sizeof before), 0);
            EXPECT_EQ(depthAfter, depthBefore);
            if (quality < 2) { // nothing to draw
                EXPECT_TRUE(Record([&] { FX_VolumetricParticle(0, 0, 0, 3, quality); }).empty());
            }
        }
    }
}

// Fraction of pixels of `red` within [r0, r1) pixels of the centre that the cloud covers.
double Coverage(const std::vector<int>& red, double r0, double r1) {
    int covered = 0, total = 0;
    for (int y = 0; y < kWindowSize; ++y)
        for (int x = 0; x < kWindowSize; ++x) {
            const double r = std::hypot(x + 0.5 - kWindowSize / 2.0, y + 0.5 - kWindowSize / 2.0);
            if (r < r0 || r >= r1)
                continue;
            ++total;
            covered += red[y * kWindowSize + x] > 0;
        }
    return total ? static_cast<double>(covered) / total : 0;
}

TEST_F(ParticlesTest, RenderedCloudIsDenseInsideAndFacesTheCamera) {
    // Alpha falls off from the centre of the texture; the upper half is denser than the lower,
    // so a cloud drawn upside down or turned would show it.
    BindTexture(32, [](double s, double t) {
        const double r = std::hypot(s - 0.5, t - 0.5) * 2;
        return static_cast<int>(std::fmax(0, 1 - r) * (t > 0.5 ? 255 : 160));
    });
    glEnable(GL_DEPTH_TEST);
    glColor4f(1, 1, 1, 1);
    const auto facing = DrawCloud(12, 8); // the square spans 38 of the 64 pixels

    // Texels of alpha near 1 pass every visible layer; near the rim only the far ones.
    EXPECT_GT(Coverage(facing, 0, 6), 0.99);
    EXPECT_LT(Coverage(facing, 16, 19), 0.5);
    long top = 0, bottom = 0;
    for (int y = 0; y < kWindowSize; ++y)
        for (int x = 0; x < kWindowSize; ++x)
            (y >= kWindowSize / 2 ? top : bottom) += facing[y * kWindowSize + x];
    EXPECT_GT(top, bottom); // rows are bottom first: the dense half is up

    // Turning the view about any axis leaves a cloud at the origin looking the same.
    for (const float* axis : {(const float[]){1, 0, 0}, (const float[]){0, 1, 0},
                              (const float[]){0, 0, 1}, (const float[]){0.3f, -0.5f, 0.8f}}) {
        glLoadIdentity();
        glRotatef(65, axis[0], axis[1], axis[2]);
        const auto turned = DrawCloud(12, 8);
        int worst = 0;
        for (size_t i = 0; i < turned.size(); ++i)
            worst = std::max(worst, std::abs(turned[i] - facing[i]));
        EXPECT_LE(worst, 1) << "axis " << axis[0] << ", " << axis[1] << ", " << axis[2];
    }
}

} // namespace
} // namespace geomtest
