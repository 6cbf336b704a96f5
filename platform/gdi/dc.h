// dc.h - device contexts and palettes of the GDI table.
//
// A memory DC (CreateCompatibleDC) holds one selected bitmap, palette and brush; drawing into it
// means drawing into the selected bitmap, which is always a DIB section here. Window DCs belong
// to the windowing side: it registers a GdiDC with `window` set and supplies the code that puts
// pixels on the window (SetWindowBlitter). Colour depth of the "screen" is 24 bits.
#pragma once

#include <vector>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/objects.h"

namespace velvix_platform {

class GdiPalette : public GdiObject {
public:
    static constexpr GdiKind Kind = GdiKind::Palette;
    explicit GdiPalette(std::vector<PALETTEENTRY> e) : GdiObject(Kind), entries(std::move(e)) {}
    // GetObjectA on a palette: the number of entries, as a WORD.
    int Describe(int size, void* out) const override;
    std::vector<PALETTEENTRY> entries;
};

class GdiBrush : public GdiObject {
public:
    static constexpr GdiKind Kind = GdiKind::Brush;
    GdiBrush(bool hollow, COLORREF c) : GdiObject(Kind), null(hollow), color(c) {}
    bool null;
    COLORREF color;
};

class GdiDC : public GdiObject {
public:
    static constexpr GdiKind Kind = GdiKind::DC;
    GdiDC();
    ~GdiDC() override;
    HBITMAP bitmap = nullptr;   // selected bitmap (a memory DC starts with a 1 x 1 stock one)
    HPALETTE palette = nullptr; // selected palette (the stock default palette at first)
    HBRUSH brush = nullptr;
    HWND window = nullptr; // set for window DCs; their pixels go through the blitter
};

// Puts `width` x `height` pixels (32-bit 0x00RRGGBB words, rows top-down, `stride` bytes apart)
// on window `window` at client position (x, y). Installed by the windowing backend.
typedef void (*WindowBlitter)(HWND window, int x, int y, int width, int height,
                              const uint32_t* pixels, int stride);
void SetWindowBlitter(WindowBlitter blitter);

// Makes a DC object for a window (used by the windowing side for GetDC / BeginPaint).
HDC CreateWindowDC(HWND window);

} // namespace velvix_platform
