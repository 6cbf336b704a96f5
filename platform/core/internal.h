// internal.h - the platform layer's own state: handle tables, window classes, windows, device
// contexts and the thread's message queue, plus the few hooks the core expects from a backend.
//
// Everything here is platform-neutral (no X11 type appears); the X11/GLX backend in platform/x11
// keeps its own per-window data behind Window::native. The whole layer is single-threaded, like
// the programs it serves: nothing here is locked.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace velvix::core {

// ---------------------------------------------------------------------------------------------
// Handles. A handle value packs a kind tag, a generation and a slot index, so a handle to a
// freed object never finds the object that later reuses its slot. Values stay below 2^32, like
// the platform's own handles, and are never null.
enum HandleKind : unsigned {
    kWindowHandle = 1,
    kGLContextHandle = 3,
    kCursorHandle = 4,
    kSysBrushHandle = 6,
    // 7..15 are free for other object tables (the GDI object table takes them).
};

template <class T> class HandleTable {
public:
    explicit HandleTable(HandleKind kind) : kind_(kind) {}

    uintptr_t Add(std::unique_ptr<T> object) {
        size_t index;
        // A freed slot waits behind every other free one, and the table grows rather than reuse
        // one while few are free: a generation then wraps only after kReserve * 4096 reuses, not
        // after 4096 create/destroy cycles of a single object.
        if (!free_.empty() && (free_.size() > kReserve || slots_.size() >= kMaxSlots)) {
            index = free_.front();
            free_.pop_front();
        } else {
            if (slots_.size() >= kMaxSlots)
                return 0;
            index = slots_.size();
            slots_.emplace_back();
        }
        Slot& s = slots_[index];
        s.object = std::move(object);
        return Encode(index, s.generation);
    }

    T* Get(const void* handle) const {
        size_t index;
        return Find(handle, &index) ? slots_[index].object.get() : nullptr;
    }

    // Frees the object; the handle (and every copy of it) becomes stale.
    std::unique_ptr<T> Remove(const void* handle) {
        size_t index;
        if (!Find(handle, &index))
            return nullptr;
        Slot& s = slots_[index];
        std::unique_ptr<T> out = std::move(s.object);
        s.generation = (s.generation + 1) & 0xFFF;
        free_.push_back(index);
        return out;
    }

    template <class F> void ForEach(F f) const {
        for (size_t i = 0; i < slots_.size(); ++i)
            if (slots_[i].object)
                f(Encode(i, slots_[i].generation), slots_[i].object.get());
    }

private:
    static constexpr size_t kMaxSlots = 0xFFFE; // the index takes 16 bits, 0 is never used
    static constexpr size_t kReserve = 1024;
    struct Slot {
        std::unique_ptr<T> object;
        unsigned generation = 1;
    };
    uintptr_t Encode(size_t index, unsigned gen) const {
        return (uintptr_t(kind_) << 28) | (uintptr_t(gen) << 16) | uintptr_t(index + 1);
    }
    bool Find(const void* handle, size_t* index) const {
        uintptr_t v = reinterpret_cast<uintptr_t>(handle);
        if ((v >> 28) != kind_ || (v & 0xFFFF) == 0)
            return false;
        size_t i = (v & 0xFFFF) - 1;
        if (i >= slots_.size() || !slots_[i].object || slots_[i].generation != ((v >> 16) & 0xFFF))
            return false;
        *index = i;
        return true;
    }

    HandleKind kind_;
    std::vector<Slot> slots_;
    std::deque<size_t> free_; // oldest freed first
};

template <class H> H ToHandle(uintptr_t v) {
    return reinterpret_cast<H>(v);
}

// ---------------------------------------------------------------------------------------------
// Window classes and windows.
struct WindowClass {
    std::string name; // as registered; looked up without regard to case
    WNDCLASSEXA wc{}; // string fields point into this record's own copies
    std::string menuName;
    ATOM atom = 0;
};

struct NativeWindow; // the backend's per-window data

struct Window {
    HWND self = nullptr;
    WindowClass* cls = nullptr;
    WNDPROC proc = nullptr;
    DWORD style = 0, exStyle = 0;
    HWND parent = nullptr;
    std::vector<HWND> children;
    UINT_PTR id = 0; // child identifier (hMenu of a WS_CHILD window)
    std::string text;
    std::map<std::string, HANDLE> props;
    bool destroying = false;
    bool visible = false;
    bool iconic = false;
    bool invalid = false;      // the update region is not empty
    bool erase = false;        // the next BeginPaint sends WM_ERASEBKGND
    bool paintPending = false; // a WM_PAINT is owed for the current invalidation
    // Client area: position in the parent's client coordinates (top-level: screen) and size.
    int x = 0, y = 0, width = 0, height = 0;
    // Top-level windows: the frame a window manager adds (left, top, right, bottom).
    int frame[4] = {0, 0, 0, 0};
    HDC dc = nullptr;      // the window's one DC, made by the first GetDC
    HRGN region = nullptr; // the window's shape (SetWindowRgn); the window owns it
    int pixelFormat = 0;   // set once by SetPixelFormat
    NativeWindow* native = nullptr;
};

WindowClass* FindClass(LPCSTR nameOrAtom);
Window* LookupWindow(HWND h);     // null for stale or foreign handles
Window* LookupLiveWindow(HWND h); // as GetWindow, but null while the window is being destroyed
HWND AddWindow(std::unique_ptr<Window> w);
std::unique_ptr<Window> RemoveWindow(HWND h);
HWND TopLevelOf(HWND h);
bool IsDescendant(HWND ancestor, HWND h); // true for h == ancestor too
template <class F> void ForEachWindow(F f);

// Calls the window procedure, as SendMessage does.
LRESULT CallProc(Window* w, UINT msg, WPARAM wp, LPARAM lp);

// ---------------------------------------------------------------------------------------------
// Device contexts live in the GDI object table (platform/gdi); a window keeps its one DC.

// System-colour brushes are not objects: the handle encodes the colour index.
HBRUSH SysColorBrush(int index);
bool SysBrushColor(HBRUSH brush, COLORREF* color);

// ---------------------------------------------------------------------------------------------
// The thread's message queue. Posted messages come before input, input before WM_PAINT; a quit
// request is seen after the posted messages, as on the platform.
struct QueuedMessage {
    MSG msg{};
    unsigned ch = 0; // for key-down input: the character TranslateMessage will produce (0: none)
};

bool MatchesFilter(const MSG& m, HWND filter, UINT min, UINT max);

class MessageQueue {
public:
    void Post(const MSG& m) { posted_.push_back({m, 0}); }
    // Queues input. A pointer motion replaces the window's pending WM_MOUSEMOVE when it is the
    // newest input of all (any window), so a slow reader sees the newest position and input
    // for different windows keeps its order.
    void PostInput(const QueuedMessage& q);
    void PostQuit(int code) {
        quit_ = true;
        quitCode_ = code;
    }
    // Finds (and with `remove`, takes) the next message for the filter, WM_PAINT excluded.
    bool Take(QueuedMessage* out, HWND filter, UINT min, UINT max, bool remove);
    // Drops every queued message for `h` (a destroyed window leaves nothing behind).
    void Purge(HWND h);
    bool Empty() const { return posted_.empty() && input_.empty() && !quit_; }
    size_t InputCount() const { return input_.size(); }

private:
    std::deque<QueuedMessage> posted_, input_;
    bool quit_ = false;
    int quitCode_ = 0;
};

MessageQueue& Queue();
DWORD NowMs();
void InvalidateWindow(Window* w, bool erase);

// ---------------------------------------------------------------------------------------------
// Hooks the backend provides.
namespace backend {
// Turns pending native events into messages; with `wait`, blocks until at least one event came.
void PumpEvents(bool wait);
bool HasDisplay();
// Native side of window creation and destruction (children are created after their parent).
bool CreateNative(Window* w);
void DestroyNative(Window* w);
} // namespace backend

// ---------------------------------------------------------------------------------------------
// Module state: one instance, reached only through State().
struct State {
    HandleTable<Window> windows{kWindowHandle};
    std::vector<std::unique_ptr<WindowClass>> classes;
    ATOM nextAtom = 0xC000;
    MessageQueue queue;
    HWND capture = nullptr;
    HWND focus = nullptr;
    // Above zero while a modal loop owns the native event stream: queue calls then take only
    // what is already queued and leave native events to that loop.
    int pumpHold = 0;
};
State& TheState();

template <class F> void ForEachWindow(F f) {
    TheState().windows.ForEach([&](uintptr_t, Window* w) { f(w); });
}

} // namespace velvix::core
