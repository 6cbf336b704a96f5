// scene_test.cpp - the demo's scene drawn for real: the cloud field, the floor quad, and frames
// rendered by Mesa into a small framework window (160 x 120, so each frame is cheap).
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <vector>

#include "scene/scene.h"
#include "velvix.h"

using namespace velvix;

namespace {

constexpr int kW = 160, kH = 120;

// The framework's one window, made once for the whole program (a second CreateOGLWindow would
// end the process, as it should).
class SceneEnvironment : public testing::Environment {
public:
    void SetUp() override {
        dir_ =
            std::filesystem::temp_directory_path() / ("velvix-scene-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir_);
        const char* build = std::getenv("VELVIX_BUILD_DIR");
        if (build)
            std::filesystem::copy_file(std::filesystem::path(build) / "run" / "stoneblocks.bmp",
                                       dir_ / "stoneblocks.bmp",
                                       std::filesystem::copy_options::overwrite_existing);
        std::filesystem::current_path(dir_);
        OGLWindowSetting(Arrow, "", Generic, "");
        CreateOGLWindow("scene test", kW, kH, 32, false);
        OpenGL_Init(100, 0, 0, 0, 0);
        SetGLRefractive();
        SetGLLight(GL_LIGHT0, 0, 0, 0, 0.1f);
    }
    void TearDown() override {
        DeleteOGLWindow();
        std::filesystem::current_path("/");
        std::filesystem::remove_all(dir_);
    }

private:
    std::filesystem::path dir_;
};
testing::Environment* const kEnv = testing::AddGlobalTestEnvironment(new SceneEnvironment);

// A 64 x 64 gas picture: white, alpha from `alpha(d)` at distance d (0 centre, 1 edge).
template <class F> void WriteGas(F alpha) {
    std::vector<uint8_t> f = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 64, 0, 64, 0, 32, 8};
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const double d = std::hypot(x - 31.5, y - 31.5) / 32.0;
            f.insert(f.end(), {255, 255, 255, uint8_t(std::lround(255 * alpha(d)))});
        }
    std::ofstream("gas.tga", std::ios::binary)
        .write(reinterpret_cast<const char*>(f.data()), f.size());
}

std::vector<uint8_t> Frame() {
    OpenGL_Draw();
    std::vector<uint8_t> px(size_t(kW) * kH * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, kW, kH, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
    return px;
}

const uint8_t* At(const std::vector<uint8_t>& px, int x, int y) {
    return &px[(size_t(y) * kW + x) * 4];
}

// Window position of a world point, with the matrices the last frame left (the world frame).
bool Project(double x, double y, double z, int* wx, int* wy) {
    GLdouble mv[16], pr[16], sx, sy, sz;
    GLint vp[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, mv);
    glGetDoublev(GL_PROJECTION_MATRIX, pr);
    glGetIntegerv(GL_VIEWPORT, vp);
    if (!gluProject(x, y, z, mv, pr, vp, &sx, &sy, &sz))
        return false;
    *wx = int(std::lround(sx)), *wy = int(std::lround(sy));
    return *wx >= 0 && *wx < kW && *wy >= 0 && *wy < kH;
}

void Load(bool clouds) {
    WriteGas([clouds](double d) { return clouds ? std::max(0.0, 1.0 - d) : 0.0; });
    OpenGL_CreateList();
}

} // namespace

TEST(Scene, CloudFieldIsFixedAndInsideTheFloor) {
    SceneRandomReset();
    Load(false);
    TGLVector first[6][6];
    std::memcpy(first, POS, sizeof POS);
    SceneRandomReset();
    for (int i = 0; i < 6; ++i)
        for (int l = 0; l < 6; ++l) {
            // Drawn in loop order, X before Z.
            const double r1 = SceneRandom(), r2 = SceneRandom();
            EXPECT_EQ(first[i][l].X, float(10 - 20 * r1));
            EXPECT_EQ(first[i][l].Z, float(10 - 20 * r2));
            EXPECT_EQ(first[i][l].Y, 2.5f);
            EXPECT_GE(first[i][l].X, -10.f);
            EXPECT_LE(first[i][l].X, 10.f);
            EXPECT_GE(first[i][l].Z, -10.f);
            EXPECT_LE(first[i][l].Z, 10.f);
        }
    SceneRandomReset();
    Load(false);
    EXPECT_EQ(0, std::memcmp(first, POS, sizeof POS)) << "the same field on every run";
    // The generator's first values are part of its definition: every build places the clouds
    // alike.
    SceneRandomReset();
    EXPECT_DOUBLE_EQ(SceneRandom(),
                     double((1ull * 6364136223846793005ull + 1442695040888963407ull) >> 11) /
                         9007199254740992.0);
}

TEST(Scene, FloorQuadEmitsItsCornersTexturesAndNormal) {
    GLBaseVertex3f.GLVert3fCount = 0;
    GLBaseVertex3f.GLVert3fSetNum = 4;
    GLVert3fRemove = true;
    GLVert3fEnableEdit = true;
    Quad(-10, 0, -10, 10, 0, -10, -10, 0, 10, 10, 0, 10);
    GLVert3fRemove = false;
    GLVert3fEnableEdit = false;
    const float expect[4][3] = {{10, 0, -10}, {-10, 0, -10}, {-10, 0, 10}, {10, 0, 10}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(GLBaseVertex3f.GLVert3fOffset[i + 1].X, expect[i][0]);
        EXPECT_EQ(GLBaseVertex3f.GLVert3fOffset[i + 1].Y, expect[i][1]);
        EXPECT_EQ(GLBaseVertex3f.GLVert3fOffset[i + 1].Z, expect[i][2]);
    }
    GLfloat normal[4], tex[4];
    glGetFloatv(GL_CURRENT_NORMAL, normal);
    glGetFloatv(GL_CURRENT_TEXTURE_COORDS, tex);
    EXPECT_EQ(normal[0], 0.f);
    EXPECT_EQ(normal[1], 1.f);
    EXPECT_EQ(normal[2], 0.f);
    EXPECT_EQ(tex[0], 3.f) << "the last corner's texture coordinate (3, 0)";
    EXPECT_EQ(tex[1], 0.f);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    GLint twoSide = -1;
    glGetIntegerv(GL_LIGHT_MODEL_TWO_SIDE, &twoSide);
    EXPECT_EQ(twoSide, 0);
    GLBaseVertex3f.GLVert3fSetNum = 0;
    GLBaseVertex3f.GLVert3fCount = 0;
}

TEST(Scene, FramesShowTheLitSphereOnBlackAndCloudsLightenIt) {
    XRot = YRot = Depth = 0;
    Load(false);
    const std::vector<uint8_t> bare = Frame();
    int sx, sy;
    ASSERT_TRUE(Project(0, 3, 0, &sx, &sy)) << "the sphere's centre is in view";
    const uint8_t* stone = At(bare, sx, sy);
    EXPECT_GT(stone[0] + stone[1] + stone[2], 60) << "a lit texel, not the black background";
    EXPECT_LT(stone[0] + stone[1] + stone[2], 3 * 250) << "stone, not white";
    const uint8_t* corner = At(bare, 0, kH - 1);
    EXPECT_EQ(corner[0] + corner[1] + corner[2], 0) << "nothing is drawn in the top-left corner";
    EXPECT_EQ(bare, Frame()) << "the camera at rest draws the same picture twice";

    Load(true);
    const std::vector<uint8_t> cloudy = Frame();
    int brighter = 0, projected = 0;
    for (int i = 0; i < 6; ++i)
        for (int l = 0; l < 6; ++l) {
            int cx, cy;
            if (!Project(POS[i][l].X, POS[i][l].Y, POS[i][l].Z, &cx, &cy))
                continue;
            ++projected;
            const uint8_t *a = At(bare, cx, cy), *b = At(cloudy, cx, cy);
            brighter += b[0] + b[1] + b[2] > a[0] + a[1] + a[2];
        }
    EXPECT_GT(projected, 20);
    // A few centres lie behind the sphere, where the depth test rightly hides the cloud.
    EXPECT_GE(brighter, projected * 3 / 4) << "clouds lighten the picture at their centres";
}

TEST(Scene, LeftDragTurnsThePicture) {
    XRot = YRot = Depth = 0;
    Load(false);
    const std::vector<uint8_t> before = Frame(); // also sets the mouse speed 2
    GLWndProc(HWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(80, 60));
    GLWndProc(HWindow, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(100, 70));
    GLWndProc(HWindow, WM_LBUTTONUP, 0, MAKELPARAM(100, 70));
    EXPECT_FLOAT_EQ(XRot, 10);
    EXPECT_FLOAT_EQ(YRot, 20);
    EXPECT_NE(before, Frame());
    XRot = YRot = 0;
}
