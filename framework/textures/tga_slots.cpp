// tga_slots.cpp - TGA texture slots.
#include "framework/textures/tga_slots.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "framework/window/state.h"

// After win32.h, whose empty calling-convention macros GL would otherwise redefine.
#include <GL/gl.h>
#include <GL/glu.h>

namespace velvix {

RangeArray<TGATexture, 0, 200> TextureTGA2 = {};

bool IsMipmapFilter(int32_t filter) {
    return filter == GL_NEAREST_MIPMAP_NEAREST || filter == GL_LINEAR_MIPMAP_NEAREST ||
           filter == GL_NEAREST_MIPMAP_LINEAR || filter == GL_LINEAR_MIPMAP_LINEAR;
}

void TextureLoadTGAID(const std::string& TGAFile, int32_t Num) {
    std::error_code ec;
    if (!std::filesystem::exists(TGAFile, ec) || std::filesystem::is_directory(TGAFile, ec))
        return;
    // One reference for the whole load: a slot number outside the table lands on the table's
    // spare entry, which is reset on every access.
    TGATexture& slot = TextureTGA2[Num];
    const uint32_t previous = slot.TexID;
    if (!LoadTGA(slot, TGAFile)) {
        slot.TexID = previous;
        return;
    }
    glEnable(GL_TEXTURE_2D);
    GLuint name = 0;
    glGenTextures(1, &name);
    slot.TexID = name;
    glBindTexture(GL_TEXTURE_2D, slot.TexID);
    // Rows are packed with no padding; 24-bit rows need not be a multiple of 4 bytes, so read
    // them byte-aligned, from the start of the block with no row length or skips of the
    // caller's (they would send the upload and the mipmap build past the block's end), and
    // give the caller's unpack state back afterwards.
    GLint alignment = 4, rowLength = 0, skipRows = 0, skipPixels = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glGetIntegerv(GL_UNPACK_ROW_LENGTH, &rowLength);
    glGetIntegerv(GL_UNPACK_SKIP_ROWS, &skipRows);
    glGetIntegerv(GL_UNPACK_SKIP_PIXELS, &skipPixels);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    const GLint components = static_cast<GLint>(slot.Bpp / 8);
    glTexImage2D(GL_TEXTURE_2D, 0, components, slot.Width, slot.Height, 0, slot.Typ,
                 GL_UNSIGNED_BYTE, slot.ImageData);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_MIN_FILTER);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_MAG_FILTER);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    if (IsMipmapFilter(GL_MIN_FILTER))
        gluBuild2DMipmaps(GL_TEXTURE_2D, components, slot.Width, slot.Height, slot.Typ,
                          GL_UNSIGNED_BYTE, slot.ImageData);
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, rowLength);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, skipRows);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, skipPixels);
    std::free(slot.ImageData);
    slot.ImageData = nullptr;
}

void TextureTGASelectID(int32_t Num) {
    glBindTexture(GL_TEXTURE_2D, TextureTGA2[Num].TexID);
}

} // namespace velvix
