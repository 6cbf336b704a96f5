// x11_msgbox.cpp - the modal message box: its own top-level dialog window, centred on the
// primary monitor, drawn double-buffered with anti-aliased text, answering keyboard and mouse,
// and a nested event loop that hands every other window's events back to the caller. Not done:
// help buttons, MB_CANCELTRYCONTINUE, copying the text with Ctrl+C, right-to-left layouts.
#include "platform/x11/msgbox.h"

#include "platform/win32.h"
#include "platform/x11/x11_msgbox_layout.h"
#include "platform/x11/x11_text.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <X11/extensions/Xrandr.h>

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace velvix::x11 {

namespace {

// Swallows the X errors of the requests made while it lives, so that a call which may
// legitimately fail (focus on a window that is gone, RandR on an odd server) cannot reach a
// fatal handler. Syncs on both ends so that the errors arrive inside.
class ErrorTrap {
public:
    explicit ErrorTrap(Display* dpy) : dpy_(dpy) {
        XSync(dpy_, False);
        failed_ = false;
        old_ = XSetErrorHandler(&Record);
    }
    ~ErrorTrap() {
        XSync(dpy_, False);
        XSetErrorHandler(old_);
    }
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

    bool failed() {
        XSync(dpy_, False);
        return failed_;
    }

private:
    static int Record(Display*, XErrorEvent*) {
        failed_ = true;
        return 0;
    }
    static inline thread_local bool failed_ = false;
    Display* dpy_;
    XErrorHandler old_;
};

// The primary monitor's rectangle: RandR 1.5 monitors, else the primary output's CRTC (RandR
// 1.3), else the whole screen.
BoxRect PrimaryMonitor(Display* dpy, int screen) {
    BoxRect whole{0, 0, DisplayWidth(dpy, screen), DisplayHeight(dpy, screen)};
    int event_base = 0, error_base = 0, major = 0, minor = 0;
    if (!XRRQueryExtension(dpy, &event_base, &error_base) ||
        !XRRQueryVersion(dpy, &major, &minor)) {
        return whole;
    }
    ErrorTrap trap(dpy);
    Window root = RootWindow(dpy, screen);
    BoxRect found = whole;
    if (major > 1 || (major == 1 && minor >= 5)) {
        int count = 0;
        XRRMonitorInfo* monitors = XRRGetMonitors(dpy, root, True, &count);
        if (monitors != nullptr) {
            int pick = 0;
            for (int i = 0; i < count; ++i) {
                if (monitors[i].primary) {
                    pick = i;
                }
            }
            if (count > 0 && monitors[pick].width > 0 && monitors[pick].height > 0) {
                found = BoxRect{monitors[pick].x, monitors[pick].y, monitors[pick].width,
                                monitors[pick].height};
            }
            XRRFreeMonitors(monitors);
        }
    } else if (major == 1 && minor >= 3) {
        XRRScreenResources* res = XRRGetScreenResourcesCurrent(dpy, root);
        RROutput primary = XRRGetOutputPrimary(dpy, root);
        if (res != nullptr && primary != 0) {
            if (XRROutputInfo* out = XRRGetOutputInfo(dpy, res, primary)) {
                if (out->crtc != 0) {
                    if (XRRCrtcInfo* crtc = XRRGetCrtcInfo(dpy, res, out->crtc)) {
                        if (crtc->width > 0 && crtc->height > 0) {
                            found = BoxRect{crtc->x, crtc->y, static_cast<int>(crtc->width),
                                            static_cast<int>(crtc->height)};
                        }
                        XRRFreeCrtcInfo(crtc);
                    }
                }
                XRRFreeOutputInfo(out);
            }
        }
        if (res != nullptr) {
            XRRFreeScreenResources(res);
        }
    }
    return trap.failed() ? whole : found;
}

enum AtomIndex {
    kWmProtocols,
    kWmDeleteWindow,
    kNetWmPing,
    kNetWmName,
    kNetWmIconName,
    kUtf8String,
    kNetWmWindowType,
    kNetWmWindowTypeDialog,
    kNetWmState,
    kNetWmStateAbove,
    kNetWmPid,
    kNetActiveWindow,
    kMotifWmHints,
    kAtomCount
};

const char* const kAtomNames[kAtomCount] = {
    "WM_PROTOCOLS",      "WM_DELETE_WINDOW",    "_NET_WM_PING",        "_NET_WM_NAME",
    "_NET_WM_ICON_NAME", "UTF8_STRING",         "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_DIALOG",
    "_NET_WM_STATE",     "_NET_WM_STATE_ABOVE", "_NET_WM_PID",         "_NET_ACTIVE_WINDOW",
    "_MOTIF_WM_HINTS"};

struct Rgb {
    uint8_t r, g, b;
};

constexpr Rgb kContentRgb{255, 255, 255};
constexpr Rgb kBandRgb{240, 240, 240};

// The colours of the box, allocated once per box.
struct Palette {
    Palette(Display* d, int s)
        : content(d, s, kContentRgb.r, kContentRgb.g, kContentRgb.b),
          band(d, s, kBandRgb.r, kBandRgb.g, kBandRgb.b), text(d, s, 0, 0, 0),
          face(d, s, 225, 225, 225), border(d, s, 173, 173, 173), hot_face(d, s, 229, 241, 251),
          accent(d, s, 0, 120, 215), pressed_face(d, s, 204, 228, 247),
          pressed_border(d, s, 0, 84, 153), icon_white(d, s, 255, 255, 255) {}
    Colour content, band, text, face, border, hot_face, accent, pressed_face, pressed_border,
        icon_white;
};

// What an icon looks like: a disc (or, for the warning, a triangle) with a mark on it.
struct IconLook {
    Rgb fill;
    Rgb mark;
    const char* glyph; // drawn with the icon font; null for the error cross, which is drawn
    bool triangle;
};

IconLook LookOf(unsigned icon) {
    switch (icon) {
    case MB_ICONHAND:
        return {{232, 17, 35}, {255, 255, 255}, nullptr, false};
    case MB_ICONEXCLAMATION:
        return {{255, 185, 0}, {0, 0, 0}, "!", true};
    case MB_ICONASTERISK:
        return {{0, 120, 215}, {255, 255, 255}, "i", false};
    default: // MB_ICONQUESTION
        return {{0, 95, 184}, {255, 255, 255}, "?", false};
    }
}

double Clamp01(double v) {
    return v < 0 ? 0 : v > 1 ? 1 : v;
}

double SegmentDistance(double px, double py, double ax, double ay, double bx, double by) {
    double dx = bx - ax, dy = by - ay;
    double t = Clamp01(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy));
    return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}

// Coverage (0..1) of the icon's shape and of its drawn mark at the pixel centre (x, y) of a
// 32 x 32 icon: edges get partial coverage, which is the anti-aliasing.
void IconCoverage(const IconLook& look, double x, double y, double& shape, double& mark) {
    if (look.triangle) {
        const double v[3][2] = {{16, 1.5}, {30.5, 29.5}, {1.5, 29.5}};
        double inside = 1e9;
        for (int i = 0; i < 3; ++i) {
            double ax = v[i][0], ay = v[i][1], bx = v[(i + 1) % 3][0], by = v[(i + 1) % 3][1];
            double len = std::hypot(bx - ax, by - ay);
            // Distance to the edge's line, positive on the inner side (vertices run clockwise
            // on screen).
            inside = std::min(inside, ((bx - ax) * (y - ay) - (by - ay) * (x - ax)) / len);
        }
        shape = Clamp01(inside + 0.5);
    } else {
        shape = Clamp01(15.5 - std::hypot(x - 16, y - 16) + 0.5);
    }
    mark = 0;
    if (look.glyph == nullptr) {
        double d = std::min(SegmentDistance(x, y, 10.5, 10.5, 21.5, 21.5),
                            SegmentDistance(x, y, 21.5, 10.5, 10.5, 21.5));
        mark = Clamp01(1.6 - d + 0.5);
    }
}

// Scales an 8-bit channel into a TrueColor mask.
unsigned long ChannelBits(double value, unsigned long mask) {
    if (mask == 0) {
        return 0;
    }
    int shift = 0;
    while (((mask >> shift) & 1) == 0) {
        ++shift;
    }
    unsigned long max = mask >> shift;
    return (static_cast<unsigned long>(std::lround(value / 255.0 * max)) << shift) & mask;
}

// Draws the anti-aliased icon shape into an image for a TrueColor visual, over `bg`. Returns
// null on other visuals; the caller then draws a plain filled disc.
XImage* MakeIconImage(Display* dpy, int screen, const IconLook& look, Rgb bg) {
    Visual* visual = DefaultVisual(dpy, screen);
    if (visual->c_class != TrueColor) {
        return nullptr;
    }
    const int size = 32;
    XImage* img = XCreateImage(dpy, visual, DefaultDepth(dpy, screen), ZPixmap, 0, nullptr, size,
                               size, 32, 0);
    if (img == nullptr) {
        return nullptr;
    }
    img->data = static_cast<char*>(std::calloc(img->bytes_per_line, size));
    if (img->data == nullptr) {
        XDestroyImage(img);
        return nullptr;
    }
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double shape = 0, mark = 0;
            IconCoverage(look, x + 0.5, y + 0.5, shape, mark);
            auto mix = [&](uint8_t b, uint8_t f, uint8_t m) {
                double c = b + (f - b) * shape;
                return c + (m - c) * mark;
            };
            unsigned long pixel =
                ChannelBits(mix(bg.r, look.fill.r, look.mark.r), visual->red_mask) |
                ChannelBits(mix(bg.g, look.fill.g, look.mark.g), visual->green_mask) |
                ChannelBits(mix(bg.b, look.fill.b, look.mark.b), visual->blue_mask);
            XPutPixel(img, x, y, pixel);
        }
    }
    return img;
}

class Dialog;

// The boxes open on this thread, innermost last: a box opened from inside another's loop
// must keep the outer one painted and answering.
std::vector<Dialog*>& OpenBoxes() {
    static thread_local std::vector<Dialog*> boxes;
    return boxes;
}

class Dialog {
public:
    Dialog(Display* dpy, const std::string& text, const std::string& caption, unsigned type,
           Window owner);
    ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    bool ok() const { return win_ != 0; }
    int result() const { return result_; }
    bool Owns(const XEvent& ev) const {
        return ev.xany.display == dpy_ && ev.type != GenericEvent && ev.xany.window == win_ &&
               win_ != 0;
    }
    void Handle(XEvent& ev);

private:
    void SetProperties(const std::string& caption);
    void TakeFocus();
    void OnKey(XKeyEvent& key, bool press);
    int ButtonAt(int x, int y) const;
    void MoveFocus(int step);
    void Choose(int index) { result_ = layout_.buttons[index].id; }
    void Repaint();
    void PaintIcon();
    void PaintButton(int index);
    void Present();

    Display* dpy_;
    int screen_;
    Window win_ = 0;
    Window prev_focus_ = 0;
    Pixmap buf_ = 0;
    bool gone_ = false; // destroyed by someone else
    Atom atoms_[kAtomCount] = {};
    std::unique_ptr<TextFont> font_, icon_font_;
    std::unique_ptr<Palette> colours_;
    std::unique_ptr<TextCanvas> canvas_;
    std::unique_ptr<Colour> icon_fill_, icon_mark_;
    XImage* icon_image_ = nullptr;
    MessageBoxLayout layout_;

    int result_ = 0;
    int focus_ = 0;
    int hot_ = -1;        // button under the pointer
    int mouse_down_ = -1; // button pressed with the mouse, while held
    bool mouse_inside_ = false;
    bool space_down_ = false;
};

Dialog::Dialog(Display* dpy, const std::string& text, const std::string& caption, unsigned type,
               Window owner)
    : dpy_(dpy), screen_(DefaultScreen(dpy)) {
    font_ = std::make_unique<TextFont>(dpy, screen_, kMessageBoxFont);
    BoxRect mon = PrimaryMonitor(dpy, screen_);
    layout_ = LayoutMessageBox(text, type, *font_, mon.w, mon.h);
    focus_ = layout_.default_button;
    colours_ = std::make_unique<Palette>(dpy, screen_);
    if (layout_.icon != 0) {
        IconLook look = LookOf(layout_.icon);
        icon_font_ = std::make_unique<TextFont>(dpy, screen_, "DejaVu Sans,sans:bold:pixelsize=24");
        icon_fill_ = std::make_unique<Colour>(dpy, screen_, look.fill.r, look.fill.g, look.fill.b);
        icon_mark_ = std::make_unique<Colour>(dpy, screen_, look.mark.r, look.mark.g, look.mark.b);
        icon_image_ = MakeIconImage(dpy, screen_, look, kContentRgb);
    }
    XInternAtoms(dpy, const_cast<char**>(kAtomNames), kAtomCount, False, atoms_);

    int focus_revert = 0;
    XGetInputFocus(dpy, &prev_focus_, &focus_revert);

    ErrorTrap trap(dpy);
    Window root = RootWindow(dpy, screen_);
    XSetWindowAttributes attrs{};
    attrs.background_pixel = colours_->band.pixel();
    attrs.event_mask = ExposureMask | KeyPressMask | KeyReleaseMask | ButtonPressMask |
                       ButtonReleaseMask | PointerMotionMask | LeaveWindowMask |
                       StructureNotifyMask | FocusChangeMask;
    int x = mon.x + (mon.w - layout_.width) / 2;
    int y = mon.y + (mon.h - layout_.height) / 2;
    Window win = XCreateWindow(dpy, root, x, y, layout_.width, layout_.height, 0, CopyFromParent,
                               InputOutput, CopyFromParent, CWBackPixel | CWEventMask, &attrs);
    buf_ = XCreatePixmap(dpy, win, layout_.width, layout_.height, DefaultDepth(dpy, screen_));
    if (trap.failed()) {
        // Nothing usable was made; what was, goes.
        XFreePixmap(dpy, buf_);
        XDestroyWindow(dpy, win);
        buf_ = 0;
        return;
    }
    win_ = win;
    canvas_ = std::make_unique<TextCanvas>(dpy, screen_, buf_);
    SetProperties(caption);
    if (owner != 0) {
        XSetTransientForHint(dpy, win_, owner);
    }
    Repaint();
    XMapRaised(dpy, win_);
    OpenBoxes().push_back(this);
}

Dialog::~Dialog() {
    auto& boxes = OpenBoxes();
    boxes.erase(std::remove(boxes.begin(), boxes.end(), this), boxes.end());
    canvas_.reset(); // its Xft draw refers to the pixmap
    if (buf_ != 0) {
        XFreePixmap(dpy_, buf_);
    }
    if (icon_image_ != nullptr) {
        XDestroyImage(icon_image_);
    }
    if (win_ != 0) {
        ErrorTrap trap(dpy_);
        if (!gone_) {
            XDestroyWindow(dpy_, win_);
        }
        XSync(dpy_, False);
        // Events still queued for the dead window would only confuse the caller.
        XEvent ev;
        auto mine = [](Display*, XEvent* e, XPointer arg) -> Bool {
            return e->type != GenericEvent && e->xany.window == *reinterpret_cast<Window*>(arg);
        };
        while (XCheckIfEvent(dpy_, &ev, mine, reinterpret_cast<XPointer>(&win_))) {
        }
        // Give the keyboard back to whoever had it, if that window is still there.
        if (prev_focus_ != 0 && prev_focus_ != PointerRoot) {
            XSetInputFocus(dpy_, prev_focus_, RevertToParent, CurrentTime);
        }
    }
}

void Dialog::SetProperties(const std::string& caption) {
    // WM_NAME is Latin-1 by convention; _NET_WM_NAME carries the exact text.
    std::string latin1;
    for (char32_t cp : DecodeUtf8(caption)) {
        latin1 += cp < 0x100 ? static_cast<char>(cp) : '?';
    }
    auto set_text = [&](Atom prop, Atom type, const std::string& value) {
        XChangeProperty(dpy_, win_, prop, type, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(value.data()),
                        static_cast<int>(value.size()));
    };
    set_text(XA_WM_NAME, XA_STRING, latin1);
    set_text(XA_WM_ICON_NAME, XA_STRING, latin1);
    set_text(atoms_[kNetWmName], atoms_[kUtf8String], caption);
    set_text(atoms_[kNetWmIconName], atoms_[kUtf8String], caption);

    XClassHint class_hint{const_cast<char*>("velvix-msgbox"), const_cast<char*>("Velvix")};
    XSetClassHint(dpy_, win_, &class_hint);

    XWMHints wm_hints{};
    wm_hints.flags = InputHint | StateHint;
    wm_hints.input = True;
    wm_hints.initial_state = NormalState;
    XSetWMHints(dpy_, win_, &wm_hints);

    // A fixed size (equal minimum and maximum), placed by us; centre gravity lets a window
    // manager keep its frame centred where we put the window.
    XSizeHints* size = XAllocSizeHints();
    if (size != nullptr) {
        XWindowAttributes wa{};
        XGetWindowAttributes(dpy_, win_, &wa);
        size->flags = USPosition | PPosition | PSize | PMinSize | PMaxSize | PWinGravity;
        size->x = wa.x;
        size->y = wa.y;
        size->width = size->min_width = size->max_width = layout_.width;
        size->height = size->min_height = size->max_height = layout_.height;
        size->win_gravity = CenterGravity;
        XSetWMNormalHints(dpy_, win_, size);
        XFree(size);
    }

    Atom protocols[2] = {atoms_[kWmDeleteWindow], atoms_[kNetWmPing]};
    XSetWMProtocols(dpy_, win_, protocols, 2);

    auto set_atoms = [&](Atom prop, const Atom* values, int count) {
        XChangeProperty(dpy_, win_, prop, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(values), count);
    };
    set_atoms(atoms_[kNetWmWindowType], &atoms_[kNetWmWindowTypeDialog], 1);
    // Above other windows, so that an error raised behind a full-screen window is seen.
    set_atoms(atoms_[kNetWmState], &atoms_[kNetWmStateAbove], 1);

    long pid = getpid();
    XChangeProperty(dpy_, win_, atoms_[kNetWmPid], XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pid), 1);

    // NOTE: Motif hints are what most window managers read to drop the resize and maximise
    // handles, and the close button of a box that cannot be closed.
    enum { kFunctions = 1, kDecorations = 2, kFuncMove = 4, kFuncClose = 32 };
    enum { kDecorBorder = 2, kDecorTitle = 8, kDecorMenu = 16 };
    long motif[5] = {kFunctions | kDecorations,
                     kFuncMove | (layout_.close_id != 0 ? kFuncClose : 0),
                     kDecorBorder | kDecorTitle | kDecorMenu, 0, 0};
    XChangeProperty(dpy_, win_, atoms_[kMotifWmHints], atoms_[kMotifWmHints], 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(motif), 5);
}

void Dialog::TakeFocus() {
    // NOTE: EWMH window managers may refuse a plain focus change from a client; asking through
    // _NET_ACTIVE_WINDOW covers them, XSetInputFocus covers the rest (and a bare X server).
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = win_;
    ev.xclient.message_type = atoms_[kNetActiveWindow];
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = 1; // from an application
    ev.xclient.data.l[1] = CurrentTime;
    Window root = RootWindow(dpy_, screen_);
    XSendEvent(dpy_, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &ev);
    ErrorTrap trap(dpy_);
    XSetInputFocus(dpy_, win_, RevertToParent, CurrentTime);
}

void Dialog::Handle(XEvent& ev) {
    switch (ev.type) {
    case Expose:
        if (ev.xexpose.count == 0) {
            Present();
        }
        break;
    case MapNotify:
        TakeFocus();
        break;
    case DestroyNotify:
        if (ev.xdestroywindow.window == win_) {
            gone_ = true;
            result_ = layout_.close_id;
            if (result_ == 0) {
                result_ = -1; // ends the loop; reported as "could not be shown"
            }
        }
        break;
    case KeyPress:
    case KeyRelease:
        OnKey(ev.xkey, ev.type == KeyPress);
        break;
    case ButtonPress:
        if (ev.xbutton.button == Button1) {
            mouse_down_ = ButtonAt(ev.xbutton.x, ev.xbutton.y);
            mouse_inside_ = mouse_down_ >= 0;
            if (mouse_down_ >= 0) {
                focus_ = mouse_down_;
                space_down_ = false;
            }
            Repaint();
        }
        break;
    case ButtonRelease:
        if (ev.xbutton.button == Button1 && mouse_down_ >= 0) {
            int pressed = mouse_down_;
            mouse_down_ = -1;
            if (layout_.buttons[pressed].rect.Contains(ev.xbutton.x, ev.xbutton.y)) {
                Choose(pressed);
            }
            Repaint();
        }
        break;
    case MotionNotify: {
        int hot = ButtonAt(ev.xmotion.x, ev.xmotion.y);
        bool inside = mouse_down_ >= 0 && hot == mouse_down_;
        if (hot != hot_ || inside != mouse_inside_) {
            hot_ = hot;
            mouse_inside_ = inside;
            Repaint();
        }
        break;
    }
    case LeaveNotify:
        if (hot_ != -1 || mouse_inside_) {
            hot_ = -1;
            mouse_inside_ = false;
            Repaint();
        }
        break;
    case ClientMessage:
        if (ev.xclient.message_type == atoms_[kWmProtocols]) {
            Atom what = static_cast<Atom>(ev.xclient.data.l[0]);
            if (what == atoms_[kWmDeleteWindow] && layout_.close_id != 0) {
                result_ = layout_.close_id;
            } else if (what == atoms_[kNetWmPing]) {
                Window root = RootWindow(dpy_, screen_);
                ev.xclient.window = root;
                XSendEvent(dpy_, root, False, SubstructureRedirectMask | SubstructureNotifyMask,
                           &ev);
            }
        }
        break;
    default:
        break;
    }
}

void Dialog::OnKey(XKeyEvent& key, bool press) {
    KeySym sym = NoSymbol;
    char chars[8];
    XLookupString(&key, chars, sizeof chars, &sym, nullptr);
    if (!press) {
        if (sym == XK_space && space_down_) {
            space_down_ = false;
            Choose(focus_);
        }
        return;
    }
    switch (sym) {
    case XK_Tab:
        MoveFocus((key.state & ShiftMask) ? -1 : 1);
        return;
    case XK_ISO_Left_Tab:
    case XK_Left:
    case XK_Up:
        MoveFocus(-1);
        return;
    case XK_Right:
    case XK_Down:
        MoveFocus(1);
        return;
    case XK_Return:
    case XK_KP_Enter:
        Choose(focus_);
        return;
    case XK_space:
        if (!space_down_) {
            space_down_ = true;
            Repaint();
        }
        return;
    case XK_Escape:
        if (layout_.close_id != 0) {
            result_ = layout_.close_id;
        }
        return;
    default:
        break;
    }
    if (sym >= XK_A && sym <= XK_Z) {
        sym += XK_a - XK_A;
    }
    if (sym >= XK_a && sym <= XK_z) {
        for (size_t i = 0; i < layout_.buttons.size(); ++i) {
            if (layout_.buttons[i].mnemonic == static_cast<char>('a' + (sym - XK_a))) {
                Choose(static_cast<int>(i));
                return;
            }
        }
    }
}

int Dialog::ButtonAt(int x, int y) const {
    for (size_t i = 0; i < layout_.buttons.size(); ++i) {
        if (layout_.buttons[i].rect.Contains(x, y)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void Dialog::MoveFocus(int step) {
    int n = static_cast<int>(layout_.buttons.size());
    focus_ = ((focus_ + step) % n + n) % n;
    space_down_ = false;
    Repaint();
}

void Dialog::Repaint() {
    GC gc = canvas_->gc();
    XSetForeground(dpy_, gc, colours_->content.pixel());
    XFillRectangle(dpy_, buf_, gc, 0, 0, layout_.width, layout_.band_y);
    XSetForeground(dpy_, gc, colours_->band.pixel());
    XFillRectangle(dpy_, buf_, gc, 0, layout_.band_y, layout_.width,
                   layout_.height - layout_.band_y);
    if (layout_.icon != 0) {
        PaintIcon();
    }
    for (size_t i = 0; i < layout_.lines.size(); ++i) {
        int baseline = layout_.text_y + static_cast<int>(i) * layout_.line_height + font_->ascent();
        font_->Draw(*canvas_, layout_.text_x, baseline, layout_.lines[i], colours_->text);
    }
    for (size_t i = 0; i < layout_.buttons.size(); ++i) {
        PaintButton(static_cast<int>(i));
    }
    Present();
}

void Dialog::PaintIcon() {
    const BoxRect& r = layout_.icon_rect;
    IconLook look = LookOf(layout_.icon);
    GC gc = canvas_->gc();
    if (icon_image_ != nullptr) {
        XPutImage(dpy_, buf_, gc, icon_image_, 0, 0, r.x, r.y, r.w, r.h);
    } else {
        XSetForeground(dpy_, gc, icon_fill_->pixel());
        XFillArc(dpy_, buf_, gc, r.x, r.y, r.w, r.h, 0, 360 * 64);
    }
    if (look.glyph != nullptr) {
        // Centre the mark by its advance and by the cap height (about 0.72 of the ascent).
        int gx = r.x + (r.w - icon_font_->Width(look.glyph)) / 2;
        int cap = static_cast<int>(icon_font_->ascent() * 0.72);
        int cy = r.y + (look.triangle ? r.h * 19 / 32 : r.h / 2);
        icon_font_->Draw(*canvas_, gx, cy + cap / 2, look.glyph, *icon_mark_);
    } else if (icon_image_ == nullptr) {
        XSetForeground(dpy_, gc, icon_mark_->pixel());
        XSetLineAttributes(dpy_, gc, 3, LineSolid, CapRound, JoinRound);
        XDrawLine(dpy_, buf_, gc, r.x + 10, r.y + 10, r.x + 21, r.y + 21);
        XDrawLine(dpy_, buf_, gc, r.x + 21, r.y + 10, r.x + 10, r.y + 21);
        XSetLineAttributes(dpy_, gc, 0, LineSolid, CapButt, JoinMiter);
    }
}

void Dialog::PaintButton(int index) {
    const MessageBoxButton& b = layout_.buttons[index];
    const BoxRect& r = b.rect;
    bool pressed = (mouse_down_ == index && mouse_inside_) || (space_down_ && focus_ == index);
    bool focused = focus_ == index;
    const Colour* face = &colours_->face;
    const Colour* border = &colours_->border;
    if (pressed) {
        face = &colours_->pressed_face;
        border = &colours_->pressed_border;
    } else if (hot_ == index && mouse_down_ < 0) {
        face = &colours_->hot_face;
        border = &colours_->accent;
    } else if (focused) {
        border = &colours_->accent;
    }
    GC gc = canvas_->gc();
    XSetForeground(dpy_, gc, face->pixel());
    XFillRectangle(dpy_, buf_, gc, r.x, r.y, r.w, r.h);
    XSetForeground(dpy_, gc, border->pixel());
    XDrawRectangle(dpy_, buf_, gc, r.x, r.y, r.w - 1, r.h - 1);
    if (focused) {
        // The focused button: a second accent ring inside the border and a dotted rectangle
        // around the label.
        XDrawRectangle(dpy_, buf_, gc, r.x + 1, r.y + 1, r.w - 3, r.h - 3);
        static const char dots[2] = {1, 1};
        XSetForeground(dpy_, gc, colours_->text.pixel());
        XSetLineAttributes(dpy_, gc, 0, LineOnOffDash, CapButt, JoinMiter);
        XSetDashes(dpy_, gc, 0, dots, 2);
        XDrawRectangle(dpy_, buf_, gc, r.x + 4, r.y + 4, r.w - 9, r.h - 9);
        XSetLineAttributes(dpy_, gc, 0, LineSolid, CapButt, JoinMiter);
    }
    int tx = r.x + (r.w - font_->Width(b.label)) / 2;
    int baseline = r.y + (r.h - font_->height()) / 2 + font_->ascent();
    font_->Draw(*canvas_, tx, baseline, b.label, colours_->text);
}

void Dialog::Present() {
    XCopyArea(dpy_, buf_, win_, canvas_->gc(), 0, 0, layout_.width, layout_.height, 0, 0);
}

Dialog* OwnerOf(const XEvent& ev) {
    for (Dialog* d : OpenBoxes()) {
        if (d->Owns(ev)) {
            return d;
        }
    }
    return nullptr;
}

} // namespace

int RunMessageBox(Display* dpy, const char* text, const char* caption, unsigned type,
                  const std::function<void(XEvent&)>& foreign, Window owner) {
    if (dpy == nullptr) {
        return 0;
    }
    Dialog box(dpy, Cp1252ToUtf8(text), caption != nullptr ? Cp1252ToUtf8(caption) : "Error", type,
               owner);
    if (!box.ok()) {
        return 0;
    }
    while (box.result() == 0) {
        if (XPending(dpy) == 0) {
            // Sleep until the server sends something. The timeout only guards against events
            // that another thread's Xlib call moved into the queue behind our back.
            pollfd pfd{ConnectionNumber(dpy), POLLIN, 0};
            if (poll(&pfd, 1, 500) < 0 && errno != EINTR) {
                break;
            }
            continue;
        }
        XEvent ev;
        XNextEvent(dpy, &ev);
        if (Dialog* owner = OwnerOf(ev)) {
            owner->Handle(ev);
        } else if (foreign) {
            foreign(ev);
        }
    }
    return box.result() > 0 ? box.result() : 0;
}

} // namespace velvix::x11
