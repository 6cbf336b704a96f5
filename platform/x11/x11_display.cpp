// x11_display.cpp - the display connection: opening it on first use, atoms, the visual all
// windows share, X error handling, the primary monitor, system metrics, and the event pump.
//
// X errors never abort the program and print nothing: the handler only notes the failing
// request, which ErrorTrap reads back. Losing the connection ends the program with a message
// and exit code 3: there is no way to go on without a display.
#include <X11/Xatom.h>
#include <X11/Xresource.h>
#include <X11/XKBlib.h>
#include <X11/extensions/Xrandr.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <poll.h>

#include "platform/platform_ext.h"
#include "platform/x11/x11_internal.h"

namespace velvix::x11 {
namespace {

Connection g_conn;
bool g_tried = false;
unsigned long g_lastErrorSerial = 0;

int OnXError(Display*, XErrorEvent* e) {
    g_lastErrorSerial = e->serial;
    return 0;
}

int OnIOError(Display*) {
    std::fprintf(stderr, "velvix: lost the connection to the X server; the program ends.\n");
    std::fflush(stderr);
    std::_Exit(3);
}

void ChooseVisual(Connection& c) {
    // Windows start with the visual of the format a usual request gets (double-buffered, with
    // alpha, depth and stencil, as the framework asks), so SetPixelFormat rarely has to remake
    // the window: a remade window is a new X window, which window managers and tools see come
    // and go.
    const int wanted[] = {GLX_X_RENDERABLE,
                          True,
                          GLX_DRAWABLE_TYPE,
                          GLX_WINDOW_BIT,
                          GLX_RENDER_TYPE,
                          GLX_RGBA_BIT,
                          GLX_DOUBLEBUFFER,
                          True,
                          GLX_ALPHA_SIZE,
                          8,
                          GLX_DEPTH_SIZE,
                          24,
                          GLX_STENCIL_SIZE,
                          8,
                          0};
    const int any[] = {GLX_X_RENDERABLE,
                       True,
                       GLX_DRAWABLE_TYPE,
                       GLX_WINDOW_BIT,
                       GLX_RENDER_TYPE,
                       GLX_RGBA_BIT,
                       GLX_DOUBLEBUFFER,
                       True,
                       0};
    for (const int* attrs : {wanted, any}) {
        int n = 0;
        GLXFBConfig* configs = glXChooseFBConfig(c.display, c.screen, attrs, &n);
        for (int i = 0; configs && i < n && !c.visual; ++i) {
            XVisualInfo* vi = glXGetVisualFromFBConfig(c.display, configs[i]);
            int samples = 0;
            glXGetFBConfigAttrib(c.display, configs[i], GLX_SAMPLES, &samples);
            if (vi && vi->depth == 24 && vi->c_class == TrueColor && samples == 0) {
                c.visual = vi->visual;
                c.depth = vi->depth;
            }
            if (vi)
                XFree(vi);
        }
        if (configs)
            XFree(configs);
        if (c.visual)
            break;
    }
    if (!c.visual) { // no GLX here: windows still work, GL contexts will not
        c.visual = DefaultVisual(c.display, c.screen);
        c.depth = DefaultDepth(c.display, c.screen);
    }
    c.colormap = XCreateColormap(c.display, c.root, c.visual, AllocNone);
}

} // namespace

Connection* Conn() {
    if (g_conn.display)
        return &g_conn;
    if (g_tried)
        return nullptr;
    g_tried = true;
    XInitThreads();
    Display* d = XOpenDisplay(nullptr);
    if (!d)
        return nullptr;
    g_conn.display = d;
    g_conn.screen = DefaultScreen(d);
    g_conn.root = RootWindow(d, g_conn.screen);
    XSetErrorHandler(OnXError);
    XSetIOErrorHandler(OnIOError);
    Atoms& a = g_conn.atoms;
#define VELVIX_ATOM(name) a.name = XInternAtom(d, #name, False)
    VELVIX_ATOM(WM_PROTOCOLS);
    VELVIX_ATOM(WM_DELETE_WINDOW);
    VELVIX_ATOM(WM_TAKE_FOCUS);
    VELVIX_ATOM(UTF8_STRING);
    VELVIX_ATOM(_NET_WM_NAME);
    VELVIX_ATOM(_NET_WM_STATE);
    VELVIX_ATOM(_NET_WM_STATE_FULLSCREEN);
    VELVIX_ATOM(_NET_FRAME_EXTENTS);
    VELVIX_ATOM(_NET_REQUEST_FRAME_EXTENTS);
    VELVIX_ATOM(_NET_SUPPORTED);
    VELVIX_ATOM(_NET_SUPPORTING_WM_CHECK);
    VELVIX_ATOM(_NET_WM_WINDOW_TYPE);
    VELVIX_ATOM(_NET_WM_WINDOW_TYPE_DIALOG);
    VELVIX_ATOM(_NET_WM_WINDOW_TYPE_NORMAL);
    VELVIX_ATOM(_MOTIF_WM_HINTS);
    VELVIX_ATOM(_NET_ACTIVE_WINDOW);
    VELVIX_ATOM(_NET_WM_PID);
    VELVIX_ATOM(WM_STATE);
#undef VELVIX_ATOM
    g_conn.context = XUniqueContext();
    // Held keys repeat as presses only, without the release X would otherwise put between them.
    Bool supported = False;
    XkbSetDetectableAutoRepeat(d, True, &supported);
    int eventBase, errorBase;
    g_conn.xrandr = XRRQueryExtension(d, &eventBase, &errorBase);
    ChooseVisual(g_conn);
    return &g_conn;
}

ErrorTrap::ErrorTrap() : serial_(Conn() ? NextRequest(Conn()->display) : 0) {}
ErrorTrap::~ErrorTrap() {
    if (Conn())
        XSync(Conn()->display, False);
}
bool ErrorTrap::Failed() {
    if (!Conn())
        return true;
    XSync(Conn()->display, False);
    return g_lastErrorSerial >= serial_;
}

HWND WindowFromX(::Window xid) {
    Connection* c = Conn();
    XPointer p = nullptr;
    if (!c || !xid || XFindContext(c->display, xid, c->context, &p) != 0)
        return nullptr;
    return reinterpret_cast<HWND>(p);
}

::Window XidOf(HWND h) {
    core::Window* w = core::LookupWindow(h);
    return w && w->native ? w->native->xid : 0;
}

namespace {
// Any client can set the window-manager properties: 32-bit items of the right type are read as
// longs, nothing else.

// The window that `on`'s _NET_SUPPORTING_WM_CHECK names, or 0 (absent, malformed, or `on`
// gone).
::Window ReadCheckWindow(Connection* c, ::Window on) {
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    ::Window named = 0;
    ErrorTrap trap;
    if (XGetWindowProperty(c->display, on, c->atoms._NET_SUPPORTING_WM_CHECK, 0, 1, False,
                           XA_WINDOW, &type, &format, &count, &after, &data) == Success &&
        data && type == XA_WINDOW && format == 32 && count == 1)
        named = *reinterpret_cast<::Window*>(data);
    if (data)
        XFree(data);
    return trap.Failed() ? 0 : named;
}

// The window manager's support list, read once per call (cheap, and window managers restart).
bool ReadSupported(Atom atom, bool* running) {
    Connection* c = Conn();
    *running = false;
    if (!c)
        return false;
    // A window manager that died leaves the root's property behind, naming a window that is
    // gone: only a check window that names itself proves one is running.
    const ::Window wm = ReadCheckWindow(c, c->root);
    if (!wm || ReadCheckWindow(c, wm) != wm)
        return false;
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    *running = true;
    bool found = false;
    if (XGetWindowProperty(c->display, c->root, c->atoms._NET_SUPPORTED, 0, 4096, False, XA_ATOM,
                           &type, &format, &count, &after, &data) == Success &&
        data && type == XA_ATOM && format == 32) {
        const Atom* atoms = reinterpret_cast<const Atom*>(data);
        for (unsigned long i = 0; i < count && !found; ++i)
            found = atoms[i] == atom;
    }
    if (data)
        XFree(data);
    return found;
}
} // namespace

bool WmSupports(Atom atom) {
    bool running;
    return ReadSupported(atom, &running);
}

bool WmRunning() {
    bool running;
    ReadSupported(0, &running);
    return running;
}

void PrimaryMonitor(int* x, int* y, int* width, int* height) {
    Connection* c = Conn();
    *x = *y = *width = *height = 0;
    if (!c)
        return;
    *width = DisplayWidth(c->display, c->screen);
    *height = DisplayHeight(c->display, c->screen);
    if (!c->xrandr)
        return;
    XRRScreenResources* res = XRRGetScreenResourcesCurrent(c->display, c->root);
    if (!res)
        return;
    RROutput primary = XRRGetOutputPrimary(c->display, c->root);
    // The primary output, or else the first output that shows something.
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < res->noutput; ++i) {
            if (pass == 0 && res->outputs[i] != primary)
                continue;
            XRROutputInfo* out = XRRGetOutputInfo(c->display, res, res->outputs[i]);
            if (out && out->crtc) {
                XRRCrtcInfo* crtc = XRRGetCrtcInfo(c->display, res, out->crtc);
                if (crtc && crtc->width && crtc->height) {
                    *x = crtc->x, *y = crtc->y;
                    *width = int(crtc->width), *height = int(crtc->height);
                    XRRFreeCrtcInfo(crtc);
                    XRRFreeOutputInfo(out);
                    XRRFreeScreenResources(res);
                    return;
                }
                if (crtc)
                    XRRFreeCrtcInfo(crtc);
            }
            if (out)
                XRRFreeOutputInfo(out);
        }
    }
    XRRFreeScreenResources(res);
}

} // namespace velvix::x11

namespace velvix::core::backend {

bool HasDisplay() {
    return x11::Conn() != nullptr;
}

void PumpEvents(bool wait) {
    x11::Connection* c = x11::Conn();
    if (!c || TheState().pumpHold > 0)
        return;
    Display* d = c->display;
    if (wait && XPending(d) == 0) {
        XFlush(d);
        pollfd p = {ConnectionNumber(d), POLLIN, 0};
        while (poll(&p, 1, -1) < 0 && errno == EINTR) {
        }
    }
    while (XPending(d) > 0) {
        XEvent e;
        XNextEvent(d, &e);
        x11::HandleEvent(e);
    }
}

} // namespace velvix::core::backend

extern "C" {

int WINAPI GetSystemMetrics(int index) {
    int x, y, w, h;
    velvix::x11::PrimaryMonitor(&x, &y, &w, &h);
    switch (index) {
    case SM_CXSCREEN:
        return w;
    case SM_CYSCREEN:
        return h;
    case SM_CXCURSOR:
    case SM_CYCURSOR:
    case SM_CXICON:
    case SM_CYICON:
        return 32;
    case SM_CYCAPTION:
        return 23;
    case SM_CXBORDER:
    case SM_CYBORDER:
        return 1;
    default:
        return 0;
    }
}

BOOL VelvixDisplayAvailable(void) {
    return velvix::x11::Conn() ? TRUE : FALSE;
}

} // extern "C"
