// region.cpp - region objects on pixman's region32 (a well-kept region library, rather than
// hand-written band algebra): CreateRectRgn, ExtCreateRegion, CombineRgn, PtInRegion, GetRgnBox,
// GetRegionData. Transforms in ExtCreateRegion are not supported (null only).
#include "platform/gdi/region.h"

#include <cstring>
#include <vector>

namespace velvix_platform {

GdiRegion::GdiRegion() : GdiObject(Kind) {
    pixman_region32_init(&region);
}
GdiRegion::~GdiRegion() {
    pixman_region32_fini(&region);
}

int RegionType(const pixman_region32_t* r) {
    const int n = pixman_region32_n_rects(const_cast<pixman_region32_t*>(r));
    return n == 0 ? NULLREGION : n == 1 ? SIMPLEREGION : COMPLEXREGION;
}

} // namespace velvix_platform

using namespace velvix_platform;

namespace {

HRGN Insert(std::unique_ptr<GdiRegion> region) {
    return static_cast<HRGN>(GdiInsert(std::move(region)));
}

void Normalise(int& a, int& b) {
    if (a > b)
        std::swap(a, b);
}

} // namespace

extern "C" {

HRGN WINAPI CreateRectRgn(int x1, int y1, int x2, int y2) {
    auto r = std::make_unique<GdiRegion>();
    Normalise(x1, x2);
    Normalise(y1, y2);
    // From the corners, not a width: INT_MIN to INT_MAX is wider than an int can say.
    if (x1 < x2 && y1 < y2) {
        const pixman_box32_t box = {x1, y1, x2, y2};
        pixman_region32_fini(&r->region);
        pixman_region32_init_with_extents(&r->region, &box);
    }
    return Insert(std::move(r));
}

HRGN WINAPI ExtCreateRegion(const XFORM* lpx, DWORD nCount, const RGNDATA* lpData) {
    if (lpx || !lpData || nCount < sizeof(RGNDATAHEADER))
        return nullptr;
    const RGNDATAHEADER& h = lpData->rdh;
    if (h.dwSize != sizeof(RGNDATAHEADER) || h.iType != RDH_RECTANGLES)
        return nullptr;
    // The rectangles must lie inside the block the caller says it gave us.
    if (uint64_t(h.nCount) * sizeof(RECT) > uint64_t(nCount) - sizeof(RGNDATAHEADER))
        return nullptr;
    auto r = std::make_unique<GdiRegion>();
    std::vector<pixman_box32_t> boxes;
    boxes.reserve(h.nCount);
    const uint8_t* p = reinterpret_cast<const uint8_t*>(lpData) + sizeof(RGNDATAHEADER);
    for (DWORD i = 0; i < h.nCount; ++i) {
        RECT rc;
        std::memcpy(&rc, p + i * sizeof(RECT), sizeof rc);
        if (rc.left < rc.right && rc.top < rc.bottom)
            boxes.push_back({rc.left, rc.top, rc.right, rc.bottom});
    }
    // Rectangles may overlap or come in any order; pixman sorts and merges them in one go.
    pixman_region32_fini(&r->region);
    if (!pixman_region32_init_rects(&r->region, boxes.data(), int(boxes.size())))
        return nullptr;
    return Insert(std::move(r));
}

int WINAPI CombineRgn(HRGN hrgnDst, HRGN hrgnSrc1, HRGN hrgnSrc2, int iMode) {
    GdiRegion* dst = GdiLookupAs<GdiRegion>(hrgnDst);
    GdiRegion* a = GdiLookupAs<GdiRegion>(hrgnSrc1);
    GdiRegion* b = iMode == RGN_COPY ? a : GdiLookupAs<GdiRegion>(hrgnSrc2);
    if (!dst || !a || !b)
        return ERROR;
    pixman_region32_t out;
    pixman_region32_init(&out);
    pixman_bool_t ok = 1;
    switch (iMode) {
    case RGN_AND:
        ok = pixman_region32_intersect(&out, &a->region, &b->region);
        break;
    case RGN_OR:
        ok = pixman_region32_union(&out, &a->region, &b->region);
        break;
    case RGN_DIFF:
        ok = pixman_region32_subtract(&out, &a->region, &b->region);
        break;
    case RGN_XOR: {
        pixman_region32_t ab, ba;
        pixman_region32_init(&ab);
        pixman_region32_init(&ba);
        ok = pixman_region32_subtract(&ab, &a->region, &b->region) &&
             pixman_region32_subtract(&ba, &b->region, &a->region) &&
             pixman_region32_union(&out, &ab, &ba);
        pixman_region32_fini(&ab);
        pixman_region32_fini(&ba);
        break;
    }
    case RGN_COPY:
        ok = pixman_region32_copy(&out, &a->region);
        break;
    default:
        ok = 0;
    }
    if (!ok) {
        pixman_region32_fini(&out);
        return ERROR;
    }
    pixman_region32_fini(&dst->region);
    dst->region = out; // pixman regions move by value
    return RegionType(&dst->region);
}

BOOL WINAPI PtInRegion(HRGN hrgn, int x, int y) {
    GdiRegion* r = GdiLookupAs<GdiRegion>(hrgn);
    return r && pixman_region32_contains_point(&r->region, x, y, nullptr) ? TRUE : FALSE;
}

int WINAPI GetRgnBox(HRGN hrgn, LPRECT lprc) {
    GdiRegion* r = GdiLookupAs<GdiRegion>(hrgn);
    if (!r || !lprc)
        return ERROR;
    const pixman_box32_t* e = pixman_region32_extents(&r->region);
    *lprc = RECT{e->x1, e->y1, e->x2, e->y2};
    if (RegionType(&r->region) == NULLREGION)
        *lprc = RECT{0, 0, 0, 0};
    return RegionType(&r->region);
}

DWORD WINAPI GetRegionData(HRGN hrgn, DWORD nCount, LPRGNDATA lpRgnData) {
    GdiRegion* r = GdiLookupAs<GdiRegion>(hrgn);
    if (!r)
        return 0;
    int n = 0;
    const pixman_box32_t* boxes = pixman_region32_rectangles(&r->region, &n);
    const DWORD needed = DWORD(sizeof(RGNDATAHEADER) + sizeof(RECT) * size_t(n));
    if (!lpRgnData)
        return needed;
    if (nCount < needed)
        return 0;
    RGNDATAHEADER h = {};
    h.dwSize = sizeof(RGNDATAHEADER);
    h.iType = RDH_RECTANGLES;
    h.nCount = DWORD(n);
    h.nRgnSize = DWORD(sizeof(RECT) * size_t(n));
    GetRgnBox(hrgn, &h.rcBound);
    std::memcpy(lpRgnData, &h, sizeof h);
    uint8_t* p = reinterpret_cast<uint8_t*>(lpRgnData) + sizeof h;
    for (int i = 0; i < n; ++i) {
        const RECT rc = {boxes[i].x1, boxes[i].y1, boxes[i].x2, boxes[i].y2};
        std::memcpy(p + i * sizeof(RECT), &rc, sizeof rc);
    }
    return needed;
}

} // extern "C"
