// slots_test.cpp - the TGA and BMP texture slots on a real GL context: what reaches the texture
// (read back with glGetTexImage), mipmaps only with a mipmap filter, names kept on failure, and
// the GL state a load leaves.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include "framework/textures/bmp_slots.h"
#include "framework/textures/tga_slots.h"
#include "framework/window/state.h"
#include "support/gl_window.h"
#include "textures/fixtures.h"

using namespace tex_test;
using namespace velvix;

namespace {

GLuint Bound() {
    GLint name = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
    return GLuint(name);
}

Bytes Level(int level, GLenum format, int channels) {
    GLint w = 0, h = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &h);
    Bytes out(size_t(w) * h * channels);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    if (!out.empty())
        glGetTexImage(GL_TEXTURE_2D, level, format, GL_UNSIGNED_BYTE, out.data());
    return out;
}

Bytes Cat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class Slots : public testing::Test {
protected:
    velvix_test::ScopedGLWindow gl{16, 16};
    void SetUp() override {
        ASSERT_TRUE(gl.ok());
        GL_MIN_FILTER = GL_MAG_FILTER = GL_LINEAR;
    }
    void TearDown() override { GL_MIN_FILTER = GL_MAG_FILTER = GL_LINEAR; }
};

} // namespace

TEST_F(Slots, TgaPixelsReachTheTextureInFileRowOrder) {
    TextureTGASelectID(7);
    EXPECT_EQ(Bound(), 0u) << "a slot never loaded binds the default texture";
    glDisable(GL_TEXTURE_2D);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 2);

    // 3 x 2, 24 bits: rows of 9 bytes, which a 4-byte unpack alignment would overrun.
    const Bytes px = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
    BoxRecorder boxes;
    TextureLoadTGAID(WriteFile("a.tga", Cat(TgaHeader(2, 3, 2, 24), px)), 7);
    const GLuint first = TextureTGA2[7].TexID;
    ASSERT_NE(first, 0u);
    EXPECT_EQ(Bound(), first);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 2) << "the caller's unpack alignment is given back";
    EXPECT_EQ(Level(0, GL_RGB, 3),
              (Bytes{3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10, 15, 14, 13, 18, 17, 16}));
    GLint w1 = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &w1);
    EXPECT_EQ(w1, 0) << "no mipmaps with a linear filter";

    // A refused file keeps the slot's texture; a missing one changes nothing and says nothing.
    TextureLoadTGAID(WriteFile("bad.tga", TgaHeader(3, 1, 1, 8)), 7);
    EXPECT_EQ(boxes.boxes.size(), 1u);
    TextureLoadTGAID(ScratchDir() + "/missing.tga", 7);
    EXPECT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(TextureTGA2[7].TexID, first);
    glBindTexture(GL_TEXTURE_2D, 0);
    TextureTGASelectID(7);
    EXPECT_EQ(Bound(), first);

    // 32 bits with mipmaps: a new name, and every level carries the picture's colour.
    GL_MIN_FILTER = GL_LINEAR_MIPMAP_LINEAR;
    Bytes rgba;
    for (int i = 0; i < 16; ++i)
        rgba = Cat(rgba, {0x10, 0x20, 0x30, 0x40});
    TextureLoadTGAID(WriteFile("b.tga", Cat(TgaHeader(2, 4, 4, 32), rgba)), 7);
    EXPECT_NE(TextureTGA2[7].TexID, first);
    EXPECT_EQ(Level(0, GL_RGBA, 4)[0], 0x30);
    const Bytes level2 = Level(2, GL_RGBA, 4);
    ASSERT_EQ(level2.size(), 4u);
    EXPECT_EQ(level2, (Bytes{0x30, 0x20, 0x10, 0x40}));
    EXPECT_EQ(TextureTGA2[7].ImageData, nullptr) << "the pixels are released after the upload";
}

TEST_F(Slots, BmpPixelsFollowThePaddedRowsBottomRowFirst) {
    TextureSelectID(9);
    EXPECT_EQ(Bound(), 0u);
    // 3 x 2, 24 bits: rows padded to 12 bytes; stored bottom row first, uploaded as stored.
    BmpSpec s;
    s.width = 3, s.height = 2, s.bitCount = 24;
    s.pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0, 10, 11, 12, 13, 14, 15, 16, 17, 18, 0, 0, 0};
    TextureLoadID(WriteFile("a.bmp", BmpFile(s)).c_str(), 9);
    ASSERT_NE(TextureID2[9], 0u);
    EXPECT_EQ(Bound(), TextureID2[9]);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    EXPECT_EQ(Level(0, GL_RGB, 3),
              (Bytes{3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10, 15, 14, 13, 18, 17, 16}));

    BmpSpec a;
    a.bitCount = 32, a.pixels = {0x10, 0x20, 0x30, 0x40};
    TextureLoadID(WriteFile("b.bmp", BmpFile(a)).c_str(), 9);
    EXPECT_EQ(Level(0, GL_RGBA, 4), (Bytes{0x30, 0x20, 0x10, 0x40}));

    // A palette picture, or no file at all: a new name without an image, and the unpack state
    // set all the same.
    for (const std::string& name :
         {WriteFile("c.bmp",
                    [] {
                        BmpSpec p;
                        p.bitCount = 8, p.colors = {{1, 2, 3, 0}}, p.pixels = {0, 0, 0, 0};
                        return BmpFile(p);
                    }()),
          ScratchDir() + "/missing.bmp"}) {
        SCOPED_TRACE(name);
        const GLuint before = TextureID2[9];
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, 5);
        TextureLoadID(name.c_str(), 9);
        EXPECT_NE(TextureID2[9], before);
        EXPECT_EQ(Bound(), TextureID2[9]);
        GLint w = -1, alignment = 0, rowLength = -1;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
        glGetIntegerv(GL_UNPACK_ROW_LENGTH, &rowLength);
        EXPECT_EQ(w, 0);
        EXPECT_EQ(alignment, 4);
        EXPECT_EQ(rowLength, 0);
    }
}

TEST_F(Slots, GeneratedDemoPicturesLoad) {
    const char* build = std::getenv("VELVIX_BUILD_DIR");
    if (!build)
        GTEST_SKIP() << "run through ctest, which names the build folder";
    const std::string run = std::string(build) + "/run/";
    EXPECT_EQ(GetBMPDepth((run + "stoneblocks.bmp").c_str()), 24);
    TextureLoadID((run + "stoneblocks.bmp").c_str(), 0);
    GLint w = 0, h = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    EXPECT_GT(w, 0);
    EXPECT_EQ(w & (w - 1), 0) << "a power of two";
    EXPECT_EQ(h & (h - 1), 0);

    BoxRecorder boxes;
    TextureLoadTGAID(run + "gas.tga", 0);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(TextureTGA2[0].Bpp, 32u);
    const Bytes gas = Level(0, GL_RGBA, 4);
    const size_t W = TextureTGA2[0].Width, H = TextureTGA2[0].Height;
    ASSERT_EQ(gas.size(), W * H * 4);
    EXPECT_EQ(gas[3], 0) << "alpha 0 at the edge";
    EXPECT_GT(gas[((H / 2) * W + W / 2) * 4 + 3], 128) << "dense at the centre";
}
