// palette_bitmap.cpp - LoadBMPFromFile: a bitmap file as a DIB section with a fitting palette.
#include <cstdlib>

#include "framework/buttons/bitmaps.h"

namespace velvix {

HBITMAP LoadBMPFromFile(const std::string& FileName, HPALETTE& Pal) {
    HBITMAP bitmap =
        static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), FileName.c_str(), IMAGE_BITMAP,
                                        0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (!bitmap)
        return nullptr;
    BITMAP bm = {};
    GetObjectA(bitmap, sizeof bm, &bm);
    const int depth = bm.bmPlanes * bm.bmBitsPixel;
    if (depth <= 8) {
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, bitmap);
        // Entries past the picture's table stay zero (black), never stale memory.
        RGBQUAD RGB[256] = {};
        GetDIBColorTable(dc, 0, 256, RGB);
        LOGPALETTE* block = static_cast<LOGPALETTE*>(std::calloc(1, 4 + 256 * 4));
        if (block) {
            block->palVersion = 0x300;
            block->palNumEntries = 256;
            for (int i = 0; i < 256; ++i) {
                block->palPalEntry[i].peRed = RGB[i].rgbRed;
                block->palPalEntry[i].peGreen = RGB[i].rgbGreen;
                block->palPalEntry[i].peBlue = RGB[i].rgbBlue;
                block->palPalEntry[i].peFlags = 0;
            }
            Pal = CreatePalette(block);
            std::free(block);
        } else {
            Pal = nullptr;
        }
        SelectObject(dc, old);
        DeleteDC(dc);
    } else {
        HDC screen = GetDC(nullptr);
        Pal = CreateHalftonePalette(screen);
        ReleaseDC(nullptr, screen);
    }
    return bitmap;
}

} // namespace velvix
