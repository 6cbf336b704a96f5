// x11_messagebox.cpp - MessageBoxA: the test hook, the no-display fallback on standard error,
// and the modal loop's link to our windows. The dialog itself lives in x11_msgbox.cpp.
//
// While the box is open, events for the program's other windows still become messages; only
// repaints are dispatched (input for them waits in the queue, as a modal box wants), so the
// rest of the program keeps its picture but nothing else runs.
#include <cstdio>

#include "platform/platform_ext.h"
#include "platform/x11/msgbox.h"
#include "platform/x11/x11_internal.h"

namespace {

VelvixMessageBoxHook g_hook = nullptr;

void ServeOthers(XEvent& e) {
    velvix::x11::HandleEvent(e);
    // The dialog's own events must stay in the X queue for the dialog: peek without pumping.
    ++velvix::core::TheState().pumpHold;
    MSG m;
    while (PeekMessageA(&m, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
        DispatchMessageA(&m);
    --velvix::core::TheState().pumpHold;
}

} // namespace

extern "C" {

VelvixMessageBoxHook VelvixSetMessageBoxHook(VelvixMessageBoxHook hook) {
    VelvixMessageBoxHook old = g_hook;
    g_hook = hook;
    return old;
}

int WINAPI MessageBoxA(HWND hWnd, LPCSTR text, LPCSTR caption, UINT type) {
    if (g_hook)
        return g_hook(hWnd, text, caption, type);
    velvix::x11::Connection* conn = velvix::x11::Conn();
    if (!conn) {
        std::fprintf(stderr, "%s: %s\n", caption ? caption : "Error", text ? text : "");
        std::fflush(stderr);
        return 0;
    }
    // The pointer must be free for the box even if a window holds the capture.
    ReleaseCapture();
    ::Window owner = 0;
    if (hWnd && velvix::core::LookupLiveWindow(hWnd))
        owner = velvix::x11::XidOf(velvix::core::TopLevelOf(hWnd));
    return velvix::x11::RunMessageBox(conn->display, text ? text : "", caption, type, ServeOthers,
                                      owner);
}

} // extern "C"
