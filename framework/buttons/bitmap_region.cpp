// bitmap_region.cpp - BitmapToRegion: a picture's opaque pixels as a region, built row by row
// from half-open runs, one rectangle each, handed to the platform in batches of 2000.
#include <cstring>

#include "framework/buttons/bitmaps.h"

namespace velvix {
namespace {

constexpr DWORD kBatch = 2000;

void EmptyBound(RGNDATAHEADER* h) {
    SetRect(&h->rcBound, 2147483647, 2147483647, 0, 0);
}

// Turns the batch in `data` into a region and ORs it into `result`. False when the platform
// fails; `result` is then left as it was.
bool Flush(RGNDATA* data, DWORD maxRects, HRGN& result) {
    HRGN batch = ExtCreateRegion(nullptr, sizeof(RGNDATAHEADER) + sizeof(RECT) * maxRects, data);
    if (!batch)
        return false;
    if (!result) {
        result = batch;
        return true;
    }
    const bool ok = CombineRgn(result, result, batch, RGN_OR) != ERROR;
    DeleteObject(batch);
    return ok;
}

} // namespace

HRGN BitmapToRegion(const std::string& BmpName, uint32_t TransColor, uint8_t Tolerance) {
    HRGN result = nullptr;
    HPALETTE pal = nullptr;
    HBITMAP picture = LoadBMPFromFile(BmpName, pal);
    if (!picture)
        return nullptr;
    auto releasePicture = [&] {
        DeleteObject(pal);
        DeleteObject(picture);
    };

    HDC target = CreateCompatibleDC(nullptr);
    if (!target) {
        releasePicture();
        return nullptr;
    }
    BITMAP bm = {};
    GetObjectA(picture, sizeof bm, &bm);

    BITMAPINFOHEADER info = {};
    info.biSize = sizeof(BITMAPINFOHEADER);
    info.biWidth = bm.bmWidth;
    info.biHeight = bm.bmHeight;
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(target, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                       &bits, nullptr, 0);
    if (!section) {
        DeleteDC(target);
        releasePicture();
        return nullptr;
    }
    HGDIOBJ oldTarget = SelectObject(target, section);

    // Copy the picture, drawn through its palette, into the 32-bit section.
    HDC source = CreateCompatibleDC(nullptr);
    bool ok = source != nullptr;
    if (ok) {
        HGDIOBJ oldSource = SelectObject(source, picture);
        HPALETTE oldPal = SelectPalette(source, pal, TRUE);
        RealizePalette(source);
        BitBlt(target, 0, 0, bm.bmWidth, bm.bmHeight, source, 0, 0, SRCCOPY);
        SelectPalette(source, oldPal, FALSE);
        SelectObject(source, oldSource);
        DeleteDC(source);
    }

    BITMAP sec = {};
    GetObjectA(section, sizeof sec, &sec);
    while (sec.bmWidthBytes % 4)
        ++sec.bmWidthBytes;

    DWORD maxRects = ALLOC_UNIT;
    HGLOBAL block =
        ok ? GlobalAlloc(GMEM_MOVEABLE, sizeof(RGNDATAHEADER) + sizeof(RECT) * maxRects) : nullptr;
    RGNDATA* data = block ? static_cast<RGNDATA*>(GlobalLock(block)) : nullptr;
    ok = data != nullptr;
    if (ok) {
        data->rdh.dwSize = sizeof(RGNDATAHEADER);
        data->rdh.iType = RDH_RECTANGLES;
        data->rdh.nCount = 0;
        data->rdh.nRgnSize = 0;
        EmptyBound(&data->rdh);

        const uint8_t LR = TransColor & 0xFF, LG = (TransColor >> 8) & 0xFF,
                      LB = (TransColor >> 16) & 0xFF;
        const uint8_t HR = LR + Tolerance > 255 ? 255 : uint8_t(LR + Tolerance);
        const uint8_t HG = LG + Tolerance > 255 ? 255 : uint8_t(LG + Tolerance);
        const uint8_t HB = LB + Tolerance > 255 ? 255 : uint8_t(LB + Tolerance);
        auto transparent = [&](uint32_t px) {
            const uint8_t r = (px >> 16) & 0xFF, g = (px >> 8) & 0xFF, b = px & 0xFF;
            return r >= LR && r <= HR && g >= LG && g <= HG && b >= LB && b <= HB;
        };

        // The section is bottom-up: its last row in memory is the picture's top row.
        const uint8_t* row = static_cast<const uint8_t*>(sec.bmBits) +
                             static_cast<std::size_t>(sec.bmHeight - 1) * sec.bmWidthBytes;
        for (LONG y = 0; ok && y < bm.bmHeight; ++y) {
            const uint32_t* px = reinterpret_cast<const uint32_t*>(row);
            for (LONG x = 0; ok && x < bm.bmWidth;) {
                const LONG x0 = x;
                while (x < bm.bmWidth && !transparent(px[x]))
                    ++x;
                if (x > x0) {
                    if (data->rdh.nCount >= maxRects) {
                        GlobalUnlock(block);
                        maxRects += ALLOC_UNIT;
                        HGLOBAL grown = GlobalReAlloc(
                            block, sizeof(RGNDATAHEADER) + sizeof(RECT) * maxRects, GMEM_MOVEABLE);
                        data = grown ? static_cast<RGNDATA*>(GlobalLock(grown)) : nullptr;
                        if (grown)
                            block = grown;
                        if (!data) {
                            ok = false;
                            break;
                        }
                    }
                    RECT* rects = reinterpret_cast<RECT*>(data->Buffer);
                    SetRect(&rects[data->rdh.nCount], x0, y, x, y + 1);
                    RECT& bound = data->rdh.rcBound;
                    if (x0 < bound.left)
                        bound.left = x0;
                    if (y < bound.top)
                        bound.top = y;
                    if (x > bound.right)
                        bound.right = x;
                    if (y + 1 > bound.bottom)
                        bound.bottom = y + 1;
                    if (++data->rdh.nCount == kBatch) {
                        ok = Flush(data, maxRects, result);
                        data->rdh.nCount = 0;
                        EmptyBound(&data->rdh);
                    }
                }
                ++x; // step over the transparent pixel that ended the run
            }
            row -= sec.bmWidthBytes;
        }
        if (ok)
            ok = Flush(data, maxRects, result); // the last batch, even when it is empty
    }

    if (block) {
        if (data)
            GlobalUnlock(block);
        GlobalFree(block);
    }
    SelectObject(target, oldTarget);
    DeleteObject(section);
    DeleteDC(target);
    releasePicture();
    if (!ok && result) {
        DeleteObject(result);
        result = nullptr;
    }
    return result;
}

} // namespace velvix
