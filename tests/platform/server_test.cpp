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

TEST(XErrors, WindowGoneBehindOurBackIsNoCrashAndNoNoise) {
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
    XCloseDisplay(dpy);
    // ~ScopedGLWindow destroys the window and its context; that must pass quietly too.
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

// The child half of the window-manager test, on a server where a window manager runs.
TEST(ChildProcess, UnderWindowManager) {
    if (!ptest::IsChild())
        GTEST_SKIP() << "run by WindowManager";
    Display* dpy = XOpenDisplay(nullptr);
    ASSERT_NE(dpy, nullptr);
    const Atom check = XInternAtom(dpy, "_NET_SUPPORTING_WM_CHECK", False);
    auto wmRunning = [&] {
        Atom type;
        int format;
        unsigned long n, after;
        unsigned char* data = nullptr;
        XGetWindowProperty(dpy, DefaultRootWindow(dpy), check, 0, 1, False, XA_WINDOW, &type,
                           &format, &n, &after, &data);
        if (data)
            XFree(data);
        return n == 1;
    };
    for (int i = 0; i < 500 && !wmRunning(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(wmRunning());

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
    XCloseDisplay(dpy);
}

TEST(WindowManager, FramedAndFullScreenWindows) {
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
    ptest::Child child = ptest::SpawnSelf("ChildProcess.UnderWindowManager", server.display);
    std::string out;
    const int code = ptest::WaitChild(child, 60000, &out);
    EXPECT_EQ(code, 0) << out;
    EXPECT_NE(out.find("[       OK ] ChildProcess.UnderWindowManager"), std::string::npos) << out;
    kill(wm, SIGTERM);
    waitpid(wm, nullptr, 0);
    ptest::StopServer(server);
}

} // namespace
