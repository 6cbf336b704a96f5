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

namespace {

// Reads up to `count` bytes at `offset`; the number read (short at the end of the file or on a
// read error).
std::size_t ReadAt(int fd, uint8_t* out, std::size_t count, uint64_t offset) {
    std::size_t got = 0;
    while (got < count) {
        ssize_t n = ::pread(fd, out + got, count - got, static_cast<off_t>(offset + got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    return got;
}

// The largest pixel block plus generous room for headers and a colour table.
constexpr uint64_t kMaxFileBytes = kMaxDibBytes + (1u << 20);

struct OpenFile {
    int fd = -1;
    uint64_t size = 0;
    explicit OpenFile(const char* path) {
        fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        struct stat st;
        if (fd >= 0 && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
                        static_cast<uint64_t>(st.st_size) > kMaxFileBytes)) {
            ::close(fd);
            fd = -1;
        } else if (fd >= 0) {
            size = static_cast<uint64_t>(st.st_size);
        }
    }
    ~OpenFile() {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

bool ReadWholeFile(const char* path, std::vector<uint8_t>* bytes) {
    bytes->clear();
    OpenFile file(path);
    if (file.fd < 0)
        return false;
    bytes->resize(static_cast<std::size_t>(file.size));
    // A file that shrank while we read it is taken as what we got; the decoder checks.
    bytes->resize(ReadAt(file.fd, bytes->data(), bytes->size(), 0));
    return true;
}

const char* LoadBmpFile(const char* path, DibImage* out) {
    *out = DibImage();
    OpenFile file(path);
    if (file.fd < 0)
        return "cannot open the file";
    // Headers and colour table first; uncompressed pixels then go straight into the section,
    // so the picture is copied once, as the section's own memory fills.
    constexpr std::size_t kPrefix = 64 * 1024;
    std::vector<uint8_t> bytes(static_cast<std::size_t>(file.size < kPrefix ? file.size : kPrefix));
    bytes.resize(ReadAt(file.fd, bytes.data(), bytes.size(), 0));
    uint64_t pixelStart = 0;
    const char* why = nullptr;
    if (bytes.size() == file.size) {
        why = DecodeBmp(bytes.data(), bytes.size(), out);
    } else {
        why = DecodeBmpHeaders(bytes.data(), bytes.size(), file.size, out, &pixelStart);
        if (why == kBmpNeedsWholeFile) {
            if (!ReadWholeFile(path, &bytes))
                return "cannot read the file";
            return DecodeBmp(bytes.data(), bytes.size(), out);
        }
        if (why)
            return why;
        const uint64_t available = file.size - pixelStart;
        const std::size_t want =
            static_cast<std::size_t>(available < out->bitsSize ? available : out->bitsSize);
        if (ReadAt(file.fd, out->bits.get(), want, pixelStart) < want) {
            *out = DibImage();
            return "pixel data cut short";
        }
    }
    return why;
}

} // namespace velvix_platform

using namespace velvix_platform;

extern "C" {

HANDLE WINAPI LoadImageA(HINSTANCE hInst, LPCSTR name, UINT type, int cx, int cy, UINT fuLoad) {
    (void)hInst;
    if (type != IMAGE_BITMAP || !(fuLoad & LR_LOADFROMFILE) || !name || cx != 0 || cy != 0)
        return nullptr;
    DibImage dib;
    if (LoadBmpFile(name, &dib))
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
    // The info header and its longer forms only (not the core header): the masks and the colour
    // table are found from the size, and any other size would send those reads outside the
    // caller's block.
    if ((h.biSize != 40 && h.biSize != 52 && h.biSize != 56 && h.biSize != 108 &&
         h.biSize != 124) ||
        h.biPlanes != 1)
        return nullptr;
    if (h.biCompression != BI_RGB &&
        !(h.biCompression == BI_BITFIELDS && (h.biBitCount == 16 || h.biBitCount == 32)))
        return nullptr;
    const uint8_t* base = reinterpret_cast<const uint8_t*>(pbmi);
    // The three masks sit at offset 40 either way: right after a 40-byte header, or inside a
    // longer one, which from 56 bytes on holds the alpha mask too.
    uint32_t masks[4] = {};
    if (h.biCompression == BI_BITFIELDS) {
        std::memcpy(masks, base + 40, 3 * sizeof(uint32_t));
        if (h.biSize >= 56)
            std::memcpy(&masks[3], base + 52, sizeof(uint32_t));
        if ((masks[0] | masks[1] | masks[2]) == 0)
            return nullptr;
    }
    DibImage dib;
    if (DibAllocate(&dib, h.biWidth, h.biHeight, h.biBitCount))
        return nullptr;
    const uint8_t* after = base + h.biSize;
    if (h.biCompression == BI_BITFIELDS) {
        dib.compression = BI_BITFIELDS;
        std::memcpy(dib.masks, masks, sizeof masks);
    } else if (h.biBitCount <= 8) {
        // The colour table follows the header, whatever its length.
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
