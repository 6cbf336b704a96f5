// glx_context.cpp - window DCs, pixel formats, GL rendering contexts and buffer swaps on GLX,
// and the drawing of GDI pixels onto windows.
//
// Pixel formats are the GLX frame-buffer configurations that draw on a 24-bit TrueColor visual
// (alpha bits may be there for blending, but a window never turns see-through). The
// choice never fails for what cannot be had (stereo, accumulation, auxiliary buffers, 32 depth
// bits): double buffering, RGBA, depth and stencil decide, then closeness. Contexts are legacy
// (compatibility) contexts, which offer the fixed-function API.
#include <algorithm>
#include <vector>

#include "platform/gdi/dc.h"
#include "platform/x11/x11_internal.h"

namespace velvix::x11 {
namespace {

struct Format {
    GLXFBConfig config;
    Visual* visual;
    int doubleBuffer, red, green, blue, alpha, depth, stencil, accum, aux, stereo, samples;
};

std::vector<Format>& Formats() {
    static std::vector<Format> formats = [] {
        std::vector<Format> out;
        Connection* c = Conn();
        if (!c)
            return out;
        const int attrs[] = {
            GLX_X_RENDERABLE, True, GLX_DRAWABLE_TYPE, GLX_WINDOW_BIT, GLX_RENDER_TYPE,
            GLX_RGBA_BIT,     0};
        int n = 0;
        GLXFBConfig* configs = glXChooseFBConfig(c->display, c->screen, attrs, &n);
        for (int i = 0; configs && i < n; ++i) {
            // Only 24-bit TrueColor visuals: the window never turns see-through, and GDI
            // pixels put on it keep one layout.
            XVisualInfo* vi = glXGetVisualFromFBConfig(c->display, configs[i]);
            const bool usable = vi && vi->depth == 24 && vi->c_class == TrueColor;
            Format f = {configs[i], usable ? vi->visual : nullptr, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
            if (vi)
                XFree(vi);
            if (!usable)
                continue;
            auto get = [&](int attr, int* v) {
                glXGetFBConfigAttrib(c->display, configs[i], attr, v);
            };
            get(GLX_DOUBLEBUFFER, &f.doubleBuffer);
            get(GLX_RED_SIZE, &f.red);
            get(GLX_GREEN_SIZE, &f.green);
            get(GLX_BLUE_SIZE, &f.blue);
            get(GLX_ALPHA_SIZE, &f.alpha);
            get(GLX_DEPTH_SIZE, &f.depth);
            get(GLX_STENCIL_SIZE, &f.stencil);
            int ar = 0, ag = 0, ab = 0, aa = 0;
            get(GLX_ACCUM_RED_SIZE, &ar);
            get(GLX_ACCUM_GREEN_SIZE, &ag);
            get(GLX_ACCUM_BLUE_SIZE, &ab);
            get(GLX_ACCUM_ALPHA_SIZE, &aa);
            f.accum = ar + ag + ab + aa;
            get(GLX_AUX_BUFFERS, &f.aux);
            get(GLX_STEREO, &f.stereo);
            get(GLX_SAMPLES, &f.samples);
            out.push_back(f);
        }
        if (configs)
            XFree(configs);
        return out;
    }();
    return formats;
}

const Format* FormatAt(int index) {
    std::vector<Format>& f = Formats();
    return index >= 1 && index <= int(f.size()) ? &f[size_t(index) - 1] : nullptr;
}

struct Context {
    GLXContext glx;
};
core::HandleTable<Context>& Contexts() {
    static core::HandleTable<Context> table(core::kGLContextHandle);
    return table;
}

HGLRC g_current = nullptr;
HDC g_currentDC = nullptr;
::Window g_currentDrawable = 0;

core::Window* WindowOfDC(HDC hdc) {
    velvix_platform::GdiDC* dc = velvix_platform::GdiLookupAs<velvix_platform::GdiDC>(hdc);
    return dc ? core::LookupLiveWindow(dc->window) : nullptr;
}

void Blit(HWND window, int x, int y, int width, int height, const uint32_t* pixels, int stride) {
    Connection* c = Conn();
    ::Window xid = XidOf(window);
    if (!c || !xid || width <= 0 || height <= 0)
        return;
    XImage* image = XCreateImage(c->display, c->visual, unsigned(c->depth), ZPixmap, 0,
                                 reinterpret_cast<char*>(const_cast<uint32_t*>(pixels)),
                                 unsigned(width), unsigned(height), 32, stride);
    if (!image)
        return;
    ErrorTrap trap;
    GC gc = XCreateGC(c->display, xid, 0, nullptr);
    XPutImage(c->display, xid, gc, image, 0, 0, x, y, unsigned(width), unsigned(height));
    XFreeGC(c->display, gc);
    image->data = nullptr; // the pixels are the caller's
    XDestroyImage(image);
    XFlush(c->display);
}

} // namespace

void ForgetDrawable(::Window xid) {
    Connection* c = Conn();
    if (c && xid && g_currentDrawable == xid) {
        glXMakeContextCurrent(c->display, 0, 0, nullptr);
        g_currentDrawable = 0;
        g_current = nullptr;
        g_currentDC = nullptr;
    }
}

} // namespace velvix::x11

using namespace velvix;
namespace x11 = velvix::x11;

extern "C" {

HDC WINAPI GetDC(HWND h) {
    static bool blitter = false;
    if (!blitter) {
        velvix_platform::SetWindowBlitter(x11::Blit);
        blitter = true;
    }
    if (!h) {
        // The screen: a DC to ask questions of and to make compatible DCs from.
        static HDC screen = velvix_platform::CreateWindowDC(nullptr);
        return screen;
    }
    core::Window* w = core::LookupLiveWindow(h);
    if (!w)
        return nullptr;
    if (!velvix_platform::GdiLookup(w->dc))
        w->dc = velvix_platform::CreateWindowDC(h);
    return w->dc;
}

int WINAPI ReleaseDC(HWND h, HDC dc) {
    if (!dc)
        return 0;
    if (!h)
        return dc == GetDC(nullptr) ? 1 : 0;
    core::Window* w = core::LookupLiveWindow(h);
    return w && w->dc == dc ? 1 : 0;
}

int WINAPI DescribePixelFormat(HDC hdc, int index, UINT bytes, LPPIXELFORMATDESCRIPTOR pfd) {
    (void)hdc;
    const int count = int(x11::Formats().size());
    const x11::Format* f = x11::FormatAt(index);
    if (!pfd)
        return count;
    if (!f || bytes < sizeof(PIXELFORMATDESCRIPTOR))
        return 0;
    PIXELFORMATDESCRIPTOR d = {};
    d.nSize = sizeof d;
    d.nVersion = 1;
    d.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | (f->doubleBuffer ? PFD_DOUBLEBUFFER : 0) |
                (f->stereo ? PFD_STEREO : 0);
    d.iPixelType = PFD_TYPE_RGBA;
    d.cColorBits = BYTE(f->red + f->green + f->blue);
    d.cRedBits = BYTE(f->red), d.cGreenBits = BYTE(f->green), d.cBlueBits = BYTE(f->blue);
    d.cRedShift = 16, d.cGreenShift = 8, d.cBlueShift = 0;
    d.cAlphaBits = BYTE(f->alpha);
    d.cAccumBits = BYTE(f->accum);
    d.cDepthBits = BYTE(f->depth);
    d.cStencilBits = BYTE(f->stencil);
    d.cAuxBuffers = BYTE(f->aux);
    d.iLayerType = PFD_MAIN_PLANE;
    *pfd = d;
    return count;
}

int WINAPI ChoosePixelFormat(HDC hdc, const PIXELFORMATDESCRIPTOR* pfd) {
    (void)hdc;
    const std::vector<x11::Format>& formats = x11::Formats();
    if (!pfd || formats.empty() || pfd->iPixelType != PFD_TYPE_RGBA)
        return 0;
    const bool wantDouble = pfd->dwFlags & PFD_DOUBLEBUFFER;
    const int wantDepth = std::min<int>(pfd->cDepthBits, 24);
    const int wantStencil = std::min<int>(pfd->cStencilBits, 8);
    const int wantAlpha = std::min<int>(pfd->cAlphaBits, 8);
    const int wantColor = std::min<int>(pfd->cColorBits ? pfd->cColorBits : 24, 24);
    long best = -1;
    int bestIndex = 0;
    for (size_t i = 0; i < formats.size(); ++i) {
        const x11::Format& f = formats[i];
        long score = 0;
        // What matters, in order: double buffering, enough depth, colour, alpha, stencil.
        if (bool(f.doubleBuffer) == wantDouble || (pfd->dwFlags & PFD_DOUBLEBUFFER_DONTCARE))
            score += 1L << 24;
        if (f.depth >= wantDepth)
            score += 1L << 22;
        if (f.red + f.green + f.blue >= wantColor)
            score += 1L << 21;
        if (f.alpha >= wantAlpha)
            score += 1L << 20;
        if (f.stencil >= wantStencil)
            score += 1L << 19;
        // Then the smallest excess, so we do not pay for what nobody asked for.
        score -= std::abs(f.depth - wantDepth) * 64 + std::abs(f.stencil - wantStencil) * 16 +
                 std::abs(f.alpha - wantAlpha) * 8 + (f.accum > 0 ? 4 : 0) + f.aux + f.samples * 2 +
                 f.stereo;
        if (score > best)
            best = score, bestIndex = int(i) + 1;
    }
    return bestIndex;
}

BOOL WINAPI SetPixelFormat(HDC hdc, int format, const PIXELFORMATDESCRIPTOR*) {
    core::Window* w = x11::WindowOfDC(hdc);
    const x11::Format* f = x11::FormatAt(format);
    if (!w || !f || w->pixelFormat)
        return FALSE; // a window's format is set once
    if (!x11::RecreateWithVisual(w, f->visual, 24))
        return FALSE;
    w->pixelFormat = format;
    return TRUE;
}

HGLRC WINAPI wglCreateContext(HDC hdc) {
    core::Window* w = x11::WindowOfDC(hdc);
    const x11::Format* f = w ? x11::FormatAt(w->pixelFormat) : nullptr;
    x11::Connection* c = x11::Conn();
    if (!f || !c)
        return nullptr;
    x11::ErrorTrap trap;
    GLXContext glx = glXCreateNewContext(c->display, f->config, GLX_RGBA_TYPE, nullptr, True);
    if (trap.Failed() || !glx) {
        if (glx)
            glXDestroyContext(c->display, glx);
        return nullptr;
    }
    auto ctx = std::make_unique<x11::Context>();
    ctx->glx = glx;
    return core::ToHandle<HGLRC>(x11::Contexts().Add(std::move(ctx)));
}

BOOL WINAPI wglMakeCurrent(HDC hdc, HGLRC rc) {
    x11::Connection* c = x11::Conn();
    if (!c)
        return FALSE;
    if (!rc) {
        glXMakeContextCurrent(c->display, 0, 0, nullptr);
        x11::g_current = nullptr, x11::g_currentDC = nullptr, x11::g_currentDrawable = 0;
        return TRUE;
    }
    x11::Context* ctx = x11::Contexts().Get(rc);
    core::Window* w = x11::WindowOfDC(hdc);
    if (!ctx || !w || !w->native)
        return FALSE;
    x11::ErrorTrap trap;
    const Bool ok = glXMakeContextCurrent(c->display, w->native->xid, w->native->xid, ctx->glx);
    if (trap.Failed() || !ok)
        return FALSE;
    x11::g_current = rc, x11::g_currentDC = hdc, x11::g_currentDrawable = w->native->xid;
    return TRUE;
}

BOOL WINAPI wglDeleteContext(HGLRC rc) {
    x11::Connection* c = x11::Conn();
    std::unique_ptr<x11::Context> ctx = x11::Contexts().Remove(rc);
    if (!c || !ctx)
        return FALSE;
    if (x11::g_current == rc) {
        glXMakeContextCurrent(c->display, 0, 0, nullptr);
        x11::g_current = nullptr, x11::g_currentDC = nullptr, x11::g_currentDrawable = 0;
    }
    x11::ErrorTrap trap;
    glXDestroyContext(c->display, ctx->glx);
    return TRUE;
}

HGLRC WINAPI wglGetCurrentContext(void) {
    return x11::g_current;
}

HDC WINAPI wglGetCurrentDC(void) {
    return x11::g_currentDC;
}

BOOL WINAPI SwapBuffers(HDC hdc) {
    core::Window* w = x11::WindowOfDC(hdc);
    x11::Connection* c = x11::Conn();
    // A window without a pixel format has no GL buffers to swap.
    if (!w || !w->native || !c || !w->pixelFormat)
        return FALSE;
    glXSwapBuffers(c->display, w->native->xid);
    return TRUE;
}

} // extern "C"
