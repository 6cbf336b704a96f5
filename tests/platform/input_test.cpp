// input_test.cpp - real input through XTEST: pointer motion coalescing, buttons, capture with
// coordinates left of / above the window, keys with their virtual-key codes, auto-repeat, Alt+F4
// and the window manager's close request. This file talks X directly (its own connection to
// the same server), so it alone includes the X headers.
#include <gtest/gtest.h>

#include "helpers.h"
#include "platform/win32.h"

// X last: its macros (None, Bool...) would break the headers above.
#include <X11/Xlib.h>
#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>

#include <unistd.h>

#include "xhelpers.h"
#include <X11/keysym.h>

namespace {

using ptest::Log;
using ptest::Only;

class Input : public ::testing::Test {
protected:
    static void SetUpTestSuite() { dpy = XOpenDisplay(nullptr); }
    static void TearDownTestSuite() {
        if (dpy)
            XCloseDisplay(dpy);
        dpy = nullptr;
    }
    void SetUp() override {
        ASSERT_NE(dpy, nullptr);
        int a, b, c, d;
        ASSERT_TRUE(XTestQueryExtension(dpy, &a, &b, &c, &d));
        w = ptest::MakeWindow(WS_POPUP | WS_VISIBLE, 100, 100, 200, 150);
        ASSERT_NE(w, nullptr);
        SetFocus(w);
        Move(150, 150);
        Settle();
        ptest::Drain();
        Log().clear();
    }
    void TearDown() override {
        ReleaseCapture();
        DestroyWindow(w);
        Settle();
        ptest::Drain();
    }
    // The fake input has reached the server, and its events have reached the platform's queue
    // (GetCursorPos is a round trip on the platform's own connection).
    static void Settle() {
        XSync(dpy, False);
        POINT p;
        GetCursorPos(&p);
    }
    static void Move(int x, int y) { XTestFakeMotionEvent(dpy, -1, x, y, CurrentTime); }
    static void Button(unsigned b, bool down) { XTestFakeButtonEvent(dpy, b, down, CurrentTime); }
    static void Key(KeySym k, bool down) {
        XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, k), down, CurrentTime);
    }
    std::vector<MSG> Mouse() {
        std::vector<MSG> out;
        for (const MSG& m : ptest::Drain(w))
            if (m.message >= WM_MOUSEMOVE && m.message <= WM_MBUTTONDBLCLK)
                out.push_back(m);
        return out;
    }
    static Display* dpy;
    HWND w = nullptr;
};
Display* Input::dpy = nullptr;

TEST_F(Input, MotionBurstBecomesOneMoveWithTheNewestPosition) {
    for (int i = 0; i < 200; ++i)
        Move(110 + i % 150, 105 + i % 100);
    Settle();
    std::vector<MSG> got = Mouse();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].message, UINT(WM_MOUSEMOVE));
    EXPECT_EQ(GET_X_LPARAM(got[0].lParam), (110 + 199 % 150) - 100);
    EXPECT_EQ(GET_Y_LPARAM(got[0].lParam), (105 + 199 % 100) - 100);
    EXPECT_EQ(got[0].wParam, 0u);
}

TEST_F(Input, PressBetweenMotionsKeepsItsPlace) {
    for (int i = 0; i < 100; ++i)
        Move(120 + i, 130);
    Button(1, true);
    for (int i = 0; i < 100; ++i)
        Move(120, 130 + i);
    Button(1, false);
    Settle();
    std::vector<MSG> got = Mouse();
    ASSERT_EQ(got.size(), 4u);
    EXPECT_EQ(got[0].message, UINT(WM_MOUSEMOVE));
    EXPECT_EQ(GET_X_LPARAM(got[0].lParam), 119);
    EXPECT_EQ(got[1].message, UINT(WM_LBUTTONDOWN));
    EXPECT_EQ(got[1].wParam & MK_LBUTTON, WPARAM(MK_LBUTTON));
    EXPECT_EQ(got[2].message, UINT(WM_MOUSEMOVE));
    EXPECT_EQ(got[2].wParam & MK_LBUTTON, WPARAM(MK_LBUTTON)) << "the button is held";
    EXPECT_EQ(GET_Y_LPARAM(got[2].lParam), 129);
    EXPECT_EQ(got[3].message, UINT(WM_LBUTTONUP));
}

TEST_F(Input, ButtonsMapToTheirMessages) {
    const struct {
        unsigned button;
        UINT down, up;
        WPARAM held;
    } cases[] = {{1, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON},
                 {2, WM_MBUTTONDOWN, WM_MBUTTONUP, MK_MBUTTON},
                 {3, WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON}};
    for (const auto& c : cases) {
        Button(c.button, true);
        Button(c.button, false);
        Settle();
        std::vector<MSG> got = Mouse();
        ASSERT_EQ(got.size(), 2u) << "button " << c.button;
        EXPECT_EQ(got[0].message, c.down);
        EXPECT_EQ(got[0].wParam, c.held);
        EXPECT_EQ(got[0].lParam, MAKELPARAM(50, 50));
        EXPECT_EQ(got[1].message, c.up);
        EXPECT_EQ(got[1].wParam, 0u);
    }
}

TEST_F(Input, CaptureKeepsDragsOutsideAndWrapsNegativeCoordinates) {
    Button(1, true);
    Settle();
    EXPECT_EQ(SetCapture(w), nullptr);
    EXPECT_EQ(GetCapture(), w);
    Move(50, 60); // left of and above the window
    Settle();
    std::vector<MSG> got = Mouse();
    ASSERT_GE(got.size(), 1u);
    const MSG& outside = got.back();
    ASSERT_EQ(outside.message, UINT(WM_MOUSEMOVE));
    EXPECT_EQ(outside.hwnd, w);
    EXPECT_EQ(LOWORD(outside.lParam), WORD(65536 - 50));
    EXPECT_EQ(HIWORD(outside.lParam), WORD(65536 - 40));
    EXPECT_EQ(GET_X_LPARAM(outside.lParam), -50);
    EXPECT_EQ(outside.wParam, WPARAM(MK_LBUTTON));
    Move(400, 400); // right of and below it
    Button(1, false);
    Settle();
    got = Mouse();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].lParam, MAKELPARAM(300, 300));
    EXPECT_EQ(got[1].message, UINT(WM_LBUTTONUP));
    EXPECT_TRUE(ReleaseCapture());
    EXPECT_EQ(GetCapture(), nullptr);
    POINT p;
    ASSERT_TRUE(GetCursorPos(&p));
    EXPECT_EQ(p.x, 400);
    ASSERT_TRUE(SetCursorPos(120, 125));
    ASSERT_TRUE(GetCursorPos(&p));
    EXPECT_EQ(p.y, 125);
}

TEST_F(Input, KeysCarryVirtualKeyCodes) {
    EXPECT_EQ(GetFocus(), w);
    EXPECT_EQ(GetForegroundWindow(), w);
    // The keypad's keys give digits with NumLock on and navigation keys with it off.
    const unsigned numLock = XkbKeysymToModifiers(dpy, XK_Num_Lock);
    ASSERT_NE(numLock, 0u);
    const struct {
        KeySym sym;
        UINT vk;
        bool numLock = false;
    } cases[] = {{XK_a, 'A'},
                 {XK_z, 'Z'},
                 {XK_5, '5'},
                 {XK_F1, VK_F1},
                 {XK_F12, VK_F12},
                 {XK_Left, VK_LEFT},
                 {XK_Down, VK_DOWN},
                 {XK_Escape, 27},
                 {XK_Return, VK_RETURN},
                 {XK_space, VK_SPACE},
                 {XK_Shift_L, VK_SHIFT},
                 {XK_Control_L, VK_CONTROL},
                 {XK_minus, VK_OEM_MINUS},
                 {XK_KP_Add, VK_ADD},
                 {XK_Next, VK_NEXT},
                 {XK_KP_0, VK_NUMPAD0, true},
                 {XK_KP_7, VK_NUMPAD7, true},
                 {XK_KP_9, VK_NUMPAD9, true},
                 {XK_KP_Decimal, VK_DECIMAL, true},
                 {XK_KP_Add, VK_ADD, true},
                 {XK_KP_Home, VK_HOME},
                 {XK_KP_Insert, VK_INSERT},
                 {XK_KP_Delete, VK_DELETE}};
    for (const auto& c : cases) {
        XkbLockModifiers(dpy, XkbUseCoreKbd, numLock, c.numLock ? numLock : 0);
        Key(c.sym, true);
        Key(c.sym, false);
        Settle();
        std::vector<MSG> got = ptest::Drain(w);
        ASSERT_EQ(got.size(), 2u) << "keysym " << c.sym;
        EXPECT_EQ(got[0].message, UINT(WM_KEYDOWN));
        EXPECT_EQ(got[0].wParam, c.vk) << "keysym " << c.sym;
        EXPECT_EQ(got[0].lParam & 0xFFFF, 1) << "repeat count";
        EXPECT_EQ(got[0].lParam & (1L << 30), 0) << "was up before";
        EXPECT_EQ(got[1].message, UINT(WM_KEYUP));
        EXPECT_EQ(got[1].wParam, c.vk);
        EXPECT_NE(got[1].lParam & (1L << 31), 0) << "transition bit";
    }
    XkbLockModifiers(dpy, XkbUseCoreKbd, numLock, 0);
    // F10 belongs to the system.
    Key(XK_F10, true);
    Key(XK_F10, false);
    Settle();
    std::vector<MSG> got = ptest::Drain(w);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].message, UINT(WM_SYSKEYDOWN));
    EXPECT_EQ(got[1].message, UINT(WM_SYSKEYUP));
}

TEST_F(Input, HeldKeyRepeatsWithoutReleasesAndTranslatesToCharacters) {
    // The server repeats a held key by itself; make it quick for the test.
    unsigned delay = 0, interval = 0;
    XkbGetAutoRepeatRate(dpy, XkbUseCoreKbd, &delay, &interval);
    XkbSetAutoRepeatRate(dpy, XkbUseCoreKbd, 60, 20);
    Key(XK_q, true);
    Settle();
    usleep(200 * 1000);
    Key(XK_q, false);
    Settle();
    XkbSetAutoRepeatRate(dpy, XkbUseCoreKbd, delay, interval);
    std::vector<MSG> got;
    MSG m;
    while (PeekMessageA(&m, w, 0, 0, PM_REMOVE)) {
        got.push_back(m);
        TranslateMessage(&m);
    }
    ASSERT_GE(got.size(), 5u) << "at least one repeat";
    for (size_t i = 0; i + 1 < got.size(); i += 2) {
        EXPECT_EQ(got[i].message, UINT(WM_KEYDOWN)) << i;
        EXPECT_EQ(got[i].wParam, WPARAM('Q'));
        EXPECT_EQ(got[i].lParam & (1L << 30) ? 1 : 0, i == 0 ? 0 : 1)
            << "a repeat says the key was down";
        EXPECT_EQ(got[i + 1].message, UINT(WM_CHAR)) << i;
        EXPECT_EQ(got[i + 1].wParam, WPARAM('q'));
    }
    EXPECT_EQ(got.back().message, UINT(WM_KEYUP)) << "one release, at the end";
}

TEST_F(Input, AltF4TakesTheCloseRoad) {
    Key(XK_Alt_L, true);
    Key(XK_F4, true);
    Key(XK_F4, false);
    Key(XK_Alt_L, false);
    Settle();
    ptest::Pump();
    std::vector<UINT> road;
    for (const auto& s : Log())
        if (s.msg == WM_SYSKEYDOWN || s.msg == WM_SYSCOMMAND || s.msg == WM_CLOSE ||
            s.msg == WM_DESTROY)
            road.push_back(s.msg);
    EXPECT_EQ(road, (std::vector<UINT>{WM_SYSKEYDOWN, WM_SYSKEYDOWN, WM_SYSCOMMAND, WM_CLOSE,
                                       WM_DESTROY}));
    auto commands = Only(Log(), WM_SYSCOMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].wp, WPARAM(SC_CLOSE));
    EXPECT_FALSE(IsWindow(w));
}

TEST_F(Input, WindowManagerCloseTakesTheCloseButtonRoad) {
    HWND h = ptest::MakeWindow(WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 0, 0, 120, 90, nullptr,
                               "velvix close road");
    ASSERT_NE(h, nullptr);
    Settle();
    ::Window xid = ptest::FindByTitle(dpy, DefaultRootWindow(dpy), "velvix close road");
    ASSERT_NE(xid, 0u);
    XEvent e = {};
    e.xclient.type = ClientMessage;
    e.xclient.window = xid;
    e.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = long(XInternAtom(dpy, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(dpy, xid, False, NoEventMask, &e);
    Settle();
    Log().clear();
    ptest::Pump();
    std::vector<UINT> road;
    for (const auto& s : Log())
        if (s.hwnd == h && (s.msg == WM_SYSCOMMAND || s.msg == WM_CLOSE || s.msg == WM_DESTROY))
            road.push_back(s.msg);
    EXPECT_EQ(road, (std::vector<UINT>{WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY}));
    EXPECT_FALSE(IsWindow(h));
}

} // namespace
