// bmp_slots.h - the table of BMP texture slots 0..500: a 24- or 32-bit bitmap file becomes a
// texture in a numbered slot, bound by number while drawing. The pixels go to OpenGL straight
// from the platform's DIB section; other depths leave the slot with a texture that has no image.
#pragma once

#include <cstdint>

#include "framework/core/range_array.h"

namespace velvix {

// OpenGL texture names; 0 until a slot's first load.
extern RangeArray<uint32_t, 0, 500> TextureID2;

// Bits per pixel of a bitmap file, from its headers; 0 when the name does not exist, is a
// directory, cannot be opened, does not start with "BM", ends inside its headers or has the
// 12-byte core header.
int32_t GetBMPDepth(const char* BMPFile);

// Exchanges the first and third byte of each of `Size` consecutive 3-byte groups at `Data`.
void SwapRGB(uint8_t* Data, int32_t Size);

// Builds the mipmap chain of the bound texture: 24 bits as RGB, 32 as BGRA; other depths
// nothing.
void AddMipmapsTexture(int32_t Format, int32_t Width, int32_t Height, const uint8_t* Bits);

// Loads `BMPFile` into slot `Num`. Every call gives the slot a new texture name with the
// framework's filters and repeat wrapping; the image is uploaded for 24 and 32 bits. Leaves
// GL_TEXTURE_2D enabled, the new texture bound, unpack alignment 4 and row length and skips 0.
void TextureLoadID(const char* BMPFile, int32_t Num);

// Binds slot `Num`'s texture to GL_TEXTURE_2D (name 0 for a slot never loaded).
void TextureSelectID(int32_t Num);

} // namespace velvix
