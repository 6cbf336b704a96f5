// fuzz_region.cpp - LoadBMPFromFile and BitmapToRegion on any bytes: a region or 0, with every
// intermediate object released either way.
#include "framework/buttons/bitmaps.h"
#include "fuzz_common.h"
#include "platform/gdi/objects.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& file = fuzz::AsFile(data, size);
    // Stock objects and the screen DC are made on first use; count from after that.
    GetStockObject(NULL_BRUSH);
    ReleaseDC(nullptr, GetDC(nullptr));
    const size_t live = velvix_platform::GdiLiveCount();
    HPALETTE pal = reinterpret_cast<HPALETTE>(uintptr_t(1));
    HBITMAP bmp = velvix::LoadBMPFromFile(file, pal);
    BITMAP bm = {};
    if (!bmp) {
        fuzz::Require(pal == reinterpret_cast<HPALETTE>(uintptr_t(1)), "Pal untouched on failure");
    } else {
        GetObjectA(bmp, sizeof bm, &bm);
        DeleteObject(bmp);
        DeleteObject(pal);
    }
    fuzz::Require(velvix_platform::GdiLiveCount() == live, "bitmap and palette released");
    // Tracing costs time in proportion to the pixels, and a few-byte run-length file may declare
    // hundreds of millions of them: such inputs teach the fuzzer nothing new, so skip them.
    if (int64_t(bm.bmWidth) * bm.bmHeight > (1 << 22))
        return 0;
    HRGN rgn = velvix::BitmapToRegion(file, 0xFF00FF, 1);
    fuzz::Require(!rgn || bmp, "no region without a picture");
    if (rgn)
        DeleteObject(rgn);
    fuzz::Require(velvix_platform::GdiLiveCount() == live, "nothing leaks");
    return 0;
}
