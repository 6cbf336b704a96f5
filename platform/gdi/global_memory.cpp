// global_memory.cpp - movable global memory blocks (GlobalAlloc and friends) and SetRect, the
// small helpers that GDI callers use around regions. A movable block's handle stays the same
// while its memory may move on GlobalReAlloc; GlobalLock gives the current address.
#include <cstdlib>
#include <cstring>
#include <unordered_map>

#include "platform/win32.h"

namespace {

struct Block {
    void* memory;
    SIZE_T size;
    int locks;
};

// Handles of movable blocks are keys into this map.
std::unordered_map<HGLOBAL, Block>& Blocks() {
    static std::unordered_map<HGLOBAL, Block> blocks;
    return blocks;
}

// Fixed blocks are their own address; they are kept here with their sizes, so that a value we
// never handed out (or already took back) is refused rather than passed to free or realloc.
std::unordered_map<void*, SIZE_T>& FixedBlocks() {
    static std::unordered_map<void*, SIZE_T> blocks;
    return blocks;
}

uintptr_t g_nextHandle = 0x6d000000u;

} // namespace

extern "C" {

HGLOBAL WINAPI GlobalAlloc(UINT uFlags, SIZE_T dwBytes) {
    void* memory = (uFlags & GMEM_ZEROINIT) ? std::calloc(dwBytes ? dwBytes : 1, 1)
                                            : std::malloc(dwBytes ? dwBytes : 1);
    if (!memory)
        return nullptr;
    if (!(uFlags & GMEM_MOVEABLE)) {
        FixedBlocks()[memory] = dwBytes;
        return memory;
    }
    g_nextHandle += 16;
    HGLOBAL handle = reinterpret_cast<HGLOBAL>(g_nextHandle);
    Blocks()[handle] = Block{memory, dwBytes, 0};
    return handle;
}

LPVOID WINAPI GlobalLock(HGLOBAL hMem) {
    auto it = Blocks().find(hMem);
    if (it == Blocks().end())
        return FixedBlocks().count(hMem) ? hMem : nullptr; // a fixed block is its own address
    ++it->second.locks;
    return it->second.memory;
}

BOOL WINAPI GlobalUnlock(HGLOBAL hMem) {
    auto it = Blocks().find(hMem);
    if (it == Blocks().end() || it->second.locks == 0)
        return FALSE;
    return --it->second.locks > 0 ? TRUE : FALSE;
}

HGLOBAL WINAPI GlobalReAlloc(HGLOBAL hMem, SIZE_T dwBytes, UINT uFlags) {
    auto it = Blocks().find(hMem);
    if (it == Blocks().end()) {
        auto fixed = FixedBlocks().find(hMem);
        // A fixed block may only grow in place when GMEM_MOVEABLE allows the move.
        if (fixed == FixedBlocks().end() || !(uFlags & GMEM_MOVEABLE))
            return nullptr;
        const SIZE_T oldSize = fixed->second;
        void* memory = std::realloc(hMem, dwBytes ? dwBytes : 1);
        if (!memory)
            return nullptr; // the old block stays valid
        FixedBlocks().erase(fixed);
        FixedBlocks()[memory] = dwBytes;
        if ((uFlags & GMEM_ZEROINIT) && dwBytes > oldSize)
            std::memset(static_cast<char*>(memory) + oldSize, 0, dwBytes - oldSize);
        return memory;
    }
    Block& b = it->second;
    if (b.locks > 0 && !(uFlags & GMEM_MOVEABLE))
        return nullptr;
    void* memory = std::realloc(b.memory, dwBytes ? dwBytes : 1);
    if (!memory)
        return nullptr; // the old block stays valid
    if ((uFlags & GMEM_ZEROINIT) && dwBytes > b.size)
        std::memset(static_cast<char*>(memory) + b.size, 0, dwBytes - b.size);
    b.memory = memory;
    b.size = dwBytes;
    return hMem;
}

SIZE_T WINAPI GlobalSize(HGLOBAL hMem) {
    auto it = Blocks().find(hMem);
    if (it != Blocks().end())
        return it->second.size;
    auto fixed = FixedBlocks().find(hMem);
    return fixed == FixedBlocks().end() ? 0 : fixed->second;
}

// Null when the block is freed; the handle itself when it is not one of ours (any more).
HGLOBAL WINAPI GlobalFree(HGLOBAL hMem) {
    auto it = Blocks().find(hMem);
    if (it != Blocks().end()) {
        std::free(it->second.memory);
        Blocks().erase(it);
        return nullptr;
    }
    auto fixed = FixedBlocks().find(hMem);
    if (fixed == FixedBlocks().end())
        return hMem;
    std::free(hMem);
    FixedBlocks().erase(fixed);
    return nullptr;
}

BOOL WINAPI SetRect(LPRECT lprc, int xLeft, int yTop, int xRight, int yBottom) {
    if (!lprc)
        return FALSE;
    *lprc = RECT{xLeft, yTop, xRight, yBottom};
    return TRUE;
}

} // extern "C"
