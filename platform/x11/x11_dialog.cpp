// x11_dialog.cpp - MessageBoxA: a modal dialog of our own on X11.
//
// The box is a top-level dialog window titled with the caption, centred on the primary
// monitor, with the text drawn anti-aliased through Xft (a core X font when Xft or the font is
// missing, so the box always appears) and Windows-1252 text converted to UTF-8. MB_OK shows OK,
// MB_YESNO Yes and No, MB_OKCANCEL / MB_YESNOCANCEL / MB_RETRYCANCEL their buttons; the other
// types fall back to OK. The first button has the focus (MB_DEFBUTTON2 the second); Tab,
// Shift+Tab and the arrow keys move it, Enter and Space press it, a button's first letter
// chooses it, Escape and the window manager's close answer only when the box can be cancelled
// (a Cancel button, or the single OK). While it is open, every other window's events are still
// handled and repaints dispatched. With no display at all it writes `caption: text` on standard
// error and returns 0.
#include <X11/Xatom.h>
#include <X11/Xft/Xft.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstdio>
#include <poll.h>
#include <sstream>
#include <string>
#include <vector>

#include "platform/platform_ext.h"
#include "platform/x11/x11_internal.h"

namespace velvix::x11 {
namespace {

VelvixMessageBoxHook g_hook = nullptr;

struct Button {
    std::string label;
    int result;
    int x = 0, y = 0, w = 0, h = 0;
};

struct Fonts {
    XftFont* xft = nullptr;
    XFontStruct* core = nullptr;
    int ascent = 12, descent = 3;
};

class Dialog {
public:
    Dialog(Connection* c, const std::string& text, const std::string& caption, UINT type);
    ~Dialog();
    int Run();

private:
    int Width(const std::string& s) const;
    void Text(const std::string& s, int x, int baseline, unsigned long pixel, XftColor* color);
    void Layout();
    void Paint();
    int Hit(int x, int y) const;
    void Choose(int index) { result_ = buttons_[size_t(index)].result; }

    Connection* c_;
    Display* d_;
    std::vector<std::string> lines_;
    std::string caption_;
    std::vector<Button> buttons_;
    int focus_ = 0, pressed_ = -1, result_ = 0, cancel_ = 0;
    bool question_ = false, error_ = false;
    int width_ = 0, height_ = 0, lineHeight_ = 16, textX_ = 16;
    ::Window win_ = 0;
    GC gc_ = nullptr;
    Fonts fonts_;
    XftDraw* draw_ = nullptr;
    XftColor black_{}, white_{};
};

std::vector<std::string> SplitLines(const std::string& s) {
    std::vector<std::string> out;
    std::string line;
    for (char ch : s) {
        if (ch == '\n') {
            out.push_back(line);
            line.clear();
        } else if (ch != '\r') {
            line += ch;
        }
    }
    out.push_back(line);
    return out;
}

Dialog::Dialog(Connection* c, const std::string& text, const std::string& caption, UINT type)
    : c_(c), d_(c->display), caption_(caption) {
    switch (type & MB_TYPEMASK) {
    case MB_YESNO:
        buttons_ = {{"Yes", IDYES}, {"No", IDNO}};
        break;
    case MB_OKCANCEL:
        buttons_ = {{"OK", IDOK}, {"Cancel", IDCANCEL}};
        cancel_ = IDCANCEL;
        break;
    case MB_YESNOCANCEL:
        buttons_ = {{"Yes", IDYES}, {"No", IDNO}, {"Cancel", IDCANCEL}};
        cancel_ = IDCANCEL;
        break;
    case MB_RETRYCANCEL:
        buttons_ = {{"Retry", IDRETRY}, {"Cancel", IDCANCEL}};
        cancel_ = IDCANCEL;
        break;
    default:
        buttons_ = {{"OK", IDOK}};
        cancel_ = IDOK;
        break;
    }
    const UINT def = (type & MB_DEFMASK) >> 8;
    focus_ = int(std::min<size_t>(def, buttons_.size() - 1));
    question_ = (type & MB_ICONMASK) == MB_ICONQUESTION;
    error_ = (type & MB_ICONMASK) == MB_ICONERROR || (type & MB_ICONMASK) == MB_ICONWARNING;
    lines_ = SplitLines(Utf8FromAnsi(text.c_str()));

    fonts_.xft = XftFontOpenName(d_, c_->screen, "DejaVu Sans:size=10");
    if (!fonts_.xft)
        fonts_.xft = XftFontOpenName(d_, c_->screen, "sans:size=10");
    if (fonts_.xft) {
        fonts_.ascent = fonts_.xft->ascent, fonts_.descent = fonts_.xft->descent;
    } else {
        fonts_.core = XLoadQueryFont(d_, "fixed");
        if (fonts_.core)
            fonts_.ascent = fonts_.core->ascent, fonts_.descent = fonts_.core->descent;
    }
    lineHeight_ = fonts_.ascent + fonts_.descent + 2;
}

Dialog::~Dialog() {
    if (draw_)
        XftDrawDestroy(draw_);
    if (fonts_.xft) {
        XftColorFree(d_, c_->visual, c_->colormap, &black_);
        XftColorFree(d_, c_->visual, c_->colormap, &white_);
        XftFontClose(d_, fonts_.xft);
    }
    if (fonts_.core)
        XFreeFont(d_, fonts_.core);
    if (gc_)
        XFreeGC(d_, gc_);
    if (win_)
        XDestroyWindow(d_, win_);
    XFlush(d_);
}

int Dialog::Width(const std::string& s) const {
    if (fonts_.xft) {
        XGlyphInfo g;
        XftTextExtentsUtf8(d_, fonts_.xft, reinterpret_cast<const FcChar8*>(s.data()),
                           int(s.size()), &g);
        return g.xOff;
    }
    if (fonts_.core)
        return XTextWidth(fonts_.core, s.data(), int(s.size()));
    return int(s.size()) * 7;
}

void Dialog::Text(const std::string& s, int x, int baseline, unsigned long pixel, XftColor* color) {
    if (fonts_.xft) {
        XftDrawStringUtf8(draw_, color, fonts_.xft, x, baseline,
                          reinterpret_cast<const FcChar8*>(s.data()), int(s.size()));
    } else {
        XSetForeground(d_, gc_, pixel);
        if (fonts_.core)
            XSetFont(d_, gc_, fonts_.core->fid);
        XDrawString(d_, win_, gc_, x, baseline, s.data(), int(s.size()));
    }
}

void Dialog::Layout() {
    const int icon = question_ || error_ ? 40 : 0;
    textX_ = 20 + icon;
    int textW = 0;
    for (const std::string& l : lines_)
        textW = std::max(textW, Width(l));
    const int buttonW = std::max(80, Width("Cancel") + 24), buttonH = lineHeight_ + 10;
    const int rowW = int(buttons_.size()) * buttonW + (int(buttons_.size()) - 1) * 8;
    width_ = std::max(textX_ + textW + 24, rowW + 40);
    width_ = std::max(width_, 240);
    const int textH = std::max(int(lines_.size()) * lineHeight_, icon);
    height_ = 24 + textH + 20 + buttonH + 14;
    int x = width_ - 16 - rowW;
    for (Button& b : buttons_) {
        b.x = x, b.y = height_ - 14 - buttonH, b.w = buttonW, b.h = buttonH;
        x += buttonW + 8;
    }
}

void Dialog::Paint() {
    const unsigned long face = 0xF0F0F0, bar = 0xE1E1E1, ink = 0x000000, accent = 0x0078D7;
    XSetForeground(d_, gc_, face);
    XFillRectangle(d_, win_, gc_, 0, 0, unsigned(width_), unsigned(height_));
    XSetForeground(d_, gc_, bar);
    const int barTop = buttons_[0].y - 12;
    XFillRectangle(d_, win_, gc_, 0, barTop, unsigned(width_), unsigned(height_ - barTop));
    if (question_ || error_) { // a round icon with a mark in it
        XSetForeground(d_, gc_, question_ ? accent : 0xC42B1C);
        XFillArc(d_, win_, gc_, 18, 22, 32, 32, 0, 360 * 64);
        const std::string mark = question_ ? "?" : "!";
        Text(mark, 34 - Width(mark) / 2, 38 + fonts_.ascent / 2 - 1, 0xFFFFFF, &white_);
    }
    int y = 24 + fonts_.ascent;
    if (question_ || error_)
        y = std::max(y, 38 - int(lines_.size()) * lineHeight_ / 2 + fonts_.ascent);
    for (const std::string& l : lines_) {
        Text(l, textX_, y, ink, &black_);
        y += lineHeight_;
    }
    for (size_t i = 0; i < buttons_.size(); ++i) {
        const Button& b = buttons_[i];
        const bool down = int(i) == pressed_, focused = int(i) == focus_;
        XSetForeground(d_, gc_, down ? 0xCCE4F7 : 0xFDFDFD);
        XFillRectangle(d_, win_, gc_, b.x, b.y, unsigned(b.w), unsigned(b.h));
        XSetForeground(d_, gc_, focused ? accent : 0xADADAD);
        XDrawRectangle(d_, win_, gc_, b.x, b.y, unsigned(b.w - 1), unsigned(b.h - 1));
        if (focused)
            XDrawRectangle(d_, win_, gc_, b.x + 1, b.y + 1, unsigned(b.w - 3), unsigned(b.h - 3));
        Text(b.label, b.x + (b.w - Width(b.label)) / 2, b.y + (b.h + fonts_.ascent) / 2 - 1, ink,
             &black_);
    }
    XFlush(d_);
}

int Dialog::Hit(int x, int y) const {
    for (size_t i = 0; i < buttons_.size(); ++i) {
        const Button& b = buttons_[i];
        if (x >= b.x && x < b.x + b.w && y >= b.y && y < b.y + b.h)
            return int(i);
    }
    return -1;
}

// Handles the program's own windows while the box is open: their events, then their repaints.
void ServeOthers(XEvent& e) {
    HandleEvent(e);
    MSG m;
    while (PeekMessageA(&m, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
        DispatchMessageA(&m);
}

int Dialog::Run() {
    Layout();
    int mx, my, mw, mh;
    PrimaryMonitor(&mx, &my, &mw, &mh);
    XSetWindowAttributes a = {};
    a.colormap = c_->colormap;
    a.border_pixel = 0;
    a.background_pixel = 0xF0F0F0;
    a.event_mask = ExposureMask | KeyPressMask | ButtonPressMask | ButtonReleaseMask |
                   StructureNotifyMask | FocusChangeMask;
    const int x = mx + (mw - width_) / 2, y = my + (mh - height_) / 2;
    win_ = XCreateWindow(d_, c_->root, x, y, unsigned(width_), unsigned(height_), 0, c_->depth,
                         InputOutput, c_->visual,
                         CWColormap | CWBorderPixel | CWBackPixel | CWEventMask, &a);
    if (!win_)
        return 0;
    SetTitle(win_, caption_);
    Atom type = c_->atoms._NET_WM_WINDOW_TYPE_DIALOG;
    XChangeProperty(d_, win_, c_->atoms._NET_WM_WINDOW_TYPE, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&type), 1);
    Atom protocols[] = {c_->atoms.WM_DELETE_WINDOW};
    XSetWMProtocols(d_, win_, protocols, 1);
    XSizeHints* hints = XAllocSizeHints();
    hints->flags = PPosition | USPosition | PMinSize | PMaxSize;
    hints->x = x, hints->y = y;
    hints->min_width = hints->max_width = width_;
    hints->min_height = hints->max_height = height_;
    XSetWMNormalHints(d_, win_, hints);
    XFree(hints);
    XClassHint* cls = XAllocClassHint();
    cls->res_name = const_cast<char*>("velvix");
    cls->res_class = const_cast<char*>("VelvixMessageBox");
    XSetClassHint(d_, win_, cls);
    XFree(cls);
    gc_ = XCreateGC(d_, win_, 0, nullptr);
    if (fonts_.xft) {
        draw_ = XftDrawCreate(d_, win_, c_->visual, c_->colormap);
        XftColorAllocName(d_, c_->visual, c_->colormap, "black", &black_);
        XftColorAllocName(d_, c_->visual, c_->colormap, "white", &white_);
    }
    XMapRaised(d_, win_);
    XFlush(d_);

    while (!result_) {
        if (XPending(d_) == 0) {
            pollfd p = {ConnectionNumber(d_), POLLIN, 0};
            poll(&p, 1, -1);
            continue;
        }
        XEvent e;
        XNextEvent(d_, &e);
        if (e.xany.window != win_) {
            ServeOthers(e);
            continue;
        }
        switch (e.type) {
        case MapNotify: {
            ErrorTrap trap; // the window manager may not have shown it yet
            XSetInputFocus(d_, win_, RevertToParent, CurrentTime);
            break;
        }
        case Expose:
            if (e.xexpose.count == 0)
                Paint();
            break;
        case ButtonPress:
            if (e.xbutton.button == 1 && (pressed_ = Hit(e.xbutton.x, e.xbutton.y)) >= 0) {
                focus_ = pressed_;
                Paint();
            }
            break;
        case ButtonRelease:
            if (e.xbutton.button == 1 && pressed_ >= 0) {
                const int hit = Hit(e.xbutton.x, e.xbutton.y);
                if (hit == pressed_)
                    Choose(hit);
                pressed_ = -1;
                Paint();
            }
            break;
        case KeyPress: {
            const KeySym k = XLookupKeysym(&e.xkey, 0);
            const int n = int(buttons_.size());
            if (k == XK_Tab || k == XK_ISO_Left_Tab) {
                const bool back = k == XK_ISO_Left_Tab || (e.xkey.state & ShiftMask);
                focus_ = (focus_ + (back ? n - 1 : 1)) % n;
                Paint();
            } else if (k == XK_Left || k == XK_Up) {
                focus_ = (focus_ + n - 1) % n;
                Paint();
            } else if (k == XK_Right || k == XK_Down) {
                focus_ = (focus_ + 1) % n;
                Paint();
            } else if (k == XK_Return || k == XK_KP_Enter || k == XK_space) {
                Choose(focus_);
            } else if (k == XK_Escape) {
                result_ = cancel_;
            } else if (k >= XK_a && k <= XK_z) {
                for (int i = 0; i < n; ++i)
                    if (std::tolower(static_cast<unsigned char>(buttons_[size_t(i)].label[0])) ==
                        int('a' + (k - XK_a)))
                        Choose(i);
            }
            break;
        }
        case ClientMessage:
            if (Atom(e.xclient.data.l[0]) == c_->atoms.WM_DELETE_WINDOW)
                result_ = cancel_;
            break;
        default:
            break;
        }
    }
    return result_;
}

} // namespace
} // namespace velvix::x11

extern "C" {

VelvixMessageBoxHook VelvixSetMessageBoxHook(VelvixMessageBoxHook hook) {
    VelvixMessageBoxHook old = velvix::x11::g_hook;
    velvix::x11::g_hook = hook;
    return old;
}

int WINAPI MessageBoxA(HWND hWnd, LPCSTR text, LPCSTR caption, UINT type) {
    if (velvix::x11::g_hook)
        return velvix::x11::g_hook(hWnd, text, caption, type);
    const std::string t = text ? text : "", c = caption ? caption : "Error";
    velvix::x11::Connection* conn = velvix::x11::Conn();
    if (!conn) {
        std::fprintf(stderr, "%s: %s\n", c.c_str(), t.c_str());
        std::fflush(stderr);
        return 0;
    }
    // The pointer must be free for the box even if a window holds the capture.
    ReleaseCapture();
    velvix::x11::Dialog dialog(conn, t, c, type);
    return dialog.Run();
}

} // extern "C"
