// wndproc.cpp - GLWndProc and SetGLMsg. The procedure keeps nothing of its own between calls:
// everything it learns goes into the shared state (state.h), which the mouse camera applies
// on the next frame.
#include "framework/window/wndproc.h"

#include "framework/window/state.h"

namespace velvix {
namespace {

// Mouse position of a mouse message: both halves unsigned, so a position left of or above the
// client area (seen while captured) reads as 65536 minus the distance.
int32_t MouseX(LPARAM l) {
    return LOWORD(l);
}
int32_t MouseY(LPARAM l) {
    return HIWORD(l);
}

// Adds `delta` to a camera value in double precision and stores the sum as a float.
void Turn(float& value, double delta) {
    value = static_cast<float>(value + delta);
}

void ClampLook(float& value) {
    if (value > 60)
        value = 60;
    if (value < -60)
        value = -60;
}

void MouseMove(int32_t x, int32_t y) {
    SetOMX = x;
    SetOMY = y;

    if (LeftMouseDown) {
        const double down = (y - YCoord) / 2.0 * MSpeed;
        const double right = (x - XCoord) / 2.0 * MSpeed;
        Turn(XRot, down);
        Turn(YRot, right);
        Turn(XRot2, down);
        Turn(YRot2, right);
        XCoord = x;
        YCoord = y;
    }

    if (RightMouseDown && !MouseFree) {
        const double step = (y - ZCoord) / 10.0 * MSpeed;
        Turn(Depth, -step);
        Turn(Depth2, -step);
        ZCoord = y;
    }

    if (MouseFree && GetForegroundWindow() == HWindow) {
        GetCursorPos(&MPos);
        const int32_t cx = Width / 2, cy = Height / 2;
        // The window sits at the screen's top-left corner, so this is its centre.
        SetCursorPos(cx, cy);
        const double across = (MPos.x - cx) / 100.0 * MSpeed;
        const double up = (cy - MPos.y) / 100.0 * MSpeed;
        Turn(XRot, across);
        Turn(YRot, -up);
        ClampLook(YRot);
        Turn(XRot2, across);
        Turn(YRot2, -up);
        ClampLook(YRot2);
    }
}

} // namespace

LRESULT CALLBACK GLWndProc(HWND Window, UINT AMessage, WPARAM WParam, LPARAM LParam) {
    switch (AMessage) {
    case WM_CREATE:
        Active = true;
        return 0;
    case WM_DESTROY:
        Active = false;
        PostQuitMessage(0);
        return 0;
    case WM_PAINT: {
        // Nothing to draw here: the frame loop draws with OpenGL.
        PAINTSTRUCT ps;
        BeginPaint(Window, &ps);
        UpdateWindow(HStatus);
        EndPaint(Window, &ps);
        return 0;
    }
    case WM_CONTEXTMENU:
        // A host that asked for menus but set no hook gets no menu, not a call through null.
        if (ShowMenuBar && CreateMouseMenu)
            CreateMouseMenu();
        break;
    case WM_KEYDOWN:
        if (WParam == VK_ESCAPE) {
            // Runs the WM_DESTROY handling at once, nested in this call.
            SendMessageA(HWindow, WM_DESTROY, 0, 0);
            return 0;
        }
        SetKey[static_cast<long long>(WParam)] = LongTrue;
        break;
    case WM_KEYUP:
        SetKey[static_cast<long long>(WParam)] = LongFalse;
        MouseFree = false;
        break;
    case WM_COMMAND:
        // Commands never reach default processing, whether or not a host takes them.
        if (ShowMenuBar && GetInputCommand)
            GetInputCommand(Window, AMessage, WParam, LParam);
        return 0;
    case WM_SYSCOMMAND:
        // SC_SCREENSAVE and SC_MONITORPOWER are deliberately not held back: like every system
        // command they get the default processing and its result.
        break;
    case WM_MOUSEMOVE:
        MouseMove(MouseX(LParam), MouseY(LParam));
        break;
    case WM_LBUTTONDOWN:
        ReleaseCapture();
        SetCapture(HWindow);
        LeftMouseDown = true;
        LeftMouseDown2 = true;
        XCoord = SetMX = MouseX(LParam);
        YCoord = SetMY = MouseY(LParam);
        break;
    case WM_LBUTTONUP:
        ReleaseCapture();
        LeftMouseDown = false;
        LeftMouseDown2 = false;
        XCoord = YCoord = SetMX = SetMY = 0;
        break;
    case WM_RBUTTONDOWN:
        ReleaseCapture();
        SetCapture(HWindow);
        RightMouseDown = true;
        RightMouseDown2 = true;
        ZCoord = MouseY(LParam);
        break;
    case WM_RBUTTONUP:
        ReleaseCapture();
        RightMouseDown = false;
        RightMouseDown2 = false;
        break;
    default:
        break;
    }

    if (WParam == 0)
        UpdateWindow(HStatus); // null without a status bar: does nothing
    return DefWindowProcA(Window, AMessage, WParam, LParam);
}

void SetGLMsg() {
    if (!PeekMessageA(&Msg_, nullptr, 0, 0, PM_NOREMOVE))
        return;
    // The quit message is taken like any other: only Active ends the frame loop.
    GetMessageA(&Msg_, nullptr, 0, 0);
    TranslateMessage(&Msg_);
    DispatchMessageA(&Msg_);
}

} // namespace velvix
