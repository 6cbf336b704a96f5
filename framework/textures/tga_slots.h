// tga_slots.h - the table of TGA texture slots 0..200: load a TGA file into a slot once, bind
// the slot's texture by number while drawing. Needs the framework's rendering context current.
#pragma once

#include <cstdint>
#include <string>

#include "framework/core/range_array.h"
#include "framework/textures/tga.h"

namespace velvix {

// Slot k holds texture name 0 until its first successful load; a loaded slot keeps the image's
// size, depth and format but no pixel memory.
extern RangeArray<TGATexture, 0, 200> TextureTGA2;

// Loads `TGAFile` into slot `Num`: silent when no such file exists (directories do not count),
// the reader's message and no change when the file is refused; otherwise a new texture name,
// the framework's filters, repeat wrapping, and mipmaps when GL_MIN_FILTER asks for them.
// Leaves GL_TEXTURE_2D enabled and the new texture bound.
void TextureLoadTGAID(const std::string& TGAFile, int32_t Num);

// Binds slot `Num`'s texture to GL_TEXTURE_2D (name 0 for a slot never loaded).
void TextureTGASelectID(int32_t Num);

// True for the four minification filters that use mipmaps.
bool IsMipmapFilter(int32_t filter);

} // namespace velvix
