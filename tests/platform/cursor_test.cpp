// cursor_test.cpp - standard cursors and icons, and cursor files read by us: a good one loads
// and shows over a window (the server's copy of the picture is read back), broken or lying
// ones give 0.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "helpers.h"
#include "platform/win32.h"

// X last: its macros would break the headers above.
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

namespace {

TEST(Cursors, EveryStandardCursorHasItsOwnSharedHandle) {
    const LPCSTR ids[] = {IDC_ARROW,    IDC_IBEAM,  IDC_WAIT,        IDC_CROSS,
                          IDC_UPARROW,  IDC_SIZE,   IDC_ICON,        IDC_SIZENWSE,
                          IDC_SIZENESW, IDC_SIZEWE, IDC_SIZENS,      IDC_SIZEALL,
                          IDC_NO,       IDC_HAND,   IDC_APPSTARTING, IDC_HELP};
    std::set<HCURSOR> seen;
    for (LPCSTR id : ids) {
        HCURSOR c = LoadCursorA(nullptr, id);
        ASSERT_NE(c, nullptr) << LOWORD(id);
        EXPECT_EQ(LoadCursorA(nullptr, id), c) << "shared: the same handle each time";
        seen.insert(c);
    }
    EXPECT_EQ(seen.size(), sizeof ids / sizeof ids[0]) << "no two cursors share a handle";
    EXPECT_EQ(LoadCursorA(nullptr, MAKEINTRESOURCE(1)), nullptr);
    for (LPCSTR id :
         {IDI_APPLICATION, IDI_HAND, IDI_QUESTION, IDI_EXCLAMATION, IDI_ASTERISK, IDI_WINLOGO})
        EXPECT_NE(LoadIconA(nullptr, id), nullptr) << LOWORD(id);
}

void Put16(std::vector<unsigned char>& v, unsigned x) {
    v.push_back(x & 0xFF);
    v.push_back((x >> 8) & 0xFF);
}
void Put32(std::vector<unsigned char>& v, unsigned x) {
    Put16(v, x & 0xFFFF);
    Put16(v, x >> 16);
}

// A 4x4 cursor file with 32-bit pixels (`pixels`, top row first; one colour by default) and
// an all-zero mask, hot spot (1, 2).
std::vector<unsigned char> CursorFile(std::vector<unsigned> pixels = {}) {
    if (pixels.empty())
        pixels.assign(16, 0xFF336699u);
    std::vector<unsigned char> f;
    Put16(f, 0), Put16(f, 2), Put16(f, 1);                          // header: a cursor, one image
    f.push_back(4), f.push_back(4), f.push_back(0), f.push_back(0); // 4x4
    Put16(f, 1), Put16(f, 2);                                       // hot spot
    const unsigned bytes = 40 + 4 * 4 * 4 + 4 * 4;
    Put32(f, bytes), Put32(f, 22);
    Put32(f, 40), Put32(f, 4), Put32(f, 8), Put16(f, 1), Put16(f, 32);
    for (int i = 0; i < 6; ++i)
        Put32(f, 0);
    for (int y = 3; y >= 0; --y) // rows bottom-up
        for (int x = 0; x < 4; ++x)
            Put32(f, pixels[size_t(y) * 4 + x]);
    for (int i = 0; i < 4; ++i)
        Put32(f, 0);
    return f;
}

std::string Write(const std::string& name, const std::vector<unsigned char>& bytes) {
    const std::string path = ::testing::TempDir() + name;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!bytes.empty())
        std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return path;
}

// A shown square window of a new class whose cursor is `c`; null when either cannot be made.
HWND WindowWithCursor(HCURSOR c, const char* className, int x, int y, int size) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hCursor = c;
    wc.lpszClassName = className;
    if (!RegisterClassA(&wc))
        return nullptr;
    return CreateWindowExA(0, className, "", WS_POPUP | WS_VISIBLE, x, y, size, size, nullptr,
                           nullptr, nullptr, nullptr);
}

TEST(Cursors, FilesAreCheckedBeforeUse) {
    const std::vector<unsigned char> good = CursorFile();
    HCURSOR c = LoadCursorFromFileA(Write("good.cur", good).c_str());
    ASSERT_NE(c, nullptr);
    // A class cursor from a file shows over the window (made without complaint).
    HWND h = WindowWithCursor(c, "VelvixFileCursor", 0, 0, 20);
    EXPECT_NE(h, nullptr);
    DestroyWindow(h);

    struct Case {
        const char* what;
        size_t offset; // where to change the good file (or truncate it, with `cut`)
        unsigned char value;
        bool cut;
    };
    const Case bad[] = {
        {"truncated pixels", 60, 0, true},     {"truncated header", 10, 0, true},
        {"not a cursor or icon", 2, 7, false}, {"image offset past the end", 21, 0x7F, false},
        {"width over 256", 26, 0x10, false},   {"odd doubled height", 30, 9, false},
        {"compressed image", 38, 1, false},    {"unknown bit depth", 36, 13, false},
    };
    for (const Case& b : bad) {
        std::vector<unsigned char> f = good;
        if (b.cut)
            f.resize(b.offset);
        else
            f[b.offset] = b.value;
        EXPECT_EQ(LoadCursorFromFileA(Write("bad.cur", f).c_str()), nullptr) << b.what;
    }
    EXPECT_EQ(LoadCursorFromFileA(Write("empty.cur", {}).c_str()), nullptr);
    EXPECT_EQ(LoadCursorFromFileA("/nonexistent/velvix.cur"), nullptr);
    EXPECT_EQ(LoadCursorFromFileA(nullptr), nullptr);
}

// A 32-bit image with alpha anywhere is drawn by alpha alone, also where the pixels before
// the first non-zero alpha are (an all-zero mask would make them opaque).
TEST(Cursors, AlphaAnywhereInA32BitImageRulesEveryPixel) {
    std::vector<unsigned> pixels(16, 0xFFFF0000u);
    for (int x = 0; x < 4; ++x)
        pixels[size_t(x)] = 0; // the top row: fully transparent
    HCURSOR c = LoadCursorFromFileA(Write("alpha.cur", CursorFile(pixels)).c_str());
    ASSERT_NE(c, nullptr);
    HWND h = WindowWithCursor(c, "VelvixAlphaCursor", 300, 300, 40);
    ASSERT_NE(h, nullptr);
    ASSERT_TRUE(SetCursorPos(320, 320));

    Display* dpy = XOpenDisplay(nullptr);
    ASSERT_NE(dpy, nullptr);
    int event, error;
    ASSERT_TRUE(XFixesQueryExtension(dpy, &event, &error));
    XSync(dpy, False);
    POINT p;
    GetCursorPos(&p); // the platform's requests are done too
    XFixesCursorImage* img = XFixesGetCursorImage(dpy);
    ASSERT_NE(img, nullptr);
    EXPECT_EQ(img->width, 4);
    EXPECT_EQ(img->height, 4);
    EXPECT_EQ(img->xhot, 1);
    EXPECT_EQ(img->yhot, 2);
    if (img->width == 4 && img->height == 4) {
        EXPECT_EQ(img->pixels[0] & 0xFFFFFFFFu, 0u) << "top left: transparent";
        EXPECT_EQ(img->pixels[3] & 0xFFFFFFFFu, 0u) << "top right: transparent";
        EXPECT_EQ(img->pixels[4] & 0xFFFFFFFFu, 0xFFFF0000u) << "second row: opaque red";
        EXPECT_EQ(img->pixels[15] & 0xFFFFFFFFu, 0xFFFF0000u);
    }
    XFree(img);
    XCloseDisplay(dpy);
    DestroyWindow(h);
}

} // namespace
