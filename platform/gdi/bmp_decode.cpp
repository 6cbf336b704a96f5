// bmp_decode.cpp - bitmap file decoding (see bmp_decode.h). All arithmetic on sizes and offsets
// from the file is done in 64 bits, and every read goes through the bounds of the input buffer.
#include "platform/gdi/bmp_decode.h"

#include <cstring>

namespace velvix_platform {

const char kBmpNeedsWholeFile[] = "run-length pictures need the whole file";

namespace {

uint16_t U16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t U32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void DefaultMasks(DibImage* d) {
    if (d->bitCount == 16) {
        d->masks[0] = 0x7C00, d->masks[1] = 0x03E0, d->masks[2] = 0x001F, d->masks[3] = 0;
    } else if (d->bitCount == 32) {
        d->masks[0] = 0xFF0000, d->masks[1] = 0xFF00, d->masks[2] = 0xFF, d->masks[3] = 0;
    }
}

// Writes one palette index at column x of an RLE row (4 or 8 bits); columns outside the
// picture are dropped.
inline void PutIndex(uint8_t* row, int64_t x, int64_t width, int bits, uint8_t value) {
    if (x < 0 || x >= width)
        return;
    if (bits == 8) {
        row[x] = value;
        return;
    }
    uint8_t& b = row[x >> 1];
    if (x & 1)
        b = static_cast<uint8_t>((b & 0xF0) | (value & 0x0F));
    else
        b = static_cast<uint8_t>((b & 0x0F) | (value << 4));
}

// Run-length streams: pairs (count, value) for runs, (0, 0) end of line, (0, 1) end of picture,
// (0, 2, dx, dy) a jump, (0, n >= 3) n literal indices padded to an even byte count. Rows are
// bottom-up. What the stream skips keeps index 0; what it writes outside the picture is dropped.
const char* DecodeRle(const uint8_t* p, const uint8_t* end, DibImage* d) {
    const int bits = d->bitCount;
    const int64_t width = d->width, rows = d->rows();
    int64_t x = 0, y = 0;
    while (y < rows) {
        if (end - p < 2)
            return "run-length stream cut short";
        const uint8_t n = p[0], c = p[1];
        p += 2;
        uint8_t* row = d->bits.get() + static_cast<std::size_t>(y) * d->stride;
        if (n > 0) {
            if (bits == 8) {
                if (x < width) {
                    int64_t count = n < width - x ? n : width - x;
                    std::memset(row + x, c, static_cast<std::size_t>(count));
                }
            } else {
                for (int i = 0; i < n && x + i < width; ++i)
                    PutIndex(row, x + i, width, 4, (i & 1) ? (c & 0x0F) : (c >> 4));
            }
            x += n;
            continue;
        }
        if (c == 0) { // end of line
            x = 0;
            ++y;
        } else if (c == 1) { // end of picture
            return nullptr;
        } else if (c == 2) { // jump right dx and up dy
            if (end - p < 2)
                return "run-length jump cut short";
            x += p[0];
            y += p[1];
            p += 2;
        } else { // c literal indices
            const int64_t bytes = bits == 8 ? c : (c + 1) / 2;
            if (end - p < bytes)
                return "run-length literal cut short";
            if (bits == 8) {
                if (x < width) {
                    int64_t count = c < width - x ? c : width - x;
                    std::memcpy(row + x, p, static_cast<std::size_t>(count));
                }
            } else {
                for (int i = 0; i < c && x + i < width; ++i)
                    PutIndex(row, x + i, width, 4, (i & 1) ? (p[i >> 1] & 0x0F) : (p[i >> 1] >> 4));
            }
            x += c;
            p += bytes;
            if ((bytes & 1) && p < end) // literals are padded to 16 bits
                ++p;
        }
    }
    return nullptr; // the stream went past the last row: the rest is ignored
}

} // namespace

const char* DibAllocate(DibImage* d, int32_t width, int32_t height, int bitCount) {
    *d = DibImage();
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
        bitCount != 32)
        return "unsupported bit count";
    if (width <= 0 || height == 0 || height == INT32_MIN)
        return "bad dimensions";
    const uint64_t rows = height < 0 ? -static_cast<int64_t>(height) : height;
    const uint64_t stride = DibStride(width, bitCount);
    // Bound the total, not each axis: 3000000 x 2000000 must not pass as two sane numbers.
    if (stride > kMaxDibBytes || rows > kMaxDibBytes / stride)
        return "picture too large";
    const std::size_t total = static_cast<std::size_t>(stride * rows);
    d->bits.reset(static_cast<uint8_t*>(std::calloc(total, 1)));
    if (!d->bits)
        return "out of memory";
    d->bitsSize = total;
    d->width = width;
    d->height = height;
    d->bitCount = static_cast<uint16_t>(bitCount);
    d->stride = static_cast<uint32_t>(stride);
    DefaultMasks(d);
    if (bitCount <= 8)
        d->colors.assign(std::size_t(1) << bitCount, RGBQUAD{0, 0, 0, 0});
    return nullptr;
}

namespace {

// Decodes a file of `fileBytes` bytes of which data[0, size) is at hand. With `pixelStartOut`
// set and only part of the file at hand, uncompressed pixels are left to the caller.
const char* Decode(const uint8_t* data, std::size_t size, uint64_t fileBytes, DibImage* out,
                   uint64_t* pixelStartOut) {
    *out = DibImage();
    if (!data || size < 14 + 4)
        return "too short for the headers";
    if (data[0] != 'B' || data[1] != 'M')
        return "no BM signature";
    const uint64_t bfSize = U32(data + 2);
    const uint64_t offBits = U32(data + 10);
    if (bfSize > fileBytes)
        return "file shorter than its header says";
    const uint64_t headerSize = U32(data + 14);
    if (headerSize != 12 && headerSize != 40 && headerSize != 52 && headerSize != 56 &&
        headerSize != 108 && headerSize != 124)
        return "unknown information header";
    if (14 + headerSize > size)
        return "information header cut short";
    const uint8_t* h = data + 14;

    int64_t width, height;
    unsigned planes, bitCount;
    uint32_t compression = BI_RGB, sizeImage = 0, clrUsed = 0;
    uint32_t masks[4] = {};
    uint64_t tableStart = 14 + headerSize, entrySize = 4;
    if (headerSize == 12) {
        width = U16(h + 4);
        height = U16(h + 6);
        planes = U16(h + 8);
        bitCount = U16(h + 10);
        entrySize = 3;
        if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24)
            return "unsupported bit count";
    } else {
        width = static_cast<int32_t>(U32(h + 4));
        height = static_cast<int32_t>(U32(h + 8));
        planes = U16(h + 12);
        bitCount = U16(h + 14);
        compression = U32(h + 16);
        sizeImage = U32(h + 20);
        clrUsed = U32(h + 32);
        if (headerSize >= 52)
            masks[0] = U32(h + 40), masks[1] = U32(h + 44), masks[2] = U32(h + 48);
        if (headerSize >= 56)
            masks[3] = U32(h + 52);
        if (compression == BI_BITFIELDS && headerSize == 40) { // three masks follow the header
            if (tableStart + 12 > size)
                return "colour masks cut short";
            masks[0] = U32(data + tableStart), masks[1] = U32(data + tableStart + 4),
            masks[2] = U32(data + tableStart + 8);
            tableStart += 12;
        }
    }
    if (planes != 1)
        return "planes other than 1";
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
        bitCount != 32)
        return "unsupported bit count";
    if (width <= 0 || height == 0 || height == INT32_MIN)
        return "bad dimensions";
    switch (compression) {
    case BI_RGB:
        break;
    case BI_RLE8:
    case BI_RLE4:
        if (bitCount != (compression == BI_RLE8 ? 8u : 4u))
            return "run-length coding at the wrong depth";
        if (height < 0)
            return "run-length pictures cannot be top-down";
        break;
    case BI_BITFIELDS:
        if (bitCount != 16 && bitCount != 32)
            return "bit fields at the wrong depth";
        if ((masks[0] | masks[1] | masks[2]) == 0)
            return "empty colour masks";
        break;
    default:
        return "unsupported compression";
    }

    // Where the colour table ends and the pixels start: as many entries as the file declares
    // (all of them when it says 0), cut at the pixel offset when that comes earlier.
    uint64_t tableEnd = tableStart, entries = 0;
    if (bitCount <= 8) {
        const uint64_t maxEntries = 1ull << bitCount;
        if (clrUsed > maxEntries)
            return "more colours than the depth can index";
        entries = clrUsed == 0 ? maxEntries : clrUsed;
        if (offBits >= tableStart && offBits < tableStart + entries * entrySize)
            entries = (offBits - tableStart) / entrySize;
        tableEnd = tableStart + entries * entrySize;
        if (tableEnd > size)
            return "colour table cut short";
    }
    const uint64_t pixelStart = offBits ? offBits : tableEnd;
    if (pixelStart < tableStart || pixelStart > fileBytes)
        return "pixel offset outside the file";
    const uint64_t available = fileBytes - pixelStart;
    if (sizeImage != 0 && sizeImage > available)
        return "pixel data shorter than the header says";

    // Uncompressed rows are stored exactly as the section keeps them; the last may come without
    // its padding. The file must hold them all before a block is allocated for them, or a few
    // header bytes could claim a gigabyte. (Written as a division, so no product overflows.)
    const bool rle = compression == BI_RLE8 || compression == BI_RLE4;
    if (!rle) {
        const uint64_t rows = static_cast<uint64_t>(height < 0 ? -height : height);
        const uint64_t stride = DibStride(width, static_cast<int>(bitCount));
        const uint64_t rowBytes = (static_cast<uint64_t>(width) * bitCount + 7) / 8;
        if (available < rowBytes || (available - rowBytes) / stride < rows - 1)
            return "pixel data cut short";
    }

    const char* why = DibAllocate(out, static_cast<int32_t>(width), static_cast<int32_t>(height),
                                  static_cast<int>(bitCount));
    if (why)
        return why;
    if (compression == BI_BITFIELDS) {
        out->compression = BI_BITFIELDS;
        std::memcpy(out->masks, masks, sizeof masks);
    }
    // The table entries past the file's stay zero.
    for (uint64_t i = 0; i < entries; ++i) {
        const uint8_t* e = data + tableStart + i * entrySize;
        out->colors[i] = RGBQUAD{e[0], e[1], e[2], 0};
    }
    out->colorsUsed = static_cast<uint32_t>(entries);

    const bool partial = size < fileBytes;
    if (rle) {
        if (partial) {
            *out = DibImage();
            return kBmpNeedsWholeFile;
        }
        const uint64_t streamSize = sizeImage ? sizeImage : available;
        why = DecodeRle(data + pixelStart, data + pixelStart + streamSize, out);
        if (why)
            *out = DibImage();
        return why;
    }

    // Uncompressed: one copy of the rows, whose presence was checked above.
    if (partial) {
        if (!pixelStartOut) {
            *out = DibImage();
            return "pixel data cut short";
        }
        *pixelStartOut = pixelStart;
        return nullptr;
    }
    const uint64_t copy = available < out->bitsSize ? available : out->bitsSize;
    std::memcpy(out->bits.get(), data + pixelStart, static_cast<std::size_t>(copy));
    return nullptr;
}

} // namespace

const char* DecodeBmp(const uint8_t* data, std::size_t size, DibImage* out) {
    return Decode(data, size, size, out, nullptr);
}

const char* DecodeBmpHeaders(const uint8_t* data, std::size_t size, uint64_t fileSize,
                             DibImage* out, uint64_t* pixelStart) {
    if (size > fileSize) {
        *out = DibImage();
        return "more bytes than the file holds";
    }
    return Decode(data, size, fileSize, out, pixelStart);
}

namespace {

// Spreads the bits of `value` selected by `mask` to 8 bits, repeating the top bits into the
// low ones, so full scale maps to 255.
struct MaskChannel {
    int shift = 0, width = 0;
    explicit MaskChannel(uint32_t mask) {
        if (!mask)
            return;
        while (!(mask & 1))
            mask >>= 1, ++shift;
        while (mask & 1)
            mask >>= 1, ++width;
    }
    uint8_t Get(uint32_t pixel, uint8_t absent) const {
        if (width == 0)
            return absent;
        uint32_t v = (pixel >> shift) & ((width >= 32) ? 0xFFFFFFFFu : ((1u << width) - 1));
        if (width >= 8)
            return static_cast<uint8_t>(v >> (width - 8));
        uint32_t out = 0;
        for (int filled = 0; filled < 8; filled += width)
            out = (out << width) | v;
        int total = ((8 + width - 1) / width) * width;
        return static_cast<uint8_t>(out >> (total - 8));
    }
};

} // namespace

void DibRowToRgba(const DibImage& d, int32_t row, uint8_t* out) {
    const uint8_t* src = d.bits.get() + static_cast<std::size_t>(row) * d.stride;
    const int32_t w = d.width;
    if (d.bitCount <= 8) {
        const int bits = d.bitCount, perByte = 8 / bits, mask = (1 << bits) - 1;
        for (int32_t x = 0; x < w; ++x) {
            int shift = 8 - bits * (x % perByte + 1);
            const RGBQUAD& c = d.colors[(src[x / perByte] >> shift) & mask];
            out[4 * x] = c.rgbRed, out[4 * x + 1] = c.rgbGreen, out[4 * x + 2] = c.rgbBlue;
            out[4 * x + 3] = 255;
        }
        return;
    }
    if (d.bitCount == 24) {
        for (int32_t x = 0; x < w; ++x) {
            out[4 * x] = src[3 * x + 2], out[4 * x + 1] = src[3 * x + 1];
            out[4 * x + 2] = src[3 * x], out[4 * x + 3] = 255;
        }
        return;
    }
    const MaskChannel r(d.masks[0]), g(d.masks[1]), b(d.masks[2]), a(d.masks[3]);
    for (int32_t x = 0; x < w; ++x) {
        uint32_t px = d.bitCount == 16 ? U16(src + 2 * x) : U32(src + 4 * x);
        out[4 * x] = r.Get(px, 0), out[4 * x + 1] = g.Get(px, 0), out[4 * x + 2] = b.Get(px, 0);
        out[4 * x + 3] = a.Get(px, 255);
    }
}

} // namespace velvix_platform
