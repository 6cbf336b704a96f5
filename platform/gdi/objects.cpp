// objects.cpp - the GDI object table, DeleteObject and the GetObjectA dispatch.
#include "platform/gdi/objects.h"

#include <cstdint>
#include <vector>

namespace velvix_platform {
namespace {

// Handle layout: tag in bits 56..63, generation in bits 24..55, slot index + 1 in bits 0..23.
// The tag keeps our handles apart from small integers and from other handle spaces.
constexpr uint64_t kTag = 0x47ull << 56;
constexpr uint64_t kIndexBits = 24;
constexpr uint64_t kIndexMask = (1ull << kIndexBits) - 1;
constexpr uint64_t kGenerationMask = 0xFFFFFFFFull;

struct Slot {
    std::unique_ptr<GdiObject> object;
    uint32_t generation = 1;
};

struct Table {
    std::vector<Slot> slots;
    std::vector<uint32_t> free; // indices of empty slots
    std::size_t live = 0;
};

// Never destroyed: objects still alive at exit (stock objects, a program's last bitmaps) must
// not be torn down in whatever order static destruction picks, while others still refer to
// them. The process gives the memory back.
Table& table() {
    static Table* t = new Table;
    return *t;
}

HGDIOBJ MakeHandle(std::size_t index, uint32_t generation) {
    uint64_t value = kTag | (static_cast<uint64_t>(generation) << kIndexBits) | (index + 1);
    return reinterpret_cast<HGDIOBJ>(static_cast<uintptr_t>(value));
}

Slot* Resolve(HGDIOBJ handle) {
    uint64_t value = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(handle));
    if ((value & (0xFFull << 56)) != kTag)
        return nullptr;
    uint64_t index = value & kIndexMask;
    uint64_t generation = (value >> kIndexBits) & kGenerationMask;
    Table& t = table();
    if (index == 0 || index > t.slots.size())
        return nullptr;
    Slot& slot = t.slots[index - 1];
    if (!slot.object || slot.generation != generation)
        return nullptr;
    return &slot;
}

} // namespace

HGDIOBJ GdiInsert(std::unique_ptr<GdiObject> object) {
    if (!object)
        return nullptr;
    Table& t = table();
    std::size_t index;
    if (!t.free.empty()) {
        index = t.free.back();
        t.free.pop_back();
    } else {
        if (t.slots.size() >= kIndexMask)
            return nullptr;
        index = t.slots.size();
        t.slots.emplace_back();
    }
    Slot& slot = t.slots[index];
    slot.object = std::move(object);
    ++t.live;
    return MakeHandle(index, slot.generation);
}

GdiObject* GdiLookup(HGDIOBJ handle) {
    Slot* slot = Resolve(handle);
    return slot ? slot->object.get() : nullptr;
}

bool GdiRemove(HGDIOBJ handle) {
    Slot* slot = Resolve(handle);
    if (!slot)
        return false;
    Table& t = table();
    // Retire the handle before the destructor runs, so nothing it calls can reach it.
    std::unique_ptr<GdiObject> dying = std::move(slot->object);
    slot->generation = slot->generation == kGenerationMask ? 1 : slot->generation + 1;
    t.free.push_back(static_cast<uint32_t>(slot - t.slots.data()));
    --t.live;
    dying.reset();
    return true;
}

std::size_t GdiLiveCount() {
    return table().live;
}

} // namespace velvix_platform

using namespace velvix_platform;

extern "C" {

BOOL WINAPI DeleteObject(HGDIOBJ ho) {
    GdiObject* object = GdiLookup(ho);
    if (!object)
        return FALSE;
    if (object->stock)
        return TRUE;
    if (object->selections > 0)
        return FALSE;
    return GdiRemove(ho) ? TRUE : FALSE;
}

int WINAPI GetObjectA(HANDLE h, int c, LPVOID pv) {
    GdiObject* object = GdiLookup(h);
    if (!object || c < 0)
        return 0;
    return object->Describe(c, pv);
}

} // extern "C"
