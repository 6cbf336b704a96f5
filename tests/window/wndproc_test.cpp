// wndproc_test.cpp - GLWndProc driven message by message on the framework's real window, and
// the one-message-per-call pump.
#include <gtest/gtest.h>

#include <unistd.h>

#include <vector>

#include "framework_window.h"

using namespace velvix;
using window_test::UseFrameworkWindow;

namespace {

LPARAM At(int x, int y) {
    return MAKELPARAM(x, y);
}

LRESULT Send(UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
    return GLWndProc(HWindow, msg, wp, lp);
}

struct Step {
    UINT msg;
    WPARAM wp;
    int x, y;
};

struct DragCase {
    const char* name;
    int32_t speed;
    std::vector<Step> steps;
    float xrot, yrot, depth;
    int32_t xcoord, ycoord, zcoord, setmx, setmy;
    bool left, right;
};

TEST(GLWndProc, MouseDragsTurnAndMoveTheCamera) {
    const DragCase cases[] = {
        {"left drag, speed 2: 10 down adds 10 to XRot, 10 right adds 10 to YRot",
         2,
         {{WM_LBUTTONDOWN, MK_LBUTTON, 100, 100},
          {WM_MOUSEMOVE, MK_LBUTTON, 100, 110},
          {WM_MOUSEMOVE, MK_LBUTTON, 110, 110}},
         10,
         10,
         0,
         110,
         110,
         0,
         100,
         100,
         true,
         false},
        {"left drag, speed 0: nothing turns but the anchor follows",
         0,
         {{WM_LBUTTONDOWN, MK_LBUTTON, 100, 100}, {WM_MOUSEMOVE, MK_LBUTTON, 130, 150}},
         0,
         0,
         0,
         130,
         150,
         0,
         100,
         100,
         true,
         false},
        {"odd steps are halved in floating point",
         1,
         {{WM_LBUTTONDOWN, MK_LBUTTON, 0, 0}, {WM_MOUSEMOVE, MK_LBUTTON, 3, 1}},
         0.5f,
         1.5f,
         0,
         3,
         1,
         0,
         0,
         0,
         true,
         false},
        {"a captured position above the window reads as 65536 minus the distance",
         2,
         {{WM_LBUTTONDOWN, MK_LBUTTON, 10, 10}, {WM_MOUSEMOVE, MK_LBUTTON, 10, -5}},
         65521,
         0,
         0,
         10,
         65531,
         0,
         10,
         10,
         true,
         false},
        {"left release zeroes both anchors and keeps the angles",
         2,
         {{WM_LBUTTONDOWN, MK_LBUTTON, 100, 100},
          {WM_MOUSEMOVE, MK_LBUTTON, 120, 100},
          {WM_LBUTTONUP, 0, 120, 100}},
         0,
         20,
         0,
         0,
         0,
         0,
         0,
         0,
         false,
         false},
        {"right drag, speed 2: 10 down lowers Depth by 2; horizontal motion does not count",
         2,
         {{WM_RBUTTONDOWN, MK_RBUTTON, 50, 50},
          {WM_MOUSEMOVE, MK_RBUTTON, 50, 60},
          {WM_MOUSEMOVE, MK_RBUTTON, 90, 60}},
         0,
         0,
         -2,
         0,
         0,
         60,
         0,
         0,
         false,
         true},
        {"right release leaves ZCoord",
         2,
         {{WM_RBUTTONDOWN, MK_RBUTTON, 50, 50},
          {WM_MOUSEMOVE, MK_RBUTTON, 50, 30},
          {WM_RBUTTONUP, 0, 50, 30}},
         0,
         0,
         4,
         0,
         0,
         30,
         0,
         0,
         false,
         false},
        {"a plain move turns nothing",
         2,
         {{WM_MOUSEMOVE, 0, 30, 40}},
         0,
         0,
         0,
         0,
         0,
         0,
         0,
         0,
         false,
         false},
    };
    for (const DragCase& c : cases) {
        SCOPED_TRACE(c.name);
        UseFrameworkWindow();
        MSpeed = c.speed;
        for (const Step& s : c.steps)
            Send(s.msg, s.wp, At(s.x, s.y));
        EXPECT_FLOAT_EQ(XRot, c.xrot);
        EXPECT_FLOAT_EQ(YRot, c.yrot);
        EXPECT_FLOAT_EQ(Depth, c.depth);
        EXPECT_FLOAT_EQ(XRot2, c.xrot);
        EXPECT_FLOAT_EQ(YRot2, c.yrot);
        EXPECT_FLOAT_EQ(Depth2, c.depth);
        EXPECT_EQ(XCoord, c.xcoord);
        EXPECT_EQ(YCoord, c.ycoord);
        EXPECT_EQ(ZCoord, c.zcoord);
        EXPECT_EQ(SetMX, c.setmx);
        EXPECT_EQ(SetMY, c.setmy);
        EXPECT_EQ(LeftMouseDown, c.left);
        EXPECT_EQ(LeftMouseDown2, c.left);
        EXPECT_EQ(RightMouseDown, c.right);
        EXPECT_EQ(RightMouseDown2, c.right);
    }
}

TEST(GLWndProc, PressCapturesAndEitherReleaseFreesTheCapture) {
    UseFrameworkWindow();
    Send(WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    EXPECT_EQ(GetCapture(), HWindow);
    Send(WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON, At(5, 5));
    EXPECT_EQ(GetCapture(), HWindow);
    Send(WM_RBUTTONUP, MK_LBUTTON, At(5, 5));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(LeftMouseDown); // the left button is still held
    Send(WM_LBUTTONUP, 0, At(5, 5));
    EXPECT_FALSE(LeftMouseDown);
}

TEST(GLWndProc, KeyTableHoldsAllBitsWhileDownAndZeroAfterRelease) {
    for (WPARAM key : {WPARAM('A'), WPARAM(VK_F1), WPARAM(VK_SHIFT), WPARAM(255), WPARAM(500)}) {
        SCOPED_TRACE(key);
        UseFrameworkWindow();
        Send(WM_KEYDOWN, key, 1);
        Send(WM_KEYDOWN, key, 1 | (1 << 30)); // auto-repeat: down again, no release between
        EXPECT_EQ(SetKey[key], -1);
        EXPECT_EQ(static_cast<uint32_t>(SetKey[key]), 0xFFFFFFFFu);
        MouseFree = true;
        Send(WM_KEYUP, key, 0xC0000001);
        EXPECT_EQ(SetKey[key], 0);
        EXPECT_FALSE(MouseFree); // every release switches free look off
    }
}

TEST(GLWndProc, EscapeEndsTheLoopWithoutTouchingTheKeyTable) {
    UseFrameworkWindow();
    EXPECT_EQ(Send(WM_KEYDOWN, VK_ESCAPE, 1), 0);
    EXPECT_FALSE(Active);
    EXPECT_EQ(SetKey[VK_ESCAPE], 0);
    EXPECT_TRUE(IsWindow(HWindow)); // WM_DESTROY is only sent, the window stays
}

TEST(GLWndProc, CreateSetsActiveAndDestroyClearsIt) {
    UseFrameworkWindow();
    Active = false;
    EXPECT_EQ(Send(WM_CREATE), 0);
    EXPECT_TRUE(Active);
    EXPECT_EQ(Send(WM_DESTROY), 0);
    EXPECT_FALSE(Active);
    // WM_DESTROY posts the quit message; it must not disturb the pump.
    MSG m;
    bool quit = false;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
        quit = quit || m.message == WM_QUIT;
    EXPECT_TRUE(quit);
}

// A stand-in status bar that counts the repaints it is sent and never validates itself, so every
// UpdateWindow on it is seen: that is how the default path shows itself.
int g_probePaints = 0;
LRESULT CALLBACK ProbeProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_PAINT) {
        ++g_probePaints;
        return 0;
    }
    return DefWindowProcA(w, m, wp, lp);
}

struct Probe {
    HWND wnd;
    Probe() {
        static bool registered = false;
        if (!registered) {
            WNDCLASSA wc = {};
            wc.lpfnWndProc = ProbeProc;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.lpszClassName = "WindowTestProbe";
            registered = RegisterClassA(&wc) != 0;
        }
        wnd = CreateWindowExA(0, "WindowTestProbe", "probe", WS_POPUP | WS_VISIBLE, 400, 0, 8, 8,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        InvalidateRect(wnd, nullptr, FALSE);
        g_probePaints = 0;
    }
    ~Probe() { DestroyWindow(wnd); }
};

struct Command {
    HWND w;
    UINT m;
    WPARAM wp;
    LPARAM lp;
    int calls;
} g_command;
LRESULT CALLBACK RecordCommand(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    g_command = {w, m, wp, lp, g_command.calls + 1};
    return 5;
}

TEST(GLWndProc, CommandsNeverReachDefaultProcessing) {
    UseFrameworkWindow();
    Probe probe;
    ASSERT_NE(probe.wnd, nullptr);
    HStatus = probe.wnd;

    // The default path shows itself: a plain move (wParam 0) repaints the status bar first.
    Send(WM_MOUSEMOVE, 0, At(1, 1));
    ASSERT_EQ(g_probePaints, 1);
    Send(WM_MOUSEMOVE, MK_LBUTTON, At(1, 1)); // wParam not 0: no repaint
    EXPECT_EQ(g_probePaints, 1);

    g_command = {};
    struct Hooks {
        bool menu;
        WNDPROC input;
        int calls;
    };
    for (const Hooks& h : {Hooks{false, nullptr, 0}, Hooks{true, nullptr, 0},
                           Hooks{false, RecordCommand, 0}, Hooks{true, RecordCommand, 1}}) {
        SCOPED_TRACE(testing::Message() << "menu " << h.menu << " hook " << (h.input != nullptr));
        ShowMenuBar = h.menu;
        GetInputCommand = h.input;
        g_command.calls = 0;
        g_probePaints = 0;
        EXPECT_EQ(Send(WM_COMMAND, 0, 77), 0);
        EXPECT_EQ(g_probePaints, 0);
        EXPECT_EQ(g_command.calls, h.calls);
    }
    EXPECT_EQ(g_command.w, HWindow);
    EXPECT_EQ(g_command.m, UINT(WM_COMMAND));
    EXPECT_EQ(g_command.lp, 77);
    HStatus = nullptr;
}

int g_mouseMenus = 0;
void CountMouseMenu() {
    ++g_mouseMenus;
}

TEST(GLWndProc, ContextMenuCallsTheHookOnlyWithTheMenuEnabled) {
    UseFrameworkWindow();
    CreateMouseMenu = CountMouseMenu;
    g_mouseMenus = 0;
    Send(WM_CONTEXTMENU, 0, At(10, 10));
    EXPECT_EQ(g_mouseMenus, 0);
    ShowMenuBar = true;
    Send(WM_CONTEXTMENU, 0, At(10, 10));
    EXPECT_EQ(g_mouseMenus, 1);
}

TEST(GLWndProc, FreeLookFollowsTheRealPointerAndClampsYRot) {
    UseFrameworkWindow();
    SetFocus(HWindow);
    ASSERT_EQ(GetForegroundWindow(), HWindow) << "free look needs the window in the foreground";
    Width = 1000; // centre (500, 350), inside the 1024 x 768 test screen
    Height = 700;
    struct Case {
        const char* name;
        float yrot0;
        int px, py;
        float xrot, yrot;
    } cases[] = {
        {"300 right of the centre adds 6 to XRot", 0, 800, 350, 6, 0},
        {"below the centre raises YRot", 10, 500, 400, 0, 11},
        {"YRot stops at 60", 55, 500, 700, 0, 60},
        {"YRot stops at -60", -55, 500, 0, 0, -60},
        {"at the centre nothing changes", 20, 500, 350, 0, 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        XRot = XRot2 = 0;
        YRot = YRot2 = c.yrot0;
        MSpeed = 2;
        MouseFree = true;
        SetCursorPos(c.px, c.py);
        Send(WM_MOUSEMOVE, 0, At(c.px, c.py));
        EXPECT_EQ(MPos.x, c.px);
        EXPECT_EQ(MPos.y, c.py);
        EXPECT_FLOAT_EQ(XRot, c.xrot);
        EXPECT_FLOAT_EQ(YRot, c.yrot);
        EXPECT_FLOAT_EQ(XRot2, c.xrot);
        EXPECT_FLOAT_EQ(YRot2, c.yrot);
        POINT p;
        GetCursorPos(&p);
        EXPECT_EQ(p.x, 500); // pulled back to the centre
        EXPECT_EQ(p.y, 350);
    }
    MouseFree = false;
}

TEST(SetGLMsg, HandlesExactlyOneQueuedMessagePerCall) {
    UseFrameworkWindow();
    usleep(100 * 1000); // let stray events from earlier tests arrive, then drop them
    window_test::DrainQueue();
    const WPARAM keys[] = {VK_F1, VK_F2, VK_F3}; // keys without characters
    for (WPARAM k : keys)
        PostMessageA(HWindow, WM_KEYDOWN, k, 1);
    for (int call = 1; call <= 3; ++call) {
        SetGLMsg();
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(SetKey[keys[k]], k < call ? -1 : 0) << "after call " << call;
        EXPECT_EQ(Msg_.message, UINT(WM_KEYDOWN));
        EXPECT_EQ(Msg_.wParam, keys[call - 1]);
    }
    // An empty queue returns at once; the alarm ends the test program if the call blocks.
    alarm(20);
    SetGLMsg();
    alarm(0);
}

} // namespace
