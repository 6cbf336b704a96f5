// gdi_test.cpp - the GDI objects on their own: DIB sections made from every header length,
// BitBlt within one picture and into a paletted one, rectangle regions at the ends of the int
// range, and movable and fixed global memory, including handles that are not (or no longer) ours.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/objects.h"

using velvix_platform::GdiBitmap;
using velvix_platform::GdiLookupAs;

namespace {

// A BITMAPINFO block of exactly `size` bytes on the heap, so a sanitizer sees any read past it.
struct InfoBlock {
    explicit InfoBlock(std::size_t size) : bytes(new uint8_t[size]()), size(size) {}
    BITMAPINFOHEADER& header() { return *reinterpret_cast<BITMAPINFOHEADER*>(bytes.get()); }
    void Put32(std::size_t offset, uint32_t v) {
        ASSERT_LE(offset + 4, size);
        std::memcpy(bytes.get() + offset, &v, 4);
    }
    HBITMAP Create(void** bits = nullptr) {
        return CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(bytes.get()),
                                DIB_RGB_COLORS, bits, nullptr, 0);
    }
    std::unique_ptr<uint8_t[]> bytes;
    std::size_t size;
};

void FillHeader(BITMAPINFOHEADER& h, uint32_t size, int32_t width, int32_t height, uint16_t bits,
                uint32_t compression) {
    h.biSize = size;
    h.biWidth = width, h.biHeight = height;
    h.biPlanes = 1, h.biBitCount = bits;
    h.biCompression = compression;
}

// A 1-pixel-wide 32-bit section, its rows given as displayed (top first), in a DC of its own.
struct Column {
    Column(int32_t height, const std::vector<uint32_t>& topDown)
        : rows(height < 0 ? -height : height), bottomUp(height > 0) {
        InfoBlock info(40);
        FillHeader(info.header(), 40, 1, height, 32, BI_RGB);
        void* bits = nullptr;
        bitmap = info.Create(&bits);
        pixels = static_cast<uint32_t*>(bits);
        for (int32_t y = 0; y < rows; ++y)
            At(y) = topDown.at(y);
        dc = CreateCompatibleDC(nullptr);
        SelectObject(dc, bitmap);
    }
    ~Column() {
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    uint32_t& At(int32_t y) { return pixels[bottomUp ? rows - 1 - y : y]; }
    std::vector<uint32_t> TopDown() {
        std::vector<uint32_t> out;
        for (int32_t y = 0; y < rows; ++y)
            out.push_back(At(y));
        return out;
    }
    int32_t rows;
    bool bottomUp;
    HBITMAP bitmap = nullptr;
    HDC dc = nullptr;
    uint32_t* pixels = nullptr;
};

} // namespace

TEST(DibSection, MasksComeFromWhereEachHeaderLengthKeepsThem) {
    struct Case {
        uint32_t headerSize;
        std::size_t block; // bytes the caller passes: the header, plus masks after a 40-byte one
        uint16_t bits;
        uint32_t masks[4];
        uint32_t expected[4]; // the alpha mask only exists from 56 bytes on
    };
    const Case cases[] = {
        {40, 52, 32, {0xFF, 0xFF00, 0xFF0000, 0}, {0xFF, 0xFF00, 0xFF0000, 0}},
        {52, 52, 16, {0xF800, 0x7E0, 0x1F, 0}, {0xF800, 0x7E0, 0x1F, 0}},
        {56, 56, 32, {0xFF, 0xFF00, 0xFF0000, 0xFF000000}, {0xFF, 0xFF00, 0xFF0000, 0xFF000000}},
        {108, 108, 16, {0x7C00, 0x3E0, 0x1F, 0x8000}, {0x7C00, 0x3E0, 0x1F, 0x8000}},
        {124, 124, 32, {0xFF, 0xFF00, 0xFF0000, 0xFF000000}, {0xFF, 0xFF00, 0xFF0000, 0xFF000000}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.headerSize);
        InfoBlock info(c.block);
        FillHeader(info.header(), c.headerSize, 2, 1, c.bits, BI_BITFIELDS);
        for (int i = 0; i < 4 && 40 + 4 * i + 4 <= int(c.block); ++i)
            info.Put32(40 + 4 * i, c.masks[i]);
        HBITMAP b = info.Create();
        ASSERT_NE(b, nullptr);
        const auto* bitmap = GdiLookupAs<GdiBitmap>(b);
        ASSERT_NE(bitmap, nullptr);
        EXPECT_EQ(bitmap->image.compression, uint32_t(BI_BITFIELDS));
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(bitmap->image.masks[i], c.expected[i]) << "mask " << i;
        EXPECT_TRUE(DeleteObject(b));
    }
}

TEST(DibSection, TheColourTableFollowsALongHeader) {
    InfoBlock info(124 + 2 * 4);
    FillHeader(info.header(), 124, 4, 1, 8, BI_RGB);
    info.header().biClrUsed = 2;
    info.Put32(124, 0x00102030);
    info.Put32(128, 0x00405060);
    HBITMAP b = info.Create();
    ASSERT_NE(b, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, b);
    RGBQUAD table[3] = {};
    ASSERT_EQ(GetDIBColorTable(dc, 0, 3, table), 3u);
    EXPECT_EQ(table[0].rgbRed, 0x10);
    EXPECT_EQ(table[0].rgbBlue, 0x30);
    EXPECT_EQ(table[1].rgbGreen, 0x50);
    EXPECT_EQ(table[2].rgbRed | table[2].rgbGreen | table[2].rgbBlue, 0); // past the used ones
    DeleteDC(dc);
    EXPECT_TRUE(DeleteObject(b));
}

TEST(DibSection, UnknownHeaderSizesAndEmptyMasksAreRefused) {
    const size_t live = velvix_platform::GdiLiveCount();
    // Claimed sizes larger than the block must not be read; the block is 40 bytes.
    for (uint32_t size : {0u, 12u, 39u, 41u, 64u, 125u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        SCOPED_TRACE(size);
        InfoBlock info(40);
        FillHeader(info.header(), size, 1, 1, 32, BI_RGB);
        void* bits = reinterpret_cast<void*>(1);
        EXPECT_EQ(info.Create(&bits), nullptr);
        EXPECT_EQ(bits, nullptr);
    }
    for (uint32_t size : {40u, 124u}) {
        SCOPED_TRACE(size);
        InfoBlock info(size == 40 ? 52 : size);
        FillHeader(info.header(), size, 1, 1, 32, BI_BITFIELDS);
        if (size == 124)
            info.Put32(52, 0xFF000000); // an alpha mask alone does not make a picture
        EXPECT_EQ(info.Create(), nullptr);
    }
    EXPECT_EQ(velvix_platform::GdiLiveCount(), live);
}

TEST(BitBlt, OverlappingCopiesWithinOnePictureReadEachRowBeforeItIsOverwritten) {
    const uint32_t R = 0xFF0000, G = 0x00FF00, B = 0x0000FF, W = 0xFFFFFF;
    struct Case {
        const char* name;
        int y, ySrc; // destination and source top rows, three rows copied
        std::vector<uint32_t> expected;
    };
    const Case cases[] = {
        {"down one row", 1, 0, {R, R, G, B}},
        {"up one row", 0, 1, {G, B, W, W}},
    };
    for (int32_t height : {-4, 4}) { // top-down and bottom-up memory
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.name << ", height " << height);
            Column col(height, {R, G, B, W});
            ASSERT_TRUE(BitBlt(col.dc, 0, c.y, 1, 3, col.dc, 0, c.ySrc, SRCCOPY));
            EXPECT_EQ(col.TopDown(), c.expected);
        }
    }
}

TEST(BitBlt, PalettedDestinationsMatchOnlyThePicturesOwnColours) {
    // Two colours used of 256: the zero entries past them are not black entries of the picture.
    InfoBlock info(40 + 2 * 4);
    FillHeader(info.header(), 40, 4, -1, 8, BI_RGB);
    info.header().biClrUsed = 2;
    info.Put32(40, 0x00FFFFFF); // white
    info.Put32(44, 0x00C80000); // red 200
    void* bits = nullptr;
    HBITMAP paletted = info.Create(&bits);
    ASSERT_NE(paletted, nullptr);
    std::memset(bits, 0x77, 4);
    HDC dst = CreateCompatibleDC(nullptr);
    SelectObject(dst, paletted);

    Column black(-1, {0x000000});
    ASSERT_TRUE(BitBlt(dst, 0, 0, 1, 1, black.dc, 0, 0, SRCCOPY));
    Column white(-1, {0xF0F0F0});
    ASSERT_TRUE(BitBlt(dst, 1, 0, 1, 1, white.dc, 0, 0, SRCCOPY));
    const uint8_t* index = static_cast<const uint8_t*>(bits);
    EXPECT_EQ(index[0], 1); // red is nearer black than white is
    EXPECT_EQ(index[1], 0);
    EXPECT_EQ(index[2], 0x77); // untouched
    DeleteDC(dst);
    DeleteObject(paletted);
}

TEST(Region, RectanglesAtTheEndsOfTheIntRange) {
    const int kBig = 2000000000; // a width of 4e9 overflows an int too
    struct Case {
        int x1, y1, x2, y2;
        RECT box;
        POINT inside[2];
    };
    const Case cases[] = {
        {INT_MIN, 0, INT_MAX, 1, {INT_MIN, 0, INT_MAX, 1}, {{0, 0}, {INT_MIN, 0}}},
        {INT_MAX, 1, INT_MIN, 0, {INT_MIN, 0, INT_MAX, 1}, {{INT_MAX - 1, 0}, {7, 0}}},
        {0, INT_MIN, 1, INT_MAX, {0, INT_MIN, 1, INT_MAX}, {{0, INT_MAX - 1}, {0, INT_MIN}}},
        {-kBig, 5, kBig, 7, {-kBig, 5, kBig, 7}, {{kBig - 1, 6}, {-kBig, 5}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2);
        HRGN r = CreateRectRgn(c.x1, c.y1, c.x2, c.y2);
        ASSERT_NE(r, nullptr);
        RECT box = {};
        EXPECT_EQ(GetRgnBox(r, &box), SIMPLEREGION);
        EXPECT_EQ(box.left, c.box.left);
        EXPECT_EQ(box.top, c.box.top);
        EXPECT_EQ(box.right, c.box.right);
        EXPECT_EQ(box.bottom, c.box.bottom);
        for (const POINT& p : c.inside)
            EXPECT_TRUE(PtInRegion(r, p.x, p.y)) << p.x << "," << p.y;
        EXPECT_FALSE(PtInRegion(r, c.box.right, c.box.top)); // right and bottom edges are out
        EXPECT_FALSE(PtInRegion(r, c.box.left, c.box.bottom));
        EXPECT_TRUE(DeleteObject(r));
    }
}

TEST(GlobalMemory, BlocksAnswerUntilFreedAndForeignOrStaleHandlesAreRefused) {
    for (UINT kind : {UINT(GMEM_FIXED), UINT(GMEM_MOVEABLE)}) {
        SCOPED_TRACE(kind == GMEM_FIXED ? "fixed" : "movable");
        HGLOBAL h = GlobalAlloc(kind | GMEM_ZEROINIT, 16);
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(GlobalSize(h), 16u);
        auto* p = static_cast<uint8_t*>(GlobalLock(h));
        ASSERT_NE(p, nullptr);
        if (kind == GMEM_FIXED) {
            EXPECT_EQ(static_cast<void*>(p), h);
        }
        p[0] = 42;
        GlobalUnlock(h);

        h = GlobalReAlloc(h, 64, GMEM_MOVEABLE | GMEM_ZEROINIT);
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(GlobalSize(h), 64u);
        p = static_cast<uint8_t*>(GlobalLock(h));
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p[0], 42);
        EXPECT_EQ(p[63], 0);
        GlobalUnlock(h);

        EXPECT_EQ(GlobalFree(h), nullptr);
        // Freed: every call refuses it, and freeing it again reports failure with the handle.
        EXPECT_EQ(GlobalLock(h), nullptr);
        EXPECT_EQ(GlobalSize(h), 0u);
        EXPECT_EQ(GlobalReAlloc(h, 32, GMEM_MOVEABLE), nullptr);
        EXPECT_EQ(GlobalFree(h), h);
    }
    int local = 0;
    HGLOBAL foreign = &local; // never handed out
    EXPECT_EQ(GlobalLock(foreign), nullptr);
    EXPECT_EQ(GlobalSize(foreign), 0u);
    EXPECT_EQ(GlobalReAlloc(foreign, 8, GMEM_MOVEABLE), nullptr);
    EXPECT_EQ(GlobalFree(foreign), foreign);
}
