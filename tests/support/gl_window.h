// gl_window.h - a small real window with a current OpenGL context, for tests that draw or read
// GL state back. Made through the Win32-shaped platform layer, exactly as the framework does.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/win32.h"

namespace velvix_test {

class ScopedGLWindow {
public:
    // Opens a visible pop-up window of `width` x `height` at (0, 0) with a double-buffered RGBA
    // context (depth buffer, alpha) and makes the context current. ok() tells whether it worked.
    ScopedGLWindow(int width = 64, int height = 64);
    ~ScopedGLWindow();
    ScopedGLWindow(const ScopedGLWindow&) = delete;
    ScopedGLWindow& operator=(const ScopedGLWindow&) = delete;

    bool ok() const { return rc_ != nullptr; }
    HWND window() const { return wnd_; }
    HDC dc() const { return dc_; }
    HGLRC context() const { return rc_; }
    int width() const { return width_; }
    int height() const { return height_; }

    // The back buffer as RGBA bytes, bottom row first (glReadPixels order).
    std::vector<uint8_t> ReadPixels() const;

private:
    int width_, height_;
    HWND wnd_ = nullptr;
    HDC dc_ = nullptr;
    HGLRC rc_ = nullptr;
};

} // namespace velvix_test
