// queue_test.cpp - the message queue: order and filters, non-blocking peeks, the quit message,
// WM_PAINT only when nothing else waits, the close road, character translation.
#include <gtest/gtest.h>

#include "helpers.h"
#include "platform/core/internal.h"
#include "platform/win32.h"

namespace {

using ptest::Drain;
using ptest::Log;
using ptest::Only;

class Queue : public ::testing::Test {
protected:
    void SetUp() override {
        a = ptest::MakeWindow(WS_POPUP | WS_VISIBLE, 0, 0, 40, 30);
        b = ptest::MakeWindow(WS_POPUP | WS_VISIBLE, 50, 0, 40, 30);
        ASSERT_TRUE(a && b);
        POINT p;
        GetCursorPos(&p); // a round trip: the server's answers to the mapping are in
        Drain();          // the first paints and whatever the server sent
        Log().clear();
    }
    void TearDown() override {
        DestroyWindow(a);
        DestroyWindow(b);
        Drain();
    }
    HWND a = nullptr, b = nullptr;
};

TEST_F(Queue, PostedOrderAndFilters) {
    PostMessageA(a, WM_USER + 1, 1, 0);
    PostMessageA(b, WM_USER + 2, 2, 0);
    PostMessageA(a, WM_USER + 3, 3, 0);
    PostMessageA(a, WM_USER + 9, 9, 0);

    MSG m;
    // A window filter skips the other window's messages; PM_NOREMOVE leaves them there.
    ASSERT_TRUE(PeekMessageA(&m, b, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(m.message, UINT(WM_USER + 2));
    ASSERT_TRUE(PeekMessageA(&m, b, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(m.message, UINT(WM_USER + 2));
    // A range filter picks the first message inside it.
    ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_USER + 3, WM_USER + 9, PM_REMOVE));
    EXPECT_EQ(m.message, UINT(WM_USER + 3));
    EXPECT_FALSE(PeekMessageA(&m, nullptr, WM_USER + 4, WM_USER + 8, PM_REMOVE));

    std::vector<UINT> rest;
    for (const MSG& q : Drain())
        rest.push_back(q.message);
    EXPECT_EQ(rest, (std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_USER + 9}));
    // Nothing waits: PeekMessageA returns at once, whatever the options.
    EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(Queue, GetMessageReturnsZeroForQuitAfterPostedMessages) {
    PostQuitMessage(7);
    PostMessageA(a, WM_USER, 0, 0);
    MSG m;
    EXPECT_EQ(GetMessageA(&m, nullptr, 0, 0), TRUE);
    EXPECT_EQ(m.message, UINT(WM_USER));
    EXPECT_EQ(GetMessageA(&m, nullptr, 0, 0), FALSE);
    EXPECT_EQ(m.message, UINT(WM_QUIT));
    EXPECT_EQ(m.wParam, 7u);
    EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
        << "one quit, seen once; got " << m.message;
}

TEST_F(Queue, QuitIsRetrievedWhateverTheRange) {
    PostMessageA(a, WM_USER, 0, 0); // outside every range below but the last: it stays
    const struct {
        UINT min, max;
    } ranges[] = {{WM_KEYDOWN, WM_KEYUP}, {WM_USER + 1, WM_USER + 5}, {WM_QUIT, WM_QUIT}};
    MSG m;
    for (const auto& r : ranges) {
        PostQuitMessage(4);
        // Peek first: GetMessageA would wait for ever if the quit were filtered out.
        ASSERT_TRUE(PeekMessageA(&m, nullptr, r.min, r.max, PM_NOREMOVE)) << r.min;
        EXPECT_EQ(m.message, UINT(WM_QUIT)) << r.min;
        EXPECT_EQ(GetMessageA(&m, nullptr, r.min, r.max), FALSE) << r.min;
        EXPECT_EQ(m.wParam, 4u);
        EXPECT_FALSE(PeekMessageA(&m, nullptr, r.min, r.max, PM_REMOVE)) << "taken once";
    }
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, UINT(WM_USER));
}

// Input queued straight into the queue, as the backend does, so the order is exact.
TEST_F(Queue, MotionCoalescesOnlyWithTheNewestInput) {
    struct In {
        char window; // 'a' or 'b'
        UINT msg;
        int x;
    };
    const struct {
        std::vector<In> posted, expected;
    } cases[] = {
        // A move never overtakes another window's click...
        {{{'a', WM_MOUSEMOVE, 1}, {'b', WM_LBUTTONDOWN, 2}, {'a', WM_MOUSEMOVE, 3}},
         {{'a', WM_MOUSEMOVE, 1}, {'b', WM_LBUTTONDOWN, 2}, {'a', WM_MOUSEMOVE, 3}}},
        // ...nor its move.
        {{{'a', WM_MOUSEMOVE, 1}, {'b', WM_MOUSEMOVE, 2}, {'a', WM_MOUSEMOVE, 3}},
         {{'a', WM_MOUSEMOVE, 1}, {'b', WM_MOUSEMOVE, 2}, {'a', WM_MOUSEMOVE, 3}}},
        // Back-to-back moves of one window leave the newest.
        {{{'a', WM_MOUSEMOVE, 1}, {'b', WM_MOUSEMOVE, 2}, {'b', WM_MOUSEMOVE, 3}},
         {{'a', WM_MOUSEMOVE, 1}, {'b', WM_MOUSEMOVE, 3}}},
        {{{'a', WM_LBUTTONDOWN, 1}, {'a', WM_MOUSEMOVE, 2}, {'a', WM_MOUSEMOVE, 3}},
         {{'a', WM_LBUTTONDOWN, 1}, {'a', WM_MOUSEMOVE, 3}}},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        for (const In& in : cases[i].posted) {
            velvix::core::QueuedMessage q;
            q.msg.hwnd = in.window == 'a' ? a : b;
            q.msg.message = in.msg;
            q.msg.lParam = MAKELPARAM(in.x, 0);
            velvix::core::Queue().PostInput(q);
        }
        std::vector<MSG> got;
        for (const MSG& m : Drain())
            if (m.message != WM_PAINT)
                got.push_back(m);
        ASSERT_EQ(got.size(), cases[i].expected.size()) << "case " << i;
        for (size_t k = 0; k < got.size(); ++k) {
            const In& e = cases[i].expected[k];
            EXPECT_EQ(got[k].hwnd, e.window == 'a' ? a : b) << "case " << i << ", message " << k;
            EXPECT_EQ(got[k].message, e.msg) << "case " << i << ", message " << k;
            EXPECT_EQ(GET_X_LPARAM(got[k].lParam), e.x) << "case " << i << ", message " << k;
        }
    }
}

TEST_F(Queue, PaintComesLastAndOncePerInvalidWindow) {
    InvalidateRect(a, nullptr, TRUE);
    InvalidateRect(a, nullptr, FALSE);
    InvalidateRect(b, nullptr, FALSE);
    PostMessageA(b, WM_USER, 0, 0);
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, UINT(WM_USER)) << "WM_PAINT waits for the rest of the queue";
    int paintsA = 0, paintsB = 0;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        ASSERT_EQ(m.message, UINT(WM_PAINT));
        paintsA += m.hwnd == a;
        paintsB += m.hwnd == b;
        DispatchMessageA(&m); // DefWindowProcA validates
        ASSERT_LE(paintsA + paintsB, 2);
    }
    EXPECT_EQ(paintsA, 1);
    EXPECT_EQ(paintsB, 1);
    auto erases = Only(Log(), WM_ERASEBKGND);
    ASSERT_EQ(erases.size(), 1u);
    EXPECT_EQ(erases[0].hwnd, a);

    // UpdateWindow paints an invalid window at once, without the queue.
    Log().clear();
    InvalidateRect(b, nullptr, FALSE);
    EXPECT_TRUE(UpdateWindow(b));
    EXPECT_EQ(Only(Log(), WM_PAINT).size(), 1u);
    EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    UpdateWindow(b);
    EXPECT_EQ(Only(Log(), WM_PAINT).size(), 1u) << "a valid window is not painted";
}

TEST_F(Queue, SendCallsAtOnceAndCloseRoadEndsInDestroy) {
    Log().clear();
    SendMessageA(a, WM_USER + 5, 1, 2);
    ASSERT_EQ(Log().size(), 1u);
    EXPECT_EQ(Log()[0].msg, UINT(WM_USER + 5));
    SendMessageA(a, WM_SYSCOMMAND, SC_CLOSE, 0);
    std::vector<UINT> seen;
    for (const auto& s : Log())
        seen.push_back(s.msg);
    EXPECT_EQ(seen,
              (std::vector<UINT>{WM_USER + 5, WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY, WM_NCDESTROY}));
    EXPECT_FALSE(IsWindow(a));
}

TEST(Kernel, MovableGlobalMemory) {
    HGLOBAL h = GlobalAlloc(GHND, 16);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GlobalSize(h), 16u);
    auto* p = static_cast<unsigned char*>(GlobalLock(h));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p[15], 0);
    p[0] = 42;
    GlobalUnlock(h);
    h = GlobalReAlloc(h, 4096, GMEM_MOVEABLE);
    ASSERT_NE(h, nullptr);
    p = static_cast<unsigned char*>(GlobalLock(h));
    EXPECT_EQ(p[0], 42);
    GlobalUnlock(h);
    EXPECT_EQ(GlobalFree(h), nullptr);
    EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE, SIZE_T(-1) / 2), nullptr) << "failure is 0, not a throw";
    const DWORD t0 = GetTickCount();
    Sleep(20);
    EXPECT_GE(GetTickCount() - t0, 20u);
}

} // namespace
