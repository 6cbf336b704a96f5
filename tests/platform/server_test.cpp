// server_test.cpp - the platform against a misbehaving or different X server: windows removed
// behind its back, a server that goes away, and a window manager (a child process of this
// program on a private server of its own each time).
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "helpers.h"
#include "platform/win32.h"
#include "support/gl_window.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include "xhelpers.h"

namespace {

// Waits up to `ms` until `test` holds, pumping messages meanwhile.
template <class F> bool PumpUntil(F test, int ms) {
    for (int i = 0; i < ms / 10; ++i) {
        ptest::Pump();
        if (test())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return test();
}

TEST(XErrors, WindowGoneBehindOurBackIsNoCrashNoNoiseAndDestroysIt) {
    if (ptest::IsChild())
        GTEST_SKIP();
    Display* dpy = XOpenDisplay(nullptr);
    ASSERT_NE(dpy, nullptr);
    velvix_test::ScopedGLWindow gl(32, 32);
    ASSERT_TRUE(gl.ok());
    ASSERT_TRUE(SetWindowTextA(gl.window(), "velvix doomed"));
    POINT p;
    GetCursorPos(&p);
    ::Window xid = ptest::FindByTitle(dpy, DefaultRootWindow(dpy), "velvix doomed");
    ASSERT_NE(xid, 0u);
    XDestroyWindow(dpy, xid);
    XSync(dpy, False);

    testing::internal::CaptureStderr();
    glClear(GL_COLOR_BUFFER_BIT);
    SwapBuffers(gl.dc());
    SetWindowTextA(gl.window(), "still here");
    MoveWindow(gl.window(), 1, 1, 20, 20, TRUE);
    ShowWindow(gl.window(), SW_HIDE);
    ShowWindow(gl.window(), SW_SHOW);
    SetCapture(gl.window());
    ReleaseCapture();
    ptest::Pump();
    const std::string noise = testing::internal::GetCapturedStderr();
    EXPECT_EQ(noise, "");
    // Once the pump has seen the destruction, the window is destroyed for the program too, as
    // any destroyed window: a frame loop waiting for WM_DESTROY ends instead of drawing on.
    EXPECT_FALSE(IsWindow(gl.window()));
    EXPECT_FALSE(SwapBuffers(gl.dc()));
    XCloseDisplay(dpy);
    // ~ScopedGLWindow destroys the window and its context; that must pass quietly too.
}

// Any client may set the properties we read; items of the wrong size or type are not read as
// longs (AddressSanitizer sees the over-read they would be).
TEST(XErrors, MalformedPropertiesOfOtherClientsAreIgnored) {
    if (ptest::IsChild())
        GTEST_SKIP();
    Display* dpy = XOpenDisplay(nullptr);
    ASSERT_NE(dpy, nullptr);
    HWND h = ptest::MakeWindow(WS_POPUP | WS_VISIBLE, 10, 20, 120, 80, nullptr, "velvix extents");
    ASSERT_NE(h, nullptr);
    POINT p;
    GetCursorPos(&p);
    ::Window xid = ptest::FindByTitle(dpy, DefaultRootWindow(dpy), "velvix extents");
    ASSERT_NE(xid, 0u);

    // _NET_FRAME_EXTENTS (left, right, top, bottom) = 1, 2, 3, 4 in various shapes; only the
    // last, four 32-bit cardinals, is a frame.
    const Atom extents = XInternAtom(dpy, "_NET_FRAME_EXTENTS", False);
    const unsigned char v8[4] = {1, 2, 3, 4};
    const short v16[4] = {1, 2, 3, 4};
    const long v32[4] = {1, 2, 3, 4};
    const struct {
        Atom type;
        int format;
        const void* data;
        RECT expected;
    } cases[] = {
        {XA_CARDINAL, 8, v8, {10, 20, 130, 100}},
        {XA_CARDINAL, 16, v16, {10, 20, 130, 100}},
        {XA_ATOM, 32, v32, {10, 20, 130, 100}},
        {XA_CARDINAL, 32, v32, {9, 17, 132, 104}},
    };
    for (const auto& c : cases) {
        XChangeProperty(dpy, xid, extents, c.type, c.format, PropModeReplace,
                        static_cast<const unsigned char*>(c.data), 4);
        XSync(dpy, False);
        GetCursorPos(&p); // the PropertyNotify is in
        ptest::Pump();
        RECT r = {};
        ASSERT_TRUE(GetWindowRect(h, &r));
        EXPECT_EQ(r.left, c.expected.left) << "format " << c.format << ", type " << c.type;
        EXPECT_EQ(r.top, c.expected.top) << "format " << c.format << ", type " << c.type;
        EXPECT_EQ(r.right, c.expected.right) << "format " << c.format << ", type " << c.type;
        EXPECT_EQ(r.bottom, c.expected.bottom) << "format " << c.format << ", type " << c.type;
    }
    DestroyWindow(h);

    // A window-manager check of 8-bit items is no window manager: a new window still takes the
    // focus itself, as it does when none runs.
    const ::Window root = DefaultRootWindow(dpy);
    const Atom check = XInternAtom(dpy, "_NET_SUPPORTING_WM_CHECK", False);
    const Atom supported = XInternAtom(dpy, "_NET_SUPPORTED", False);
    XChangeProperty(dpy, root, check, XA_WINDOW, 8, PropModeReplace, v8, 1);
    XSync(dpy, False);
    HWND focused = ptest::MakeWindow(WS_POPUP | WS_VISIBLE, 0, 0, 50, 50);
    ASSERT_NE(focused, nullptr);
    EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == focused; }, 1000));
    DestroyWindow(focused);
    // Nor is a check naming a window that is gone, as a window manager that died leaves it.
    const ::Window gone = XCreateSimpleWindow(dpy, root, 0, 0, 1, 1, 0, 0, 0);
    XChangeProperty(dpy, gone, check, XA_WINDOW, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&gone), 1);
    XChangeProperty(dpy, root, check, XA_WINDOW, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&gone), 1);
    XDestroyWindow(dpy, gone);
    XSync(dpy, False);
    focused = ptest::MakeWindow(WS_POPUP | WS_VISIBLE, 0, 0, 50, 50);
    ASSERT_NE(focused, nullptr);
    EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == focused; }, 1000));
    DestroyWindow(focused);
    // A real check with an 8-bit support list: a captioned window asks what is supported.
    XChangeProperty(dpy, root, check, XA_WINDOW, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&root), 1);
    XChangeProperty(dpy, root, supported, XA_ATOM, 8, PropModeReplace, v8, 4);
    XSync(dpy, False);
    HWND framed = ptest::MakeWindow(WS_CAPTION | WS_VISIBLE, 0, 0, 50, 50);
    EXPECT_NE(framed, nullptr);
    DestroyWindow(framed);
    XDeleteProperty(dpy, root, check);
    XDeleteProperty(dpy, root, supported);
    XCloseDisplay(dpy);
}

// The child half of the next test: a program waiting for messages when the server vanishes.
TEST(ChildProcess, WaitsForMessages) {
    if (!ptest::IsChild())
        GTEST_SKIP() << "run by ServerLoss";
    HWND h = ptest::MakeWindow(WS_POPUP | WS_VISIBLE, 0, 0, 40, 40);
    ASSERT_NE(h, nullptr);
    std::printf("ready\n");
    std::fflush(stdout);
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0)
        DispatchMessageA(&m);
    std::printf("GetMessageA returned\n");
}

TEST(ServerLoss, ProgramEndsWithCodeThreeAndAMessage) {
    if (ptest::IsChild())
        GTEST_SKIP();
    ptest::Server server;
    ASSERT_TRUE(ptest::StartServer(&server));
    ptest::Child child = ptest::SpawnSelf("ChildProcess.WaitsForMessages", server.display);
    std::string out = ptest::ReadUntil(child, "ready", 20000);
    ASSERT_NE(out.find("ready"), std::string::npos) << out;
    ptest::StopServer(server);
    const int code = ptest::WaitChild(child, 10000, &out);
    EXPECT_EQ(code, 3) << out;
    EXPECT_NE(out.find("velvix: lost the connection to the X server"), std::string::npos) << out;
    EXPECT_EQ(out.find("GetMessageA returned"), std::string::npos);
}

// The child halves of WindowManager.UnderOpenbox, on a server where a window manager runs.
class UnderWindowManager : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!ptest::IsChild())
            return;
        dpy = XOpenDisplay(nullptr);
        const Atom check = XInternAtom(dpy, "_NET_SUPPORTING_WM_CHECK", False);
        for (int i = 0; i < 500 && !wmRunning(check); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    static void TearDownTestSuite() {
        if (dpy)
            XCloseDisplay(dpy);
        dpy = nullptr;
    }
    void SetUp() override {
        if (!ptest::IsChild())
            GTEST_SKIP() << "run by WindowManager.UnderOpenbox";
        ASSERT_NE(dpy, nullptr);
        ASSERT_TRUE(wmRunning(XInternAtom(dpy, "_NET_SUPPORTING_WM_CHECK", False)));
    }
    static bool wmRunning(Atom check) {
        Atom type;
        int format;
        unsigned long n = 0, after;
        unsigned char* data = nullptr;
        XGetWindowProperty(dpy, DefaultRootWindow(dpy), check, 0, 1, False, XA_WINDOW, &type,
                           &format, &n, &after, &data);
        if (data)
            XFree(data);
        return n == 1;
    }
    // Our X window titled `title` (made by now: GetCursorPos is a round trip).
    static ::Window Find(const char* title) {
        POINT p;
        GetCursorPos(&p);
        return ptest::FindByTitle(dpy, DefaultRootWindow(dpy), title);
    }
    static Display* dpy;
};
Display* UnderWindowManager::dpy = nullptr;

TEST_F(UnderWindowManager, FramedAndFullScreenWindows) {
    // A captioned window's outer size is what was asked for; the frame comes off the client.
    HWND h = ptest::MakeWindow(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE, 10, 10, 800,
                               600, nullptr, "velvix framed");
    ASSERT_NE(h, nullptr);
    RECT r = {}, c = {};
    PumpUntil(
        [&] {
            GetWindowRect(h, &r);
            return r.right - r.left == 800 && r.bottom - r.top == 600;
        },
        2000);
    GetClientRect(h, &c);
    EXPECT_EQ(r.right - r.left, 800);
    EXPECT_EQ(r.bottom - r.top, 600);
    EXPECT_LT(c.bottom, 600) << "the title bar is not client area";
    EXPECT_GT(c.bottom, 400);
    // Not resizable: equal minimum and maximum size hints.
    ::Window xid = ptest::FindByTitle(dpy, DefaultRootWindow(dpy), "velvix framed");
    ASSERT_NE(xid, 0u);
    XSizeHints hints = {};
    long supplied = 0;
    ASSERT_TRUE(XGetWMNormalHints(dpy, xid, &hints, &supplied));
    EXPECT_EQ(hints.min_width, hints.max_width);
    EXPECT_EQ(hints.min_height, hints.max_height);
    EXPECT_EQ(hints.max_width, c.right);
    DestroyWindow(h);

    // A pop-up over the whole monitor asks the window manager for full screen.
    HWND fs = ptest::MakeWindow(WS_POPUP | WS_VISIBLE, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                                GetSystemMetrics(SM_CYSCREEN), nullptr, "velvix full");
    ASSERT_NE(fs, nullptr);
    PumpUntil([] { return false; }, 300);
    xid = ptest::FindByTitle(dpy, DefaultRootWindow(dpy), "velvix full");
    ASSERT_NE(xid, 0u);
    Atom type;
    int format;
    unsigned long n = 0, after;
    unsigned char* data = nullptr;
    XGetWindowProperty(dpy, xid, XInternAtom(dpy, "_NET_WM_STATE", False), 0, 16, False, XA_ATOM,
                       &type, &format, &n, &after, &data);
    bool full = false;
    for (unsigned long i = 0; i < n; ++i)
        full = full || reinterpret_cast<Atom*>(data)[i] ==
                           XInternAtom(dpy, "_NET_WM_STATE_FULLSCREEN", False);
    if (data)
        XFree(data);
    EXPECT_TRUE(full);
    GetWindowRect(fs, &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 1024);
    EXPECT_EQ(r.bottom, 768);
    EXPECT_EQ(GetForegroundWindow(), fs) << "a mapped window gets the focus";
    DestroyWindow(fs);
}

TEST_F(UnderWindowManager, MinimisedWindowIsRestoredAndHiddenOneWithdrawn) {
    HWND h = ptest::MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 300, nullptr,
                               "velvix iconic");
    ASSERT_NE(h, nullptr);
    const ::Window xid = Find("velvix iconic");
    ASSERT_NE(xid, 0u);
    auto mapState = [&] {
        XWindowAttributes a;
        return XGetWindowAttributes(dpy, xid, &a) ? a.map_state : -1;
    };
    // WM_STATE as the window manager keeps it; withdrawn when it has none.
    auto wmState = [&] {
        Atom type;
        int format;
        unsigned long n = 0, after;
        unsigned char* data = nullptr;
        const Atom prop = XInternAtom(dpy, "WM_STATE", False);
        XGetWindowProperty(dpy, xid, prop, 0, 2, False, prop, &type, &format, &n, &after, &data);
        const long state = data && format == 32 && n >= 1 ? *reinterpret_cast<long*>(data) : 0;
        if (data)
            XFree(data);
        return state;
    };
    ASSERT_TRUE(PumpUntil([&] { return mapState() == IsViewable; }, 2000));

    ShowWindow(h, SW_MINIMIZE);
    ASSERT_TRUE(PumpUntil([&] { return mapState() == IsUnmapped; }, 2000));
    EXPECT_TRUE(IsIconic(h));
    ShowWindow(h, SW_RESTORE);
    EXPECT_TRUE(PumpUntil([&] { return mapState() == IsViewable; }, 2000));
    EXPECT_EQ(wmState(), NormalState);
    EXPECT_FALSE(IsIconic(h));

    // Hiding a minimised window takes it off the window manager's hands altogether.
    ShowWindow(h, SW_MINIMIZE);
    ASSERT_TRUE(PumpUntil([&] { return wmState() == IconicState; }, 2000));
    ShowWindow(h, SW_HIDE);
    EXPECT_TRUE(PumpUntil([&] { return wmState() == WithdrawnState; }, 2000));
    DestroyWindow(h);
}

TEST_F(UnderWindowManager, MovesKeepTheOuterPositionAsked) {
    HWND h = ptest::MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 300, nullptr,
                               "velvix moved");
    ASSERT_NE(h, nullptr);
    RECT r = {};
    auto becomes = [&](RECT want) {
        return PumpUntil(
            [&] {
                GetWindowRect(h, &r);
                return r.left == want.left && r.top == want.top && r.right == want.right &&
                       r.bottom == want.bottom;
            },
            2000);
    };
    auto text = [&] {
        return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
               std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
    };
    ASSERT_TRUE(becomes({100, 100, 500, 400})) << text();
    // Each resize in place leaves the frame where it was (no drift by the frame size).
    for (int i = 0; i < 3; ++i) {
        const int width = 420 + 10 * i;
        ASSERT_TRUE(SetWindowPos(h, nullptr, 0, 0, width, 320, SWP_NOMOVE | SWP_NOZORDER));
        EXPECT_TRUE(becomes({100, 100, 100 + width, 420})) << "resize " << i << ": " << text();
    }
    ASSERT_TRUE(MoveWindow(h, 50, 60, 400, 300, TRUE));
    EXPECT_TRUE(becomes({50, 60, 450, 360})) << text();
    DestroyWindow(h);
}

TEST(WindowManager, UnderOpenbox) {
    if (ptest::IsChild())
        GTEST_SKIP();
    if (system("command -v openbox >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "no openbox installed";
    ptest::Server server;
    ASSERT_TRUE(ptest::StartServer(&server));
    const pid_t wm = fork();
    if (wm == 0) {
        const std::string d = ":" + std::to_string(server.display);
        setenv("DISPLAY", d.c_str(), 1);
        freopen("/dev/null", "w", stderr);
        freopen("/dev/null", "w", stdout);
        execlp("openbox", "openbox", "--sm-disable", static_cast<char*>(nullptr));
        _exit(127);
    }
    ptest::Child child = ptest::SpawnSelf("UnderWindowManager.*", server.display);
    std::string out;
    const int code = ptest::WaitChild(child, 60000, &out);
    EXPECT_EQ(code, 0) << out;
    for (const char* test :
         {"FramedAndFullScreenWindows", "MinimisedWindowIsRestoredAndHiddenOneWithdrawn",
          "MovesKeepTheOuterPositionAsked"})
        EXPECT_NE(out.find(std::string("[       OK ] UnderWindowManager.") + test),
                  std::string::npos)
            << out;
    kill(wm, SIGTERM);
    waitpid(wm, nullptr, 0);
    ptest::StopServer(server);
}

} // namespace
