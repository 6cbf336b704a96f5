// x11_statusbar.cpp - the status-bar control that CreateStatusWindowA makes: a child window
// along the bottom of its parent, split into parts (SB_SETPARTS: right edges in client x, -1 up
// to the right border), each with its text (SB_SETTEXT; the text given at creation is part 0's),
// drawn with the same anti-aliased fonts as the message box (a core font when Xft has none).
// Not implemented: owner-drawn parts, icons, tips, simple mode, the sizing grip.
#include <X11/Xft/Xft.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/x11/x11_internal.h"
#include "platform/x11/x11_text.h"

namespace velvix::x11 {
namespace {

constexpr int kHeight = 22;

struct StatusBar {
    std::vector<int> edges = {-1};
    std::vector<std::string> texts = {""};
};

StatusBar* BarOf(HWND h) {
    return static_cast<StatusBar*>(GetPropA(h, "VelvixStatusBar"));
}

// Keeps the bar along the bottom of its parent's client area, full width.
void Dock(HWND h) {
    RECT r;
    if (GetClientRect(GetParent(h), &r))
        MoveWindow(h, 0, r.bottom - kHeight, r.right, kHeight, TRUE);
}

void Paint(HWND h, StatusBar* bar) {
    Connection* c = Conn();
    ::Window xid = XidOf(h);
    RECT r;
    if (!c || !xid || !GetClientRect(h, &r))
        return;
    Display* d = c->display;
    GC gc = XCreateGC(d, xid, 0, nullptr);
    XSetForeground(d, gc, 0xF0F0F0);
    XFillRectangle(d, xid, gc, 0, 0, unsigned(r.right), unsigned(r.bottom));
    XSetForeground(d, gc, 0xD0D0D0);
    XDrawLine(d, xid, gc, 0, 0, r.right, 0);
    static XftFont* font = XftFontOpenName(d, c->screen, "DejaVu Sans:size=9");
    XftDraw* draw = font ? XftDrawCreate(d, xid, c->visual, c->colormap) : nullptr;
    XftColor ink;
    if (draw && !XftColorAllocName(d, c->visual, c->colormap, "black", &ink)) {
        XftDrawDestroy(draw); // no ink: the core font draws the text instead
        draw = nullptr;
    }
    int left = 0;
    for (size_t i = 0; i < bar->edges.size(); ++i) {
        const int right = bar->edges[i] < 0 ? r.right : bar->edges[i];
        if (i + 1 < bar->edges.size()) { // a separator after every part but the last
            XSetForeground(d, gc, 0xC0C0C0);
            XDrawLine(d, xid, gc, right - 1, 3, right - 1, r.bottom - 3);
        }
        const std::string text = i < bar->texts.size() ? Cp1252ToUtf8(bar->texts[i].c_str()) : "";
        // Parts narrower than the 4-pixel gap clip everything (not a width near 65536).
        XRectangle clip = {short(left), 0, ushort(std::max(0, right - left - 4)), ushort(r.bottom)};
        if (draw) {
            XftDrawSetClipRectangles(draw, 0, 0, &clip, 1);
            XftDrawStringUtf8(draw, &ink, font, left + 6, (r.bottom + font->ascent) / 2,
                              reinterpret_cast<const FcChar8*>(text.data()), int(text.size()));
        } else {
            XSetClipRectangles(d, gc, 0, 0, &clip, 1, Unsorted);
            XSetForeground(d, gc, 0);
            XDrawString(d, xid, gc, left + 6, r.bottom - 7, text.data(), int(text.size()));
            XSetClipMask(d, gc, 0);
        }
        left = right;
    }
    if (draw) {
        XftColorFree(d, c->visual, c->colormap, &ink);
        XftDrawDestroy(draw);
    }
    XFreeGC(d, gc);
    XFlush(d);
}

LRESULT CALLBACK StatusProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    StatusBar* bar = BarOf(h);
    switch (msg) {
    case WM_CREATE: {
        auto* b = new StatusBar();
        const CREATESTRUCTA* cs = reinterpret_cast<const CREATESTRUCTA*>(lp);
        b->texts[0] = cs && cs->lpszName ? cs->lpszName : "";
        SetPropA(h, "VelvixStatusBar", b);
        Dock(h);
        return 0;
    }
    case WM_DESTROY:
        delete static_cast<StatusBar*>(RemovePropA(h, "VelvixStatusBar"));
        return 0;
    case WM_SIZE:
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(h, &ps);
        if (bar)
            Paint(h, bar);
        EndPaint(h, &ps);
        return 0;
    }
    case SB_SETPARTS: {
        if (!bar || wp > 256)
            return FALSE;
        const int* edges = reinterpret_cast<const int*>(lp);
        if (wp > 0 && !edges)
            return FALSE;
        // No parts at all still leaves one part spanning the bar, as the control does.
        bar->edges.assign(edges, edges + wp);
        if (bar->edges.empty())
            bar->edges.push_back(-1);
        bar->texts.resize(bar->edges.size());
        InvalidateRect(h, nullptr, TRUE);
        return TRUE;
    }
    case SB_GETPARTS: {
        if (!bar)
            return 0;
        int* out = reinterpret_cast<int*>(lp);
        for (size_t i = 0; out && i < bar->edges.size() && i < wp; ++i)
            out[i] = bar->edges[i];
        return LRESULT(bar->edges.size());
    }
    case SB_SETTEXTA: {
        const size_t part = wp & 0xFF;
        if (!bar || part >= bar->edges.size())
            return FALSE;
        bar->texts[part] = lp ? reinterpret_cast<const char*>(lp) : "";
        InvalidateRect(h, nullptr, TRUE);
        return TRUE;
    }
    case SB_GETTEXTA: {
        const size_t part = wp & 0xFF;
        if (!bar || part >= bar->texts.size())
            return 0;
        if (char* out = reinterpret_cast<char*>(lp))
            std::strcpy(out, bar->texts[part].c_str());
        return LRESULT(bar->texts[part].size());
    }
    case SB_GETTEXTLENGTHA: {
        const size_t part = wp & 0xFF;
        return bar && part < bar->texts.size() ? LRESULT(bar->texts[part].size()) : 0;
    }
    case WM_SETTEXT:
        if (bar) {
            bar->texts[0] = lp ? reinterpret_cast<const char*>(lp) : "";
            InvalidateRect(h, nullptr, TRUE);
        }
        return TRUE;
    default:
        return DefWindowProcA(h, msg, wp, lp);
    }
}

} // namespace
} // namespace velvix::x11

extern "C" {

void WINAPI InitCommonControls(void) {
    WNDCLASSEXA existing;
    if (GetClassInfoExA(nullptr, STATUSCLASSNAMEA, &existing))
        return;
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = velvix::x11::StatusProc;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = STATUSCLASSNAMEA;
    RegisterClassExA(&wc);
}

HWND WINAPI CreateStatusWindowA(LONG style, LPCSTR text, HWND parent, UINT id) {
    InitCommonControls();
    return CreateWindowExA(0, STATUSCLASSNAMEA, text, DWORD(style) | WS_CHILD, 0, 0, 1, 22, parent,
                           reinterpret_cast<HMENU>(UINT_PTR(id)), nullptr, nullptr);
}

} // extern "C"
