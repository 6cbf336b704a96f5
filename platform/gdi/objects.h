// objects.h - the table of GDI objects behind HBITMAP, HPALETTE, HRGN, HDC and HBRUSH handles.
//
// A handle is an opaque pointer-sized value made of a slot index and that slot's generation, so
// a handle that has been deleted never reaches the object that later reuses its slot: it simply
// stops resolving. Every kind of object derives from GdiObject and answers GetObjectA for itself;
// adding a kind means adding a class and, where it has a record to describe, an override of
// Describe(). Not thread-safe: like the rest of the platform layer it belongs to the one thread
// that runs the program.
#pragma once

#include <cstddef>
#include <memory>

#include "platform/win32.h"

namespace velvix_platform {

enum class GdiKind { Bitmap, Palette, Region, DC, Brush };

class GdiObject {
public:
    explicit GdiObject(GdiKind kind) : kind_(kind) {}
    virtual ~GdiObject() = default;
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    GdiKind kind() const { return kind_; }

    // GetObjectA for this object: with `out` null, the size of its record; otherwise fills at
    // most `size` bytes and returns the bytes written, 0 when `size` is too small.
    virtual int Describe(int size, void* out) const {
        (void)size;
        (void)out;
        return 0;
    }

    // Stock objects survive DeleteObject (which still reports success).
    bool stock = false;
    // Number of device contexts the object is selected into; DeleteObject refuses while > 0.
    int selections = 0;

private:
    GdiKind kind_;
};

// Takes ownership of `object` and returns its new handle (null only when the table is full).
HGDIOBJ GdiInsert(std::unique_ptr<GdiObject> object);

// The live object behind `handle`, or null for null, deleted or foreign handles.
GdiObject* GdiLookup(HGDIOBJ handle);

// The live object behind `handle` when it is of kind T::Kind, else null.
template <class T> T* GdiLookupAs(HGDIOBJ handle) {
    GdiObject* object = GdiLookup(handle);
    return object && object->kind() == T::Kind ? static_cast<T*>(object) : nullptr;
}

// Destroys the object behind `handle` and retires the handle. False for handles that do not
// resolve. Ignores `stock` and `selections`: DeleteObject applies those rules.
bool GdiRemove(HGDIOBJ handle);

// Number of live objects (tests use it to see that nothing leaks).
std::size_t GdiLiveCount();

} // namespace velvix_platform
