// bmp_decode.h - bitmap file bytes -> device-independent bitmap: a pure function, no I/O, no
// GDI objects, so it can be fuzzed and benchmarked on its own.
//
// Reads the core, info (and its 52/56-byte extensions), V4 and V5 headers; 1, 4, 8, 16, 24 and
// 32 bits; BI_RGB, BI_BITFIELDS, BI_RLE8 and BI_RLE4; bottom-up and top-down rows. The result
// keeps the file's own width, height, depth and row order, rows padded to 4 bytes; run-length
// pictures come out uncompressed at the same depth. Every size, offset and count is checked
// against the buffer before it is used: a bad file yields an error and reads nothing outside
// `data`. Does not read: BI_JPEG/BI_PNG payloads, colour profiles, halftoning hints.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/win32.h"

namespace velvix_platform {

// Largest pixel block a picture may need, in bytes (stride x rows). Checked before allocating.
constexpr uint64_t kMaxDibBytes = 1ull << 30;

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};

// A device-independent bitmap: its description and its pixel memory.
struct DibImage {
    int32_t width = 0;     // pixels per row, > 0
    int32_t height = 0;    // rows; > 0 bottom-up (first row in memory is the bottom), < 0 top-down
    uint16_t bitCount = 0; // 1, 4, 8, 16, 24 or 32
    uint32_t compression = BI_RGB; // of the pixels held: BI_RGB or BI_BITFIELDS, never RLE
    uint32_t masks[4] = {};        // red, green, blue, alpha bits of a pixel (16 and 32 bits only)
    uint32_t colorsUsed = 0;       // colour-table entries the file supplied (8 bits or fewer)
    std::vector<RGBQUAD> colors;   // 2^bitCount entries for 8 bits or fewer, zero past colorsUsed
    uint32_t stride = 0;           // bytes per row, a multiple of 4
    std::unique_ptr<uint8_t[], FreeDeleter> bits; // stride x |height| bytes
    std::size_t bitsSize = 0;

    int32_t rows() const { return height < 0 ? -height : height; }
};

// Bytes per row of a picture `width` pixels wide at `bitCount` bits, padded to 4 bytes.
inline uint64_t DibStride(int64_t width, int bitCount) {
    return ((static_cast<uint64_t>(width) * static_cast<uint64_t>(bitCount) + 31) / 32) * 4;
}

// Decodes the bitmap file held in data[0, size). Null on success (`out` filled); otherwise a
// short reason and `out` left empty.
const char* DecodeBmp(const uint8_t* data, std::size_t size, DibImage* out);

// The same for a file of `fileSize` bytes of which only data[0, size) is at hand; the headers and
// colour table must be in it. When the pixels are not all at hand, uncompressed pixels are left
// to the caller: `*pixelStart` is their file offset, and the caller reads
// min(fileSize - *pixelStart, out->bitsSize) bytes of them into out->bits (the size checks are
// done). Run-length pictures need the whole file: they give kBmpNeedsWholeFile. (Headers and
// colour table always lie within the first 64 KiB of a file this accepts.)
extern const char kBmpNeedsWholeFile[];
const char* DecodeBmpHeaders(const uint8_t* data, std::size_t size, uint64_t fileSize,
                             DibImage* out, uint64_t* pixelStart);

// Allocates the zeroed pixel block and fills the description of a picture, with default masks
// and a zeroed colour table. Null on success, else a reason (bad depth, absurd size, no memory).
const char* DibAllocate(DibImage* out, int32_t width, int32_t height, int bitCount);

// Converts memory row `row` (0 = the first row in memory) to width x 4 bytes R, G, B, A. Pixels
// of 8 bits or fewer take the colour table's colours and alpha 255; 16 and 32 bits go through
// the masks, with alpha 255 when there is no alpha mask.
void DibRowToRgba(const DibImage& image, int32_t row, uint8_t* out);

} // namespace velvix_platform
