// image_button_test.cpp - the IMAGEBUTTON control driven by messages on real windows: its size
// and place, every row of its state table, the WM_COMMAND count of the usual click patterns,
// and that destruction leaves no property and no GDI object behind.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "framework/buttons/image_button.h"
#include "platform/gdi/objects.h"

using namespace velvix;

namespace {

constexpr int kId = 42;

void Put(std::vector<uint8_t>& b, uint32_t v, int n) {
    for (int i = 0; i < n; ++i)
        b.push_back(uint8_t(v >> (8 * i)));
}

// A w x h 24-bit picture of one colour with magenta in its top-left 4 x 4 corner.
void Picture(const std::string& path, int w, int h, uint32_t rgb) {
    const int stride = (w * 3 + 3) / 4 * 4;
    std::vector<uint8_t> f = {'B', 'M'};
    Put(f, 54 + stride * h, 4), Put(f, 0, 4), Put(f, 54, 4), Put(f, 40, 4), Put(f, w, 4);
    Put(f, h, 4), Put(f, 1, 2), Put(f, 24, 2);
    for (int i = 0; i < 6; ++i)
        Put(f, 0, 4);
    for (int row = h - 1; row >= 0; --row) {
        const size_t start = f.size();
        for (int x = 0; x < w; ++x)
            Put(f, x < 4 && row < 4 ? 0xFF00FF : rgb, 3);
        f.resize(start + size_t(stride), 0);
    }
    std::FILE* out = std::fopen(path.c_str(), "wb");
    std::fwrite(f.data(), 1, f.size(), out);
    std::fclose(out);
}

LRESULT CALLBACK ParentProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    return DefWindowProcA(w, m, wp, lp);
}

class ImageButton : public testing::Test {
protected:
    HWND parent = nullptr;
    std::string dir = testing::TempDir();

    void SetUp() override {
        RegisterImageButtonClass();
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ParentProc;
        wc.lpszClassName = "ButtonTestParent";
        RegisterClassA(&wc); // fails harmlessly after the first test
        parent = CreateWindowExA(0, "ButtonTestParent", "parent", WS_POPUP | WS_VISIBLE, 0, 0, 200,
                                 150, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(parent, nullptr);
        for (const char* s : {"N", "H", "P"})
            Picture(dir + "/t" + s + ".BMP", 30, 20, 0x336699);
        BMPType = dir + "/t";
    }
    void TearDown() override {
        DestroyWindow(parent);
        BMPType.clear();
    }
    HWND Make(int x = 43, int y = 59) {
        return CreateWindowExA(0, "IMAGEBUTTON", "", WS_CHILD | WS_VISIBLE, x, y, 5, 5, parent,
                               reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kId)), nullptr,
                               nullptr);
    }
    int State(HWND b) { return int(reinterpret_cast<uintptr_t>(GetPropA(b, HoverMode))); }
    // Takes the WM_COMMAND messages posted to the parent, checking each.
    int Commands() {
        int n = 0;
        MSG m;
        while (PeekMessageA(&m, parent, WM_COMMAND, WM_COMMAND, PM_REMOVE)) {
            EXPECT_EQ(m.wParam, WPARAM(kId));
            EXPECT_EQ(m.lParam, 0);
            ++n;
        }
        return n;
    }
    void Send(HWND b, UINT msg, WPARAM keys, int x, int y) {
        SendMessageA(b, msg, keys, MAKELPARAM(x, y));
    }
};

} // namespace

TEST_F(ImageButton, TakesThePicturesSizeAndPlace) {
    HWND b = Make();
    ASSERT_NE(b, nullptr);
    RECT r, p;
    GetWindowRect(b, &r);
    GetWindowRect(parent, &p);
    EXPECT_EQ(r.left - p.left, 43 - 3);
    EXPECT_EQ(r.top - p.top, 59 - 19);
    EXPECT_EQ(r.right - r.left, 30);
    EXPECT_EQ(r.bottom - r.top, 20);
    EXPECT_EQ(State(b), 1);
    EXPECT_NE(GetPropA(b, ButtonRgn), nullptr);
    HRGN hit = static_cast<HRGN>(GetPropA(b, ButtonRgn));
    EXPECT_FALSE(PtInRegion(hit, 1, 1)) << "magenta is cut out";
    EXPECT_TRUE(PtInRegion(hit, 10, 10));
}

TEST_F(ImageButton, StateTable) {
    HWND b = Make();
    struct Step {
        UINT msg;
        WPARAM keys;
        int x, y;
        int state;     // afterwards
        bool captured; // afterwards
        int commands;  // posted by this step
    };
    const std::vector<Step> steps = {
        {WM_MOUSEMOVE, 0, 10, 10, 2, true, 0},            // enter: hover
        {WM_MOUSEMOVE, MK_LBUTTON, 12, 10, 2, true, 0},   // inside, already hover
        {WM_MOUSEMOVE, 0, 1, 1, 1, false, 0},             // on a cut-out pixel: leave
        {WM_MOUSEMOVE, MK_RBUTTON, 10, 10, 3, true, 0},   // enter with a button held
        {WM_MOUSEMOVE, 0, 65535, 10, 1, false, 0},        // left of the button, captured
        {WM_LBUTTONUP, 0, 10, 10, 1, false, 0},           // release when not pressed
        {WM_LBUTTONDOWN, MK_LBUTTON, 10, 10, 3, true, 0}, // press
        {WM_LBUTTONUP, 0, 10, 10, 1, false, 1},           // release: one command
        {WM_RBUTTONUP, 0, 10, 10, 1, false, 0},           // the right button never posts
    };
    for (size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "step " << i);
        const Step& s = steps[i];
        Send(b, s.msg, s.keys, s.x, s.y);
        EXPECT_EQ(State(b), s.state);
        EXPECT_EQ(GetCapture() == b, s.captured);
        EXPECT_EQ(Commands(), s.commands);
    }
}

TEST_F(ImageButton, ClickPatterns) {
    HWND b = Make();
    struct Pattern {
        const char* name;
        std::vector<std::tuple<UINT, WPARAM, int, int>> msgs;
        int commands;
    };
    const std::vector<Pattern> patterns = {
        {"press, leave, release",
         {{WM_LBUTTONDOWN, MK_LBUTTON, 10, 10},
          {WM_MOUSEMOVE, MK_LBUTTON, 100, 10},
          {WM_LBUTTONUP, 0, 100, 10}},
         0},
        {"press, leave, come back, release",
         {{WM_LBUTTONDOWN, MK_LBUTTON, 10, 10},
          {WM_MOUSEMOVE, MK_LBUTTON, 100, 10},
          {WM_MOUSEMOVE, MK_LBUTTON, 10, 10},
          {WM_LBUTTONUP, 0, 10, 10}},
         1},
        {"double click",
         {{WM_LBUTTONDOWN, MK_LBUTTON, 10, 10},
          {WM_LBUTTONUP, 0, 10, 10},
          {WM_LBUTTONDOWN, MK_LBUTTON, 10, 10},
          {WM_LBUTTONUP, 0, 10, 10}},
         2},
        {"press begun outside, entering with the button held",
         {{WM_MOUSEMOVE, MK_LBUTTON, 10, 10}, {WM_LBUTTONUP, 0, 10, 10}},
         1},
    };
    for (const Pattern& p : patterns) {
        SCOPED_TRACE(p.name);
        for (auto [msg, keys, x, y] : p.msgs)
            Send(b, msg, keys, x, y);
        EXPECT_EQ(Commands(), p.commands);
        EXPECT_EQ(State(b), 1);
        Send(b, WM_MOUSEMOVE, 0, 100, 100); // leave, so the next pattern starts fresh
    }
}

TEST_F(ImageButton, DestructionLeavesNothingBehind) {
    GetStockObject(NULL_BRUSH);
    ReleaseDC(nullptr, GetDC(nullptr));
    const size_t live = velvix_platform::GdiLiveCount();
    HWND b = Make();
    EXPECT_GT(velvix_platform::GdiLiveCount(), live);
    SendMessageA(b, WM_DESTROY, 0, 0);
    for (const char* prop : {NormalBmp, HoverBmp, PressBmp, HoverMode, ButtonRgn})
        EXPECT_EQ(GetPropA(b, prop), nullptr) << prop;
    DestroyWindow(b);
    EXPECT_EQ(velvix_platform::GdiLiveCount(), live) << "pictures, palettes, DCs and regions";
}

TEST_F(ImageButton, MissingPicturesAndPrefixChanges) {
    BMPType = dir + "/none";
    HWND plain = Make(50, 60);
    RECT r;
    GetWindowRect(plain, &r);
    EXPECT_EQ(r.right - r.left, 5) << "no normal picture: the size given at creation stays";
    EXPECT_EQ(GetPropA(plain, ButtonRgn), nullptr);
    Send(plain, WM_MOUSEMOVE, 0, 2, 2);
    EXPECT_EQ(State(plain), 1) << "without a hit region, moves change nothing";
    Send(plain, WM_LBUTTONDOWN, MK_LBUTTON, 2, 2);
    Send(plain, WM_LBUTTONUP, 0, 2, 2);
    EXPECT_EQ(Commands(), 1) << "a click still reaches the parent";

    Picture(dir + "/wideN.BMP", 50, 10, 0x123456);
    BMPType = dir + "/wide";
    HWND wide = Make();
    BMPType = dir + "/t"; // changing it afterwards changes no existing button
    GetWindowRect(wide, &r);
    EXPECT_EQ(r.right - r.left, 50);
    EXPECT_EQ(r.bottom - r.top, 10);
}
