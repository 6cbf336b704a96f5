// fuzz_bmp.cpp - the bitmap file loading on any bytes: LoadImageA gives a bitmap whose BITMAP
// record describes memory that is really there, or 0; GetBMPDepth answers without reading past
// the file.
#include "framework/textures/bmp_slots.h"
#include "fuzz_common.h"
#include "platform/gdi/objects.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& file = fuzz::AsFile(data, size);
    (void)velvix::GetBMPDepth(file.c_str());
    const size_t live = velvix_platform::GdiLiveCount();
    HANDLE bmp = LoadImageA(nullptr, file.c_str(), IMAGE_BITMAP, 0, 0,
                            LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    if (!bmp) {
        fuzz::Require(velvix_platform::GdiLiveCount() == live, "nothing left behind on failure");
        return 0;
    }
    BITMAP bm = {};
    fuzz::Require(GetObjectA(bmp, sizeof bm, &bm) == sizeof bm, "a BITMAP record");
    fuzz::Require(bm.bmWidth > 0 && bm.bmHeight > 0 && bm.bmBits, "a real picture");
    fuzz::Require(bm.bmWidthBytes % 4 == 0, "rows padded to 4 bytes");
    const uint8_t* bits = static_cast<const uint8_t*>(bm.bmBits);
    volatile uint8_t last = bits[size_t(bm.bmWidthBytes) * bm.bmHeight - 1];
    (void)last;
    fuzz::Require(DeleteObject(bmp) != 0, "deletable");
    return 0;
}
