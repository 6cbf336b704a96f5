// focus_test.cpp - a newly shown top-level window is the active one, also without a window
// manager (the test servers have none): the second window takes the focus from the first, and
// keeps it after the first is gone.
#include <gtest/gtest.h>

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
