// tga.cpp - the TGA reader. The uncompressed body is read straight into the pixel block in one
// read and its red and blue swapped in place; the run-length body is read in large chunks and
// decoded with plain copy and fill loops. A read that fails on an open file counts as
// a short read, so it gets the message of the point where the data stopped.
#include "framework/textures/tga.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

#include "platform/win32.h"

namespace velvix {

std::FILE* fTGA = nullptr;
TTGAHeader TGAHeader = {};
TTGA TGA = {};
const uint8_t uTGAcompare[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
const uint8_t cTGAcompare[12] = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0};

namespace {

constexpr uint32_t kGL_RGB = 0x1907;
constexpr uint32_t kGL_RGBA = 0x1908;

bool Fail(const char* text, const char* caption = "ERROR") {
    MessageBoxA(nullptr, text, caption, 0);
    return false;
}

void Release(TGATexture& texture) {
    std::free(texture.ImageData);
    texture.ImageData = nullptr;
}

void CloseTGA() {
    if (fTGA)
        std::fclose(fTGA);
    fTGA = nullptr;
}

// Copies `count` pixels from file order (B, G, R [, A]) to R, G, B [, A].
inline void SwizzleCopy(uint8_t* dst, const uint8_t* src, std::size_t count, uint32_t bpp) {
    if (bpp == 4) {
        for (std::size_t i = 0; i < count; ++i) {
            uint32_t v;
            std::memcpy(&v, src + 4 * i, 4);
            v = (v & 0xFF00FF00u) | ((v >> 16) & 0xFFu) | ((v & 0xFFu) << 16);
            std::memcpy(dst + 4 * i, &v, 4);
        }
    } else {
        for (std::size_t i = 0; i < count; ++i) {
            dst[3 * i] = src[3 * i + 2];
            dst[3 * i + 1] = src[3 * i + 1];
            dst[3 * i + 2] = src[3 * i];
        }
    }
}

// Exchanges the first and third byte of `count` pixels in place.
void SwapRedBlue(uint8_t* data, std::size_t count, uint32_t bpp) {
    if (bpp == 4) {
        SwizzleCopy(data, data, count, 4);
        return;
    }
    for (std::size_t i = 0; i < count; ++i) {
        uint8_t t = data[3 * i];
        data[3 * i] = data[3 * i + 2];
        data[3 * i + 2] = t;
    }
}

// Fills `count` pixels with the one file-order pixel at `src`.
inline void FillRun(uint8_t* dst, const uint8_t* src, std::size_t count, uint32_t bpp) {
    uint8_t px[4];
    SwizzleCopy(px, src, 1, bpp);
    if (bpp == 4) {
        uint32_t v;
        std::memcpy(&v, px, 4);
        for (std::size_t i = 0; i < count; ++i)
            std::memcpy(dst + 4 * i, &v, 4);
    } else {
        for (std::size_t i = 0; i < count; ++i) {
            dst[3 * i] = px[0];
            dst[3 * i + 1] = px[1];
            dst[3 * i + 2] = px[2];
        }
    }
}

// The common first steps of both body readers: the information header, its checks and the
// pixel block. False after the step's message.
bool ReadInfoAndAllocate(TGATexture& texture) {
    if (std::fread(TGA.Header, 1, 6, fTGA) < 6)
        return Fail("Could not read info header");
    texture.Width = TGA.Header[0] + 256u * TGA.Header[1];
    texture.Height = TGA.Header[2] + 256u * TGA.Header[3];
    texture.Bpp = TGA.Header[4];
    TGA.Width = texture.Width;
    TGA.Heigh = texture.Height;
    TGA.Bpp = texture.Bpp;
    if (texture.Width == 0 || texture.Height == 0 || (texture.Bpp != 24 && texture.Bpp != 32))
        return Fail("Invalid texture information");
    texture.Typ = texture.Bpp == 24 ? kGL_RGB : kGL_RGBA;
    TGA.BytesPerPixel = texture.Bpp / 8;
    // 65535 x 65535 x 4 does not fit 32 bits: compute wide, refuse what exceeds the limit.
    const uint64_t size = uint64_t(TGA.Width) * TGA.BytesPerPixel * TGA.Heigh;
    TGA.ImageSize = size <= MaxTGAImageSize ? static_cast<uint32_t>(size) : 0;
    texture.ImageData = nullptr;
    if (size > MaxTGAImageSize)
        return Fail("Could not allocate memory for image");
    // Every byte is written before a true result, so the block need not be zeroed here.
    texture.ImageData = static_cast<uint8_t*>(std::malloc(TGA.ImageSize));
    if (!texture.ImageData)
        return Fail("Could not allocate memory for image");
    return true;
}

bool LoadUncompressedTGA(TGATexture& texture, const std::string& filename) {
    (void)filename;
    if (!ReadInfoAndAllocate(texture))
        return false;
    if (std::fread(texture.ImageData, 1, TGA.ImageSize, fTGA) < TGA.ImageSize) {
        Release(texture);
        return Fail("Could not read image data");
    }
    SwapRedBlue(texture.ImageData, std::size_t(texture.Width) * texture.Height, TGA.BytesPerPixel);
    CloseTGA();
    return true;
}

// The run-length body is read through one block of kChunk bytes, refilled as packets use it
// up; a packet (at most 1 + 128 x 4 bytes) never needs more than one refill.
constexpr std::size_t kChunk = 64 * 1024;

struct ChunkReader {
    uint8_t* buffer;
    const uint8_t* p;
    const uint8_t* end;
    bool atEnd = false;

    explicit ChunkReader(uint8_t* block) : buffer(block), p(block), end(block) {}

    // Makes `want` bytes available unless the file ends (or fails) first; the bytes available.
    std::size_t Ensure(std::size_t want) {
        std::size_t have = static_cast<std::size_t>(end - p);
        if (have >= want || atEnd)
            return have;
        std::memmove(buffer, p, have);
        const std::size_t got = std::fread(buffer + have, 1, kChunk - have, fTGA);
        atEnd = got < kChunk - have;
        p = buffer;
        end = buffer + have + got;
        return have + got;
    }
};

bool LoadCompressedTGA(TGATexture& texture, const std::string& filename) {
    (void)filename;
    if (!ReadInfoAndAllocate(texture))
        return false;
    const uint32_t bpp = TGA.BytesPerPixel;
    std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[kChunk]);
    if (!block) {
        Release(texture);
        return Fail("Could not allocate memory for color buffer");
    }
    ChunkReader in(block.get());
    uint8_t* dst = texture.ImageData;
    std::size_t remaining = std::size_t(TGA.Heigh) * TGA.Width;
    const char* error = nullptr;
    while (remaining > 0) {
        if (in.Ensure(1) == 0) {
            error = "Could not read RLE header";
            break;
        }
        const uint8_t header = *in.p++;
        if (header < 128) {
            // Raw packet: pixel i is read, then stored. Whichever of "cut short" and "past the
            // image" comes first in that order decides the message.
            const std::size_t count = header + 1u;
            const std::size_t present = in.Ensure(count * bpp) / bpp;
            std::size_t take = count;
            if (present < take)
                take = present;
            if (remaining < take)
                take = remaining;
            SwizzleCopy(dst, in.p, take, bpp);
            dst += take * bpp;
            in.p += take * bpp;
            remaining -= take;
            if (take < count) {
                error = present == take ? "Could not read image data" : "Too many pixels read";
                break;
            }
        } else {
            const std::size_t count = header - 127u;
            if (in.Ensure(bpp) < bpp) {
                error = "Could not read from file";
                break;
            }
            const std::size_t take = count < remaining ? count : remaining;
            FillRun(dst, in.p, take, bpp);
            dst += take * bpp;
            in.p += bpp;
            remaining -= take;
            if (take < count) {
                error = "Too many pixels read";
                break;
            }
        }
    }
    if (error) {
        Release(texture);
        return Fail(error);
    }
    CloseTGA();
    return true;
}

} // namespace

bool LoadTGA(TGATexture& Texture, const std::string& Filename) {
    CloseTGA();
    // The name goes to the system whole; one with a zero byte inside cannot be opened as
    // given, and cutting it there could open another file.
    std::error_code ec;
    if (Filename.find('\0') == std::string::npos && !std::filesystem::is_directory(Filename, ec))
        fTGA = std::fopen(Filename.c_str(), "rb");
    if (!fTGA)
        return Fail("Could not open texture file");
    if (std::fread(TGAHeader.Header, 1, 12, fTGA) < 12) {
        CloseTGA();
        return Fail("Could not read file header");
    }
    bool ok;
    if (std::memcmp(TGAHeader.Header, uTGAcompare, 12) == 0) {
        ok = LoadUncompressedTGA(Texture, Filename);
    } else if (std::memcmp(TGAHeader.Header, cTGAcompare, 12) == 0) {
        ok = LoadCompressedTGA(Texture, Filename);
    } else {
        CloseTGA();
        return Fail("TGA file be type 2 or type 10", "Invalid Image");
    }
    if (!ok)
        CloseTGA();
    return ok;
}

} // namespace velvix
