// focus_test.cpp - a newly shown top-level window is the active one, also without a window
// manager (the test servers have none): the second window takes the focus from the first, and
// keeps it after the first is gone. A child given the focus keeps it while its top-level has
// the X focus, and hears WM_KILLFOCUS when the top-level loses it.
#include <gtest/gtest.h>

#include "helpers.h"
#include "platform/win32.h"

namespace {

LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    return DefWindowProcA(w, m, wp, lp);
}

HWND Make(const char* title) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.lpszClassName = "FocusTest";
    RegisterClassA(&wc); // fails harmlessly the second time
    return CreateWindowExA(0, "FocusTest", title, WS_POPUP | WS_VISIBLE, 10, 10, 100, 80, nullptr,
                           nullptr, nullptr, nullptr);
}

// Pumps messages until `w` is the foreground window or a second has passed.
bool BecomesForeground(HWND w) {
    const DWORD end = GetTickCount() + 1000;
    MSG m;
    while (GetTickCount() < end) {
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&m);
        if (GetForegroundWindow() == w)
            return true;
        Sleep(10);
    }
    return false;
}

} // namespace

TEST(Focus, ANewlyShownWindowIsTheActiveOne) {
    HWND first = Make("first");
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(BecomesForeground(first));
    HWND second = Make("second");
    EXPECT_TRUE(BecomesForeground(second));
    DestroyWindow(first);
    EXPECT_TRUE(BecomesForeground(second));
    DestroyWindow(second);
}

TEST(Focus, AChildKeepsTheFocusUntilItsTopLevelLosesIt) {
    // SetFocus(child) before the top-level's own FocusIn (from being shown) has come in.
    HWND top = Make("top");
    HWND child = ptest::MakeWindow(WS_CHILD | WS_VISIBLE, 5, 5, 40, 30, top);
    ASSERT_TRUE(top && child);
    SetFocus(child);
    EXPECT_TRUE(BecomesForeground(top));
    POINT p;
    GetCursorPos(&p); // a round trip: every focus event the server sent is in
    ptest::Pump();
    EXPECT_EQ(GetFocus(), child);

    ptest::Log().clear();
    HWND other = Make("other"); // takes the X focus from `top`
    EXPECT_TRUE(BecomesForeground(other));
    const auto kills = ptest::Only(ptest::Log(), WM_KILLFOCUS);
    ASSERT_EQ(kills.size(), 1u);
    EXPECT_EQ(kills[0].hwnd, child);
    EXPECT_EQ(GetFocus(), other);
    DestroyWindow(other);
    DestroyWindow(top);
}
