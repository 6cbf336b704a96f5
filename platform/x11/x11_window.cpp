// x11_window.cpp - windows: creation (WM_CREATE before CreateWindowExA returns), destruction
// (WM_DESTROY, children first), showing, moving, titles and rectangles.
//
// A captioned top-level window's outer size is what the caller asked for: the frame the window
// manager adds (_NET_FRAME_EXTENTS, asked for before mapping) is taken off the client area. A
// pop-up without caption that covers the primary monitor becomes a full-screen window
// (_NET_WM_STATE_FULLSCREEN before mapping). Windows without WS_THICKFRAME cannot be resized
// (equal minimum and maximum size hints) and offer no maximise button.
#include <X11/Xatom.h>
#include <X11/extensions/shape.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <poll.h>
#include <unistd.h>

#include "platform/gdi/dc.h"
#include "platform/gdi/objects.h"
#include "platform/gdi/region.h"
#include "platform/x11/x11_internal.h"
#include "platform/x11/x11_text.h"

namespace velvix::x11 {
namespace {

using core::Window;

constexpr long kEventMask = ExposureMask | KeyPressMask | KeyReleaseMask | ButtonPressMask |
                            ButtonReleaseMask | PointerMotionMask | StructureNotifyMask |
                            FocusChangeMask | PropertyChangeMask | EnterWindowMask |
                            LeaveWindowMask;

bool IsTopLevel(const Window* w) {
    return !(w->style & WS_CHILD);
}

// Asks the window manager for the frame it will give `xid` and waits briefly for the answer.
void LearnFrame(Window* w) {
    Connection* c = Conn();
    if (!WmSupports(c->atoms._NET_REQUEST_FRAME_EXTENTS))
        return;
    XEvent e = {};
    e.xclient.type = ClientMessage;
    e.xclient.window = w->native->xid;
    e.xclient.message_type = c->atoms._NET_REQUEST_FRAME_EXTENTS;
    e.xclient.format = 32;
    XSendEvent(c->display, c->root, False, SubstructureNotifyMask | SubstructureRedirectMask, &e);
    XFlush(c->display);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
    while (!ReadFrame(w)) {
        if (std::chrono::steady_clock::now() > deadline)
            return;
        usleep(5000);
    }
}

void SetSizeHints(Window* w) {
    Connection* c = Conn();
    XSizeHints* hints = XAllocSizeHints();
    hints->flags = PPosition | USPosition;
    hints->x = w->x;
    hints->y = w->y;
    if (!(w->style & WS_THICKFRAME)) {
        hints->flags |= PMinSize | PMaxSize;
        hints->min_width = hints->max_width = std::max(1, w->width);
        hints->min_height = hints->max_height = std::max(1, w->height);
    }
    XSetWMNormalHints(c->display, w->native->xid, hints);
    XFree(hints);
}

void SetDecorations(Window* w) {
    Connection* c = Conn();
    // Motif hints: flags (functions, decorations), functions, decorations, input mode, status.
    long hints[5] = {1 | 2, 0, 0, 0, 0};
    const long kResize = 2, kMove = 4, kMinimize = 8, kMaximize = 16, kClose = 32;
    hints[1] = kMove | kClose;
    if (w->style & WS_MINIMIZEBOX)
        hints[1] |= kMinimize;
    if (w->style & WS_MAXIMIZEBOX)
        hints[1] |= kMaximize;
    if (w->style & WS_THICKFRAME)
        hints[1] |= kResize;
    hints[2] = (w->style & WS_CAPTION) == WS_CAPTION ? 1 : 0; // all decorations, or none
    XChangeProperty(c->display, w->native->xid, c->atoms._MOTIF_WM_HINTS, c->atoms._MOTIF_WM_HINTS,
                    32, PropModeReplace, reinterpret_cast<unsigned char*>(hints), 5);
}

} // namespace

void SetTitle(::Window xid, const std::string& ansi) {
    Connection* c = Conn();
    const std::string utf8 = Cp1252ToUtf8(ansi.c_str());
    XChangeProperty(c->display, xid, c->atoms._NET_WM_NAME, c->atoms.UTF8_STRING, 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(utf8.data()),
                    int(utf8.size()));
    XTextProperty tp;
    char* list[1] = {const_cast<char*>(utf8.c_str())};
    if (Xutf8TextListToTextProperty(c->display, list, 1, XStdICCTextStyle, &tp) >= Success) {
        XSetWMName(c->display, xid, &tp);
        XFree(tp.value);
    }
}

bool ReadFrame(Window* w) {
    Connection* c = Conn();
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    // Any client can set the property: 8 or 16-bit items would be read past their end.
    const bool ok =
        XGetWindowProperty(c->display, w->native->xid, c->atoms._NET_FRAME_EXTENTS, 0, 4, False,
                           XA_CARDINAL, &type, &format, &count, &after, &data) == Success &&
        data && type == XA_CARDINAL && format == 32 && count == 4;
    if (ok) {
        // The property says left, right, top, bottom; the window keeps left, top, right, bottom.
        const long* f = reinterpret_cast<const long*>(data);
        w->frame[0] = int(f[0]), w->frame[2] = int(f[1]), w->frame[1] = int(f[2]),
        w->frame[3] = int(f[3]);
    }
    if (data)
        XFree(data);
    return ok;
}

void ShowNative(Window* w, bool show) {
    Connection* c = Conn();
    if (!w->native || !c)
        return;
    // `mapped` says what we asked for, but the window manager unmaps an iconified window behind
    // our back: mapping it again is how a client asks for it back.
    if (show && (!w->native->mapped || (IsTopLevel(w) && w->iconic))) {
        XMapWindow(c->display, w->native->xid);
        if (IsTopLevel(w)) {
            XRaiseWindow(c->display, w->native->xid);
            // A newly shown top-level window is the active one, as on the original platform.
            // NOTE: without a window manager nobody else gives it the focus (after a message
            // box closes, the focus would fall back to the root); with one, the window manager
            // decides, and the window is not viewable yet anyway.
            if (!WmRunning()) {
                ErrorTrap trap;
                XSetInputFocus(c->display, w->native->xid, RevertToParent, CurrentTime);
            }
        }
        w->native->mapped = true;
        XFlush(c->display);
    } else if (!show && w->native->mapped) {
        // An iconified window is unmapped already (by the window manager): only the synthetic
        // UnmapNotify of a withdrawal tells the window manager to let go of it.
        if (IsTopLevel(w) && w->iconic)
            XWithdrawWindow(c->display, w->native->xid, c->screen);
        else
            XUnmapWindow(c->display, w->native->xid);
        w->native->mapped = false;
        XFlush(c->display);
    }
}

} // namespace velvix::x11

namespace velvix::x11 {
namespace {

// One colormap per visual (windows of a GL pixel format may use another visual than the rest).
Colormap ColormapFor(Visual* visual) {
    Connection* c = Conn();
    if (visual == c->visual)
        return c->colormap;
    static std::vector<std::pair<Visual*, Colormap>> maps;
    for (auto& m : maps)
        if (m.first == visual)
            return m.second;
    maps.emplace_back(visual, XCreateColormap(c->display, c->root, visual, AllocNone));
    return maps.back().second;
}

// Makes the X window for `w` with `visual`; 0 when the server refuses.
::Window MakeXWindow(Window* w, ::Window parent, Visual* visual, int depth) {
    Connection* c = Conn();
    XSetWindowAttributes a = {};
    a.colormap = ColormapFor(visual);
    a.border_pixel = 0;
    a.background_pixel = 0;
    a.event_mask = kEventMask;
    a.bit_gravity = NorthWestGravity;
    unsigned long mask = CWColormap | CWBorderPixel | CWEventMask | CWBitGravity;
    // Windows with a class brush get the brush colour as X background, so exposed areas do
    // not flash black before the program paints; GL windows paint everything themselves.
    COLORREF brush;
    if (w->cls && core::SysBrushColor(w->cls->wc.hbrBackground, &brush)) {
        a.background_pixel = (GetRValue(brush) << 16) | (GetGValue(brush) << 8) | GetBValue(brush);
        mask |= CWBackPixel;
    } else {
        a.background_pixmap = 0; // None: keep what is there
        mask |= CWBackPixmap;
    }
    ErrorTrap trap;
    ::Window xid =
        XCreateWindow(c->display, parent, w->x, w->y, unsigned(std::max(1, w->width)),
                      unsigned(std::max(1, w->height)), 0, depth, InputOutput, visual, mask, &a);
    if (trap.Failed())
        return 0;
    XSaveContext(c->display, xid, c->context, reinterpret_cast<XPointer>(w->self));
    if (w->cls && w->cls->wc.hCursor)
        ApplyCursor(xid, w->cls->wc.hCursor);
    return xid;
}

// The properties a window manager reads from a top-level window.
void SetTopLevelProperties(Window* w) {
    Connection* c = Conn();
    Display* d = c->display;
    const ::Window xid = w->native->xid;
    Atom protocols[] = {c->atoms.WM_DELETE_WINDOW};
    XSetWMProtocols(d, xid, protocols, 1);
    XWMHints* wm = XAllocWMHints();
    wm->flags = InputHint | StateHint;
    wm->input = True;
    wm->initial_state = NormalState;
    XSetWMHints(d, xid, wm);
    XFree(wm);
    XClassHint* cls = XAllocClassHint();
    cls->res_name = const_cast<char*>("velvix");
    cls->res_class = const_cast<char*>(w->cls ? w->cls->name.c_str() : "Velvix");
    XSetClassHint(d, xid, cls);
    XFree(cls);
    long pid = getpid();
    XChangeProperty(d, xid, c->atoms._NET_WM_PID, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&pid), 1);
    Atom type = c->atoms._NET_WM_WINDOW_TYPE_NORMAL;
    XChangeProperty(d, xid, c->atoms._NET_WM_WINDOW_TYPE, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&type), 1);
    SetTitle(xid, w->text);
    SetDecorations(w);
    if (w->native->fullscreen && WmSupports(c->atoms._NET_WM_STATE_FULLSCREEN)) {
        Atom state = c->atoms._NET_WM_STATE_FULLSCREEN;
        XChangeProperty(d, xid, c->atoms._NET_WM_STATE, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(&state), 1);
    }
}

} // namespace

bool RecreateWithVisual(Window* w, Visual* visual, int depth) {
    Connection* c = Conn();
    if (!c || !w->native)
        return false;
    if (w->native->visual == visual)
        return true;
    const ::Window old = w->native->xid;
    ::Window parent = c->root;
    if (w->style & WS_CHILD)
        parent = XidOf(w->parent);
    // A top-level window's position is that of its client area; X wants the frame's.
    const int keepX = w->x, keepY = w->y;
    if (!(w->style & WS_CHILD))
        w->x -= w->frame[0], w->y -= w->frame[1];
    ::Window xid = MakeXWindow(w, parent, visual, depth);
    w->x = keepX, w->y = keepY;
    if (!xid)
        return false;
    const bool mapped = w->native->mapped;
    ForgetDrawable(old);
    {
        ErrorTrap trap;
        // Children move over to the new window, keeping their positions.
        for (HWND child : w->children)
            if (::Window cx = XidOf(child)) {
                core::Window* cw = core::LookupWindow(child);
                XReparentWindow(c->display, cx, xid, cw->x, cw->y);
            }
        XDeleteContext(c->display, old, c->context);
        XDestroyWindow(c->display, old);
        trap.Failed();
    }
    w->native->xid = xid;
    w->native->visual = visual;
    w->native->mapped = false;
    if (!(w->style & WS_CHILD)) {
        SetTopLevelProperties(w);
        SetSizeHints(w);
    }
    if (mapped)
        ShowNative(w, true);
    return true;
}

} // namespace velvix::x11

namespace velvix::core::backend {

bool CreateNative(Window* w) {
    x11::Connection* c = x11::Conn();
    if (!c)
        return false;
    Display* d = c->display;
    ::Window parent = c->root;
    if (w->style & WS_CHILD)
        parent = x11::XidOf(w->parent);
    if (!parent)
        return false;
    ::Window xid = x11::MakeXWindow(w, parent, c->visual, c->depth);
    if (!xid)
        return false;
    w->native = new NativeWindow();
    w->native->xid = xid;
    w->native->visual = c->visual;
    if (w->style & WS_CHILD)
        return true;

    int mx, my, mw, mh;
    x11::PrimaryMonitor(&mx, &my, &mw, &mh);
    const bool captioned = (w->style & WS_CAPTION) == WS_CAPTION;
    w->native->fullscreen = !captioned && (w->style & WS_POPUP) && w->x <= mx && w->y <= my &&
                            w->x + w->width >= mx + mw && w->y + w->height >= my + mh;
    x11::SetTopLevelProperties(w);
    if (captioned) {
        // The caller gave the outer size: take the frame off the client area.
        x11::LearnFrame(w);
        const int cw = std::max(1, w->width - w->frame[0] - w->frame[2]);
        const int ch = std::max(1, w->height - w->frame[1] - w->frame[3]);
        w->width = cw, w->height = ch;
        XResizeWindow(d, xid, unsigned(cw), unsigned(ch));
    }
    x11::SetSizeHints(w);
    return true;
}

void DestroyNative(Window* w) {
    x11::Connection* c = x11::Conn();
    if (!c || !w->native)
        return;
    x11::ForgetDrawable(w->native->xid);
    x11::ErrorTrap trap;
    XDeleteContext(c->display, w->native->xid, c->context);
    XDestroyWindow(c->display, w->native->xid);
    trap.Failed();
    delete w->native;
    w->native = nullptr;
}

} // namespace velvix::core::backend

using namespace velvix::core;
using CoreWindow = velvix::core::Window;
namespace x11 = velvix::x11;

namespace {

// Procedures may destroy any window, an ancestor of the one they were called for included:
// after every call into one, the window is looked up again by its handle.
void DestroyTree(HWND h) {
    CoreWindow* w = LookupWindow(h);
    if (!w)
        return;
    w->destroying = true;
    if (TheState().capture == h)
        ReleaseCapture();
    // WM_DESTROY goes to the window first, then to its children (which still exist).
    CallProc(w, WM_DESTROY, 0, 0);
    w = LookupWindow(h);
    if (!w)
        return;
    for (HWND child : std::vector<HWND>(w->children))
        if (CoreWindow* cw = LookupWindow(child))
            if (!cw->destroying)
                DestroyTree(child);
}

void FreeTree(HWND h) {
    CoreWindow* w = LookupWindow(h);
    if (!w)
        return;
    for (HWND child : std::vector<HWND>(w->children))
        FreeTree(child);
    if (!(w = LookupWindow(h)))
        return;
    CallProc(w, WM_NCDESTROY, 0, 0);
    if (!(w = LookupWindow(h)))
        return;
    if (w->dc)
        velvix_platform::GdiRemove(w->dc);
    if (w->region)
        velvix_platform::GdiRemove(w->region);
    Queue().Purge(h);
    if (TheState().focus == h)
        TheState().focus = nullptr;
    if (CoreWindow* p = LookupWindow(w->parent))
        p->children.erase(std::remove(p->children.begin(), p->children.end(), h),
                          p->children.end());
    std::unique_ptr<CoreWindow> dead = RemoveWindow(h);
    (void)dead;
}

} // namespace

extern "C" {

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x,
                            int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param) {
    WindowClass* cls = FindClass(className);
    if (!cls || !backend::HasDisplay())
        return nullptr;
    if ((style & WS_CHILD) && !LookupLiveWindow(parent))
        return nullptr;
    auto owned = std::make_unique<CoreWindow>();
    CoreWindow* w = owned.get();
    w->cls = cls;
    w->proc = cls->wc.lpfnWndProc;
    w->style = style;
    w->exStyle = exStyle;
    w->text = title ? title : "";
    if (style & WS_CHILD) {
        w->parent = parent;
        w->id = reinterpret_cast<UINT_PTR>(menu);
    }
    const bool popup = (style & WS_POPUP) != 0;
    w->x = x == CW_USEDEFAULT ? (popup || (style & WS_CHILD) ? 0 : 64) : x;
    w->y = x == CW_USEDEFAULT ? (popup || (style & WS_CHILD) ? 0 : 64) : y;
    w->width = width == CW_USEDEFAULT ? 640 : width;
    w->height = width == CW_USEDEFAULT ? 480 : height;
    HWND h = AddWindow(std::move(owned));
    if (!h)
        return nullptr;
    if (!backend::CreateNative(w)) {
        RemoveWindow(h);
        return nullptr;
    }
    if (CoreWindow* p = LookupWindow(w->parent))
        p->children.push_back(h);

    CREATESTRUCTA cs = {};
    cs.lpCreateParams = param;
    cs.hInstance = instance;
    cs.hMenu = menu;
    cs.hwndParent = parent;
    cs.cx = width, cs.cy = height, cs.x = x, cs.y = y;
    cs.style = LONG(style);
    cs.lpszName = title;
    cs.lpszClass = className;
    cs.dwExStyle = exStyle;
    // Most procedures never look at WM_NCCREATE; only an explicit -1 from WM_CREATE stops it.
    CallProc(w, WM_NCCREATE, 0, LPARAM(&cs));
    if (!(w = LookupLiveWindow(h)))
        return nullptr; // destroyed by its own WM_NCCREATE
    if (CallProc(w, WM_CREATE, 0, LPARAM(&cs)) == -1) {
        DestroyWindow(h);
        return nullptr;
    }
    if (!LookupLiveWindow(h))
        return nullptr;
    if (style & WS_VISIBLE)
        ShowWindow(h, SW_SHOW);
    return h;
}

BOOL WINAPI DestroyWindow(HWND h) {
    CoreWindow* w = LookupWindow(h);
    if (!w || w->destroying)
        return FALSE;
    x11::ShowNative(w, false);
    DestroyTree(h);
    // A WM_DESTROY handler that destroyed an ancestor has freed this window with it.
    if (!(w = LookupWindow(h)))
        return TRUE;
    // The X windows go in one request: destroying the top one takes its subwindows along.
    backend::DestroyNative(w);
    std::function<void(HWND)> forget = [&](HWND child) {
        if (CoreWindow* cw = LookupWindow(child)) {
            for (HWND g : cw->children)
                forget(g);
            if (cw->native) {
                x11::ForgetDrawable(cw->native->xid);
                XDeleteContext(x11::Conn()->display, cw->native->xid, x11::Conn()->context);
                delete cw->native;
                cw->native = nullptr;
            }
        }
    };
    for (HWND child : w->children)
        forget(child);
    FreeTree(h);
    return TRUE;
}

BOOL WINAPI ShowWindow(HWND h, int cmd) {
    CoreWindow* w = LookupLiveWindow(h);
    if (!w)
        return FALSE;
    const BOOL was = w->visible ? TRUE : FALSE;
    x11::Connection* c = x11::Conn();
    switch (cmd) {
    case SW_HIDE:
        w->visible = false;
        x11::ShowNative(w, false);
        break;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
        if (!w->visible) {
            w->visible = true;
            x11::ShowNative(w, true);
        }
        if (c && w->native && !(w->style & WS_CHILD)) {
            XIconifyWindow(c->display, w->native->xid, c->screen);
            XFlush(c->display);
        }
        w->iconic = true;
        break;
    default:
        w->visible = true;
        x11::ShowNative(w, true); // before `iconic` is cleared: it maps an iconified window again
        w->iconic = false;
        InvalidateWindow(w, true);
        break;
    }
    return was;
}

BOOL WINAPI MoveWindow(HWND h, int x, int y, int width, int height, BOOL repaint) {
    CoreWindow* w = LookupLiveWindow(h);
    x11::Connection* c = x11::Conn();
    if (!w || !c || !w->native)
        return FALSE;
    if (w->style & WS_CHILD) {
        w->x = x, w->y = y;
        w->width = std::max(0, width), w->height = std::max(0, height);
    } else {
        // Outer rectangle in, client rectangle kept.
        w->x = x + w->frame[0], w->y = y + w->frame[1];
        w->width = std::max(1, width - w->frame[0] - w->frame[2]);
        w->height = std::max(1, height - w->frame[1] - w->frame[3]);
        x11::SetSizeHints(w);
    }
    // A top-level window is placed by its outer position, as at creation: with north-west
    // gravity the window manager puts its frame there.
    const int xx = w->style & WS_CHILD ? w->x : x, yy = w->style & WS_CHILD ? w->y : y;
    XMoveResizeWindow(c->display, w->native->xid, xx, yy, unsigned(std::max(1, w->width)),
                      unsigned(std::max(1, w->height)));
    XFlush(c->display);
    if (repaint)
        InvalidateWindow(w, true);
    return TRUE;
}

BOOL WINAPI SetWindowPos(HWND h, HWND, int x, int y, int cx, int cy, UINT flags) {
    RECT r;
    if (!GetWindowRect(h, &r))
        return FALSE;
    CoreWindow* w = LookupWindow(h);
    if (w->style & WS_CHILD) {
        POINT p = {r.left, r.top};
        ScreenToClient(w->parent, &p);
        r = RECT{p.x, p.y, p.x + (r.right - r.left), p.y + (r.bottom - r.top)};
    }
    if (!(flags & SWP_NOMOVE))
        r = RECT{x, y, x + (r.right - r.left), y + (r.bottom - r.top)};
    if (!(flags & SWP_NOSIZE))
        r.right = r.left + cx, r.bottom = r.top + cy;
    MoveWindow(h, r.left, r.top, r.right - r.left, r.bottom - r.top, !(flags & SWP_NOREDRAW));
    if (flags & SWP_SHOWWINDOW)
        ShowWindow(h, SW_SHOW);
    if (flags & SWP_HIDEWINDOW)
        ShowWindow(h, SW_HIDE);
    return TRUE;
}

BOOL WINAPI ClientToScreen(HWND h, LPPOINT p) {
    x11::Connection* c = x11::Conn();
    ::Window xid = x11::XidOf(h);
    if (!c || !xid || !p)
        return FALSE;
    int sx, sy;
    ::Window child;
    if (!XTranslateCoordinates(c->display, xid, c->root, p->x, p->y, &sx, &sy, &child))
        return FALSE;
    p->x = sx, p->y = sy;
    return TRUE;
}

BOOL WINAPI ScreenToClient(HWND h, LPPOINT p) {
    x11::Connection* c = x11::Conn();
    ::Window xid = x11::XidOf(h);
    if (!c || !xid || !p)
        return FALSE;
    int cx, cy;
    ::Window child;
    if (!XTranslateCoordinates(c->display, c->root, xid, p->x, p->y, &cx, &cy, &child))
        return FALSE;
    p->x = cx, p->y = cy;
    return TRUE;
}

BOOL WINAPI GetWindowRect(HWND h, LPRECT r) {
    CoreWindow* w = LookupWindow(h);
    if (!w || !r)
        return FALSE;
    POINT p = {0, 0};
    if (!ClientToScreen(h, &p))
        return FALSE;
    const int* f = w->style & WS_CHILD ? nullptr : w->frame;
    r->left = p.x - (f ? f[0] : 0);
    r->top = p.y - (f ? f[1] : 0);
    r->right = p.x + w->width + (f ? f[2] : 0);
    r->bottom = p.y + w->height + (f ? f[3] : 0);
    return TRUE;
}

int WINAPI SetWindowRgn(HWND h, HRGN rgn, BOOL redraw) {
    CoreWindow* w = LookupLiveWindow(h);
    x11::Connection* c = x11::Conn();
    velvix_platform::GdiRegion* r = velvix_platform::GdiLookupAs<velvix_platform::GdiRegion>(rgn);
    if (!w || !c || !w->native || (rgn && !r))
        return 0;
    // The shape clips both what shows and where the pointer reaches the window: a click on a
    // cut-out pixel goes to the window beneath.
    std::vector<XRectangle> rects;
    if (r) {
        int n = 0;
        const pixman_box32_t* boxes = pixman_region32_rectangles(&r->region, &n);
        for (int i = 0; i < n; ++i)
            rects.push_back({short(boxes[i].x1), short(boxes[i].y1),
                             ushort(boxes[i].x2 - boxes[i].x1), ushort(boxes[i].y2 - boxes[i].y1)});
    }
    x11::ErrorTrap trap;
    for (int kind : {ShapeBounding, ShapeInput}) {
        if (r)
            XShapeCombineRectangles(c->display, w->native->xid, kind, 0, 0, rects.data(),
                                    int(rects.size()), ShapeSet, Unsorted);
        else
            XShapeCombineMask(c->display, w->native->xid, kind, 0, 0, 0, ShapeSet);
    }
    if (w->region && w->region != rgn)
        velvix_platform::GdiRemove(w->region);
    w->region = rgn; // the window owns it from now on
    if (redraw)
        InvalidateWindow(w, true);
    return 1;
}

BOOL WINAPI SetWindowTextA(HWND h, LPCSTR text) {
    CoreWindow* w = LookupWindow(h);
    if (!w)
        return FALSE;
    w->text = text ? text : "";
    if (w->native && !(w->style & WS_CHILD)) {
        x11::SetTitle(w->native->xid, w->text);
        XFlush(x11::Conn()->display);
    }
    return TRUE;
}

} // extern "C"
