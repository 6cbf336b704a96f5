// bitmap.h - bitmap objects of the GDI table: DIB sections, made from bitmap files (LoadImageA)
// or from a BITMAPINFO (CreateDIBSection). Device-dependent bitmaps do not exist here: every
// bitmap is a DIB section, whatever flags the caller passed.
#pragma once

#include "platform/gdi/bmp_decode.h"
#include "platform/gdi/objects.h"

namespace velvix_platform {

class GdiBitmap : public GdiObject {
public:
    static constexpr GdiKind Kind = GdiKind::Bitmap;
    explicit GdiBitmap(DibImage&& dib) : GdiObject(Kind), image(std::move(dib)) {}

    // BITMAP: type 0, width, absolute height, padded row bytes, 1 plane, depth, pixel memory.
    int Describe(int size, void* out) const override;

    DibImage image;
};

// Reads the whole file `path` into `bytes`. False when it cannot be opened, is not a regular
// file, or is larger than any picture we would accept.
bool ReadWholeFile(const char* path, std::vector<uint8_t>* bytes);

// Decodes the bitmap file `path` (see DecodeBmp). Null on success, else a reason.
const char* LoadBmpFile(const char* path, DibImage* out);

} // namespace velvix_platform
