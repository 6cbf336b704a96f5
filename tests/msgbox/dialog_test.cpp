// dialog_test.cpp - the message box as a user meets it on a real X server: found by its title,
// centred, answered with keys and the mouse, drawn with the right glyphs, gone afterwards.
// gtest first: Xlib's macros (None, Bool) would break its declarations.
#include <gtest/gtest.h>

#include "box_driver.h"

#include "platform/win32.h"
#include "platform/x11/x11_msgbox_layout.h"
#include "platform/x11/x11_text.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

using msgbox_test::BoxRun;
using velvix::x11::Cp1252ToUtf8;
using velvix::x11::LayoutMessageBox;
using velvix::x11::MessageBoxLayout;
using velvix::x11::TextFont;

// The layout the box computes for itself.
MessageBoxLayout LayoutFor(const char* text, unsigned type) {
    Display* dpy = msgbox_test::Server();
    TextFont font(dpy, DefaultScreen(dpy), velvix::x11::kMessageBoxFont);
    return LayoutMessageBox(Cp1252ToUtf8(text), type, font, DisplayWidth(dpy, 0),
                            DisplayHeight(dpy, 0));
}

struct KeyCase {
    const char* name;
    unsigned type;
    const char* script;
    int expected;
};

void PrintTo(const KeyCase& c, std::ostream* os) {
    *os << c.name;
}

class Keyboard : public testing::TestWithParam<KeyCase> {};

TEST_P(Keyboard, AnswersAsTyped) {
    const KeyCase& c = GetParam();
    BoxRun run("Settare lo schermo intero?  ", "Video!", c.type);
    Window box = run.FindDialog("Video!");
    ASSERT_NE(box, 0u);
    run.Play(box, c.script);
    EXPECT_EQ(run.Wait(), c.expected);
}

// Escape and the close button do nothing on a Yes/No box: the "n" after them must be what
// answers.
INSTANTIATE_TEST_SUITE_P(
    Scripts, Keyboard,
    testing::Values(KeyCase{"Y", MB_YESNO | MB_ICONQUESTION, "y", IDYES},
                    KeyCase{"N", MB_YESNO | MB_ICONQUESTION, "n", IDNO},
                    KeyCase{"EnterIsDefaultYes", MB_YESNO | MB_ICONQUESTION, "Return", IDYES},
                    KeyCase{"TabEnter", MB_YESNO | MB_ICONQUESTION, "Tab Return", IDNO},
                    KeyCase{"TabWrapsAround", MB_YESNO, "Tab Tab Return", IDYES},
                    KeyCase{"ShiftTab", MB_YESNO, "S-Tab space", IDNO},
                    KeyCase{"RightLeft", MB_YESNO, "Right Left Right KP_Enter", IDNO},
                    KeyCase{"DefaultButton2", MB_YESNO | MB_DEFBUTTON2, "Return", IDNO},
                    KeyCase{"EscapeIgnoredOnYesNo", MB_YESNO, "Escape n", IDNO},
                    KeyCase{"CloseIgnoredOnYesNo", MB_YESNO, "close n", IDNO},
                    KeyCase{"OkEnter", MB_OK, "Return", IDOK},
                    KeyCase{"OkEscape", MB_OK, "Escape", IDOK},
                    KeyCase{"OkClose", MB_OK, "close", IDOK},
                    KeyCase{"OkCancelEscape", MB_OKCANCEL, "Escape", IDCANCEL},
                    KeyCase{"YesNoDestroyedByOthers", MB_YESNO, "destroy", 0},
                    KeyCase{"OkDestroyedByOthers", MB_OK, "destroy", IDOK}),
    [](const testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.name); });

TEST(Dialog, IsACentredFixedSizeDialogTitledWithTheCaption) {
    const char* text = "la rispettiva applicazione non \xE8 stata inizilizata!";
    MessageBoxLayout layout = LayoutFor(text, MB_OK);
    BoxRun run(text, "Errore \xE8", MB_OK);
    Display* dpy = run.dpy();
    Window box = run.FindDialog("Errore \xC3\xA8");
    ASSERT_NE(box, 0u);

    EXPECT_EQ(msgbox_test::ReadProperty(dpy, box, "WM_NAME"), "Errore \xE8");
    Atom type_atom = XInternAtom(dpy, "_NET_WM_WINDOW_TYPE", False);
    Atom actual = 0, *types = nullptr;
    int format = 0;
    unsigned long count = 0, after = 0;
    ASSERT_EQ(XGetWindowProperty(dpy, box, type_atom, 0, 4, False, XA_ATOM, &actual, &format,
                                 &count, &after, reinterpret_cast<unsigned char**>(&types)),
              Success);
    ASSERT_EQ(count, 1u);
    EXPECT_EQ(types[0], XInternAtom(dpy, "_NET_WM_WINDOW_TYPE_DIALOG", False));
    XFree(types);
    Window owner = 0;
    EXPECT_TRUE(XGetTransientForHint(dpy, box, &owner));
    EXPECT_EQ(owner, run.other()) << "the box belongs to its owner's window";

    XWindowAttributes wa{};
    ASSERT_TRUE(XGetWindowAttributes(dpy, box, &wa));
    EXPECT_EQ(wa.width, layout.width);
    EXPECT_EQ(wa.height, layout.height);
    EXPECT_NEAR(wa.x + wa.width / 2, DisplayWidth(dpy, 0) / 2, 1);
    EXPECT_NEAR(wa.y + wa.height / 2, DisplayHeight(dpy, 0) / 2, 1);

    XSizeHints hints{};
    long supplied = 0;
    ASSERT_TRUE(XGetWMNormalHints(dpy, box, &hints, &supplied));
    EXPECT_TRUE((hints.flags & PMinSize) && (hints.flags & PMaxSize));
    EXPECT_EQ(hints.min_width, wa.width);
    EXPECT_EQ(hints.max_width, wa.width);
    EXPECT_EQ(hints.min_height, wa.height);
    EXPECT_EQ(hints.max_height, wa.height);

    run.Play(box, "Return");
    EXPECT_EQ(run.Wait(), IDOK);
    // The window is gone once the call has returned.
    XSync(dpy, False);
    EXPECT_FALSE(XGetWindowAttributes(dpy, box, &wa));
}

TEST(Dialog, MouseClickChoosesAndReleasingOutsideCancels) {
    MessageBoxLayout layout = LayoutFor("Settare lo schermo intero?  ", MB_YESNO | MB_ICONQUESTION);
    BoxRun run("Settare lo schermo intero?  ", "Video!", MB_YESNO | MB_ICONQUESTION);
    Display* dpy = run.dpy();
    Window box = run.FindDialog("Video!");
    ASSERT_NE(box, 0u);
    ASSERT_EQ(layout.buttons.size(), 2u);
    XWindowAttributes wa{};
    ASSERT_TRUE(XGetWindowAttributes(dpy, box, &wa));
    const velvix::x11::BoxRect& no = layout.buttons[1].rect;
    int cx = wa.x + no.x + no.w / 2, cy = wa.y + no.y + no.h / 2;

    // Pressed on "No", dragged off it, released: nothing is chosen, but "No" has the focus.
    run.MoveMouse(cx, cy);
    run.MouseButton(true);
    run.MoveMouse(wa.x + 4, wa.y + 4);
    run.MouseButton(false);
    EXPECT_EQ(run.Wait(200), BoxRun::kRunning);

    run.MoveMouse(cx, cy);
    run.MouseButton(true);
    run.MouseButton(false);
    EXPECT_EQ(run.Wait(), IDNO);
}

TEST(Dialog, OtherWindowsKeepTheirEventsAndTheLoopSleeps) {
    BoxRun run("Settare lo schermo intero?  ", "Video!", MB_YESNO);
    Display* dpy = run.dpy();
    Window box = run.FindDialog("Video!");
    ASSERT_NE(box, 0u);

    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = run.other();
    ev.xclient.message_type = XInternAtom(dpy, "VELVIX_TEST_PING", False);
    ev.xclient.format = 32;
    XSendEvent(dpy, run.other(), False, 0, &ev);
    XSync(dpy, False);
    for (int i = 0; i < 200 && run.foreign_events() == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_GE(run.foreign_events(), 1);

    // Open and idle, the box's process should barely run (a busy loop would use the whole
    // second).
    double before = run.CpuSeconds();
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_LT(run.CpuSeconds() - before, 0.2);

    run.Play(box, "n");
    EXPECT_EQ(run.Wait(), IDNO);
}

// Draws `utf8` the way the box draws a text line, on white, and returns the pixels.
XImage* ReferenceLine(const std::string& utf8, int& w, int& h) {
    Display* dpy = msgbox_test::Server();
    int screen = DefaultScreen(dpy);
    TextFont font(dpy, screen, velvix::x11::kMessageBoxFont);
    w = font.Width(utf8);
    h = font.height();
    Pixmap pm = XCreatePixmap(dpy, DefaultRootWindow(dpy), w, h, DefaultDepth(dpy, screen));
    XImage* img = nullptr;
    {
        velvix::x11::TextCanvas canvas(dpy, screen, pm);
        velvix::x11::Colour white(dpy, screen, 255, 255, 255), black(dpy, screen, 0, 0, 0);
        XSetForeground(dpy, canvas.gc(), white.pixel());
        XFillRectangle(dpy, pm, canvas.gc(), 0, 0, w, h);
        font.Draw(canvas, 0, font.ascent(), utf8, black);
        img = XGetImage(dpy, pm, 0, 0, w, h, AllPlanes, ZPixmap);
    }
    XFreePixmap(dpy, pm);
    return img;
}

TEST(Dialog, DrawsTheCp1252TextWithItsOwnGlyphs) {
    const char* text = "la rispettiva applicazione non \xE8 stata inizilizata!";
    std::string utf8 = Cp1252ToUtf8(text);
    ASSERT_NE(utf8.find("non \xC3\xA8 stata"), std::string::npos);
    {
        Display* dpy = msgbox_test::Server();
        TextFont font(dpy, DefaultScreen(dpy), velvix::x11::kMessageBoxFont);
        EXPECT_TRUE(font.HasGlyph(U'\u00E8'));
    }
    MessageBoxLayout layout = LayoutFor(text, MB_OK | MB_ICONHAND);
    ASSERT_EQ(layout.lines.size(), 1u);
    int w = 0, h = 0;
    XImage* expected = ReferenceLine(utf8, w, h);
    ASSERT_NE(expected, nullptr);

    BoxRun run(text, "Error", MB_OK | MB_ICONHAND);
    Display* dpy = run.dpy();
    Window box = run.FindDialog("Error");
    ASSERT_NE(box, 0u);
    std::this_thread::sleep_for(std::chrono::milliseconds(100)); // the first paint
    XImage* shown = XGetImage(dpy, box, layout.text_x, layout.text_y, w, h, AllPlanes, ZPixmap);
    ASSERT_NE(shown, nullptr);
    int dark = 0, differing = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            unsigned long p = XGetPixel(shown, x, y);
            dark += (p & 0xFF) < 80 && ((p >> 8) & 0xFF) < 80 && ((p >> 16) & 0xFF) < 80;
            long q = static_cast<long>(XGetPixel(expected, x, y) & 0xFF);
            differing += std::labs(static_cast<long>(p & 0xFF) - q) > 48;
        }
    }
    EXPECT_GT(dark, 100);
    // The same glyphs as the properly converted text: a wrong conversion (a replacement box,
    // mojibake) would differ in many pixels. Anti-aliased edges may differ slightly between
    // two connections' glyph caches, hence the tolerance per pixel.
    EXPECT_EQ(differing, 0);
    XDestroyImage(shown);
    XDestroyImage(expected);

    run.Play(box, "Return");
    EXPECT_EQ(run.Wait(), IDOK);
}

} // namespace
