// dc.cpp - memory DCs, selection, palettes, stock objects and BitBlt (SRCCOPY only).
//
// BitBlt converts through 8-bit R, G, B: pictures of 8 bits or fewer take the colours of their
// own colour table (for a picture loaded with a matching palette the two agree), deeper ones
// their masks; a destination of 8 bits or fewer gets the nearest entry of its colour table.
// Raster operations other than SRCCOPY, stretching and clipping regions are not supported.
#include "platform/gdi/dc.h"

#include <algorithm>
#include <cstring>

namespace velvix_platform {
namespace {

WindowBlitter g_blitter = nullptr;

HGDIOBJ MakeStock(std::unique_ptr<GdiObject> object) {
    object->stock = true;
    return GdiInsert(std::move(object));
}

struct Stock {
    HGDIOBJ brushes[6] = {};
    HGDIOBJ defaultPalette = nullptr;
    HGDIOBJ oneByOne = nullptr; // the 1 x 1 monochrome bitmap every memory DC starts with
    Stock() {
        const COLORREF colours[5] = {RGB(255, 255, 255), RGB(192, 192, 192), RGB(128, 128, 128),
                                     RGB(64, 64, 64), RGB(0, 0, 0)};
        for (int i = 0; i < 5; ++i)
            brushes[i] = MakeStock(std::make_unique<GdiBrush>(false, colours[i]));
        brushes[NULL_BRUSH] = MakeStock(std::make_unique<GdiBrush>(true, 0));
        // The twenty static colours of a palette-based display.
        static const PALETTEENTRY kSystem[20] = {
            {0, 0, 0, 0},       {128, 0, 0, 0},     {0, 128, 0, 0},     {128, 128, 0, 0},
            {0, 0, 128, 0},     {128, 0, 128, 0},   {0, 128, 128, 0},   {192, 192, 192, 0},
            {192, 220, 192, 0}, {166, 202, 240, 0}, {255, 251, 240, 0}, {160, 160, 164, 0},
            {128, 128, 128, 0}, {255, 0, 0, 0},     {0, 255, 0, 0},     {255, 255, 0, 0},
            {0, 0, 255, 0},     {255, 0, 255, 0},   {0, 255, 255, 0},   {255, 255, 255, 0}};
        std::vector<PALETTEENTRY> system(kSystem, kSystem + 20);
        defaultPalette = MakeStock(std::make_unique<GdiPalette>(std::move(system)));
        DibImage mono;
        DibAllocate(&mono, 1, 1, 1);
        mono.colors[1] = RGBQUAD{255, 255, 255, 0};
        mono.colorsUsed = 2;
        oneByOne = MakeStock(std::make_unique<GdiBitmap>(std::move(mono)));
    }
};

Stock& StockObjects() {
    static Stock s;
    return s;
}

// Puts `object` into a DC's selection slot, keeping the selection counts right.
template <class Handle> void Select(Handle& slot, HGDIOBJ object) {
    if (GdiObject* old = GdiLookup(slot))
        --old->selections;
    if (GdiObject* now = GdiLookup(object))
        ++now->selections;
    slot = static_cast<Handle>(object);
}

// The closest of the first `used` entries of `table` (at least one): the entries past the
// picture's colour count are zero filler, not colours of it.
uint8_t Nearest(const std::vector<RGBQUAD>& table, uint32_t used, const uint8_t* rgb) {
    const std::size_t count = std::max<std::size_t>(1, std::min<std::size_t>(used, table.size()));
    int best = 0, bestDistance = 1 << 30;
    for (std::size_t i = 0; i < count; ++i) {
        const int dr = table[i].rgbRed - rgb[0], dg = table[i].rgbGreen - rgb[1],
                  db = table[i].rgbBlue - rgb[2];
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance)
            bestDistance = d, best = static_cast<int>(i);
    }
    return static_cast<uint8_t>(best);
}

uint32_t Pack(uint32_t mask, uint8_t value) {
    if (!mask)
        return 0;
    int shift = 0, width = 0;
    while (!((mask >> shift) & 1))
        ++shift;
    while (shift + width < 32 && ((mask >> (shift + width)) & 1))
        ++width;
    const uint32_t v = width >= 8 ? uint32_t(value) << (width - 8) : uint32_t(value) >> (8 - width);
    return (v << shift) & mask;
}

// Writes `count` RGBA pixels into memory row `row` of `d`, starting at column `x`.
void WriteSpan(DibImage& d, int32_t row, int32_t x, int32_t count, const uint8_t* rgba) {
    uint8_t* dst = d.bits.get() + static_cast<std::size_t>(row) * d.stride;
    for (int32_t i = 0; i < count; ++i) {
        const uint8_t* p = rgba + 4 * i;
        const int32_t col = x + i;
        switch (d.bitCount) {
        case 32:
            if (d.compression == BI_BITFIELDS) {
                uint32_t v =
                    Pack(d.masks[0], p[0]) | Pack(d.masks[1], p[1]) | Pack(d.masks[2], p[2]);
                std::memcpy(dst + 4 * col, &v, 4);
            } else {
                dst[4 * col] = p[2], dst[4 * col + 1] = p[1], dst[4 * col + 2] = p[0];
                dst[4 * col + 3] = 0;
            }
            break;
        case 24:
            dst[3 * col] = p[2], dst[3 * col + 1] = p[1], dst[3 * col + 2] = p[0];
            break;
        case 16: {
            uint16_t v = static_cast<uint16_t>(Pack(d.masks[0], p[0]) | Pack(d.masks[1], p[1]) |
                                               Pack(d.masks[2], p[2]));
            std::memcpy(dst + 2 * col, &v, 2);
            break;
        }
        default: {
            const int bits = d.bitCount, perByte = 8 / bits;
            const int shift = 8 - bits * (col % perByte + 1);
            uint8_t& b = dst[col / perByte];
            const uint8_t mask = static_cast<uint8_t>(((1 << bits) - 1) << shift);
            b = static_cast<uint8_t>((b & ~mask) |
                                     ((Nearest(d.colors, d.colorsUsed, p) << shift) & mask));
        }
        }
    }
}

// Memory row of picture row `y` (0 = top as displayed).
int32_t MemoryRow(const DibImage& d, int32_t y) {
    return d.height > 0 ? d.height - 1 - y : y;
}

} // namespace

int GdiPalette::Describe(int size, void* out) const {
    if (!out)
        return sizeof(WORD);
    if (size < static_cast<int>(sizeof(WORD)))
        return 0;
    WORD count = static_cast<WORD>(entries.size());
    std::memcpy(out, &count, sizeof count);
    return sizeof(WORD);
}

GdiDC::GdiDC() : GdiObject(Kind) {
    Select(bitmap, StockObjects().oneByOne);
    Select(palette, StockObjects().defaultPalette);
    Select(brush, StockObjects().brushes[WHITE_BRUSH]);
}

GdiDC::~GdiDC() {
    Select(bitmap, nullptr);
    Select(palette, nullptr);
    Select(brush, nullptr);
}

void SetWindowBlitter(WindowBlitter blitter) {
    g_blitter = blitter;
}

HDC CreateWindowDC(HWND window) {
    auto dc = std::make_unique<GdiDC>();
    Select(dc->bitmap, nullptr);
    dc->window = window;
    return static_cast<HDC>(GdiInsert(std::move(dc)));
}

} // namespace velvix_platform

using namespace velvix_platform;

extern "C" {

HGDIOBJ WINAPI GetStockObject(int i) {
    if (i >= WHITE_BRUSH && i <= NULL_BRUSH)
        return StockObjects().brushes[i];
    if (i == DEFAULT_PALETTE)
        return StockObjects().defaultPalette;
    return nullptr;
}

HGDIOBJ WINAPI GetCurrentObject(HDC hdc, UINT type) {
    GdiDC* dc = GdiLookupAs<GdiDC>(hdc);
    if (!dc)
        return nullptr;
    switch (type) {
    case OBJ_BITMAP:
        return dc->bitmap;
    case OBJ_PAL:
        return dc->palette;
    case OBJ_BRUSH:
        return dc->brush;
    default:
        return nullptr;
    }
}

HDC WINAPI CreateCompatibleDC(HDC hdc) {
    if (hdc && !GdiLookupAs<GdiDC>(hdc))
        return nullptr;
    return static_cast<HDC>(GdiInsert(std::make_unique<GdiDC>()));
}

BOOL WINAPI DeleteDC(HDC hdc) {
    if (!GdiLookupAs<GdiDC>(hdc))
        return FALSE;
    return GdiRemove(hdc) ? TRUE : FALSE;
}

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h) {
    GdiDC* dc = GdiLookupAs<GdiDC>(hdc);
    GdiObject* object = GdiLookup(h);
    if (!dc || !object)
        return nullptr;
    HGDIOBJ old;
    switch (object->kind()) {
    case GdiKind::Bitmap:
        // A bitmap lives in one DC at a time, and never in a window's.
        if (dc->window || (object->selections > 0 && !object->stock && h != dc->bitmap))
            return nullptr;
        old = dc->bitmap;
        Select(dc->bitmap, h);
        return old;
    case GdiKind::Brush:
        old = dc->brush;
        Select(dc->brush, h);
        return old;
    default: // palettes go through SelectPalette; clipping regions are not supported
        return nullptr;
    }
}

HPALETTE WINAPI SelectPalette(HDC hdc, HPALETTE hPal, BOOL bForceBkgd) {
    (void)bForceBkgd; // one application, no foreground/background distinction to make
    GdiDC* dc = GdiLookupAs<GdiDC>(hdc);
    if (!dc || !GdiLookupAs<GdiPalette>(hPal))
        return nullptr;
    HPALETTE old = dc->palette;
    Select(dc->palette, hPal);
    return old;
}

UINT WINAPI RealizePalette(HDC hdc) {
    GdiDC* dc = GdiLookupAs<GdiDC>(hdc);
    if (!dc)
        return 0;
    // A true-colour screen needs no mapping; report the entries as the platform does.
    GdiPalette* p = GdiLookupAs<GdiPalette>(dc->palette);
    return p && dc->palette != StockObjects().defaultPalette ? static_cast<UINT>(p->entries.size())
                                                             : 0;
}

HPALETTE WINAPI CreatePalette(const LOGPALETTE* plpal) {
    if (!plpal || plpal->palVersion != 0x300 || plpal->palNumEntries == 0)
        return nullptr;
    std::vector<PALETTEENTRY> entries(plpal->palPalEntry,
                                      plpal->palPalEntry + plpal->palNumEntries);
    return static_cast<HPALETTE>(GdiInsert(std::make_unique<GdiPalette>(std::move(entries))));
}

HPALETTE WINAPI CreateHalftonePalette(HDC hdc) {
    (void)hdc;
    // A 6 x 6 x 6 colour cube and a 40-step grey ramp: 256 entries.
    std::vector<PALETTEENTRY> entries;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                entries.push_back({BYTE(r * 51), BYTE(g * 51), BYTE(b * 51), 0});
    for (int i = 0; i < 40; ++i) {
        const BYTE v = static_cast<BYTE>((i * 255) / 39);
        entries.push_back({v, v, v, 0});
    }
    return static_cast<HPALETTE>(GdiInsert(std::make_unique<GdiPalette>(std::move(entries))));
}

UINT WINAPI GetPaletteEntries(HPALETTE hpal, UINT iStart, UINT cEntries,
                              LPPALETTEENTRY pPalEntries) {
    GdiPalette* p = GdiLookupAs<GdiPalette>(hpal);
    if (!p)
        return 0;
    if (!pPalEntries)
        return static_cast<UINT>(p->entries.size());
    if (iStart >= p->entries.size())
        return 0;
    const UINT n = std::min<UINT>(cEntries, static_cast<UINT>(p->entries.size() - iStart));
    std::copy_n(p->entries.begin() + iStart, n, pPalEntries);
    return n;
}

UINT WINAPI GetDIBColorTable(HDC hdc, UINT iStart, UINT cEntries, RGBQUAD* prgbq) {
    GdiDC* dc = GdiLookupAs<GdiDC>(hdc);
    GdiBitmap* bmp = dc ? GdiLookupAs<GdiBitmap>(dc->bitmap) : nullptr;
    if (!bmp || !prgbq || bmp->image.bitCount > 8 || iStart >= bmp->image.colors.size())
        return 0;
    const std::vector<RGBQUAD>& colors = bmp->image.colors;
    const UINT n = std::min<UINT>(cEntries, static_cast<UINT>(colors.size() - iStart));
    std::copy_n(colors.begin() + iStart, n, prgbq);
    return n;
}

BOOL WINAPI BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop) {
    GdiDC* dst = GdiLookupAs<GdiDC>(hdc);
    GdiDC* src = GdiLookupAs<GdiDC>(hdcSrc);
    if (!dst || !src || rop != SRCCOPY || cx < 0 || cy < 0)
        return FALSE;
    GdiBitmap* from = GdiLookupAs<GdiBitmap>(src->bitmap);
    if (!from)
        return FALSE;
    GdiBitmap* to = dst->window ? nullptr : GdiLookupAs<GdiBitmap>(dst->bitmap);
    if (!dst->window && !to)
        return FALSE;
    const DibImage& s = from->image;

    // Clip the rectangle to the source picture and, for bitmaps, to the destination.
    int64_t left = 0, top = 0, right = cx, bottom = cy; // offsets within the rectangle
    left = std::max<int64_t>(left, std::max<int64_t>(-int64_t(x1), to ? -int64_t(x) : INT32_MIN));
    top = std::max<int64_t>(top, std::max<int64_t>(-int64_t(y1), to ? -int64_t(y) : INT32_MIN));
    right = std::min<int64_t>(right, int64_t(s.width) - x1);
    bottom = std::min<int64_t>(bottom, int64_t(s.rows()) - y1);
    if (to) {
        right = std::min<int64_t>(right, int64_t(to->image.width) - x);
        bottom = std::min<int64_t>(bottom, int64_t(to->image.rows()) - y);
    }
    if (right <= left || bottom <= top)
        return TRUE;
    const int32_t w = static_cast<int32_t>(right - left), h = static_cast<int32_t>(bottom - top);

    std::vector<uint8_t> row(static_cast<std::size_t>(s.width) * 4);
    std::vector<uint32_t> window;
    if (!to)
        window.resize(static_cast<std::size_t>(w) * h);
    // Within one picture, a destination below the source would overwrite source rows before
    // they are read: copy bottom to top then. (Each row is converted whole before it is
    // written, so overlap along a row is safe either way.)
    const bool upward = to == from && y > y1;
    for (int32_t k = 0; k < h; ++k) {
        const int32_t j = upward ? h - 1 - k : k;
        const int32_t sy = static_cast<int32_t>(y1 + top + j);
        DibRowToRgba(s, MemoryRow(s, sy), row.data());
        const uint8_t* span = row.data() + 4 * (x1 + left);
        if (to) {
            const int32_t dy = static_cast<int32_t>(y + top + j);
            WriteSpan(to->image, MemoryRow(to->image, dy), static_cast<int32_t>(x + left), w, span);
        } else {
            for (int32_t i = 0; i < w; ++i)
                window[static_cast<std::size_t>(j) * w + i] = (uint32_t(span[4 * i]) << 16) |
                                                              (uint32_t(span[4 * i + 1]) << 8) |
                                                              span[4 * i + 2];
        }
    }
    if (!to && g_blitter)
        g_blitter(dst->window, static_cast<int>(x + left), static_cast<int>(y + top), w, h,
                  window.data(), w * 4);
    return TRUE;
}

} // extern "C"
