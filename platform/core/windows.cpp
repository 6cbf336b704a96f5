// windows.cpp - window classes, the window and DC tables, and the window calls that need no
// native window system: properties, parent and identifier, text storage, DefWindowProcA.
//
// Creating, showing, moving and destroying windows needs the backend (platform/x11).
#include <algorithm>
#include <cstring>
#include <strings.h>

#include "platform/core/internal.h"

namespace velvix::core {

// Never destroyed: windows still open at exit keep their native parts, and static destruction
// order must not tear the tables down under code that still runs. The process frees it all.
State& TheState() {
    static State* state = new State;
    return *state;
}

MessageQueue& Queue() {
    return TheState().queue;
}

WindowClass* FindClass(LPCSTR nameOrAtom) {
    if (!nameOrAtom)
        return nullptr;
    for (auto& c : TheState().classes) {
        if (IS_INTRESOURCE(nameOrAtom) ? c->atom == LOWORD(nameOrAtom)
                                       : strcasecmp(c->name.c_str(), nameOrAtom) == 0)
            return c.get();
    }
    return nullptr;
}

Window* LookupWindow(HWND h) {
    return TheState().windows.Get(h);
}

Window* LookupLiveWindow(HWND h) {
    Window* w = LookupWindow(h);
    return w && !w->destroying ? w : nullptr;
}

HWND AddWindow(std::unique_ptr<Window> w) {
    Window* raw = w.get();
    // A full table frees the window: `raw` may only be touched when the handle is real.
    const HWND h = ToHandle<HWND>(TheState().windows.Add(std::move(w)));
    if (h)
        raw->self = h;
    return h;
}

std::unique_ptr<Window> RemoveWindow(HWND h) {
    return TheState().windows.Remove(h);
}

HWND TopLevelOf(HWND h) {
    Window* w = LookupWindow(h);
    while (w && w->parent) {
        h = w->parent;
        w = LookupWindow(h);
    }
    return w ? h : nullptr;
}

bool IsDescendant(HWND ancestor, HWND h) {
    for (Window* w = LookupWindow(h); w; w = LookupWindow(w->parent)) {
        if (w->self == ancestor)
            return true;
    }
    return false;
}

LRESULT CallProc(Window* w, UINT msg, WPARAM wp, LPARAM lp) {
    if (!w || !w->proc)
        return 0;
    return w->proc(w->self, msg, wp, lp);
}

HBRUSH SysColorBrush(int index) {
    if (index < 0 || index > 30)
        return nullptr;
    return ToHandle<HBRUSH>((uintptr_t(kSysBrushHandle) << 28) | uintptr_t(index + 1));
}

namespace {

// Classic light desktop colours, indexed by COLOR_ value.
COLORREF SysColor(int index) {
    switch (index) {
    case COLOR_WINDOW:
        return RGB(255, 255, 255);
    case COLOR_WINDOWTEXT:
    case COLOR_BTNTEXT:
        return RGB(0, 0, 0);
    case COLOR_BTNFACE:
        return RGB(240, 240, 240);
    default:
        return RGB(192, 192, 192);
    }
}

std::string PropKey(LPCSTR name) {
    if (IS_INTRESOURCE(name))
        return "#" + std::to_string(LOWORD(name));
    return name;
}

ATOM AddClass(const WNDCLASSEXA& in) {
    if (!in.lpszClassName || IS_INTRESOURCE(in.lpszClassName) || !*in.lpszClassName ||
        !in.lpfnWndProc || FindClass(in.lpszClassName))
        return 0;
    State& s = TheState();
    auto c = std::make_unique<WindowClass>();
    c->name = in.lpszClassName;
    c->wc = in;
    c->wc.cbSize = sizeof(WNDCLASSEXA);
    if (in.lpszMenuName && !IS_INTRESOURCE(in.lpszMenuName)) {
        c->menuName = in.lpszMenuName;
        c->wc.lpszMenuName = nullptr; // re-pointed below, once the record has its final home
    }
    c->atom = s.nextAtom++;
    s.classes.push_back(std::move(c));
    WindowClass* stored = s.classes.back().get();
    stored->wc.lpszClassName = stored->name.c_str();
    if (!stored->menuName.empty())
        stored->wc.lpszMenuName = stored->menuName.c_str();
    return stored->atom;
}

} // namespace

bool SysBrushColor(HBRUSH brush, COLORREF* color) {
    uintptr_t v = reinterpret_cast<uintptr_t>(brush);
    if ((v >> 28) != kSysBrushHandle || (v & 0xFFFF) == 0 || (v & 0xFFFF) > 31)
        return false;
    *color = SysColor(int(v & 0xFFFF) - 1);
    return true;
}

} // namespace velvix::core

using namespace velvix::core;

extern "C" {

ATOM WINAPI RegisterClassA(const WNDCLASSA* wc) {
    if (!wc)
        return 0;
    WNDCLASSEXA ex = {};
    ex.cbSize = sizeof(ex);
    ex.style = wc->style;
    ex.lpfnWndProc = wc->lpfnWndProc;
    ex.cbClsExtra = wc->cbClsExtra;
    ex.cbWndExtra = wc->cbWndExtra;
    ex.hInstance = wc->hInstance;
    ex.hIcon = wc->hIcon;
    ex.hCursor = wc->hCursor;
    ex.hbrBackground = wc->hbrBackground;
    ex.lpszMenuName = wc->lpszMenuName;
    ex.lpszClassName = wc->lpszClassName;
    return AddClass(ex);
}

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* wc) {
    if (!wc || wc->cbSize != sizeof(WNDCLASSEXA))
        return 0;
    return AddClass(*wc);
}

// Classes are process-wide here (one module), so the instance does not take part in lookup.
BOOL WINAPI GetClassInfoExA(HINSTANCE, LPCSTR name, LPWNDCLASSEXA out) {
    WindowClass* c = FindClass(name);
    if (!c || !out)
        return FALSE;
    *out = c->wc;
    return TRUE;
}

BOOL WINAPI UnregisterClassA(LPCSTR name, HINSTANCE) {
    WindowClass* c = FindClass(name);
    if (!c)
        return FALSE;
    bool used = false;
    ForEachWindow([&](Window* w) { used = used || w->cls == c; });
    if (used)
        return FALSE;
    auto& v = TheState().classes;
    v.erase(std::remove_if(v.begin(), v.end(), [&](auto& p) { return p.get() == c; }), v.end());
    return TRUE;
}

BOOL WINAPI IsWindow(HWND h) {
    return LookupWindow(h) ? TRUE : FALSE;
}

HWND WINAPI GetParent(HWND h) {
    Window* w = LookupWindow(h);
    return w && (w->style & WS_CHILD) ? w->parent : nullptr;
}

int WINAPI GetDlgCtrlID(HWND h) {
    Window* w = LookupWindow(h);
    return w && (w->style & WS_CHILD) ? int(w->id) : 0;
}

BOOL WINAPI SetPropA(HWND h, LPCSTR name, HANDLE data) {
    Window* w = LookupWindow(h);
    if (!w || !name)
        return FALSE;
    w->props[PropKey(name)] = data;
    return TRUE;
}

HANDLE WINAPI GetPropA(HWND h, LPCSTR name) {
    Window* w = LookupWindow(h);
    if (!w || !name)
        return nullptr;
    auto it = w->props.find(PropKey(name));
    return it == w->props.end() ? nullptr : it->second;
}

HANDLE WINAPI RemovePropA(HWND h, LPCSTR name) {
    Window* w = LookupWindow(h);
    if (!w || !name)
        return nullptr;
    auto it = w->props.find(PropKey(name));
    if (it == w->props.end())
        return nullptr;
    HANDLE data = it->second;
    w->props.erase(it);
    return data;
}

int WINAPI GetWindowTextA(HWND h, LPSTR buf, int max) {
    Window* w = LookupWindow(h);
    if (!w || !buf || max <= 0)
        return 0;
    size_t n = std::min(w->text.size(), size_t(max - 1));
    memcpy(buf, w->text.data(), n);
    buf[n] = 0;
    return int(n);
}

HBRUSH WINAPI GetSysColorBrush(int index) {
    return SysColorBrush(index);
}

DWORD WINAPI GetSysColor(int index) {
    return SysColor(index);
}

BOOL WINAPI IsIconic(HWND h) {
    Window* w = LookupWindow(h);
    return w && w->iconic ? TRUE : FALSE;
}

BOOL WINAPI GetClientRect(HWND h, LPRECT r) {
    Window* w = LookupWindow(h);
    if (!w || !r)
        return FALSE;
    r->left = r->top = 0;
    r->right = w->width;
    r->bottom = w->height;
    return TRUE;
}

HWND WINAPI GetCapture(void) {
    return LookupWindow(TheState().capture) ? TheState().capture : nullptr;
}

HWND WINAPI GetFocus(void) {
    return LookupWindow(TheState().focus) ? TheState().focus : nullptr;
}

} // extern "C"
