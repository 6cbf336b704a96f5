// x11_input.cpp - X events into messages: mouse buttons and motion, keys with Windows
// virtual-key codes, focus, exposure, the window manager's close request; mouse capture,
// the cursor position and the foreground window.
//
// Input is queued (PostInput coalesces motion); what the platform sends rather than posts
// (WM_SIZE, WM_SETFOCUS...) is delivered by calling the window procedure, which happens only
// inside PeekMessageA / GetMessageA, as on the original platform.
#include <X11/XKBlib.h>
#include <X11/keysym.h>

#include "platform/x11/x11_internal.h"

namespace velvix::x11 {
namespace {

using core::LookupLiveWindow;
using core::QueuedMessage;
using core::Window;

// Windows virtual-key code of an X keysym (0: none).
UINT VirtualKey(KeySym k) {
    if (k >= XK_a && k <= XK_z)
        return UINT('A' + (k - XK_a));
    if (k >= XK_A && k <= XK_Z)
        return UINT('A' + (k - XK_A));
    if (k >= XK_0 && k <= XK_9)
        return UINT('0' + (k - XK_0));
    if (k >= XK_F1 && k <= XK_F24)
        return UINT(VK_F1 + (k - XK_F1));
    if (k >= XK_KP_0 && k <= XK_KP_9)
        return UINT(VK_NUMPAD0 + (k - XK_KP_0));
    struct Pair {
        KeySym sym;
        UINT vk;
    };
    static const Pair table[] = {
        {XK_BackSpace, VK_BACK},
        {XK_Tab, VK_TAB},
        {XK_ISO_Left_Tab, VK_TAB},
        {XK_Clear, VK_CLEAR},
        {XK_Return, VK_RETURN},
        {XK_KP_Enter, VK_RETURN},
        {XK_Shift_L, VK_SHIFT},
        {XK_Shift_R, VK_SHIFT},
        {XK_Control_L, VK_CONTROL},
        {XK_Control_R, VK_CONTROL},
        {XK_Alt_L, VK_MENU},
        {XK_Alt_R, VK_MENU},
        {XK_ISO_Level3_Shift, VK_MENU},
        {XK_Pause, VK_PAUSE},
        {XK_Caps_Lock, VK_CAPITAL},
        {XK_Escape, VK_ESCAPE},
        {XK_space, VK_SPACE},
        {XK_Prior, VK_PRIOR},
        {XK_Next, VK_NEXT},
        {XK_End, VK_END},
        {XK_Home, VK_HOME},
        {XK_Left, VK_LEFT},
        {XK_Up, VK_UP},
        {XK_Right, VK_RIGHT},
        {XK_Down, VK_DOWN},
        {XK_Select, VK_SELECT},
        {XK_Print, VK_SNAPSHOT},
        {XK_Insert, VK_INSERT},
        {XK_Delete, VK_DELETE},
        {XK_Help, VK_HELP},
        {XK_Super_L, VK_LWIN},
        {XK_Super_R, VK_RWIN},
        {XK_Menu, VK_APPS},
        {XK_KP_Multiply, VK_MULTIPLY},
        {XK_KP_Add, VK_ADD},
        {XK_KP_Separator, VK_SEPARATOR},
        {XK_KP_Subtract, VK_SUBTRACT},
        {XK_KP_Decimal, VK_DECIMAL},
        {XK_KP_Divide, VK_DIVIDE},
        {XK_KP_Home, VK_HOME},
        {XK_KP_End, VK_END},
        {XK_KP_Up, VK_UP},
        {XK_KP_Down, VK_DOWN},
        {XK_KP_Left, VK_LEFT},
        {XK_KP_Right, VK_RIGHT},
        {XK_KP_Prior, VK_PRIOR},
        {XK_KP_Next, VK_NEXT},
        {XK_KP_Insert, VK_INSERT},
        {XK_KP_Delete, VK_DELETE},
        {XK_Num_Lock, VK_NUMLOCK},
        {XK_Scroll_Lock, VK_SCROLL},
        {XK_semicolon, VK_OEM_1},
        {XK_plus, VK_OEM_PLUS},
        {XK_equal, VK_OEM_PLUS},
        {XK_comma, VK_OEM_COMMA},
        {XK_minus, VK_OEM_MINUS},
        {XK_period, VK_OEM_PERIOD},
        {XK_slash, VK_OEM_2},
        {XK_grave, VK_OEM_3},
        {XK_bracketleft, VK_OEM_4},
        {XK_backslash, VK_OEM_5},
        {XK_bracketright, VK_OEM_6},
        {XK_apostrophe, VK_OEM_7},
        {XK_less, VK_OEM_102},
    };
    for (const Pair& p : table)
        if (p.sym == k)
            return p.vk;
    return 0;
}

WPARAM MouseKeys(unsigned state) {
    WPARAM wp = 0;
    if (state & Button1Mask)
        wp |= MK_LBUTTON;
    if (state & Button3Mask)
        wp |= MK_RBUTTON;
    if (state & Button2Mask)
        wp |= MK_MBUTTON;
    if (state & ShiftMask)
        wp |= MK_SHIFT;
    if (state & ControlMask)
        wp |= MK_CONTROL;
    return wp;
}

// The window that gets a pointer event at (x, y) of `xid`: the capture window when there is
// one (coordinates translated to it), else the window the event came for.
HWND PointerTarget(::Window xid, int* x, int* y) {
    HWND target = WindowFromX(xid);
    HWND capture = core::TheState().capture;
    if (capture && LookupLiveWindow(capture) && capture != target) {
        Connection* c = Conn();
        ::Window child;
        int cx, cy;
        if (XTranslateCoordinates(c->display, xid, XidOf(capture), *x, *y, &cx, &cy, &child))
            *x = cx, *y = cy;
        return capture;
    }
    return target;
}

void PostInput(HWND h, UINT msg, WPARAM wp, LPARAM lp, Time time, int rootX, int rootY,
               unsigned ch = 0) {
    QueuedMessage q;
    q.msg.hwnd = h;
    q.msg.message = msg;
    q.msg.wParam = wp;
    q.msg.lParam = lp;
    q.msg.time = DWORD(time);
    q.msg.pt = POINT{rootX, rootY};
    q.ch = ch;
    core::Queue().PostInput(q);
}

void OnButton(XButtonEvent& e, bool press) {
    int x = e.x, y = e.y;
    HWND h = PointerTarget(e.window, &x, &y);
    if (!h)
        return;
    UINT msg = 0;
    unsigned state = e.state;
    const unsigned masks[4] = {0, Button1Mask, Button2Mask, Button3Mask};
    if (e.button >= 1 && e.button <= 3) {
        state = press ? state | masks[e.button] : state & ~masks[e.button];
        static const UINT down[4] = {0, WM_LBUTTONDOWN, WM_MBUTTONDOWN, WM_RBUTTONDOWN};
        static const UINT up[4] = {0, WM_LBUTTONUP, WM_MBUTTONUP, WM_RBUTTONUP};
        msg = press ? down[e.button] : up[e.button];
    } else if ((e.button == 4 || e.button == 5) && press) {
        const short delta = e.button == 4 ? 120 : -120;
        PostInput(h, WM_MOUSEWHEEL, MAKEWPARAM(MouseKeys(state), WORD(delta)),
                  MAKELPARAM(e.x_root, e.y_root), e.time, e.x_root, e.y_root);
        return;
    } else {
        return;
    }
    if (press) {
        // A click gives the clicked top-level window the focus.
        if (Window* w = LookupLiveWindow(core::TopLevelOf(h)))
            if (w->native && w->native->mapped)
                XSetInputFocus(Conn()->display, w->native->xid, RevertToParent, e.time);
    }
    PostInput(h, msg, MouseKeys(state), MAKELPARAM(x, y), e.time, e.x_root, e.y_root);
}

void OnMotion(XMotionEvent& e) {
    int x = e.x, y = e.y;
    HWND h = PointerTarget(e.window, &x, &y);
    if (h)
        PostInput(h, WM_MOUSEMOVE, MouseKeys(e.state), MAKELPARAM(x, y), e.time, e.x_root,
                  e.y_root);
}

void OnKey(XKeyEvent& e, bool press) {
    // Keys go to the focus window; a child never holds the X focus, so the top-level does.
    HWND h = core::TheState().focus;
    if (!LookupLiveWindow(h))
        h = WindowFromX(e.window);
    Window* w = LookupLiveWindow(h);
    if (!w)
        return;
    // The unshifted keysym names the key whatever the modifiers (Shift+A is still VK 'A')...
    KeySym sym = XkbKeycodeToKeysym(e.display, KeyCode(e.keycode), 0, 0);
    char text[8] = {};
    KeySym typed = NoSymbol;
    const int n = XLookupString(&e, text, sizeof text, &typed, nullptr);
    // ...except on the keypad, where NumLock (and Shift) choose between the digit and the
    // navigation key, and the virtual key follows that choice.
    if (IsKeypadKey(sym) && IsKeypadKey(typed))
        sym = typed;
    UINT vk = VirtualKey(sym);
    if (!vk)
        return;
    unsigned ch = n == 1 ? static_cast<unsigned char>(text[0]) : 0;
    const bool alt = (e.state & Mod1Mask) || vk == VK_MENU;
    Window* top = LookupLiveWindow(core::TopLevelOf(h));
    bool& down = (top && top->native ? top->native : w->native)->keysDown[vk & 0xFF];
    LPARAM lp = 1 | (LPARAM(e.keycode > 8 ? e.keycode - 8 : 0) & 0xFF) << 16;
    if (alt)
        lp |= LPARAM(1) << 29;
    if (press) {
        if (down)
            lp |= LPARAM(1) << 30;
        down = true;
    } else {
        lp |= (LPARAM(1) << 30) | (LPARAM(1) << 31);
        down = false;
    }
    // Alt combinations and F10 belong to the system (menus), as on the original platform.
    const bool system = alt || vk == VK_F10;
    UINT msg = press ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    if (ch == 0x7F) // Delete produces no character message
        ch = 0;
    PostInput(h, msg, vk, lp, e.time, e.x_root, e.y_root, press ? ch : 0);
}

void OnConfigure(XConfigureEvent& e) {
    HWND h = WindowFromX(e.window);
    Window* w = LookupLiveWindow(h);
    if (!w || e.window != w->native->xid)
        return;
    const bool resized = e.width != w->width || e.height != w->height;
    w->width = e.width, w->height = e.height;
    if (!(w->style & WS_CHILD)) {
        // The position a window manager reports is that of its frame, or our own in the root.
        POINT p = {0, 0};
        ClientToScreen(h, &p);
        w->x = p.x, w->y = p.y;
    }
    if (resized)
        core::CallProc(w, WM_SIZE, 0, MAKELPARAM(e.width, e.height));
}

void OnProperty(XPropertyEvent& e) {
    Connection* c = Conn();
    Window* w = LookupLiveWindow(WindowFromX(e.window));
    if (!w || e.atom != c->atoms._NET_FRAME_EXTENTS || !w->native)
        return;
    ReadFrame(w);
}

} // namespace

void HandleEvent(XEvent& e) {
    Connection* c = Conn();
    switch (e.type) {
    case ButtonPress:
    case ButtonRelease:
        OnButton(e.xbutton, e.type == ButtonPress);
        break;
    case MotionNotify:
        OnMotion(e.xmotion);
        break;
    case KeyPress:
    case KeyRelease:
        OnKey(e.xkey, e.type == KeyPress);
        break;
    case Expose:
        if (Window* w = LookupLiveWindow(WindowFromX(e.xexpose.window)))
            core::InvalidateWindow(w, true);
        break;
    case ConfigureNotify:
        OnConfigure(e.xconfigure);
        break;
    case PropertyNotify:
        OnProperty(e.xproperty);
        break;
    case MapNotify:
        if (Window* w = LookupLiveWindow(WindowFromX(e.xmap.window)))
            w->iconic = false;
        break;
    case UnmapNotify:
        if (Window* w = LookupLiveWindow(WindowFromX(e.xunmap.window)))
            if (w->visible && !(w->style & WS_CHILD))
                w->iconic = true; // unmapped by the window manager: minimised
        break;
    case DestroyNotify:
        // Our own destroys forget the X window first, so this one was destroyed by another
        // client: the window is gone, and the program hears of it as of any destroyed window
        // instead of drawing into nothing for ever.
        if (e.xdestroywindow.event == e.xdestroywindow.window)
            if (HWND h = WindowFromX(e.xdestroywindow.window))
                if (Window* w = LookupLiveWindow(h))
                    if (!(w->style & WS_CHILD))
                        DestroyWindow(h);
        break;
    case FocusIn:
        // NOTE: X also sends focus events down to the window under the pointer (detail
        // NotifyPointer) and for grabs; only the real focus window's own events count.
        if (e.xfocus.mode == NotifyGrab || e.xfocus.mode == NotifyUngrab ||
            e.xfocus.detail == NotifyPointer || e.xfocus.detail >= NotifyPointerRoot)
            break;
        if (HWND h = WindowFromX(e.xfocus.window)) {
            // Children never hold the X focus: SetFocus(child) gives it to the top-level, and
            // that FocusIn must leave the child its focus.
            if (LookupLiveWindow(h) && !core::IsDescendant(h, core::TheState().focus)) {
                core::TheState().focus = h;
                core::CallProc(core::LookupWindow(h), WM_SETFOCUS, 0, 0);
            }
        }
        break;
    case FocusOut:
        if (e.xfocus.mode == NotifyGrab || e.xfocus.mode == NotifyUngrab ||
            e.xfocus.detail == NotifyPointer || e.xfocus.detail >= NotifyPointerRoot)
            break;
        if (HWND h = WindowFromX(e.xfocus.window)) {
            // The focus leaves with the top-level, also when one of its children had it.
            const HWND focus = core::TheState().focus;
            if (core::IsDescendant(h, focus)) {
                core::TheState().focus = nullptr;
                core::CallProc(core::LookupWindow(focus), WM_KILLFOCUS, 0, 0);
                // Keys held while the focus leaves will never be released here.
                if (Window* w = core::LookupWindow(h))
                    if (w->native)
                        std::fill(std::begin(w->native->keysDown), std::end(w->native->keysDown),
                                  false);
            }
        }
        break;
    case ClientMessage:
        if (e.xclient.message_type == c->atoms.WM_PROTOCOLS &&
            Atom(e.xclient.data.l[0]) == c->atoms.WM_DELETE_WINDOW) {
            // The window manager's close takes the close button's road.
            if (HWND h = WindowFromX(e.xclient.window))
                PostMessageA(h, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        break;
    default:
        break;
    }
}

} // namespace velvix::x11

using namespace velvix;

extern "C" {

HWND WINAPI SetCapture(HWND h) {
    core::State& s = core::TheState();
    HWND old = core::LookupWindow(s.capture) ? s.capture : nullptr;
    x11::Connection* c = x11::Conn();
    ::Window xid = x11::XidOf(h);
    if (!c || !xid || !core::LookupLiveWindow(h))
        return old;
    s.capture = h;
    // A pointer grab, so a drag that leaves the window keeps arriving here.
    x11::ErrorTrap trap;
    XGrabPointer(c->display, xid, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                 GrabModeAsync, GrabModeAsync, 0, 0, CurrentTime);
    XFlush(c->display);
    return old;
}

BOOL WINAPI ReleaseCapture(void) {
    core::State& s = core::TheState();
    x11::Connection* c = x11::Conn();
    const bool had = s.capture != nullptr;
    s.capture = nullptr;
    if (c && had) {
        XUngrabPointer(c->display, CurrentTime);
        XFlush(c->display);
    }
    return TRUE;
}

BOOL WINAPI GetCursorPos(LPPOINT p) {
    x11::Connection* c = x11::Conn();
    if (!p)
        return FALSE;
    if (!c) {
        *p = POINT{0, 0};
        return FALSE;
    }
    ::Window root, child;
    int rx, ry, wx, wy;
    unsigned mask;
    XQueryPointer(c->display, c->root, &root, &child, &rx, &ry, &wx, &wy, &mask);
    *p = POINT{rx, ry};
    return TRUE;
}

BOOL WINAPI SetCursorPos(int x, int y) {
    x11::Connection* c = x11::Conn();
    if (!c)
        return FALSE;
    XWarpPointer(c->display, 0, c->root, 0, 0, 0, 0, x, y);
    XFlush(c->display);
    return TRUE;
}

HWND WINAPI GetForegroundWindow(void) {
    HWND f = core::TheState().focus;
    return core::LookupLiveWindow(f) ? core::TopLevelOf(f) : nullptr;
}

HWND WINAPI SetFocus(HWND h) {
    core::State& s = core::TheState();
    HWND old = core::LookupWindow(s.focus) ? s.focus : nullptr;
    core::Window* w = core::LookupLiveWindow(h);
    x11::Connection* c = x11::Conn();
    if (!w || !c)
        return old;
    if (old == h)
        return old;
    s.focus = h;
    if (old) {
        core::CallProc(core::LookupWindow(old), WM_KILLFOCUS, WPARAM(h), 0);
        if (!(w = core::LookupLiveWindow(h)))
            return old; // the old focus destroyed the new one
    }
    if (core::Window* top = core::LookupLiveWindow(core::TopLevelOf(h)))
        if (top->native && top->native->mapped) {
            x11::ErrorTrap trap;
            XSetInputFocus(c->display, top->native->xid, RevertToParent, CurrentTime);
        }
    core::CallProc(w, WM_SETFOCUS, WPARAM(old), 0);
    return old;
}

} // extern "C"
