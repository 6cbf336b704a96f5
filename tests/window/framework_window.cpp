// framework_window.cpp - shared set-up of the window tests.
#include "framework_window.h"

#include <cstdio>

#include "platform/platform_ext.h"

namespace window_test {
using namespace velvix;

void ResetInputState() {
    for (auto& k : SetKey)
        k = LongFalse;
    LeftMouseDown = RightMouseDown = LeftMouseDown2 = RightMouseDown2 = MouseFree = false;
    XCoord = YCoord = ZCoord = SetMX = SetMY = SetOMX = SetOMY = 0;
    XRot = YRot = Depth = XRot2 = YRot2 = Depth2 = 0;
    MSpeed = 0;
    MPos = POINT{0, 0};
    ShowMenuBar = false;
    CreateMouseMenu = nullptr;
    GetInputCommand = nullptr;
    HStatus = nullptr;
}

void UseFrameworkWindow() {
    static bool created = false;
    if (!created) {
        CaptureMessageBoxes();
        OGLWindowSetting(Arrow, "", Generic, "");
        CreateOGLWindow("velvix window test", 320, 240, 32, false);
        created = true;
    }
    Width = 320;
    Height = 240;
    ReleaseCapture();
    DrainQueue();
    ResetInputState();
    Active = true;
}

void DrainQueue() {
    // WM_PAINT stays queued until the window is validated, so it is dispatched (GLWndProc
    // validates); everything else is dropped. Bounded in case something keeps arriving.
    MSG m;
    for (int i = 0; i < 10000 && PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (m.message == WM_PAINT)
            DispatchMessageA(&m);
    }
}

static int PrintBox(HWND, LPCSTR text, LPCSTR caption, UINT) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
    return IDOK;
}

void CaptureMessageBoxes() {
    VelvixSetMessageBoxHook(PrintBox);
}

} // namespace window_test
