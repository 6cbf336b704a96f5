// window_test.cpp - creating and deleting the framework window. Each case runs in a fresh child
// process (a window, and its class, exist once per process), reports what went wrong on stderr
// and tells the outcome through its exit code.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "framework_window.h"

#include <GL/gl.h>

using namespace velvix;

namespace {

struct Failures {
    std::string text;
    void Check(bool ok, const char* what) {
        if (!ok)
            text += std::string(what) + "\n";
    }
    [[noreturn]] void Exit() {
        std::fputs(text.c_str(), stderr);
        std::exit(text.empty() ? 0 : 2);
    }
};

int RectWidth(const RECT& r) {
    return r.right - r.left;
}
int RectHeight(const RECT& r) {
    return r.bottom - r.top;
}

[[noreturn]] void Windowed() {
    window_test::CaptureMessageBoxes();
    Failures f;
    OGLWindowSetting(Arrow, "", Generic, "");
    f.Check(CreateOGLWindow("velvix windowed", 320, 240, 32, false), "result true");
    f.Check(Width == 320 && Height == 240, "Width/Height keep the values passed");
    f.Check(Active, "Active after creation");
    f.Check(HWindow && DCWindow && RCWindow, "three handles");
    f.Check(wglGetCurrentContext() == RCWindow, "context current");
    RECT r = {};
    GetWindowRect(HWindow, &r);
    f.Check(RectWidth(r) == 320 && RectHeight(r) == 240, "outer size 320 x 240");
    GLint doubleBuffer = 0, depthBits = 0;
    glGetIntegerv(GL_DOUBLEBUFFER, &doubleBuffer);
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    f.Check(doubleBuffer && depthBits >= 16, "double buffer with a depth buffer");
    const HWND window = HWindow;
    DeleteOGLWindow();
    f.Check(!IsWindow(window), "window destroyed");
    f.Check(!Active, "WM_DESTROY arrives again");
    f.Check(wglGetCurrentContext() == nullptr, "no context current");
    f.Check(HWindow == window, "handles are not zeroed");
    f.Exit();
}

[[noreturn]] void FullScreenChild() {
    window_test::CaptureMessageBoxes();
    Failures f;
    OGLWindowSetting(Arrow, "", Generic, "");
    CreateOGLWindow("velvix full screen", 800, 600, 32, true);
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    f.Check(Width == sw && Height == sh, "Width/Height hold the screen size");
    RECT r = {};
    GetWindowRect(HWindow, &r);
    f.Check(r.left == 0 && r.top == 0 && RectWidth(r) == sw && RectHeight(r) == sh,
            "the window covers the screen");
    OpenGL_Init(100, 0, 0, 0, 0);
    GLint vp[4] = {};
    glGetIntegerv(GL_VIEWPORT, vp);
    f.Check(vp[2] == sw && vp[3] == sh, "the viewport follows the screen size");
    DeleteOGLWindow();
    f.Exit();
}

[[noreturn]] void CreateTwice() {
    window_test::CaptureMessageBoxes();
    CreateOGLWindow("first", 200, 100, 32, false);
    CreateOGLWindow("second", 200, 100, 32, false);
    std::exit(0); // not reached
}

[[noreturn]] void DeleteAfterClose() {
    window_test::CaptureMessageBoxes();
    CreateOGLWindow("closed by the user", 200, 100, 32, false);
    DestroyWindow(HWindow); // what a close by the window manager leads to
    if (Active)
        std::exit(3);
    // The frame loop's last turn after the close, then the teardown.
    glClear(GL_COLOR_BUFFER_BIT);
    SwapBuffers(DCWindow);
    DeleteOGLWindow();
    std::exit(0);
}

[[noreturn]] void SettingWithoutContext() {
    Failures f;
    static const char cursorFile[] = "missing.cur";
    static const char iconFile[] = "missing.ico";
    MouseFree = true;
    Width = 200;
    Height = 101;
    OGLWindowSetting(Cross, cursorFile, FileIcon, iconFile);
    f.Check(SetTypeCursor == Cross && SetTypeIcon == FileIcon, "types stored");
    f.Check(CursorFile == cursorFile && IconFile == iconFile, "pointers stored, not copied");
    f.Check(FogOnOff, "FogOnOff set");
    f.Check(ObjNull == 0, "no display list without a context");
    POINT p = {};
    GetCursorPos(&p);
    f.Check(p.x == 100 && p.y == 50, "free look puts the cursor at the halves");
    f.Exit();
}

HWND g_windowAtMenuHook;
int g_menuHookCalls;
void RecordMenuHook() {
    g_windowAtMenuHook = HWindow;
    ++g_menuHookCalls;
}

// The menu hook runs once, after the window exists; a host that enables the menu but sets no
// hook still gets its window.
[[noreturn]] void MenuHooks() {
    window_test::CaptureMessageBoxes();
    Failures f;
    ShowMenuBar = true;
    CreateMenuBar = RecordMenuHook;
    CreateOGLWindow("with a menu hook", 200, 100, 32, false);
    f.Check(g_menuHookCalls == 1, "CreateMenuBar called once");
    f.Check(g_windowAtMenuHook && g_windowAtMenuHook == HWindow, "called after the window exists");
    DeleteOGLWindow();
    f.Exit();
}

[[noreturn]] void MenuWithoutHooks() {
    window_test::CaptureMessageBoxes();
    ShowMenuBar = true;
    CreateOGLWindow("menu without hooks", 200, 100, 32, false);
    GLWndProc(HWindow, WM_CONTEXTMENU, 0, 0);
    DeleteOGLWindow();
    std::exit(0);
}

// Registers the class for one cursor/icon choice and checks the class fields.
[[noreturn]] void RegisterWith(int32_t cursor, int32_t icon, LPCSTR systemCursor, bool appIcon) {
    Failures f;
    OGLWindowSetting(cursor, "no-such-file", icon, "no-such-file");
    f.Check(WindowRegister(), "registered");
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    f.Check(GetClassInfoExA(GetModuleHandleA(nullptr), "GLWindow", &wc), "class info");
    f.Check(wc.hCursor == (systemCursor ? LoadCursorA(nullptr, systemCursor) : nullptr), "cursor");
    f.Check(systemCursor == nullptr || wc.hCursor != nullptr, "system cursor loaded");
    f.Check(wc.hIcon == (appIcon ? LoadIconA(nullptr, IDI_APPLICATION) : nullptr), "icon");
    f.Check(wc.style == (CS_HREDRAW | CS_VREDRAW), "class style");
    f.Check(wc.lpfnWndProc == GLWndProc, "window procedure");
    f.Check(wc.hbrBackground == GetSysColorBrush(COLOR_BTNFACE), "background brush");
    f.Exit();
}

class WindowChild : public testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(WindowChild, WindowedCreationAndTeardown) {
    EXPECT_EXIT(Windowed(), testing::ExitedWithCode(0), "^$");
}

TEST_F(WindowChild, FullScreenTakesTheScreenSize) {
    EXPECT_EXIT(FullScreenChild(), testing::ExitedWithCode(0), "^$");
}

TEST_F(WindowChild, SecondCreationEndsTheProcessWithTheRegistrationMessage) {
    EXPECT_EXIT(CreateTwice(), testing::ExitedWithCode(1),
                "^Error: Errore di registro per la rispettiva applicazione!\n$");
}

TEST_F(WindowChild, MenuHookRunsOnceAfterTheWindowExists) {
    EXPECT_EXIT(MenuHooks(), testing::ExitedWithCode(0), "^$");
    EXPECT_EXIT(MenuWithoutHooks(), testing::ExitedWithCode(0), "^$");
}

TEST_F(WindowChild, DeleteAfterTheWindowIsGoneIsSilent) {
    EXPECT_EXIT(DeleteAfterClose(), testing::ExitedWithCode(0), "^$");
}

TEST_F(WindowChild, SettingWithoutAContextStoresTheChoiceAndMakesNoList) {
    EXPECT_EXIT(SettingWithoutContext(), testing::ExitedWithCode(0), "^$");
}

// The class cursor and icon for each type: system ones, files that do not exist, and types
// outside the tables (both null).
TEST_F(WindowChild, ClassCursorAndIconFollowTheirTypes) {
    struct Case {
        int32_t cursor, icon;
        LPCSTR systemCursor; // null: expect a null cursor
        bool appIcon;
    } cases[] = {
        {Arrow, Generic, IDC_ARROW, true},
        {Help, Generic, IDC_HELP, true},
        {FileCursor, FileIcon, nullptr, false}, // "no-such-file"
        {0, 0, nullptr, false},
        {17, 3, nullptr, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "cursor " << c.cursor << " icon " << c.icon);
        EXPECT_EXIT(RegisterWith(c.cursor, c.icon, c.systemCursor, c.appIcon),
                    testing::ExitedWithCode(0), "^$");
    }
}

} // namespace
