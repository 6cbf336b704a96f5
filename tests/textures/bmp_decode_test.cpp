// bmp_decode_test.cpp - bitmap files through LoadImageA / GetObjectA: every variant real files
// hold, and the files that lie about themselves, each of which must give 0 and read nothing
// outside the file (run these under the sanitizer build to see the latter).
#include <gtest/gtest.h>

#include <cstring>

#include "platform/gdi/bmp_decode.h"
#include "platform/gdi/objects.h"
#include "platform/win32.h"
#include "textures/fixtures.h"

using namespace tex_test;

namespace {

HBITMAP Load(const Bytes& file) {
    return static_cast<HBITMAP>(LoadImageA(nullptr, WriteFile("b.bmp", file).c_str(), IMAGE_BITMAP,
                                           0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
}

// A 2 x 2 24-bit picture: rows of 6 bytes padded to 8.
BmpSpec Rgb24() {
    BmpSpec s;
    s.width = 2, s.height = 2, s.bitCount = 24;
    s.pixels = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
    return s;
}

std::vector<RGBQUAD> Gray(int n) {
    std::vector<RGBQUAD> c;
    for (int i = 0; i < n; ++i)
        c.push_back({uint8_t(10 * i), uint8_t(10 * i + 1), uint8_t(10 * i + 2), 0});
    return c;
}

} // namespace

TEST(BitmapFiles, RefusesFilesThatLieOrAreAbsurd) {
    struct Case {
        const char* name;
        Bytes file;
    };
    auto with = [](auto change) {
        BmpSpec s = Rgb24();
        change(s);
        return BmpFile(s);
    };
    Bytes cut = BmpFile(Rgb24());
    cut.resize(cut.size() - 3);
    Bytes noSignature = BmpFile(Rgb24());
    noSignature[0] = 'X';
    const std::vector<Case> cases = {
        {"empty", {}},
        {"no BM", noSignature},
        {"bit count 30000", with([](BmpSpec& s) { s.bitCount = 30000; })},
        {"biSizeImage beyond the file", with([](BmpSpec& s) { s.sizeImage = 1u << 30; })},
        {"bfSize beyond the file", with([](BmpSpec& s) { s.fileSize = 1u << 30; })},
        {"unknown header size 66", with([](BmpSpec& s) { s.headerSize = 66; })},
        {"planes 2", with([](BmpSpec& s) { s.planes = 2; })},
        {"negative width", with([](BmpSpec& s) { s.width = -2; })},
        {"height 0", with([](BmpSpec& s) { s.height = 0; })},
        {"3000000 x 2000000", with([](BmpSpec& s) { s.width = 3000000, s.height = 2000000; })},
        {"cut short inside its pixels", cut},
        {"offset past the end", with([](BmpSpec& s) { s.offBits = 100000; })},
        {"offset inside the headers", with([](BmpSpec& s) { s.offBits = 20; })},
        {"colour table beyond the file", with([](BmpSpec& s) {
             s.bitCount = 8, s.clrUsed = 256, s.offBits = 14 + 40 + 1024, s.pixels = {0, 0, 0, 0};
         })},
        {"run-length top-down", with([](BmpSpec& s) {
             s.bitCount = 8, s.compression = BI_RLE8, s.height = -2, s.colors = Gray(2);
             s.pixels = {2, 1, 0, 0, 2, 1, 0, 1};
         })},
        {"run-length cut short", with([](BmpSpec& s) {
             s.bitCount = 8, s.compression = BI_RLE8, s.colors = Gray(2), s.pixels = {2};
         })},
        {"bit fields at 24 bits", with([](BmpSpec& s) { s.compression = BI_BITFIELDS; })},
        {"unknown compression", with([](BmpSpec& s) { s.compression = 9; })},
    };
    const size_t live = velvix_platform::GdiLiveCount();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Load(c.file), nullptr);
    }
    EXPECT_EQ(velvix_platform::GdiLiveCount(), live);
    EXPECT_EQ(LoadImageA(nullptr, (ScratchDir() + "/missing.bmp").c_str(), IMAGE_BITMAP, 0, 0,
                         LR_LOADFROMFILE),
              nullptr);
    EXPECT_EQ(LoadImageA(nullptr, ScratchDir().c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE),
              nullptr);
}

TEST(BitmapFiles, SectionKeepsTheFilesSizeDepthAndRowOrder) {
    struct Case {
        const char* name;
        Bytes file;
        LONG width, height, widthBytes;
        WORD bits;
        Bytes firstBytes; // the section's memory from its start
    };
    BmpSpec topDown = Rgb24();
    topDown.height = -2;
    BmpSpec v5 = Rgb24();
    v5.headerSize = 124;
    BmpSpec far = Rgb24(); // pixels after a gap: bfOffBits is honoured
    far.offBits = 14 + 40 + 6;
    far.pixels.insert(far.pixels.begin(), {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE});
    BmpSpec lastRowUnpadded = Rgb24();
    lastRowUnpadded.pixels.resize(14);
    BmpSpec rgb32;
    rgb32.bitCount = 32, rgb32.pixels = {0x10, 0x20, 0x30, 0x40};
    BmpSpec fields16;
    fields16.bitCount = 16, fields16.compression = BI_BITFIELDS, fields16.masksAfterHeader = true;
    fields16.masks[0] = 0xF800, fields16.masks[1] = 0x07E0, fields16.masks[2] = 0x001F;
    fields16.pixels = {0x34, 0x12, 0, 0};
    const std::vector<Case> cases = {
        {"24-bit bottom-up", BmpFile(Rgb24()), 2, 2, 8, 24, Rgb24().pixels},
        {"24-bit top-down keeps file order", BmpFile(topDown), 2, 2, 8, 24, Rgb24().pixels},
        {"V5 header", BmpFile(v5), 2, 2, 8, 24, Rgb24().pixels},
        {"bfOffBits honoured", BmpFile(far), 2, 2, 8, 24, Rgb24().pixels},
        {"last row without padding",
         BmpFile(lastRowUnpadded),
         2,
         2,
         8,
         24,
         {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0}},
        {"32-bit", BmpFile(rgb32), 1, 1, 4, 32, {0x10, 0x20, 0x30, 0x40}},
        {"16-bit bit fields", BmpFile(fields16), 1, 1, 4, 16, {0x34, 0x12, 0, 0}},
        {"core header 24-bit", CoreBmpFile(1, 1, 24, {}, {9, 8, 7, 0}), 1, 1, 4, 24, {9, 8, 7, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HBITMAP bmp = Load(c.file);
        ASSERT_NE(bmp, nullptr);
        BITMAP bm = {};
        ASSERT_EQ(GetObjectA(bmp, sizeof bm, &bm), int(sizeof bm));
        EXPECT_EQ(bm.bmType, 0);
        EXPECT_EQ(bm.bmWidth, c.width);
        EXPECT_EQ(bm.bmHeight, c.height);
        EXPECT_EQ(bm.bmWidthBytes, c.widthBytes);
        EXPECT_EQ(bm.bmPlanes, 1);
        EXPECT_EQ(bm.bmBitsPixel, c.bits);
        ASSERT_NE(bm.bmBits, nullptr);
        const uint8_t* bits = static_cast<const uint8_t*>(bm.bmBits);
        EXPECT_EQ(Bytes(bits, bits + c.firstBytes.size()), c.firstBytes);
        EXPECT_TRUE(DeleteObject(bmp));
        EXPECT_EQ(GetObjectA(bmp, sizeof bm, &bm), 0) << "a deleted handle must not resolve";
    }
}

// Palette pictures, decoded straight (the pure decoder) so the colour table can be looked at.
TEST(BitmapFiles, PalettesRunLengthAndShortTables) {
    using velvix_platform::DecodeBmp;
    using velvix_platform::DibImage;
    auto decode = [](const Bytes& f, DibImage* d) { return DecodeBmp(f.data(), f.size(), d); };

    // 8 bits, a colour table of 2 entries and an index (200) beyond it: the entry is defined, 0.
    BmpSpec shortTable;
    shortTable.bitCount = 8, shortTable.width = 3, shortTable.clrUsed = 2;
    shortTable.colors = Gray(2);
    shortTable.pixels = {1, 200, 0, 0};
    DibImage d;
    ASSERT_EQ(decode(BmpFile(shortTable), &d), nullptr);
    EXPECT_EQ(d.colorsUsed, 2u);
    ASSERT_EQ(d.colors.size(), 256u);
    EXPECT_EQ(d.colors[1].rgbRed, 12);
    EXPECT_EQ(d.colors[200].rgbRed | d.colors[200].rgbGreen | d.colors[200].rgbBlue, 0);
    uint8_t rgba[12];
    velvix_platform::DibRowToRgba(d, 0, rgba);
    EXPECT_EQ(Bytes(rgba, rgba + 12), (Bytes{12, 11, 10, 255, 0, 0, 0, 255, 2, 1, 0, 255}));

    // RLE8, 4 x 3: a run, end of line, a jump that leaves (0..1, row 1) skipped, literals, and a
    // run and a jump that both leave the picture. Skipped pixels stay index 0.
    BmpSpec rle;
    rle.width = 4, rle.height = 3, rle.bitCount = 8, rle.compression = BI_RLE8;
    rle.colors = Gray(4);
    rle.pixels = {3,   1, 0,   0, // row 0: 1 1 1 .
                  0,   2, 2,   0, // jump to x 2 on row 1
                  0,   3, 2,   3,
                  2,   0,           // three literals 2 3 2 (padded): x 2, 3 and one past the edge
                  0,   0,           // end of line
                  200, 3,           // a run far past the right edge
                  0,   2, 250, 250, // a jump far outside
                  0,   1};
    ASSERT_EQ(decode(BmpFile(rle), &d), nullptr);
    EXPECT_EQ(Bytes(d.bits.get(), d.bits.get() + 12), (Bytes{1, 1, 1, 0, 0, 0, 2, 3, 3, 3, 3, 3}));
    EXPECT_EQ(d.compression, uint32_t(BI_RGB));

    // RLE4, 5 x 1: a run alternating two indices, then a literal of three.
    BmpSpec rle4;
    rle4.width = 5, rle4.bitCount = 4, rle4.compression = BI_RLE4, rle4.colors = Gray(16);
    rle4.pixels = {2, 0x12, 0, 3, 0x34, 0x50, 0, 1};
    ASSERT_EQ(decode(BmpFile(rle4), &d), nullptr);
    EXPECT_EQ(Bytes(d.bits.get(), d.bits.get() + 3), (Bytes{0x12, 0x34, 0x50}));

    // 1 bit with a core header: a three-byte colour table.
    ASSERT_EQ(decode(CoreBmpFile(8, 1, 1, {{0, 0, 0, 0}, {255, 128, 7, 0}}, {0xA5, 0, 0, 0}), &d),
              nullptr);
    EXPECT_EQ(d.colors[1].rgbGreen, 128);
    EXPECT_EQ(d.bits[0], 0xA5);
}
