// fuzz_tga.cpp - LoadTGA on any bytes: never a crash or an out-of-bounds access, and always
// either true with no message box and a consistent image, or false with exactly one box and no
// pixel memory held.
#include <cstdlib>

#include "framework/textures/tga.h"
#include "fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    VelvixSetMessageBoxHook(fuzz::CountBox);
    fuzz::g_boxes = 0;
    velvix::TGATexture tex = {};
    const bool ok = velvix::LoadTGA(tex, fuzz::AsFile(data, size));
    fuzz::Require(velvix::fTGA == nullptr, "file closed");
    if (ok) {
        fuzz::Require(fuzz::g_boxes == 0, "no box on success");
        fuzz::Require(tex.ImageData && tex.Width && tex.Height, "image filled");
        fuzz::Require(tex.Bpp == 24 || tex.Bpp == 32, "depth 24 or 32");
        // Touch the last byte: the block must be as large as the image says.
        volatile uint8_t last = tex.ImageData[size_t(tex.Width) * tex.Height * (tex.Bpp / 8) - 1];
        (void)last;
        std::free(tex.ImageData);
    } else {
        fuzz::Require(fuzz::g_boxes == 1, "exactly one box on failure");
        fuzz::Require(tex.ImageData == nullptr, "no pixel memory held");
    }
    return 0;
}
