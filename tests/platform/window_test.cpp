// window_test.cpp - classes, window creation and destruction (also by the procedures being
// called), child windows, sizes and properties through the Win32-shaped calls on a real X
// server, and how long a stale handle stays stale.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "helpers.h"
#include "platform/core/internal.h"
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

// A procedure that destroys a window when it hears `g_when` (the suite also runs under
// AddressSanitizer, which sees any use of a window freed under the caller).
UINT g_when = 0;
HWND g_victim = nullptr;
LRESULT CALLBACK Destroyer(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    if (m == g_when && g_when) {
        g_when = 0;
        DestroyWindow(g_victim ? g_victim : h);
    }
    return DefWindowProcA(h, m, wp, lp);
}

TEST(Windows, ProceduresMayDestroyWindowsUnderTheCaller) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Destroyer;
    wc.lpszClassName = "VelvixDestroyer";
    ASSERT_NE(RegisterClassA(&wc), 0);
    auto make = [](DWORD style, HWND parent) {
        return CreateWindowExA(0, "VelvixDestroyer", "", style, 0, 0, 60, 40, parent, nullptr,
                               nullptr, nullptr);
    };

    // A child whose WM_DESTROY destroys its parent, and so itself with it.
    HWND top = make(WS_POPUP | WS_VISIBLE, nullptr);
    HWND child = make(WS_CHILD | WS_VISIBLE, top);
    ASSERT_TRUE(top && child);
    g_when = WM_DESTROY, g_victim = top;
    EXPECT_TRUE(DestroyWindow(child));
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(IsWindow(top));

    // A window destroyed by its own WM_NCCREATE is never returned.
    g_when = WM_NCCREATE, g_victim = nullptr;
    EXPECT_EQ(make(WS_POPUP, nullptr), nullptr);

    // The focus that is taken away destroys the window that takes it.
    HWND first = make(WS_POPUP | WS_VISIBLE, nullptr);
    HWND second = make(WS_POPUP | WS_VISIBLE, nullptr);
    ASSERT_TRUE(first && second);
    SetFocus(first);
    g_when = WM_KILLFOCUS, g_victim = second;
    EXPECT_EQ(SetFocus(second), first);
    EXPECT_FALSE(IsWindow(second));
    g_when = 0;
    DestroyWindow(first);
    ptest::Drain();
}

// Handles of one slot come back only after very many reuses of the table: a stale handle
// kept by a program must not find a much later window.
TEST(Handles, AStaleHandleDoesNotComeBack) {
    velvix::core::HandleTable<int> table(velvix::core::kWindowHandle);
    const uintptr_t first = table.Add(std::make_unique<int>(1));
    ASSERT_NE(first, 0u);
    table.Remove(reinterpret_cast<const void*>(first));
    // One object made and freed over and over: the pattern that reuses a single slot most.
    for (int i = 0; i < 5000; ++i) {
        const uintptr_t h = table.Add(std::make_unique<int>(i));
        ASSERT_NE(h, first) << "after " << i << " cycles";
        ASSERT_EQ(table.Get(reinterpret_cast<const void*>(first)), nullptr);
        ASSERT_NE(table.Get(reinterpret_cast<const void*>(h)), nullptr);
        table.Remove(reinterpret_cast<const void*>(h));
    }
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
