// window_test.cpp - classes, window creation and destruction, child windows, sizes and
// properties through the Win32-shaped calls on a real X server.
#include <gtest/gtest.h>

#include <cstring>

#include "helpers.h"
#include "platform/win32.h"

namespace {

using ptest::Log;
using ptest::Only;

LRESULT CALLBACK Plain(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    return DefWindowProcA(h, m, wp, lp);
}

TEST(Classes, SecondRegistrationOfANameFails) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Plain;
    wc.lpszClassName = "VelvixTwice";
    EXPECT_NE(RegisterClassA(&wc), 0);
    EXPECT_EQ(RegisterClassA(&wc), 0);
    wc.lpszClassName = "VELVIXTWICE"; // names do not depend on case
    EXPECT_EQ(RegisterClassA(&wc), 0);
    WNDCLASSEXA ex = {};
    ex.cbSize = sizeof ex;
    ex.lpfnWndProc = Plain;
    ex.lpszClassName = "VelvixTwice";
    EXPECT_EQ(RegisterClassExA(&ex), 0);

    WNDCLASSEXA got = {};
    got.cbSize = sizeof got;
    ASSERT_TRUE(GetClassInfoExA(nullptr, "velvixtwice", &got));
    EXPECT_EQ(got.lpfnWndProc, &Plain);
    EXPECT_STREQ(got.lpszClassName, "VelvixTwice");
    EXPECT_FALSE(GetClassInfoExA(nullptr, "VelvixNeverRegistered", &got));
    EXPECT_EQ(CreateWindowExA(0, "VelvixNeverRegistered", "", WS_POPUP, 0, 0, 10, 10, nullptr,
                              nullptr, nullptr, nullptr),
              nullptr);
}

// WM_CREATE comes inside CreateWindowExA, with the caller's parameters; the window exists then.
HWND g_created = nullptr;
bool g_existedAtCreate = false;
LPVOID g_param = nullptr;
LRESULT CALLBACK CreateProbe(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_CREATE) {
        g_created = h;
        g_existedAtCreate = IsWindow(h);
        g_param = reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams;
    }
    return DefWindowProcA(h, m, wp, lp);
}

TEST(Windows, CreateSendsWmCreateBeforeReturning) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = CreateProbe;
    wc.lpszClassName = "VelvixCreateProbe";
    ASSERT_NE(RegisterClassA(&wc), 0);
    int token = 0;
    HWND h = CreateWindowExA(0, "VelvixCreateProbe", "probe", WS_POPUP, 0, 0, 50, 40, nullptr,
                             nullptr, nullptr, &token);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(g_created, h);
    EXPECT_TRUE(g_existedAtCreate);
    EXPECT_EQ(g_param, &token);
    EXPECT_TRUE(DestroyWindow(h));
}

TEST(Windows, DestroyReachesChildrenOnceAndHandlesGoStale) {
    HWND top = ptest::MakeWindow(WS_POPUP | WS_VISIBLE, 10, 20, 200, 100);
    ASSERT_NE(top, nullptr);
    HWND child = ptest::MakeWindow(WS_CHILD | WS_VISIBLE, 30, 40, 50, 20, top, "", 77);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(GetParent(child), top);
    EXPECT_EQ(GetParent(top), nullptr);
    EXPECT_EQ(GetDlgCtrlID(child), 77);

    // A child's position is in its parent's client coordinates.
    RECT pr, cr;
    ASSERT_TRUE(GetWindowRect(top, &pr));
    ASSERT_TRUE(GetWindowRect(child, &cr));
    EXPECT_EQ(cr.left - pr.left, 30);
    EXPECT_EQ(cr.top - pr.top, 40);
    EXPECT_EQ(cr.right - cr.left, 50);
    POINT p = {1, 2};
    ASSERT_TRUE(ClientToScreen(child, &p));
    EXPECT_EQ(p.x, pr.left + 31);
    ASSERT_TRUE(ScreenToClient(top, &p));
    EXPECT_EQ(p.x, 31);
    EXPECT_EQ(p.y, 42);

    // Properties and text live with the window.
    int data = 0;
    EXPECT_TRUE(SetPropA(child, "Velvix.Data", &data));
    EXPECT_EQ(GetPropA(child, "Velvix.Data"), &data);
    EXPECT_TRUE(SetWindowTextA(top, "Particelle \xE8"));
    char text[32];
    EXPECT_EQ(GetWindowTextA(top, text, sizeof text), 12);
    EXPECT_STREQ(text, "Particelle \xE8");
    EXPECT_EQ(GetWindowTextA(top, text, 4), 3) << "truncated to the buffer";

    Log().clear();
    PostMessageA(child, WM_USER, 0, 0);
    EXPECT_TRUE(DestroyWindow(top));
    auto destroys = Only(Log(), WM_DESTROY);
    ASSERT_EQ(destroys.size(), 2u);
    EXPECT_EQ(destroys[0].hwnd, top) << "the parent hears it first";
    EXPECT_EQ(destroys[1].hwnd, child);
    EXPECT_FALSE(IsWindow(top));
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(DestroyWindow(top)) << "a second destruction fails quietly";
    EXPECT_EQ(GetPropA(child, "Velvix.Data"), nullptr);
    EXPECT_EQ(GetDC(child), nullptr);
    EXPECT_FALSE(PostMessageA(child, WM_USER, 0, 0));
    for (const MSG& m : ptest::Drain())
        EXPECT_NE(m.hwnd, child) << "nothing is left queued for a destroyed window";
    EXPECT_EQ(Only(Log(), WM_DESTROY).size(), 2u);
}

// Without a window manager, the window is exactly what was asked for.
TEST(Windows, CaptionedWindowWithoutWindowManagerHasTheAskedSize) {
    if (ptest::IsChild())
        GTEST_SKIP() << "runs on the plain server only";
    HWND h =
        ptest::MakeWindow(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE, 0, 0, 800, 600);
    ASSERT_NE(h, nullptr);
    RECT r, c;
    ASSERT_TRUE(GetWindowRect(h, &r));
    ASSERT_TRUE(GetClientRect(h, &c));
    EXPECT_EQ(r.right - r.left, 800);
    EXPECT_EQ(r.bottom - r.top, 600);
    EXPECT_EQ(c.right, 800);
    EXPECT_EQ(c.bottom, 600);
    EXPECT_FALSE(IsIconic(h));
    DestroyWindow(h);
}

TEST(Windows, PopupDefaultsAndScreenMetrics) {
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
    HWND h = ptest::MakeWindow(WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT, 100, 80);
    ASSERT_NE(h, nullptr);
    ShowWindow(h, SW_SHOW);
    RECT r;
    ASSERT_TRUE(GetWindowRect(h, &r));
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    ASSERT_TRUE(MoveWindow(h, 5, 6, 70, 60, FALSE));
    ptest::Pump();
    ASSERT_TRUE(GetWindowRect(h, &r));
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.right - r.left, 70);
    ASSERT_TRUE(SetWindowPos(h, HWND_TOP, 0, 0, 30, 20, SWP_NOMOVE | SWP_NOZORDER));
    ptest::Pump();
    ASSERT_TRUE(GetWindowRect(h, &r));
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.bottom - r.top, 20);
    STARTUPINFOA si;
    GetStartupInfoA(&si);
    EXPECT_EQ(si.wShowWindow, SW_SHOWDEFAULT);
    DestroyWindow(h);
}

} // namespace
