// x11_cursor.cpp - cursors and icons: the standard IDC_ shapes as X cursors, IDI_ icons as
// handles, and cursor/icon files (.cur, .ico with uncompressed bitmaps) read by us, every size
// checked before anything is allocated. PNG-compressed icon images are not read (0).
#include <X11/Xcursor/Xcursor.h>
#include <X11/cursorfont.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

#include "platform/x11/x11_internal.h"

namespace velvix::x11 {
namespace {

struct CursorObject {
    bool font = false; // a standard cursor: `shape` of the X cursor font
    unsigned shape = 0;
    std::vector<uint32_t> argb; // file cursors: the picture
    int width = 0, height = 0, hotX = 0, hotY = 0;
    ::Cursor xcursor = 0; // made on first use
};

core::HandleTable<CursorObject>& Cursors() {
    static core::HandleTable<CursorObject> table(core::kCursorHandle);
    return table;
}

HCURSOR Add(std::unique_ptr<CursorObject> c) {
    return core::ToHandle<HCURSOR>(Cursors().Add(std::move(c)));
}

uint32_t U32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t U16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}

// Decodes the first image of a .cur / .ico file. False for anything malformed.
bool DecodeCursorFile(const std::vector<uint8_t>& f, CursorObject* out) {
    if (f.size() < 6 + 16 || U16(&f[0]) != 0 || (U16(&f[2]) != 1 && U16(&f[2]) != 2) ||
        U16(&f[4]) == 0)
        return false;
    const bool isCursor = U16(&f[2]) == 2;
    const uint8_t* e = &f[6];
    const uint64_t size = U32(e + 8), offset = U32(e + 12);
    if (offset + size > f.size() || size < 40)
        return false;
    const uint8_t* h = &f[offset];
    if (U32(h) != 40)
        return false; // PNG images and other headers are not read
    const int32_t width = int32_t(U32(h + 4)), height2 = int32_t(U32(h + 8));
    const unsigned bits = U16(h + 14);
    if (width <= 0 || width > 256 || height2 <= 0 || height2 > 512 || (height2 & 1) ||
        U32(h + 16) != 0)
        return false;
    const int height = height2 / 2;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        return false;
    const uint64_t colors = bits <= 8 ? (U32(h + 32) ? U32(h + 32) : 1u << bits) : 0;
    if (colors > 256)
        return false;
    const uint64_t xorStride = ((uint64_t(width) * bits + 31) / 32) * 4;
    const uint64_t andStride = ((uint64_t(width) + 31) / 32) * 4;
    const uint64_t need = 40 + colors * 4 + xorStride * height + andStride * height;
    if (need > size)
        return false;
    const uint8_t* table = h + 40;
    const uint8_t* xorBits = table + colors * 4;
    const uint8_t* andBits = xorBits + xorStride * height;
    out->width = width, out->height = height;
    out->hotX = isCursor ? U16(e + 4) : width / 2;
    out->hotY = isCursor ? U16(e + 6) : height / 2;
    if (out->hotX >= width)
        out->hotX = width - 1;
    if (out->hotY >= height)
        out->hotY = height - 1;
    out->argb.assign(size_t(width) * height, 0);
    // A 32-bit image with any alpha at all is drawn by its alpha alone; one without (an old
    // writer's) by its mask. That is known only after the whole image has been looked at.
    bool anyAlpha = false;
    if (bits == 32)
        for (int y = 0; y < height && !anyAlpha; ++y)
            for (int x = 0; x < width && !anyAlpha; ++x)
                anyAlpha = (U32(xorBits + xorStride * y + 4 * x) >> 24) != 0;
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = xorBits + xorStride * (height - 1 - y); // bottom-up
        const uint8_t* mask = andBits + andStride * (height - 1 - y);
        for (int x = 0; x < width; ++x) {
            uint32_t px;
            if (bits == 32) {
                px = U32(row + 4 * x);
            } else if (bits == 24) {
                px = uint32_t(row[3 * x]) | uint32_t(row[3 * x + 1]) << 8 |
                     uint32_t(row[3 * x + 2]) << 16;
            } else {
                const unsigned perByte = 8 / bits, shift = 8 - bits * (x % perByte + 1);
                const unsigned index = (row[x / perByte] >> shift) & ((1u << bits) - 1);
                const uint8_t* c = table + 4 * (index < colors ? index : 0);
                px = uint32_t(c[0]) | uint32_t(c[1]) << 8 | uint32_t(c[2]) << 16;
            }
            const bool transparent = (mask[x / 8] >> (7 - x % 8)) & 1;
            if (bits != 32 || !anyAlpha)
                px = transparent ? 0 : (px & 0xFFFFFF) | 0xFF000000u;
            out->argb[size_t(y) * width + x] = px;
        }
    }
    return true;
}

// The X cursor-font shape of a standard cursor; kNoShape for other names. (XC_X_cursor, which
// IDC_NO uses, is shape 0 itself.)
constexpr unsigned kNoShape = ~0u;
unsigned ShapeOf(LPCSTR name) {
    if (!IS_INTRESOURCE(name))
        return kNoShape;
    switch (LOWORD(name)) {
    case 32512:
        return XC_left_ptr;
    case 32513:
        return XC_xterm;
    case 32514:
        return XC_watch;
    case 32515:
        return XC_crosshair;
    case 32516:
        return XC_center_ptr;
    case 32640:
        return XC_fleur;
    case 32641:
        return XC_icon;
    case 32642:
        return XC_bottom_right_corner;
    case 32643:
        return XC_bottom_left_corner;
    case 32644:
        return XC_sb_h_double_arrow;
    case 32645:
        return XC_sb_v_double_arrow;
    case 32646:
        return XC_fleur;
    case 32648:
        return XC_X_cursor;
    case 32649:
        return XC_hand2;
    case 32650:
        return XC_watch;
    case 32651:
        return XC_question_arrow;
    default:
        return kNoShape;
    }
}

} // namespace

void ApplyCursor(::Window xid, HCURSOR handle) {
    Connection* c = Conn();
    CursorObject* cur = Cursors().Get(handle);
    if (!c || !cur)
        return;
    if (!cur->xcursor) {
        if (cur->font) {
            cur->xcursor = XCreateFontCursor(c->display, cur->shape);
        } else if (!cur->argb.empty()) {
            XcursorImage* img = XcursorImageCreate(cur->width, cur->height);
            if (!img)
                return;
            img->xhot = unsigned(cur->hotX), img->yhot = unsigned(cur->hotY);
            std::memcpy(img->pixels, cur->argb.data(), cur->argb.size() * 4);
            cur->xcursor = XcursorImageLoadCursor(c->display, img);
            XcursorImageDestroy(img);
        }
    }
    if (cur->xcursor)
        XDefineCursor(c->display, xid, cur->xcursor);
}

} // namespace velvix::x11

using namespace velvix;

extern "C" {

HCURSOR WINAPI LoadCursorA(HINSTANCE, LPCSTR name) {
    const unsigned shape = x11::ShapeOf(name);
    if (shape == x11::kNoShape)
        return nullptr; // no cursor resources in this program but the standard ones
    // One handle per standard cursor, as the platform's shared cursors.
    static std::map<WORD, HCURSOR> cache;
    HCURSOR& h = cache[LOWORD(name)];
    if (!x11::Cursors().Get(h)) {
        auto c = std::make_unique<x11::CursorObject>();
        c->font = true;
        c->shape = shape;
        h = x11::Add(std::move(c));
    }
    return h;
}

HICON WINAPI LoadIconA(HINSTANCE, LPCSTR name) {
    if (!IS_INTRESOURCE(name) || LOWORD(name) < 32512 || LOWORD(name) > 32517)
        return nullptr;
    static HICON cache[6] = {};
    HICON& h = cache[LOWORD(name) - 32512];
    if (!x11::Cursors().Get(h))
        h = x11::Add(std::make_unique<x11::CursorObject>());
    return h;
}

HCURSOR WINAPI LoadCursorFromFileA(LPCSTR file) {
    if (!file || !*file)
        return nullptr;
    std::FILE* f = std::fopen(file, "rb");
    if (!f)
        return nullptr;
    std::vector<uint8_t> bytes;
    uint8_t buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0 && bytes.size() < (1u << 20))
        bytes.insert(bytes.end(), buf, buf + n);
    std::fclose(f);
    auto c = std::make_unique<x11::CursorObject>();
    if (bytes.size() >= (1u << 20) || !x11::DecodeCursorFile(bytes, c.get()))
        return nullptr;
    return x11::Add(std::move(c));
}

} // extern "C"
