// text_test.cpp - the message box's text handling and layout without a dialog: code page
// conversion, line wrapping, buttons per style, and the core-font fallback.
// gtest first: Xlib's macros (None, Bool) would break its declarations.
#include <gtest/gtest.h>

#include "box_driver.h"

#include "platform/win32.h"
#include "platform/x11/x11_msgbox_layout.h"
#include "platform/x11/x11_text.h"

#include <memory>

namespace {

using namespace velvix::x11;

TEST(Cp1252ToUtf8, ConvertsEveryByteAndReplacesTheUndefinedOnes) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"non \xE8 stata", "non \xC3\xA8 stata"},
        {"\x80 \x9F \xFF", "\xE2\x82\xAC \xC5\xB8 \xC3\xBF"},
        // 0x81, 0x8D, 0x8F, 0x90 and 0x9D have no character; the text around them survives.
        {"a\x81"
         "b\x8D\x8F\x90\x9D"
         "c",
         "a\xEF\xBF\xBD"
         "b\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"
         "c"},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Cp1252ToUtf8(c.in), c.out) << c.in;
    }
    EXPECT_EQ(Cp1252ToUtf8(nullptr), "");
    // Longer than the converter's working buffer.
    std::string big(1000, '\xE8');
    std::string want;
    for (int i = 0; i < 1000; ++i) {
        want += "\xC3\xA8";
    }
    EXPECT_EQ(Cp1252ToUtf8(big.c_str()), want);
}

TEST(DecodeUtf8, ReplacesMalformedBytesOneByOne) {
    EXPECT_EQ(DecodeUtf8("a\xC3\xA8z"), U"a\u00E8z");
    EXPECT_EQ(DecodeUtf8("\xC3"), U"\uFFFD");                     // cut short
    EXPECT_EQ(DecodeUtf8("\xC0\xAF"), U"\uFFFD\uFFFD");           // overlong '/'
    EXPECT_EQ(DecodeUtf8("\xED\xA0\x80"), U"\uFFFD\uFFFD\uFFFD"); // surrogate
    EXPECT_EQ(EncodeUtf8(DecodeUtf8("\xF0\x9F\x98\x80")), "\xF0\x9F\x98\x80");
}

// Every character is 10 pixels wide.
int Tens(const std::string& s) {
    return static_cast<int>(DecodeUtf8(s).size()) * 10;
}

TEST(WrapText, BreaksAtNewlinesThenAtSpacesThenInsideLongWords) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(WrapText("one\ntwo\r\nthree\rfour", 1000, Tens),
              (Lines{"one", "two", "three", "four"}));
    EXPECT_EQ(WrapText("aaa bbb ccc", 75, Tens), (Lines{"aaa bbb", "ccc"}));
    EXPECT_EQ(WrapText("abcdefghij", 40, Tens), (Lines{"abcd", "efgh", "ij"}));
    EXPECT_EQ(WrapText("a\n\nb", 1000, Tens), (Lines{"a", "", "b"}));
    EXPECT_EQ(WrapText("", 1000, Tens), (Lines{""}));
    EXPECT_EQ(WrapText("a\tb\x01", 1000, Tens), (Lines{"a    b"}));
    // Narrower than one character: one per line, never an endless loop.
    EXPECT_EQ(WrapText("\xC3\xA8\xC3\xA8", 1, Tens), (Lines{"\xC3\xA8", "\xC3\xA8"}));
    for (const std::string& line :
         WrapText(std::string(50, 'x') + " " + std::string(30, 'y'), 200, Tens)) {
        EXPECT_LE(Tens(line), 200) << line;
    }
}

class WithDisplay : public testing::Test {
protected:
    void SetUp() override {
        dpy_ = msgbox_test::Server();
        ASSERT_NE(dpy_, nullptr) << "needs an X display";
    }
    Display* dpy_ = nullptr;
};

TEST_F(WithDisplay, ButtonsDefaultsAndCloseAnswerFollowTheStyle) {
    TextFont font(dpy_, DefaultScreen(dpy_), kMessageBoxFont);
    struct Case {
        unsigned type;
        std::vector<int> ids;
        int default_id;
        int close_id;
    } cases[] = {
        {MB_OK, {IDOK}, IDOK, IDOK},
        {MB_YESNO | MB_ICONQUESTION, {IDYES, IDNO}, IDYES, 0},
        {MB_YESNO | MB_DEFBUTTON2, {IDYES, IDNO}, IDNO, 0},
        {MB_OKCANCEL, {IDOK, IDCANCEL}, IDOK, IDCANCEL},
        {MB_YESNOCANCEL, {IDYES, IDNO, IDCANCEL}, IDYES, IDCANCEL},
        {MB_ABORTRETRYIGNORE, {IDABORT, IDRETRY, IDIGNORE}, IDABORT, 0},
        {MB_OK | 0x300, {IDOK}, IDOK, IDOK}, // a default past the last button
        {0x0000000E, {IDOK}, IDOK, IDOK},    // an unknown style
    };
    for (const Case& c : cases) {
        MessageBoxLayout l = LayoutMessageBox("text", c.type, font, 1024, 768);
        std::vector<int> ids;
        for (const MessageBoxButton& b : l.buttons) {
            ids.push_back(b.id);
            // Inside the band and the box, and not overlapping the next one.
            EXPECT_GE(b.rect.y, l.band_y);
            EXPECT_LE(b.rect.x + b.rect.w, l.width);
            EXPECT_LE(b.rect.y + b.rect.h, l.height);
        }
        for (size_t i = 1; i < l.buttons.size(); ++i) {
            EXPECT_LE(l.buttons[i - 1].rect.x + l.buttons[i - 1].rect.w, l.buttons[i].rect.x);
        }
        EXPECT_EQ(ids, c.ids) << std::hex << c.type;
        EXPECT_EQ(l.buttons[l.default_button].id, c.default_id) << std::hex << c.type;
        EXPECT_EQ(l.close_id, c.close_id) << std::hex << c.type;
    }
}

TEST_F(WithDisplay, BoxSizeFollowsTheTextWithinTheMonitor) {
    TextFont font(dpy_, DefaultScreen(dpy_), kMessageBoxFont);
    MessageBoxLayout small = LayoutMessageBox("Hi", MB_OK, font, 1024, 768);
    MessageBoxLayout wide = LayoutMessageBox(std::string(400, 'w'), MB_OK, font, 1024, 768);
    MessageBoxLayout tall = LayoutMessageBox(std::string(200, '\n'), MB_OK, font, 1024, 768);
    EXPECT_GT(wide.width, small.width);
    EXPECT_GT(wide.lines.size(), 1u); // wrapped, not as wide as the text
    EXPECT_LT(wide.width, 1024);
    EXPECT_LE(tall.height, 768);
    for (const std::string& line : wide.lines) {
        EXPECT_LE(wide.text_x + font.Width(line), wide.width);
    }
    // One word far wider than 32767 pixels is measured whole and broken into lines that fit.
    const std::string word(5000, 'W');
    EXPECT_GE(font.Width(word), 5000 * font.Width("W") - 5000);
    MessageBoxLayout huge = LayoutMessageBox(word, MB_OK, font, 1024, 768);
    ASSERT_GT(huge.lines.size(), 1u);
    EXPECT_LT(huge.width, 1024);
    for (const std::string& line : huge.lines) {
        EXPECT_LE(huge.text_x + font.Width(line), huge.width);
    }
    // An icon pushes the text to the right.
    MessageBoxLayout icon = LayoutMessageBox("Hi", MB_OK | MB_ICONQUESTION, font, 1024, 768);
    EXPECT_GT(icon.text_x, small.text_x);
    EXPECT_EQ(icon.icon, static_cast<unsigned>(MB_ICONQUESTION));
}

TEST_F(WithDisplay, FallsBackToACoreFontWhenXftHasNone) {
    // No Xft font, and a core font the server lacks: "fixed" must still come, so that the box
    // can always be shown and measured.
    TextFont font(dpy_, DefaultScreen(dpy_), nullptr, "-no-such-font-*");
    ASSERT_TRUE(font.ok());
    EXPECT_FALSE(font.antialiased());
    EXPECT_GT(font.Width("Yes"), 0);
    EXPECT_GT(font.height(), 0);
    MessageBoxLayout l = LayoutMessageBox("Settare lo schermo intero?", MB_YESNO, font, 1024, 768);
    EXPECT_GT(l.width, 0);
    EXPECT_EQ(l.buttons.size(), 2u);
}

} // namespace
