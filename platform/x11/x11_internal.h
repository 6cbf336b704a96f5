// x11_internal.h - what the X11/GLX backend files share: the one display connection, its atoms,
// the per-window native data, an X error trap and the text conversion. Only files under
// platform/x11 include this header (it pulls in Xlib, whose macros must not leak elsewhere).
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <GL/glx.h>

#include <string>

#include "platform/core/internal.h"

namespace velvix::x11 {

struct Atoms {
    Atom WM_PROTOCOLS, WM_DELETE_WINDOW, WM_TAKE_FOCUS, UTF8_STRING, _NET_WM_NAME, _NET_WM_STATE,
        _NET_WM_STATE_FULLSCREEN, _NET_FRAME_EXTENTS, _NET_REQUEST_FRAME_EXTENTS, _NET_SUPPORTED,
        _NET_SUPPORTING_WM_CHECK, _NET_WM_WINDOW_TYPE, _NET_WM_WINDOW_TYPE_DIALOG,
        _NET_WM_WINDOW_TYPE_NORMAL, _MOTIF_WM_HINTS, _NET_ACTIVE_WINDOW, _NET_WM_PID, WM_STATE;
};

struct Connection {
    Display* display = nullptr;
    int screen = 0;
    ::Window root = 0;
    Atoms atoms{};
    // The visual every window is made with: a 24-bit TrueColor visual that GLX can draw on, so
    // any pixel format we offer fits any window and windows are never see-through.
    Visual* visual = nullptr;
    int depth = 0;
    Colormap colormap = 0;
    XContext context = 0; // X window -> HWND
    bool xrandr = false;
};

// The connection, opened on first use; null when no display can be opened.
Connection* Conn();

} // namespace velvix::x11

// The backend's data for one window.
struct velvix::core::NativeWindow {
    ::Window xid = 0;
    Visual* visual = nullptr; // the visual the X window was made with
    bool mapped = false;
    bool fullscreen = false;
    bool keysDown[256] = {}; // for the previous-state bit of key messages
};

namespace velvix::x11 {
using core::NativeWindow;

HWND WindowFromX(::Window xid);
::Window XidOf(HWND h);

// The window manager's name for the current desktop conventions: true when an EWMH window
// manager is running and supports `atom`.
bool WmSupports(Atom atom);
bool WmRunning();

// The primary monitor's rectangle in root coordinates.
void PrimaryMonitor(int* x, int* y, int* width, int* height);

// Traps X errors between construction and Sync(); nothing is printed.
class ErrorTrap {
public:
    ErrorTrap();
    ~ErrorTrap();
    // Waits for the server and tells whether an error arrived since the trap was set.
    bool Failed();
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

private:
    unsigned long serial_;
};

// Handles one X event: input and window events become messages (or calls of window
// procedures, for what the platform sends rather than posts).
void HandleEvent(XEvent& event);

// Sets the window's title properties.
void SetTitle(::Window xid, const std::string& ansi);

// Applies `cursor` (an HCURSOR) to the X window.
void ApplyCursor(::Window xid, HCURSOR cursor);

// Makes the window's X window again with `visual` (a GL pixel format's), keeping its place,
// children, properties and mapping. True when the window already had that visual.
bool RecreateWithVisual(core::Window* w, Visual* visual, int depth);

// Shows or hides the X window.
void ShowNative(core::Window* w, bool show);
// Reads the frame the window manager gave top-level `w` (_NET_FRAME_EXTENTS) into w->frame.
// False, and the frame kept, when there is none or it is malformed.
bool ReadFrame(core::Window* w);

// GLX: drops the current context when it draws on `xid` (the window is about to go away).
void ForgetDrawable(::Window xid);

} // namespace velvix::x11
