// x11_msgbox_layout.cpp - the message box's geometry: a white area with the icon and the
// wrapped text, and below it a grey band with the buttons aligned to the right, sized after the
// text and kept within the monitor.
#include "platform/x11/x11_msgbox_layout.h"

#include "platform/win32.h"

#include <algorithm>

namespace velvix::x11 {

namespace {

constexpr int kPad = 16; // around icon and text
constexpr int kIconSize = 32;
constexpr int kIconGap = 12;  // between icon and text
constexpr int kBandPadV = 11; // above and below the buttons
constexpr int kBandPadH = 12; // right of the last, left of the first button
constexpr int kButtonGap = 8;
constexpr int kButtonMinWidth = 88;
constexpr int kTextMaxWidth = 480;
constexpr int kTextMinWidth = 80;

} // namespace

std::vector<MessageBoxButton> MessageBoxButtons(unsigned type) {
    const MessageBoxButton ok{"OK", IDOK, 0, {}}, cancel{"Cancel", IDCANCEL, 0, {}},
        yes{"Yes", IDYES, 'y', {}}, no{"No", IDNO, 'n', {}}, abort{"Abort", IDABORT, 'a', {}},
        retry{"Retry", IDRETRY, 'r', {}}, ignore{"Ignore", IDIGNORE, 'i', {}};
    switch (type & static_cast<unsigned>(MB_TYPEMASK)) {
    case MB_OKCANCEL:
        return {ok, cancel};
    case MB_ABORTRETRYIGNORE:
        return {abort, retry, ignore};
    case MB_YESNOCANCEL:
        return {yes, no, cancel};
    case MB_YESNO:
        return {yes, no};
    case MB_RETRYCANCEL:
        return {retry, cancel};
    default:
        return {ok};
    }
}

MessageBoxLayout LayoutMessageBox(const std::string& text, unsigned type, const TextFont& font,
                                  int max_width, int max_height) {
    MessageBoxLayout l;
    unsigned icon = type & static_cast<unsigned>(MB_ICONMASK);
    if (icon == MB_ICONHAND || icon == MB_ICONQUESTION || icon == MB_ICONEXCLAMATION ||
        icon == MB_ICONASTERISK) {
        l.icon = icon;
        l.icon_rect = BoxRect{kPad, kPad, kIconSize, kIconSize};
    }
    l.text_x = kPad + (l.icon ? kIconSize + kIconGap : 0);

    // Buttons: one width for all, wide enough for the longest label.
    l.buttons = MessageBoxButtons(type);
    int button_w = kButtonMinWidth;
    for (const MessageBoxButton& b : l.buttons) {
        button_w = std::max(button_w, font.Width(b.label) + 24);
    }
    int button_h = std::max(26, font.height() + 10);
    int buttons_w = static_cast<int>(l.buttons.size()) * (button_w + kButtonGap) - kButtonGap;

    int text_max = std::min(kTextMaxWidth, max_width - l.text_x - kPad - 64);
    text_max = std::max(text_max, kTextMinWidth);
    l.lines = WrapText(text, text_max, [&](const std::string& s) { return font.Width(s); });
    l.line_height = font.height() + 2;

    int band_h = button_h + 2 * kBandPadV;
    auto content_h = [&] {
        int text_h = static_cast<int>(l.lines.size()) * l.line_height;
        return std::max(l.icon ? kIconSize : 0, text_h) + 2 * kPad;
    };
    while (l.lines.size() > 1 && content_h() + band_h > max_height) {
        l.lines.pop_back();
    }
    int text_w = 0;
    for (const std::string& line : l.lines) {
        text_w = std::max(text_w, font.Width(line));
    }
    int text_h = static_cast<int>(l.lines.size()) * l.line_height;
    l.text_y = kPad + (l.icon && text_h < kIconSize ? (kIconSize - text_h) / 2 : 0);

    l.band_y = content_h();
    l.width = std::max({l.text_x + text_w + kPad, buttons_w + 2 * kBandPadH, 2 * kPad});
    l.height = l.band_y + band_h;

    int x = l.width - kBandPadH - buttons_w;
    for (MessageBoxButton& b : l.buttons) {
        b.rect = BoxRect{x, l.band_y + kBandPadV, button_w, button_h};
        x += button_w + kButtonGap;
    }

    size_t def = (type & static_cast<unsigned>(MB_DEFMASK)) >> 8;
    l.default_button = def < l.buttons.size() ? static_cast<int>(def) : 0;
    // As on the original platform the box can be dismissed without choosing only when it has a
    // Cancel button, or when OK is its only answer anyway.
    for (const MessageBoxButton& b : l.buttons) {
        if (b.id == IDCANCEL) {
            l.close_id = IDCANCEL;
        }
    }
    if (l.buttons.size() == 1) {
        l.close_id = l.buttons[0].id;
    }
    return l;
}

} // namespace velvix::x11
