// region.h - region objects of the GDI table, held as pixman region32 values (x right, y down,
// half-open rectangles). The windowing side reads them for window shapes.
#pragma once

#include <pixman.h>

#include "platform/gdi/objects.h"

namespace velvix_platform {

class GdiRegion : public GdiObject {
public:
    static constexpr GdiKind Kind = GdiKind::Region;
    GdiRegion();
    ~GdiRegion() override;
    pixman_region32_t region;
};

// NULLREGION, SIMPLEREGION or COMPLEXREGION for `r`.
int RegionType(const pixman_region32_t* r);

} // namespace velvix_platform
