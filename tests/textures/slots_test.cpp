// slots_test.cpp - the TGA and BMP texture slots on a real rendering context: what reaches
// OpenGL (read back with glGetTexImage), mipmaps, names kept and replaced, the GL state left
// behind, and the demo's generated pictures.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "framework/textures/bmp_slots.h"
#include "framework/textures/tga_slots.h"
#include "framework/window/state.h"
#include "platform/gdi/objects.h"
#include "support/gl_window.h"
#include "textures/fixtures.h"

#include <GL/gl.h>

using namespace tex_test;
using namespace velvix;

namespace {

class Slots : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(window_.ok());
        GL_MIN_FILTER = GL_LINEAR;
        GL_MAG_FILTER = GL_LINEAR;
    }
    void TearDown() override { GL_MIN_FILTER = GL_LINEAR; }

    static GLint Int(GLenum what) {
        GLint v = -1;
        glGetIntegerv(what, &v);
        return v;
    }
    static GLint LevelWidth(int level) {
        GLint w = -1;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &w);
        return w;
    }
    // Level `level` of the bound texture as R, G, B, A bytes, bottom row first.
    static Bytes Texels(int level = 0) {
        GLint w = 0, h = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &w);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &h);
        Bytes out(size_t(w) * h * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
        return out;
    }

    velvix_test::ScopedGLWindow window_{16, 16};
};

Bytes Tga(uint8_t type, uint16_t w, uint16_t h, uint8_t depth, const Bytes& body) {
    Bytes b = TgaHeader(type, w, h, depth);
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

Bytes Bmp(int32_t w, int32_t h, uint16_t bits, Bytes pixels) {
    BmpLayout s;
    s.width = w, s.height = h, s.bitCount = bits;
    if (bits <= 8)
        s.colors.assign(size_t(1) << bits, RGBQUAD{1, 2, 3, 0});
    s.pixels = std::move(pixels);
    return BmpFile(s);
}

} // namespace

TEST_F(Slots, TgaTextureHoldsRgbInFileRowOrderAndRestoresTheUnpackState) {
    // 3 pixels of 24 bits: rows of 9 bytes, not a multiple of 4.
    const std::string p24 =
        WriteFile("s24.tga", Tga(2, 3, 2, 24,
                                 {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18}));
    const std::string p32 = WriteFile("s32.tga", Tga(10, 2, 1, 32, {0x81, 0x10, 0x20, 0x30, 0x40}));
    glDisable(GL_TEXTURE_2D);
    // A host's unpack state, none of which may reach the upload: under it the rows would be
    // read from past the end of the pixel block.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 2);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 5);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 1);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 2);
    BoxRecorder boxes;

    TextureLoadTGAID(p24, 3);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_NE(TextureTGA2[3].TexID, 0u);
    EXPECT_EQ(TextureTGA2[3].ImageData, nullptr);
    EXPECT_EQ(Int(GL_TEXTURE_BINDING_2D), GLint(TextureTGA2[3].TexID));
    EXPECT_EQ(Int(GL_UNPACK_ALIGNMENT), 2);
    EXPECT_EQ(Int(GL_UNPACK_ROW_LENGTH), 5);
    EXPECT_EQ(Int(GL_UNPACK_SKIP_ROWS), 1);
    EXPECT_EQ(Int(GL_UNPACK_SKIP_PIXELS), 2);
    EXPECT_EQ(Texels(), (Bytes{3,  2,  1,  255, 6,  5,  4,  255, 9,  8,  7,  255,
                               12, 11, 10, 255, 15, 14, 13, 255, 18, 17, 16, 255}));
    GLint v;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &v);
    EXPECT_EQ(v, GL_REPEAT);
    EXPECT_EQ(LevelWidth(1), 0); // GL_LINEAR: no mipmaps

    TextureLoadTGAID(p32, 4);
    EXPECT_EQ(Texels(), (Bytes{0x30, 0x20, 0x10, 0x40, 0x30, 0x20, 0x10, 0x40}));
    EXPECT_TRUE(boxes.boxes.empty());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
}

TEST_F(Slots, TgaSlotsKeepTheirNameOnFailureAndTakeANewOneOnReload) {
    const std::string good = WriteFile("good.tga", Tga(2, 1, 1, 24, {1, 2, 3}));
    const std::string bad = WriteFile("bad.tga", Tga(2, 1, 1, 16, {1, 2}));
    BoxRecorder boxes;

    glBindTexture(GL_TEXTURE_2D, 0);
    TextureTGASelectID(200); // never loaded
    EXPECT_EQ(Int(GL_TEXTURE_BINDING_2D), 0);

    TextureLoadTGAID(ScratchDir() + "/missing.tga", 7);
    TextureLoadTGAID(ScratchDir(), 7); // a directory counts as missing
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(TextureTGA2[7].TexID, 0u);

    TextureLoadTGAID(good, 7);
    const uint32_t first = TextureTGA2[7].TexID;
    ASSERT_NE(first, 0u);
    TextureLoadTGAID(bad, 7);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Invalid texture information");
    EXPECT_EQ(TextureTGA2[7].TexID, first);
    glBindTexture(GL_TEXTURE_2D, 0);
    TextureTGASelectID(7);
    EXPECT_EQ(Int(GL_TEXTURE_BINDING_2D), GLint(first));

    TextureLoadTGAID(good, 7);
    EXPECT_NE(TextureTGA2[7].TexID, first);
    EXPECT_TRUE(glIsTexture(first)); // the old texture lives on
}

TEST_F(Slots, MipmapFiltersBuildTheChainWithLevel0Colours) {
    GL_MIN_FILTER = GL_LINEAR_MIPMAP_LINEAR;
    Bytes tga24, bmp32;
    for (int i = 0; i < 16; ++i)
        tga24.insert(tga24.end(), {10, 20, 30});
    for (int i = 0; i < 16; ++i)
        bmp32.insert(bmp32.end(), {10, 20, 30, 40});
    TextureLoadTGAID(WriteFile("m24.tga", Tga(2, 4, 4, 24, tga24)), 9);
    EXPECT_EQ(LevelWidth(2), 1);
    EXPECT_EQ(Texels(1),
              (Bytes{30, 20, 10, 255, 30, 20, 10, 255, 30, 20, 10, 255, 30, 20, 10, 255}));
    EXPECT_EQ(Texels(2), (Bytes{30, 20, 10, 255}));
    TextureLoadTGAID(WriteFile("m32.tga", Tga(2, 4, 4, 32, bmp32)), 10);
    EXPECT_EQ(Texels(2), (Bytes{30, 20, 10, 40}));
    TextureLoadID(WriteFile("m32.bmp", Bmp(4, 4, 32, bmp32)).c_str(), 9);
    EXPECT_EQ(Texels(2), (Bytes{30, 20, 10, 40}));
    // Level 1 has 6-byte rows: it must come out right under the loader's alignment of 4, and
    // the loader's unpack state must survive the mipmap build.
    TextureLoadID(WriteFile("m24.bmp", Bmp(4, 4, 24, tga24)).c_str(), 10);
    EXPECT_EQ(Int(GL_UNPACK_ALIGNMENT), 4);
    EXPECT_EQ(Texels(1),
              (Bytes{30, 20, 10, 255, 30, 20, 10, 255, 30, 20, 10, 255, 30, 20, 10, 255}));

    // Other depths build nothing.
    GLuint name;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    uint8_t pixels[64] = {};
    AddMipmapsTexture(8, 4, 4, pixels);
    AddMipmapsTexture(16, 4, 4, pixels);
    EXPECT_EQ(LevelWidth(0), 0);
}

TEST_F(Slots, BmpTextureHoldsRgbBottomRowFirstWithPaddedRowsSwappedRowByRow) {
    // 3 x 2 at 24 bits: rows of 9 bytes padded to 12. Bottom row first in the file.
    const Bytes px = {1,  2,  3,  4,  5,  6,  7,  8,  9,  0xEE, 0xEE, 0xEE,
                      11, 12, 13, 14, 15, 16, 17, 18, 19, 0xEE, 0xEE, 0xEE};
    const size_t live = velvix_platform::GdiLiveCount();
    TextureLoadID(WriteFile("b24.bmp", Bmp(3, 2, 24, px)).c_str(), 3);
    EXPECT_EQ(velvix_platform::GdiLiveCount(), live); // the bitmap is released after the upload
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(Int(GL_TEXTURE_BINDING_2D), GLint(TextureID2[3]));
    EXPECT_EQ(Texels(), (Bytes{3,  2,  1,  255, 6,  5,  4,  255, 9,  8,  7,  255,
                               13, 12, 11, 255, 16, 15, 14, 255, 19, 18, 17, 255}));

    TextureLoadID(WriteFile("b32.bmp", Bmp(1, 1, 32, {0x10, 0x20, 0x30, 0x40})).c_str(), 4);
    EXPECT_EQ(Texels(), (Bytes{0x30, 0x20, 0x10, 0x40}));

    // A top-down file keeps its rows in file order: its top row becomes texture row 0.
    TextureLoadID(WriteFile("td.bmp", Bmp(1, -2, 32, {1, 1, 1, 1, 2, 2, 2, 2})).c_str(), 5);
    EXPECT_EQ(Texels(), (Bytes{1, 1, 1, 1, 2, 2, 2, 2}));
}

TEST_F(Slots, BmpSlotsWithoutAnImageStillGetANameAndTheUnpackStateIsSet) {
    Bytes cut = Bmp(4, 4, 24, Bytes(48, 7));
    cut.resize(cut.size() - 20); // the probe accepts it, the loader does not
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"missing", ScratchDir() + "/missing.bmp"},
        {"8 bits", WriteFile("p8.bmp", Bmp(2, 2, 8, Bytes(8, 1)))},
        {"cut short", WriteFile("cut.bmp", cut)},
    };
    glBindTexture(GL_TEXTURE_2D, 0);
    TextureSelectID(500); // never loaded
    EXPECT_EQ(Int(GL_TEXTURE_BINDING_2D), 0);
    const size_t live = velvix_platform::GdiLiveCount();
    for (const auto& [name, path] : cases) {
        SCOPED_TRACE(name);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, 3);
        glPixelStorei(GL_UNPACK_SKIP_ROWS, 1);
        glPixelStorei(GL_UNPACK_SKIP_PIXELS, 1);
        const uint32_t before = TextureID2[20];
        TextureLoadID(path.c_str(), 20);
        EXPECT_NE(TextureID2[20], before);
        EXPECT_EQ(Int(GL_UNPACK_ALIGNMENT), 4);
        EXPECT_EQ(Int(GL_UNPACK_ROW_LENGTH), 0);
        EXPECT_EQ(Int(GL_UNPACK_SKIP_ROWS), 0);
        EXPECT_EQ(Int(GL_UNPACK_SKIP_PIXELS), 0);
        glBindTexture(GL_TEXTURE_2D, 0);
        TextureSelectID(20);
        EXPECT_EQ(Int(GL_TEXTURE_BINDING_2D), GLint(TextureID2[20]));
        EXPECT_EQ(LevelWidth(0), 0);
        EXPECT_EQ(velvix_platform::GdiLiveCount(), live);
    }
}

TEST(BmpProbe, GetBMPDepthReadsTheDepthFromTheHeaders) {
    Bytes coreFile = CoreBmpFile(1, 1, 24, {}, Bytes(64, 0)); // long enough for 54 bytes
    Bytes notBm = Bmp(1, 1, 24, {1, 2, 3, 0});
    notBm[0] = 'X';
    Bytes endsInInfo = Bmp(1, 1, 24, {});
    endsInInfo.resize(30);
    const std::vector<std::pair<std::string, int32_t>> cases = {
        {ScratchDir() + "/missing.bmp", 0},
        {ScratchDir(), 0},
        {WriteFile("notbm.bmp", notBm), 0},
        {WriteFile("core.bmp", coreFile), 0},
        {WriteFile("short.bmp", Bytes{'B', 'M', 0, 0}), 0},
        {WriteFile("endsininfo.bmp", endsInInfo), 0},
        {WriteFile("d8.bmp", Bmp(1, 1, 8, {0, 0, 0, 0})), 8},
        {WriteFile("d24.bmp", Bmp(1, 1, 24, {0, 0, 0, 0})), 24},
        {WriteFile("d32.bmp", Bmp(1, 1, 32, {0, 0, 0, 0})), 32},
    };
    for (const auto& [path, depth] : cases) {
        SCOPED_TRACE(path);
        EXPECT_EQ(GetBMPDepth(path.c_str()), depth);
    }
}

TEST(BmpProbe, SwapRGBWalksTripletsAndTouchesNothingElse) {
    uint8_t b[] = {1, 2, 3, 4, 5, 6, 7};
    SwapRGB(b, 2);
    EXPECT_EQ(Bytes(b, b + 7), (Bytes{3, 2, 1, 6, 5, 4, 7}));
}

TEST_F(Slots, TheGeneratedPicturesLoadThroughTheFrameworksLoaders) {
    const char* build = std::getenv("VELVIX_BUILD_DIR");
    if (!build)
        GTEST_SKIP() << "VELVIX_BUILD_DIR not set (run through ctest)";
    const std::string run = std::string(build) + "/run/";
    ASSERT_EQ(GetBMPDepth((run + "stoneblocks.bmp").c_str()), 24);
    TextureLoadID((run + "stoneblocks.bmp").c_str(), 0);
    EXPECT_EQ(LevelWidth(0), 256);
    Bytes stone = Texels();
    ASSERT_EQ(stone.size(), 256u * 256 * 4);

    TGATexture gas = {};
    BoxRecorder boxes;
    ASSERT_TRUE(LoadTGA(gas, run + "gas.tga"));
    EXPECT_EQ(gas.Width, 256u);
    EXPECT_EQ(gas.Height, 256u);
    EXPECT_EQ(gas.Bpp, 32u);
    auto alpha = [&](int x, int y) { return gas.ImageData[(size_t(y) * 256 + x) * 4 + 3]; };
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(alpha(i, 0), 0);
        EXPECT_EQ(alpha(0, i), 0);
        EXPECT_EQ(alpha(i, 255), 0);
        EXPECT_EQ(alpha(255, i), 0);
    }
    EXPECT_GT(alpha(128, 128), 100);
    std::free(gas.ImageData);
    TextureLoadTGAID(run + "gas.tga", 0);
    EXPECT_EQ(LevelWidth(0), 256);
    EXPECT_TRUE(boxes.boxes.empty());
}
