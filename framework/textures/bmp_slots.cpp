// bmp_slots.cpp - BMP texture slots. The file is probed for its depth here and loaded by the
// platform (LoadImageA); the loaded bitmap is released once OpenGL has its copy.
#include "framework/textures/bmp_slots.h"

#include <cstdio>
#include <cstring>
#include <vector>
#include <filesystem>
#include <system_error>

#include "framework/textures/tga_slots.h"
#include "framework/window/state.h"
#include "platform/win32.h"

// After win32.h, whose empty calling-convention macros GL would otherwise redefine.
#include <GL/gl.h>
#include <GL/glu.h>

#ifndef GL_BGRA_EXT
#define GL_BGRA_EXT 0x80E1
#endif

namespace velvix {

RangeArray<uint32_t, 0, 500> TextureID2 = {};

int32_t GetBMPDepth(const char* BMPFile) {
    std::error_code ec;
    if (!BMPFile || !std::filesystem::exists(BMPFile, ec) ||
        std::filesystem::is_directory(BMPFile, ec))
        return 0;
    std::FILE* file = std::fopen(BMPFile, "rb");
    if (!file)
        return 0;
    uint8_t headers[14 + 40];
    const std::size_t got = std::fread(headers, 1, sizeof headers, file);
    std::fclose(file);
    if (got < 14 || headers[0] != 'B' || headers[1] != 'M')
        return 0;
    if (got < sizeof headers)
        return 0;
    const uint32_t biSize = headers[14] | headers[15] << 8 | headers[16] << 16 |
                            static_cast<uint32_t>(headers[17]) << 24;
    if (biSize == 12)
        return 0;
    return headers[28] | headers[29] << 8;
}

void SwapRGB(uint8_t* Data, int32_t Size) {
    for (int32_t k = 0; k < Size; ++k) {
        uint8_t t = Data[3 * k];
        Data[3 * k] = Data[3 * k + 2];
        Data[3 * k + 2] = t;
    }
}

void AddMipmapsTexture(int32_t Format, int32_t Width, int32_t Height, const uint8_t* Bits) {
    if (Format == 24) {
        // GLU uploads the levels it makes with the caller's unpack state, but lays them out
        // with no row padding: under alignment 4 a level of 2 or 1 pixels per row is read
        // skewed and past GLU's own buffer. So the source rows, located by the current unpack
        // state, go to GLU packed, under alignment 1, and the state is given back afterwards.
        if (Width <= 0 || Height <= 0 || !Bits)
            return;
        GLint alignment = 4, rowLength = 0, skipRows = 0, skipPixels = 0;
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
        glGetIntegerv(GL_UNPACK_ROW_LENGTH, &rowLength);
        glGetIntegerv(GL_UNPACK_SKIP_ROWS, &skipRows);
        glGetIntegerv(GL_UNPACK_SKIP_PIXELS, &skipPixels);
        const std::size_t packed = std::size_t(Width) * 3;
        const std::size_t row = std::size_t(rowLength > 0 ? rowLength : Width) * 3;
        const std::size_t align = alignment > 0 ? std::size_t(alignment) : 1;
        const std::size_t stride = (row + align - 1) / align * align;
        const uint8_t* first = Bits + std::size_t(skipRows) * stride + std::size_t(skipPixels) * 3;
        std::vector<uint8_t> copy;
        if (stride != packed) {
            copy.resize(packed * std::size_t(Height));
            for (int32_t y = 0; y < Height; ++y)
                std::memcpy(&copy[std::size_t(y) * packed], first + std::size_t(y) * stride,
                            packed);
            first = copy.data();
        }
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
        glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
        glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
        gluBuild2DMipmaps(GL_TEXTURE_2D, 3, Width, Height, GL_RGB, GL_UNSIGNED_BYTE, first);
        glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, rowLength);
        glPixelStorei(GL_UNPACK_SKIP_ROWS, skipRows);
        glPixelStorei(GL_UNPACK_SKIP_PIXELS, skipPixels);
    } else if (Format == 32)
        gluBuild2DMipmaps(GL_TEXTURE_2D, 4, Width, Height, GL_BGRA_EXT, GL_UNSIGNED_BYTE, Bits);
}

void TextureLoadID(const char* BMPFile, int32_t Num) {
    const int32_t Format = GetBMPDepth(BMPFile);
    HANDLE bitmap = LoadImageA(GetModuleHandleA(nullptr), BMPFile, IMAGE_BITMAP, 0, 0,
                               LR_LOADFROMFILE | LR_LOADTRANSPARENT | LR_CREATEDIBSECTION);
    BITMAP SBitmap = {};
    // Pixels are read only from a bitmap that really loaded, with the depth the probe saw and
    // no more than the limit in pixels.
    const bool loaded = bitmap && GetObjectA(bitmap, sizeof SBitmap, &SBitmap) != 0 &&
                        SBitmap.bmBits && SBitmap.bmBitsPixel == Format && SBitmap.bmWidth > 0 &&
                        SBitmap.bmHeight > 0 &&
                        int64_t(SBitmap.bmWidth) * SBitmap.bmHeight <= 2147483647;
    uint8_t* bits = loaded ? static_cast<uint8_t*>(SBitmap.bmBits) : nullptr;
    if (bits && Format == 24) {
        // Rows are padded to 4 bytes: swap each row's pixels, never the padding.
        for (LONG row = 0; row < SBitmap.bmHeight; ++row)
            SwapRGB(bits + std::size_t(row) * SBitmap.bmWidthBytes, SBitmap.bmWidth);
    }
    glEnable(GL_TEXTURE_2D);
    GLuint name = 0;
    glGenTextures(1, &name);
    uint32_t& slot = TextureID2[Num];
    slot = name;
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_MIN_FILTER);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_MAG_FILTER);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    if (bits) {
        if (Format == 24)
            glTexImage2D(GL_TEXTURE_2D, 0, 3, SBitmap.bmWidth, SBitmap.bmHeight, 0, GL_RGB,
                         GL_UNSIGNED_BYTE, bits);
        else if (Format == 32)
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, SBitmap.bmWidth, SBitmap.bmHeight, 0,
                         GL_BGRA_EXT, GL_UNSIGNED_BYTE, bits);
        if (IsMipmapFilter(GL_MIN_FILTER))
            AddMipmapsTexture(Format, SBitmap.bmWidth, SBitmap.bmHeight, bits);
    }
    if (bitmap)
        DeleteObject(bitmap);
}

void TextureSelectID(int32_t Num) {
    glBindTexture(GL_TEXTURE_2D, TextureID2[Num]);
}

} // namespace velvix
