// bitmap.cpp - LoadImageA for bitmap files, CreateDIBSection and the BITMAP record of a bitmap.
// LoadImageA loads from files only (LR_LOADFROMFILE): this platform has no resource sections.
// It does not stretch (cx and cy must be 0) and LR_LOADTRANSPARENT changes nothing: the
// colour-table trick it stands for only matters for pictures drawn on dialogs, not here.
#include "platform/gdi/bitmap.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velvix_platform {

int GdiBitmap::Describe(int size, void* out) const {
    if (!out)
        return sizeof(BITMAP);
    if (size < static_cast<int>(sizeof(BITMAP)))
        return 0;
    BITMAP bm = {};
    bm.bmType = 0;
    bm.bmWidth = image.width;
    bm.bmHeight = image.rows();
    bm.bmWidthBytes = static_cast<LONG>(image.stride);
    bm.bmPlanes = 1;
    bm.bmBitsPixel = image.bitCount;
    bm.bmBits = image.bits.get();
    std::memcpy(out, &bm, sizeof bm);
    return sizeof(BITMAP);
}

bool ReadWholeFile(const char* path, std::vector<uint8_t>* bytes) {
    bytes->clear();
    int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st;
    // The largest pixel block plus generous room for headers and a colour table.
    const uint64_t limit = kMaxDibBytes + (1u << 20);
    bool ok =
        ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && static_cast<uint64_t>(st.st_size) <= limit;
    if (ok) {
        bytes->resize(static_cast<std::size_t>(st.st_size));
        std::size_t got = 0;
        while (got < bytes->size()) {
            ssize_t n = ::read(fd, bytes->data() + got, bytes->size() - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            got += static_cast<std::size_t>(n);
        }
        // A file that shrank while we read it is decoded as what we got; the decoder checks.
        bytes->resize(got);
        ok = got > 0 || st.st_size == 0;
    }
    ::close(fd);
    if (!ok)
        bytes->clear();
    return ok;
}

} // namespace velvix_platform

using namespace velvix_platform;

extern "C" {

HANDLE WINAPI LoadImageA(HINSTANCE hInst, LPCSTR name, UINT type, int cx, int cy, UINT fuLoad) {
    (void)hInst;
    if (type != IMAGE_BITMAP || !(fuLoad & LR_LOADFROMFILE) || !name || cx != 0 || cy != 0)
        return nullptr;
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(name, &bytes))
        return nullptr;
    DibImage dib;
    if (DecodeBmp(bytes.data(), bytes.size(), &dib))
        return nullptr;
    return GdiInsert(std::make_unique<GdiBitmap>(std::move(dib)));
}

HBITMAP WINAPI CreateDIBSection(HDC hdc, const BITMAPINFO* pbmi, UINT usage, void** ppvBits,
                                HANDLE hSection, DWORD offset) {
    (void)hdc;
    (void)offset;
    if (ppvBits)
        *ppvBits = nullptr;
    // File mappings are not supported; DIB_PAL_COLORS needs a DC palette we do not model.
    if (!pbmi || hSection || usage != DIB_RGB_COLORS)
        return nullptr;
    const BITMAPINFOHEADER& h = pbmi->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biPlanes != 1)
        return nullptr;
    if (h.biCompression != BI_RGB &&
        !(h.biCompression == BI_BITFIELDS && (h.biBitCount == 16 || h.biBitCount == 32)))
        return nullptr;
    DibImage dib;
    if (DibAllocate(&dib, h.biWidth, h.biHeight, h.biBitCount))
        return nullptr;
    // Masks and colour table follow the header, as in a packed BITMAPINFO.
    const uint8_t* after = reinterpret_cast<const uint8_t*>(pbmi) + h.biSize;
    if (h.biCompression == BI_BITFIELDS) {
        dib.compression = BI_BITFIELDS;
        std::memcpy(dib.masks, after, 3 * sizeof(uint32_t));
        dib.masks[3] = 0;
    } else if (h.biBitCount <= 8) {
        uint32_t entries = (h.biClrUsed == 0 || h.biClrUsed > dib.colors.size())
                               ? static_cast<uint32_t>(dib.colors.size())
                               : h.biClrUsed;
        std::memcpy(dib.colors.data(), after, entries * sizeof(RGBQUAD));
        dib.colorsUsed = entries;
    }
    void* bits = dib.bits.get();
    HGDIOBJ handle = GdiInsert(std::make_unique<GdiBitmap>(std::move(dib)));
    if (handle && ppvBits)
        *ppvBits = bits;
    return static_cast<HBITMAP>(handle);
}

} // extern "C"
