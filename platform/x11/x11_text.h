// x11_text.h - text for our own X11 controls (message box, status bar): Windows-1252 to UTF-8
// conversion, line wrapping, and one font type that draws anti-aliased through Xft and falls
// back to a core X font when Xft cannot load one. Platform-internal: includes Xlib and Xft, so
// only platform files (and the platform's own tests) include it.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xft/Xft.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace velvix::x11 {

// Converts zero-terminated Windows-1252 text to UTF-8. The five bytes the code page leaves
// undefined (and anything iconv cannot map) become U+FFFD; null gives "".
std::string Cp1252ToUtf8(const char* text);

// Decodes UTF-8 into code points; malformed sequences become U+FFFD, one per bad byte.
std::u32string DecodeUtf8(const std::string& utf8);

// Encodes code points as UTF-8.
std::string EncodeUtf8(const std::u32string& text);

// Breaks UTF-8 text into lines for display: at "\n", "\r\n" and "\r", then greedily at spaces
// so that no line is wider than `max_width` as measured by `width`, and inside a word that is
// wider than that on its own. Tabs become four spaces; other control characters are dropped.
// An empty text gives one empty line.
std::vector<std::string> WrapText(const std::string& utf8, int max_width,
                                  const std::function<int(const std::string&)>& width);

// An RGB colour allocated on a screen's default colormap, usable by GCs (pixel()) and Xft.
class Colour {
public:
    Colour(Display* dpy, int screen, uint8_t r, uint8_t g, uint8_t b);
    ~Colour();
    Colour(const Colour&) = delete;
    Colour& operator=(const Colour&) = delete;

    unsigned long pixel() const { return xft_.pixel; }
    const XftColor* xft() const { return &xft_; }

private:
    Display* dpy_;
    int screen_;
    bool allocated_ = false;
    XftColor xft_{};
};

// A drawable on a screen's default visual with the two ways to draw on it: a GC for shapes
// and core text, and an Xft draw for anti-aliased text.
class TextCanvas {
public:
    TextCanvas(Display* dpy, int screen, Drawable drawable);
    ~TextCanvas();
    TextCanvas(const TextCanvas&) = delete;
    TextCanvas& operator=(const TextCanvas&) = delete;

    Display* display() const { return dpy_; }
    Drawable drawable() const { return drawable_; }
    GC gc() const { return gc_; }
    XftDraw* xft() const { return xft_; }

private:
    Display* dpy_;
    Drawable drawable_;
    GC gc_;
    XftDraw* xft_;
};

// A font for UTF-8 text: the Xft font named by `xft_name` (a fontconfig name such as
// "DejaVu Sans,sans-10"), or, when that is null or Xft cannot open it, the core font
// `core_name` and then "fixed". ok() is false only when no font at all could be had; such a
// font measures every text as 0 wide and draws nothing, so callers still work.
class TextFont {
public:
    static constexpr const char* kDefaultCore =
        "-misc-fixed-medium-r-normal--13-*-*-*-*-*-iso10646-1";

    TextFont(Display* dpy, int screen, const char* xft_name, const char* core_name = kDefaultCore);
    ~TextFont();
    TextFont(const TextFont&) = delete;
    TextFont& operator=(const TextFont&) = delete;

    bool ok() const { return xft_ != nullptr || core_ != nullptr; }
    bool antialiased() const { return xft_ != nullptr; }
    int ascent() const { return ascent_; }
    int descent() const { return descent_; }
    int height() const { return ascent_ + descent_; }

    // Advance width of the text in pixels.
    int Width(const std::string& utf8) const;
    // True when the font has its own glyph for `ch` (not a replacement box).
    bool HasGlyph(char32_t ch) const;
    // Draws the text with its baseline at `baseline`.
    void Draw(const TextCanvas& canvas, int x, int baseline, const std::string& utf8,
              const Colour& colour) const;

private:
    std::vector<XChar2b> CoreChars(const std::string& utf8) const;

    Display* dpy_;
    XftFont* xft_ = nullptr;
    XFontStruct* core_ = nullptr;
    bool core_two_byte_ = false;
    int ascent_ = 0, descent_ = 0;
};

} // namespace velvix::x11
