#include "support/gl_window.h"

#include <GL/gl.h>

namespace velvix_test {
namespace {

LRESULT CALLBACK TestWndProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    return DefWindowProcA(w, m, wp, lp);
}

const char* TestClass() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = TestWndProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "VelvixTestGL";
        registered = RegisterClassA(&wc) != 0;
    }
    return "VelvixTestGL";
}

} // namespace

ScopedGLWindow::ScopedGLWindow(int width, int height) : width_(width), height_(height) {
    wnd_ = CreateWindowExA(0, TestClass(), "velvix test", WS_POPUP | WS_VISIBLE, 0, 0, width,
                           height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!wnd_)
        return;
    dc_ = GetDC(wnd_);
    PIXELFORMATDESCRIPTOR pfd = {};
    pfd.nSize = sizeof(pfd);
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 24;
    pfd.cAlphaBits = 8;
    pfd.cDepthBits = 24;
    pfd.cStencilBits = 8;
    int format = ChoosePixelFormat(dc_, &pfd);
    if (!format || !SetPixelFormat(dc_, format, &pfd))
        return;
    rc_ = wglCreateContext(dc_);
    if (rc_ && !wglMakeCurrent(dc_, rc_)) {
        wglDeleteContext(rc_);
        rc_ = nullptr;
    }
}

ScopedGLWindow::~ScopedGLWindow() {
    if (rc_) {
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(rc_);
    }
    if (dc_)
        ReleaseDC(wnd_, dc_);
    if (wnd_)
        DestroyWindow(wnd_);
}

std::vector<uint8_t> ScopedGLWindow::ReadPixels() const {
    std::vector<uint8_t> pixels(static_cast<size_t>(width_) * height_ * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

} // namespace velvix_test
