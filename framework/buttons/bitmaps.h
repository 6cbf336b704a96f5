// bitmaps.h - the image buttons' picture helpers: a bitmap file loaded with a palette that fits
// it, and a window region covering a picture's non-transparent pixels.
#pragma once

#include <cstdint>
#include <string>

#include "platform/win32.h"

namespace velvix {

// Loads the bitmap file `FileName` as a DIB section and makes a palette for it in `Pal`: the
// picture's own colour table (256 entries, zero past the table) for 8 bits or fewer, a halftone
// palette for deeper pictures. Returns the bitmap (the caller owns it and the palette), or 0
// when the file cannot be loaded; `Pal` is then untouched.
HBITMAP LoadBMPFromFile(const std::string& FileName, HPALETTE& Pal);

// Rectangles per reallocation step of the region-building buffer.
constexpr int ALLOC_UNIT = 100;

// A region of the picture in `BmpName` covering every pixel whose colour is not transparent.
// A pixel is transparent when each channel lies between the channel of `TransColor`
// (0x00BBGGRR) and that value plus `Tolerance` (clamped to 255). Coordinates: (0, 0) is the
// top-left pixel as displayed. Returns a region the caller owns, or 0 when the picture cannot
// be loaded or a step fails (everything made is released first).
HRGN BitmapToRegion(const std::string& BmpName, uint32_t TransColor, uint8_t Tolerance);

} // namespace velvix
