// bmp_decode_test.cpp - bitmap files built here through the pure decoder and through
// LoadImageA / GetObjectA / DeleteObject: every depth and coding, both row orders, and the
// files that lie about themselves.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/gdi/bmp_decode.h"
#include "platform/gdi/objects.h"
#include "textures/fixtures.h"

using namespace tex_test;
using velvix_platform::DecodeBmp;
using velvix_platform::DibImage;
using velvix_platform::DibRowToRgba;

namespace {

RGBQUAD Rgb(uint8_t r, uint8_t g, uint8_t b) {
    return RGBQUAD{b, g, r, 0};
}

// The picture as R, G, B, A rows, top row first, whatever the row order in memory.
Bytes TopDownRgba(const DibImage& d) {
    Bytes out(size_t(d.width) * d.rows() * 4);
    for (int32_t y = 0; y < d.rows(); ++y) {
        int32_t memRow = d.height > 0 ? d.rows() - 1 - y : y;
        DibRowToRgba(d, memRow, &out[size_t(y) * d.width * 4]);
    }
    return out;
}

Bytes Rgba(std::initializer_list<RGBQUAD> px) {
    Bytes out;
    for (const RGBQUAD& c : px)
        out.insert(out.end(), {c.rgbRed, c.rgbGreen, c.rgbBlue, uint8_t(255)});
    return out;
}

BmpLayout Paletted(uint16_t bits, int32_t w, int32_t h, Bytes pixels) {
    BmpLayout s;
    s.width = w, s.height = h, s.bitCount = bits;
    s.colors = {Rgb(10, 0, 0), Rgb(0, 20, 0), Rgb(0, 0, 30), Rgb(40, 40, 40)};
    s.clrUsed = 4;
    s.pixels = std::move(pixels);
    return s;
}

const RGBQUAD C0 = Rgb(10, 0, 0), C1 = Rgb(0, 20, 0), C2 = Rgb(0, 0, 30), C3 = Rgb(40, 40, 40),
              Z = Rgb(0, 0, 0);

} // namespace

TEST(BmpDecode, EveryVariantDecodesToItsColours) {
    struct Case {
        const char* name;
        Bytes file;
        int32_t height; // as kept: negative for top-down
        uint16_t bits;
        Bytes rgbaTopDown;
    };
    BmpLayout s24;
    s24.width = 3, s24.height = 2;
    // Bottom row first: (1,2,3)(4,5,6)(7,8,9) pad 3; top row (a,b,c)...
    s24.pixels = {3, 2, 1, 6, 5, 4, 9, 8, 7, 0, 0, 0, 30, 20, 10, 60, 50, 40, 90, 80, 70, 0, 0, 0};
    BmpLayout top24 = s24;
    top24.height = -2;

    BmpLayout s32;
    s32.width = 1, s32.height = 1, s32.bitCount = 32;
    s32.pixels = {0x10, 0x20, 0x30, 0x40};
    // V5 header, bit fields with the masks inside the header, red in the top byte.
    BmpLayout v5 = s32;
    v5.headerSize = 124, v5.compression = BI_BITFIELDS;
    v5.masks[0] = 0xFF000000, v5.masks[1] = 0x00FF0000, v5.masks[2] = 0x0000FF00,
    v5.masks[3] = 0x000000FF;
    BmpLayout v4 = v5;
    v4.headerSize = 108;
    BmpLayout bf16; // 5-6-5, masks after a 40-byte header
    bf16.width = 2, bf16.height = 1, bf16.bitCount = 16, bf16.compression = BI_BITFIELDS;
    bf16.masksAfterHeader = true;
    bf16.masks[0] = 0xF800, bf16.masks[1] = 0x07E0, bf16.masks[2] = 0x001F;
    bf16.pixels = {0x00, 0xF8, 0x1F, 0x00}; // pure red, pure blue
    BmpLayout rgb16 = bf16;                 // 5-5-5 by default
    rgb16.compression = BI_RGB, rgb16.masksAfterHeader = false;
    rgb16.pixels = {0xE0, 0x03, 0x10, 0x42}; // pure green; (16,16,16) of 31
    BmpLayout h56 = s32;
    h56.headerSize = 56, h56.compression = BI_BITFIELDS;
    h56.masks[0] = 0xFF0000, h56.masks[1] = 0xFF00, h56.masks[2] = 0xFF, h56.masks[3] = 0xFF000000;

    BmpLayout gap = s24; // pixels start 6 bytes after the headers
    gap.offBits = 14 + 40 + 6;
    gap.pixels.insert(gap.pixels.begin(), 6, 0xEE);

    // 8 bits: four pixels, row padded to 4.
    BmpLayout p8 = Paletted(8, 3, 2, {0, 1, 2, 0, 3, 3, 1, 0});
    // 4 bits: 0x12 0x30 -> indices 1,2,3.
    BmpLayout p4 = Paletted(4, 3, 1, {0x12, 0x30, 0, 0});
    // 1 bit: 10100000 -> 1,0,1.
    BmpLayout p1 = Paletted(1, 3, 1, {0xA0, 0, 0, 0});
    p1.colors.resize(2), p1.clrUsed = 2;

    // RLE8 on 4 x 3: run, literal (padded, one pixel past the edge), end of line, jump, end of
    // picture. What the stream skips keeps index 0.
    BmpLayout r8 = Paletted(8, 4, 3, {2, 1, 0, 3, 2, 3, 1, 0, 0, 0, 0, 2, 1, 1, 1, 3, 0, 1});
    r8.compression = BI_RLE8;
    // RLE4 on 4 x 2: a run of 3 alternating 2, 1; a literal of 3 nibbles (3, 1, 2) of which one
    // fits; end of line; a run of 4 of index 3; end of picture.
    BmpLayout r4 = Paletted(4, 4, 2, {3, 0x21, 0, 3, 0x31, 0x20, 0, 0, 4, 0x33, 0, 1});
    r4.compression = BI_RLE4;

    const std::vector<Case> cases = {
        {"24 bits bottom-up", BmpFile(s24), 2, 24,
         Rgba({Rgb(10, 20, 30), Rgb(40, 50, 60), Rgb(70, 80, 90), Rgb(1, 2, 3), Rgb(4, 5, 6),
               Rgb(7, 8, 9)})},
        {"24 bits top-down", BmpFile(top24), -2, 24,
         Rgba({Rgb(1, 2, 3), Rgb(4, 5, 6), Rgb(7, 8, 9), Rgb(10, 20, 30), Rgb(40, 50, 60),
               Rgb(70, 80, 90)})},
        {"bfOffBits honoured", BmpFile(gap), 2, 24,
         Rgba({Rgb(10, 20, 30), Rgb(40, 50, 60), Rgb(70, 80, 90), Rgb(1, 2, 3), Rgb(4, 5, 6),
               Rgb(7, 8, 9)})},
        {"32 bits BI_RGB: no alpha", BmpFile(s32), 1, 32, Rgba({Rgb(0x30, 0x20, 0x10)})},
        {"32 bits V5 bit fields", BmpFile(v5), 1, 32, {0x40, 0x30, 0x20, 0x10}},
        {"32 bits V4 bit fields", BmpFile(v4), 1, 32, {0x40, 0x30, 0x20, 0x10}},
        {"32 bits 56-byte header with alpha mask", BmpFile(h56), 1, 32, {0x30, 0x20, 0x10, 0x40}},
        {"16 bits 5-6-5", BmpFile(bf16), 1, 16, Rgba({Rgb(255, 0, 0), Rgb(0, 0, 255)})},
        {"16 bits 5-5-5", BmpFile(rgb16), 1, 16, Rgba({Rgb(0, 255, 0), Rgb(132, 132, 132)})},
        {"8 bits", BmpFile(p8), 2, 8, Rgba({C3, C3, C1, C0, C1, C2})},
        {"4 bits", BmpFile(p4), 1, 4, Rgba({C1, C2, C3})},
        {"1 bit", BmpFile(p1), 1, 1, Rgba({C1, C0, C1})},
        {"core header 8 bits", CoreBmpFile(2, 1, 8, {C0, C1, C2}, {2, 1, 0, 0}), 1, 8,
         Rgba({C2, C1})},
        {"core header 24 bits", CoreBmpFile(1, 1, 24, {}, {3, 2, 1, 0}), 1, 24,
         Rgba({Rgb(1, 2, 3)})},
        {"RLE8", BmpFile(r8), 3, 8, Rgba({C0, C3, C0, C0, C0, C0, C0, C0, C1, C1, C2, C3})},
        {"RLE4", BmpFile(r4), 2, 4, Rgba({C3, C3, C3, C3, C2, C1, C2, C3})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DibImage d;
        const char* why = DecodeBmp(c.file.data(), c.file.size(), &d);
        ASSERT_EQ(why, nullptr) << why;
        EXPECT_EQ(d.height, c.height);
        EXPECT_EQ(d.bitCount, c.bits);
        EXPECT_EQ(d.stride % 4, 0u);
        EXPECT_EQ(d.bitsSize, size_t(d.stride) * d.rows());
        EXPECT_EQ(TopDownRgba(d), c.rgbaTopDown);
    }
}

TEST(BmpDecode, UncompressedRowsAreTheFilesRowsWithTheirPadding) {
    BmpLayout s;
    s.width = 3, s.height = 2;
    s.pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0, 11, 12, 13, 14, 15, 16, 17, 18, 19, 0, 0, 0};
    Bytes file = BmpFile(s);
    DibImage d;
    ASSERT_EQ(DecodeBmp(file.data(), file.size(), &d), nullptr);
    EXPECT_EQ(d.stride, 12u);
    EXPECT_EQ(Bytes(d.bits.get(), d.bits.get() + d.bitsSize), s.pixels);
}

TEST(BmpDecode, ShortColourTableLeavesTheRestZero) {
    // Two colours declared, index 200 used: it shows the zero entry, not stale memory.
    BmpLayout s = Paletted(8, 2, 1, {1, 200, 0, 0});
    s.colors.resize(2);
    s.clrUsed = 2;
    Bytes file = BmpFile(s);
    DibImage d;
    ASSERT_EQ(DecodeBmp(file.data(), file.size(), &d), nullptr);
    EXPECT_EQ(d.colorsUsed, 2u);
    ASSERT_EQ(d.colors.size(), 256u);
    EXPECT_EQ(TopDownRgba(d), Rgba({C1, Z}));
    for (size_t i = 2; i < 256; ++i)
        EXPECT_EQ(d.colors[i].rgbRed | d.colors[i].rgbGreen | d.colors[i].rgbBlue, 0);

    // A table cut short by the pixel offset: the entries past the offset are zero too.
    BmpLayout cut = Paletted(8, 2, 1, {3, 1, 0, 0});
    cut.clrUsed = 0;
    cut.offBits = 14 + 40 + 2 * 4;
    cut.colors.resize(2);
    file = BmpFile(cut);
    ASSERT_EQ(DecodeBmp(file.data(), file.size(), &d), nullptr);
    EXPECT_EQ(d.colorsUsed, 2u);
    EXPECT_EQ(TopDownRgba(d), Rgba({Z, C1}));
}

TEST(BmpDecode, RunLengthWritesOutsideThePictureAreDropped) {
    // 3 x 2: a run of 5 on a row of 3, then a jump far right and up, then a literal of 4.
    BmpLayout s = Paletted(8, 3, 2, {5, 1, 0, 2, 200, 0, 0, 0, 0, 4, 2, 2, 2, 2, 0, 0, 0, 2, 0, 9});
    s.compression = BI_RLE8;
    Bytes file = BmpFile(s);
    DibImage d;
    ASSERT_EQ(DecodeBmp(file.data(), file.size(), &d), nullptr);
    EXPECT_EQ(TopDownRgba(d), Rgba({C2, C2, C2, C1, C1, C1}));
    // Padding bytes of each row stay zero.
    EXPECT_EQ(d.bits[3], 0);
    EXPECT_EQ(d.bits[7], 0);
}

TEST(BmpDecode, FilesThatLieAreRefusedWithoutReadingOutside) {
    auto base = [] {
        BmpLayout s;
        s.width = 2, s.height = 2;
        s.pixels = Bytes(16, 0x55);
        return s;
    };
    auto with = [&](auto change) {
        BmpLayout s = base();
        change(s);
        return BmpFile(s);
    };
    auto rle = [](BmpLayout& s) {
        s = Paletted(8, 2, 2, {2, 1, 0, 0, 2, 1, 0, 1});
        s.compression = BI_RLE8;
    };
    Bytes headerSize66 = BmpFile(base());
    headerSize66[14] = 66;
    Bytes cutInPixels = BmpFile(base());
    cutInPixels.resize(cutInPixels.size() - 5);
    Bytes cutNoSizes = with([](BmpLayout& s) { s.fileSize = 0; });
    cutNoSizes.resize(cutNoSizes.size() - 5);
    Bytes rleCut = with([&](BmpLayout& s) {
        rle(s);
        s.fileSize = 0;
    });
    rleCut.resize(rleCut.size() - 4);

    const std::vector<std::pair<const char*, Bytes>> cases = {
        {"bit count 30000", with([](BmpLayout& s) { s.bitCount = 30000; })},
        {"biSizeImage beyond the file", with([](BmpLayout& s) { s.sizeImage = 0x7FFFFFF0; })},
        {"bfSize beyond the file", with([](BmpLayout& s) { s.fileSize = 0xFFFFFFF0; })},
        {"biClrUsed beyond the file", with([](BmpLayout& s) {
             s = Paletted(8, 2, 2, Bytes(8, 1));
             s.clrUsed = 0x7FFFFFFF;
         })},
        {"colour table beyond the file", with([](BmpLayout& s) {
             s = Paletted(8, 2, 2, {});
             s.clrUsed = 200;
         })},
        {"header size 66", headerSize66},
        {"planes 2", with([](BmpLayout& s) { s.planes = 2; })},
        {"planes 0", with([](BmpLayout& s) { s.planes = 0; })},
        {"negative width", with([](BmpLayout& s) { s.width = -2; })},
        {"width 0", with([](BmpLayout& s) { s.width = 0; })},
        {"height 0", with([](BmpLayout& s) { s.height = 0; })},
        {"height INT32_MIN", with([](BmpLayout& s) { s.height = INT32_MIN; })},
        {"3000000 x 2000000", with([](BmpLayout& s) { s.width = 3000000, s.height = 2000000; })},
        {"16384 x 16384 x 32 in 54 bytes", with([](BmpLayout& s) {
             s.width = 16384, s.height = 16384, s.bitCount = 32;
             s.pixels.clear();
         })},
        {"3000000 x 2000000 RLE", with([&](BmpLayout& s) {
             rle(s);
             s.width = 3000000, s.height = 2000000;
         })},
        {"RLE with negative height", with([&](BmpLayout& s) {
             rle(s);
             s.height = -2;
         })},
        {"RLE8 at 4 bits", with([&](BmpLayout& s) {
             rle(s);
             s.bitCount = 4;
         })},
        {"RLE cut before its end", rleCut},
        {"bit fields at 24 bits", with([](BmpLayout& s) {
             s.compression = BI_BITFIELDS;
             s.masksAfterHeader = true;
             s.masks[0] = 0xFF;
         })},
        {"bit fields with no masks", with([](BmpLayout& s) {
             s.bitCount = 32, s.compression = BI_BITFIELDS, s.masksAfterHeader = true;
         })},
        {"unknown compression", with([](BmpLayout& s) { s.compression = 4; })},
        {"pixel offset beyond the file", with([](BmpLayout& s) { s.offBits = 0x7FFFFFFF; })},
        {"pixel offset inside the headers", with([](BmpLayout& s) { s.offBits = 20; })},
        {"cut short inside its pixels", cutInPixels},
        {"cut short, no sizes to tell", cutNoSizes},
        {"no BM", Bytes{'M', 'B', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 40, 0, 0, 0}},
        {"just the file header", with([](BmpLayout& s) { s.headerSize = 0; }) /* cut below */},
    };
    for (auto [name, file] : cases) {
        SCOPED_TRACE(name);
        if (std::string(name) == "just the file header")
            file.resize(14);
        // An exact-size copy, so a sanitizer sees any read past the end.
        std::unique_ptr<uint8_t[]> exact(new uint8_t[file.size()]);
        std::memcpy(exact.get(), file.data(), file.size());
        DibImage d;
        EXPECT_NE(DecodeBmp(exact.get(), file.size(), &d), nullptr);
        EXPECT_EQ(d.bits, nullptr);
    }
}

TEST(BmpDecode, EveryTruncationOfEveryVariantIsRefused) {
    // With a truthful bfSize every cut file is refused; with bfSize 0 the decoder must find out
    // from the data itself (all but the last row's padding is needed).
    BmpLayout r8 = Paletted(8, 4, 2, {2, 1, 0, 3, 2, 3, 1, 0, 0, 0, 4, 3, 0, 1});
    r8.compression = BI_RLE8;
    BmpLayout p1 = Paletted(1, 9, 2, Bytes(8, 0xAA));
    p1.colors.resize(2), p1.clrUsed = 2;
    BmpLayout s16 = Paletted(16, 2, 2, Bytes(8, 9));
    s16.colors.clear(), s16.clrUsed = 0;
    const std::vector<Bytes> files = {BmpFile(Paletted(8, 3, 2, Bytes(8, 1))),
                                      BmpFile(Paletted(4, 3, 2, Bytes(8, 0x12))),
                                      BmpFile(p1),
                                      BmpFile(r8),
                                      BmpFile(s16),
                                      CoreBmpFile(2, 2, 24, {}, Bytes(16, 4))};
    for (size_t f = 0; f < files.size(); ++f) {
        for (int truthful = 0; truthful < 2; ++truthful) {
            Bytes file = files[f];
            if (!truthful && file[14] != 12)
                std::memset(&file[2], 0, 4);
            for (size_t n = 0; n < file.size() - (truthful ? 0 : 4); ++n) {
                SCOPED_TRACE(testing::Message() << "file " << f << " cut to " << n);
                std::unique_ptr<uint8_t[]> exact(new uint8_t[n + 1]);
                std::memcpy(exact.get(), file.data(), n);
                DibImage d;
                if (f == 3 && !truthful)
                    DecodeBmp(exact.get(), n, &d); // RLE stream ends are data: no crash is all
                else
                    EXPECT_NE(DecodeBmp(exact.get(), n, &d), nullptr);
            }
            DibImage whole;
            EXPECT_EQ(DecodeBmp(file.data(), file.size(), &whole), nullptr);
        }
    }
}

TEST(BmpObjects, LoadImageGivesADibSectionTheTableCanDescribeAndDelete) {
    BmpLayout s;
    s.width = 3, s.height = -2, s.bitCount = 24;
    s.pixels = Bytes(24, 0x42);
    std::string path = WriteFile("obj.bmp", BmpFile(s));
    const size_t live = velvix_platform::GdiLiveCount();

    HANDLE h = LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                          LR_LOADFROMFILE | LR_LOADTRANSPARENT | LR_CREATEDIBSECTION);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(velvix_platform::GdiLiveCount(), live + 1);
    BITMAP bm = {};
    EXPECT_EQ(GetObjectA(h, sizeof bm, nullptr), int(sizeof bm));
    EXPECT_EQ(GetObjectA(h, sizeof bm - 1, &bm), 0);
    ASSERT_EQ(GetObjectA(h, sizeof bm, &bm), int(sizeof bm));
    EXPECT_EQ(bm.bmType, 0);
    EXPECT_EQ(bm.bmWidth, 3);
    EXPECT_EQ(bm.bmHeight, 2); // absolute, although the file is top-down
    EXPECT_EQ(bm.bmWidthBytes, 12);
    EXPECT_EQ(bm.bmPlanes, 1);
    EXPECT_EQ(bm.bmBitsPixel, 24);
    ASSERT_NE(bm.bmBits, nullptr);
    EXPECT_EQ(Bytes(static_cast<uint8_t*>(bm.bmBits), static_cast<uint8_t*>(bm.bmBits) + 24),
              s.pixels);

    EXPECT_TRUE(DeleteObject(h));
    EXPECT_EQ(velvix_platform::GdiLiveCount(), live);
    EXPECT_FALSE(DeleteObject(h));
    EXPECT_EQ(GetObjectA(h, sizeof bm, &bm), 0);
    // The slot is reused, but the old handle never reaches the new object.
    HANDLE again = LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    ASSERT_NE(again, nullptr);
    EXPECT_NE(again, h);
    EXPECT_EQ(GetObjectA(h, sizeof bm, &bm), 0);
    EXPECT_FALSE(DeleteObject(h));
    EXPECT_TRUE(DeleteObject(again));
    EXPECT_FALSE(DeleteObject(nullptr));
    EXPECT_FALSE(DeleteObject(reinterpret_cast<HGDIOBJ>(uintptr_t(1))));
}

TEST(BmpObjects, LoadImageRefusesWhatItCannotLoad) {
    std::string good = WriteFile("good.bmp", BmpFile(BmpLayout{}));
    std::string bad = WriteFile("bad.bmp", Bytes{'B', 'M', 1, 2, 3});
    const UINT file = LR_LOADFROMFILE | LR_CREATEDIBSECTION;
    const size_t live = velvix_platform::GdiLiveCount();
    EXPECT_EQ(LoadImageA(nullptr, (ScratchDir() + "/none.bmp").c_str(), IMAGE_BITMAP, 0, 0, file),
              nullptr);
    EXPECT_EQ(LoadImageA(nullptr, "", IMAGE_BITMAP, 0, 0, file), nullptr);
    EXPECT_EQ(LoadImageA(nullptr, ScratchDir().c_str(), IMAGE_BITMAP, 0, 0, file), nullptr);
    EXPECT_EQ(LoadImageA(nullptr, bad.c_str(), IMAGE_BITMAP, 0, 0, file), nullptr);
    EXPECT_EQ(LoadImageA(nullptr, good.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION), nullptr);
    EXPECT_EQ(LoadImageA(nullptr, good.c_str(), IMAGE_ICON, 0, 0, file), nullptr);
    EXPECT_EQ(velvix_platform::GdiLiveCount(), live);
}

TEST(BmpObjects, CreateDibSectionGivesZeroedMemoryAndKeepsTheColourTable) {
    struct {
        BITMAPINFOHEADER h;
        RGBQUAD colors[2];
    } info = {};
    info.h.biSize = sizeof(BITMAPINFOHEADER);
    info.h.biWidth = 5, info.h.biHeight = 3, info.h.biPlanes = 1, info.h.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP b32 = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                   &bits, nullptr, 0);
    ASSERT_NE(b32, nullptr);
    BITMAP bm = {};
    ASSERT_EQ(GetObjectA(b32, sizeof bm, &bm), int(sizeof bm));
    EXPECT_EQ(bm.bmBits, bits);
    EXPECT_EQ(bm.bmWidthBytes, 20);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    EXPECT_EQ(Bytes(static_cast<uint8_t*>(bits), static_cast<uint8_t*>(bits) + 60), Bytes(60, 0));
    EXPECT_TRUE(DeleteObject(b32));

    info.h.biBitCount = 8, info.h.biClrUsed = 2;
    info.colors[0] = Rgb(1, 2, 3), info.colors[1] = Rgb(4, 5, 6);
    HBITMAP b8 = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                  &bits, nullptr, 0);
    ASSERT_NE(b8, nullptr);
    auto* obj = velvix_platform::GdiLookup(b8);
    ASSERT_NE(obj, nullptr);
    EXPECT_EQ(obj->kind(), velvix_platform::GdiKind::Bitmap);
    EXPECT_TRUE(DeleteObject(b8));

    info.h.biBitCount = 12;
    EXPECT_EQ(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits,
                               nullptr, 0),
              nullptr);
    EXPECT_EQ(bits, nullptr);
}
