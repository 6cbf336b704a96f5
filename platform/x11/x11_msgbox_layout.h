// x11_msgbox_layout.h - where everything in a message box goes: which buttons an MB_ style
// gets, how the text wraps, and the rectangles of icon, text and buttons. No drawing and no
// events here (x11_msgbox.cpp does those), so the layout can be checked on its own.
#pragma once

#include "platform/x11/x11_text.h"

#include <string>
#include <vector>

namespace velvix::x11 {

// The fontconfig name of the box's text font (text and button labels).
constexpr const char* kMessageBoxFont = "DejaVu Sans,sans-10";

struct BoxRect {
    int x = 0, y = 0, w = 0, h = 0;
    bool Contains(int px, int py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};

struct MessageBoxButton {
    const char* label; // "OK", "Yes", ...
    int id;            // IDOK, IDYES, ...
    char mnemonic;     // lower-case key that chooses it without focus, or 0
    BoxRect rect;
};

struct MessageBoxLayout {
    int width = 0, height = 0;      // the dialog's fixed size
    unsigned icon = 0;              // MB_ICONHAND / QUESTION / EXCLAMATION / ASTERISK, or 0
    BoxRect icon_rect;              // empty without an icon
    std::vector<std::string> lines; // wrapped UTF-8 text, top to bottom
    int text_x = 0, text_y = 0;     // top-left of the first line
    int line_height = 0;
    int band_y = 0;                        // top of the grey band that holds the buttons
    std::vector<MessageBoxButton> buttons; // left to right
    int default_button = 0;                // index into buttons
    int close_id = 0; // what Escape and the window manager's close answer; 0: nothing
};

// Buttons of an MB_ style, left to right. Unknown types are treated as MB_OK.
std::vector<MessageBoxButton> MessageBoxButtons(unsigned type);

// Lays out a box for UTF-8 `text` in `font`, at most `max_width` x `max_height` pixels (the
// monitor's size). Text that would make the box taller than that loses its last lines.
MessageBoxLayout LayoutMessageBox(const std::string& text, unsigned type, const TextFont& font,
                                  int max_width, int max_height);

} // namespace velvix::x11
