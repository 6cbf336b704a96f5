// gl_test.cpp - pixel formats, GL contexts and buffer swaps through the Win32-shaped calls, on a
// real X server with Mesa.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "helpers.h"
#include "platform/win32.h"
#include "support/gl_window.h"
#include "xhelpers.h"

namespace {

TEST(GLWindow, ContextIsCurrentAndDrawingReadsBack) {
    velvix_test::ScopedGLWindow w(32, 24);
    ASSERT_TRUE(w.ok());
    EXPECT_EQ(wglGetCurrentContext(), w.context());
    EXPECT_EQ(wglGetCurrentDC(), w.dc());
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    std::vector<uint8_t> px = w.ReadPixels();
    ASSERT_EQ(px.size(), 32u * 24u * 4u);
    EXPECT_EQ(px[0], 255);
    EXPECT_EQ(px[1], 0);
    EXPECT_EQ(px[2], 0);
    EXPECT_EQ(px[px.size() - 4], 255);
    EXPECT_TRUE(SwapBuffers(w.dc()));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    // The fixed-function API is there (a compatibility context).
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// What the framework asks for: everything at 32 bits, stereo, an overlay layer. Most of it
// cannot be had; the choice must still succeed with double buffering, depth and RGBA.
TEST(GLWindow, PixelFormatNeverFailsForTheFrameworkRequest) {
    velvix_test::ScopedGLWindow w(16, 16);
    ASSERT_TRUE(w.ok());
    PIXELFORMATDESCRIPTOR pfd = {};
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER | PFD_STEREO;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = pfd.cAlphaBits = pfd.cAccumBits = 32;
    pfd.cDepthBits = pfd.cStencilBits = pfd.cAuxBuffers = 32;
    pfd.iLayerType = 1;
    const int format = ChoosePixelFormat(w.dc(), &pfd);
    ASSERT_GT(format, 0);
    PIXELFORMATDESCRIPTOR got = {};
    const int count = DescribePixelFormat(w.dc(), format, sizeof got, &got);
    EXPECT_GE(count, format);
    EXPECT_TRUE(got.dwFlags & PFD_DOUBLEBUFFER);
    EXPECT_TRUE(got.dwFlags & PFD_SUPPORT_OPENGL);
    EXPECT_EQ(got.iPixelType, PFD_TYPE_RGBA);
    EXPECT_GE(got.cDepthBits, 16);
    EXPECT_GE(got.cColorBits, 24);
    EXPECT_EQ(got.cAlphaBits, 8) << "alpha was asked for and can be had";
    EXPECT_EQ(got.cStencilBits, 8);
    EXPECT_EQ(DescribePixelFormat(w.dc(), count + 1, sizeof got, &got), 0)
        << "a format past the last one is refused";
    // The window already has its format: a second one is refused.
    EXPECT_FALSE(SetPixelFormat(w.dc(), format, &pfd));
}

TEST(GLWindow, TheFrameworkFormatKeepsTheWindowAndSwapsNeedAFormat) {
    // The framework asks for 32 bits of everything; the window it gets must not be remade
    // for the format (tools and window managers would see a window come and go).
    const char* title = "velvix format keeps window";
    HWND h = ptest::MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 64, 48, nullptr, title);
    ASSERT_NE(h, nullptr);
    HDC dc = GetDC(h);
    EXPECT_FALSE(SwapBuffers(dc)) << "no pixel format yet";
    Display* d = XOpenDisplay(nullptr);
    ASSERT_NE(d, nullptr);
    const ::Window before = ptest::FindByTitle(d, DefaultRootWindow(d), title);
    PIXELFORMATDESCRIPTOR pfd = {};
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = pfd.cAlphaBits = pfd.cAccumBits = 32;
    pfd.cDepthBits = pfd.cStencilBits = pfd.cAuxBuffers = 32;
    ASSERT_TRUE(SetPixelFormat(dc, ChoosePixelFormat(dc, &pfd), &pfd));
    XSync(d, False);
    EXPECT_NE(before, 0u);
    EXPECT_EQ(ptest::FindByTitle(d, DefaultRootWindow(d), title), before);
    EXPECT_TRUE(SwapBuffers(dc));
    XCloseDisplay(d);
    ReleaseDC(h, dc);
    DestroyWindow(h);
}

TEST(GLWindow, CallsWithoutCurrentContextDoNothing) {
    {
        velvix_test::ScopedGLWindow w(16, 16);
        ASSERT_TRUE(w.ok());
        EXPECT_TRUE(wglMakeCurrent(nullptr, nullptr));
        EXPECT_EQ(wglGetCurrentContext(), nullptr);
        EXPECT_EQ(wglGetCurrentDC(), nullptr);
        EXPECT_EQ(glGenLists(1), 0u);
        glClear(GL_COLOR_BUFFER_BIT); // must not crash
        EXPECT_TRUE(wglMakeCurrent(w.dc(), w.context()));
        EXPECT_NE(glGenLists(1), 0u);
    }
    // The window and its context are gone: nothing is current any more.
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
    EXPECT_EQ(glGenLists(1), 0u);
}

TEST(GLWindow, StaleHandlesAreRefused) {
    HWND wnd;
    HDC dc;
    HGLRC rc;
    {
        velvix_test::ScopedGLWindow w(16, 16);
        ASSERT_TRUE(w.ok());
        wnd = w.window(), dc = w.dc(), rc = w.context();
    }
    EXPECT_FALSE(IsWindow(wnd));
    EXPECT_FALSE(DestroyWindow(wnd));
    EXPECT_FALSE(wglMakeCurrent(dc, rc));
    EXPECT_FALSE(wglDeleteContext(rc));
    EXPECT_FALSE(SwapBuffers(dc));
    EXPECT_EQ(GetDC(wnd), nullptr);
}

} // namespace
