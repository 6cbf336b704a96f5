// bitmaps_test.cpp - LoadBMPFromFile's palettes and BitmapToRegion's shapes, on pictures written
// by the test. Every pixel of a region is checked with PtInRegion against a plain computation
// of the opaque set.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "framework/buttons/bitmaps.h"
#include "platform/gdi/objects.h"

using velvix::BitmapToRegion;
using velvix::LoadBMPFromFile;

namespace {

using Bytes = std::vector<uint8_t>;

void Put(Bytes& b, uint32_t v, int n) {
    for (int i = 0; i < n; ++i)
        b.push_back(uint8_t(v >> (8 * i)));
}

std::string Path(const char* name) {
    return std::string(testing::TempDir()) + "/" + name;
}

// Writes a bottom-up bitmap file; `pixel(x, y)` gives the 0x00RRGGBB colour (or, for 8 bits or
// fewer, the index) of the pixel at (x, y), y counted from the top as displayed.
std::string Write(const char* name, int w, int h, int bits,
                  const std::function<uint32_t(int, int)>& pixel,
                  const std::vector<uint32_t>& table = {}, uint32_t topByte = 0) {
    const size_t stride = ((size_t(w) * bits + 31) / 32) * 4;
    Bytes px(stride * h, 0);
    for (int y = 0; y < h; ++y) {
        uint8_t* row = px.data() + stride * (h - 1 - y);
        for (int x = 0; x < w; ++x) {
            const uint32_t v = pixel(x, y);
            if (bits == 32) {
                const uint32_t word = v | (topByte ? ((x * 37 + y) & 0xFF) << 24 : 0);
                for (int i = 0; i < 4; ++i)
                    row[4 * x + i] = uint8_t(word >> (8 * i));
            } else if (bits == 24) {
                row[3 * x] = uint8_t(v), row[3 * x + 1] = uint8_t(v >> 8),
                        row[3 * x + 2] = uint8_t(v >> 16);
            } else {
                const int perByte = 8 / bits, shift = 8 - bits * (x % perByte + 1);
                row[x / perByte] |= uint8_t(v << shift);
            }
        }
    }
    Bytes info;
    Put(info, 40, 4), Put(info, w, 4), Put(info, h, 4), Put(info, 1, 2), Put(info, bits, 2);
    Put(info, 0, 4), Put(info, 0, 4), Put(info, 0, 4), Put(info, 0, 4);
    Put(info, uint32_t(table.size()), 4), Put(info, 0, 4);
    for (uint32_t c : table)
        Put(info, c, 4); // 0x00RRGGBB is the RGBQUAD byte order
    Bytes file = {'B', 'M'};
    Put(file, uint32_t(14 + info.size() + px.size()), 4), Put(file, 0, 4);
    Put(file, uint32_t(14 + info.size()), 4);
    file.insert(file.end(), info.begin(), info.end());
    file.insert(file.end(), px.begin(), px.end());
    const std::string path = Path(name);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(file.data(), 1, file.size(), f);
    std::fclose(f);
    return path;
}

uint32_t Rgb(int r, int g, int b) {
    return uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b);
}

} // namespace

TEST(BitmapToRegion, CoversExactlyTheOpaquePixels) {
    const uint32_t magenta = 0xFF00FF; // COLORREF: red 255, blue 255
    struct Case {
        const char* name;
        int w, h, bits;
        std::function<uint32_t(int, int)> pixel; // 0x00RRGGBB
        uint32_t trans;
        uint8_t tolerance;
        std::function<bool(int, int)> opaque;
        uint32_t topByte = 0;
    };
    auto checker = [](int x, int y) { return ((x + y) & 1) ? Rgb(255, 0, 255) : Rgb(10, 20, 30); };
    const std::vector<Case> cases = {
        {"tolerance 0: only the exact colour", 4, 1, 24,
         [](int x, int) { return x == 0 ? Rgb(255, 0, 255) : Rgb(255, 1, 255); }, magenta, 0,
         [](int x, int) { return x != 0; }},
        {"magenta, tolerance 1: green 0 or 1 cut out, 2 kept", 3, 1, 24,
         [](int x, int) { return Rgb(255, x, 255); }, magenta, 1,
         [](int x, int) { return x == 2; }},
        {"window clamped at 255", 7, 1, 24, [](int x, int) { return Rgb(249 + x, 0, 0); },
         0x0000FA /* red 250 */, 10, [](int x, int) { return x == 0; }},
        {"colours below the transparent one stay", 2, 1, 24,
         [](int x, int) { return x ? Rgb(10, 10, 10) : Rgb(9, 10, 10); }, 0x0A0A0A, 5,
         [](int x, int) { return x == 0; }},
        {"all opaque", 5, 3, 24, [](int, int) { return Rgb(1, 2, 3); }, magenta, 1,
         [](int, int) { return true; }},
        {"one pixel, counted from the top", 5, 4, 24,
         [](int x, int y) { return x == 3 && y == 1 ? Rgb(0, 0, 0) : Rgb(255, 0, 255); }, magenta,
         1, [](int x, int y) { return x == 3 && y == 1; }},
        {"top byte ignored", 4, 2, 32, [](int x, int) { return x & 1 ? Rgb(255, 0, 255) : 0; },
         magenta, 1, [](int x, int) { return !(x & 1); }, 1},
        {"more than 2000 runs", 100, 50, 24, checker, magenta, 1,
         [](int x, int y) { return !((x + y) & 1); }},
        {"exactly 2000 runs", 80, 50, 24, checker, magenta, 1,
         [](int x, int y) { return !((x + y) & 1); }},
        {"palette picture tested on its colours", 6, 2, 8,
         [](int x, int) { return uint32_t(x % 3); }, magenta, 1,
         [](int x, int) { return x % 3 != 1; }},
    };
    // The stock objects and the screen DC exist from their first use on.
    GetStockObject(NULL_BRUSH);
    ReleaseDC(nullptr, GetDC(nullptr));
    const size_t live = velvix_platform::GdiLiveCount();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<uint32_t> table = {Rgb(0, 0, 0), Rgb(255, 0, 255), Rgb(255, 2, 255)};
        const std::string file = Write("shape.bmp", c.w, c.h, c.bits, c.pixel,
                                       c.bits == 8 ? table : std::vector<uint32_t>{}, c.topByte);
        HRGN rgn = BitmapToRegion(file, c.trans, c.tolerance);
        ASSERT_NE(rgn, nullptr);
        for (int y = -1; y <= c.h; ++y)
            for (int x = -1; x <= c.w; ++x) {
                const bool inside = x >= 0 && y >= 0 && x < c.w && y < c.h && c.opaque(x, y);
                ASSERT_EQ(PtInRegion(rgn, x, y) != 0, inside) << "x " << x << " y " << y;
            }
        EXPECT_TRUE(DeleteObject(rgn));
        EXPECT_EQ(velvix_platform::GdiLiveCount(), live)
            << "everything made on the way is released";
    }
}

TEST(BitmapToRegion, EdgeResults) {
    // All opaque: exactly the rectangle (0, 0)-(W, H).
    HRGN full =
        BitmapToRegion(Write("full.bmp", 6, 4, 24, [](int, int) { return 0u; }), 0xFF00FF, 1);
    RECT box;
    EXPECT_EQ(GetRgnBox(full, &box), SIMPLEREGION);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, 6);
    EXPECT_EQ(box.bottom, 4);
    DeleteObject(full);
    // All transparent: a valid, empty region.
    HRGN none = BitmapToRegion(
        Write("none.bmp", 3, 3, 24, [](int, int) { return Rgb(255, 0, 255); }), 0xFF00FF, 1);
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(GetRgnBox(none, &box), NULLREGION);
    DeleteObject(none);
    EXPECT_EQ(BitmapToRegion(Path("missing.bmp"), 0xFF00FF, 1), nullptr);
}

TEST(LoadBMPFromFile, PalettesFollowTheDepth) {
    auto entries = [](HPALETTE pal) {
        std::vector<PALETTEENTRY> e(GetPaletteEntries(pal, 0, 0, nullptr));
        GetPaletteEntries(pal, 0, UINT(e.size()), e.data());
        return e;
    };
    struct Case {
        const char* name;
        int bits, colours;
    };
    for (const Case& c : {Case{"8 bits", 8, 256}, Case{"4 bits", 4, 16}, Case{"1 bit", 1, 2},
                          Case{"8 bits, short table", 8, 5}}) {
        SCOPED_TRACE(c.name);
        std::vector<uint32_t> table;
        for (int i = 0; i < c.colours; ++i)
            table.push_back(Rgb(i, 255 - i, i / 2));
        HPALETTE pal = nullptr;
        HBITMAP bmp = LoadBMPFromFile(
            Write(
                "pal.bmp", 3, 2, c.bits, [](int x, int) { return uint32_t(x & 1); }, table),
            pal);
        ASSERT_NE(bmp, nullptr);
        ASSERT_NE(pal, nullptr);
        const std::vector<PALETTEENTRY> e = entries(pal);
        ASSERT_EQ(e.size(), 256u);
        for (int i = 0; i < 256; ++i) {
            const bool fromFile = i < c.colours;
            EXPECT_EQ(e[i].peRed, fromFile ? i : 0) << i;
            EXPECT_EQ(e[i].peGreen, fromFile ? 255 - i : 0) << i;
            EXPECT_EQ(e[i].peBlue, fromFile ? i / 2 : 0) << i;
            EXPECT_EQ(e[i].peFlags, 0) << i;
        }
        BITMAP bm = {};
        ASSERT_EQ(GetObjectA(bmp, sizeof bm, &bm), int(sizeof bm));
        EXPECT_EQ(bm.bmWidth, 3);
        EXPECT_EQ(bm.bmHeight, 2);
        EXPECT_EQ(bm.bmBitsPixel, c.bits);
        EXPECT_TRUE(DeleteObject(bmp)) << "not selected into any DC";
        EXPECT_TRUE(DeleteObject(pal));
    }

    HPALETTE pal = nullptr;
    HBITMAP deep = LoadBMPFromFile(Write("deep.bmp", 2, 2, 24, [](int, int) { return 0u; }), pal);
    ASSERT_NE(deep, nullptr);
    EXPECT_EQ(entries(pal).size(), 256u) << "a halftone palette";
    DeleteObject(deep);
    DeleteObject(pal);

    HPALETTE kept = reinterpret_cast<HPALETTE>(uintptr_t(0x1234));
    EXPECT_EQ(LoadBMPFromFile(Path("missing.bmp"), kept), nullptr);
    EXPECT_EQ(LoadBMPFromFile("", kept), nullptr);
    EXPECT_EQ(kept, reinterpret_cast<HPALETTE>(uintptr_t(0x1234)));
}
