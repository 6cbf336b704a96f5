// x_client.cpp - the window manager's close request, sent over a private X connection.
#include "x_client.h"

#include <X11/Xlib.h>

namespace e2e {

bool SendCloseRequest(unsigned long window) {
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy)
        return false;
    XEvent ev = {};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = window;
    ev.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = static_cast<long>(XInternAtom(dpy, "WM_DELETE_WINDOW", False));
    ev.xclient.data.l[1] = CurrentTime;
    XSendEvent(dpy, window, False, NoEventMask, &ev);
    XSync(dpy, False);
    XCloseDisplay(dpy);
    return true;
}

} // namespace e2e
