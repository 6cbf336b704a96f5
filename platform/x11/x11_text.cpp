// x11_text.cpp - text conversion, wrapping and the Xft / core-font drawing behind our own X11
// controls. Does not shape complex scripts or handle right-to-left text: the program's texts
// are single-byte Western European.
#include "platform/x11/x11_text.h"

#include <algorithm>
#include <iconv.h>

#include <cerrno>
#include <cstring>

namespace velvix::x11 {

namespace {

constexpr char32_t kReplacement = 0xFFFD;
const char kReplacementUtf8[] = "\xEF\xBF\xBD";

// Code page 1252 without iconv: Latin-1 plus the 0x80..0x9F block. Used only where the C
// library has no converter for the code page.
char32_t Cp1252Fallback(unsigned char c) {
    static const char16_t high[32] = {
        0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
    return (c >= 0x80 && c < 0xA0) ? high[c - 0x80] : c;
}

} // namespace

std::string Cp1252ToUtf8(const char* text) {
    if (text == nullptr) {
        return {};
    }
    size_t left = std::strlen(text);
    std::string out;
    iconv_t cd = iconv_open("UTF-8", "WINDOWS-1252");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        std::u32string wide;
        for (size_t i = 0; i < left; ++i) {
            wide.push_back(Cp1252Fallback(static_cast<unsigned char>(text[i])));
        }
        return EncodeUtf8(wide);
    }
    char* in = const_cast<char*>(text);
    char chunk[256];
    while (left > 0) {
        char* dst = chunk;
        size_t room = sizeof chunk;
        size_t r = iconv(cd, &in, &left, &dst, &room);
        out.append(chunk, dst - chunk);
        if (r == static_cast<size_t>(-1)) {
            if (errno == E2BIG) {
                continue;
            }
            // EILSEQ / EINVAL: a byte the code page does not define; replace it and go on.
            out += kReplacementUtf8;
            ++in;
            --left;
        }
    }
    iconv_close(cd);
    return out;
}

std::u32string DecodeUtf8(const std::string& utf8) {
    std::u32string out;
    const auto* s = reinterpret_cast<const unsigned char*>(utf8.data());
    size_t n = utf8.size(), i = 0;
    while (i < n) {
        unsigned char c = s[i];
        int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        char32_t cp = extra == 0   ? c
                      : extra == 1 ? (c & 0x1F)
                      : extra == 2 ? (c & 0x0F)
                                   : (c & 0x07);
        bool good = false;
        if (extra >= 0 && i + static_cast<size_t>(extra) < n) {
            good = true;
            for (int k = 1; k <= extra; ++k) {
                unsigned char cc = s[i + k];
                if ((cc & 0xC0) != 0x80) {
                    good = false;
                    break;
                }
                cp = (cp << 6) | (cc & 0x3F);
            }
            // Overlong forms, surrogates and values past U+10FFFF are malformed too.
            static const char32_t min_for[4] = {0, 0x80, 0x800, 0x10000};
            if (good && (cp < min_for[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))) {
                good = false;
            }
        }
        if (good) {
            out.push_back(cp);
            i += 1 + extra;
        } else {
            out.push_back(kReplacement);
            ++i;
        }
    }
    return out;
}

std::string EncodeUtf8(const std::u32string& text) {
    std::string out;
    for (char32_t cp : text) {
        if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            cp = kReplacement;
        }
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

namespace {

// Wraps one paragraph (no line breaks in it) into `lines`.
void WrapParagraph(const std::u32string& para, int max_width,
                   const std::function<int(const std::string&)>& width,
                   std::vector<std::string>& lines) {
    auto measure = [&](size_t from, size_t to) {
        return width(EncodeUtf8(para.substr(from, to - from)));
    };
    size_t start = 0;
    const size_t n = para.size();
    while (true) {
        // Skip to the end of the longest run of words that fits, measuring the visible part
        // only: spaces at the end of a line take no room.
        size_t end = start, fit = start;
        while (end < n) {
            size_t word_end = end;
            while (word_end < n && para[word_end] == U' ') {
                ++word_end;
            }
            while (word_end < n && para[word_end] != U' ') {
                ++word_end;
            }
            if (measure(start, word_end) > max_width) {
                break;
            }
            fit = word_end;
            end = word_end;
        }
        if (fit == n) {
            lines.push_back(EncodeUtf8(para.substr(start)));
            return;
        }
        if (fit == start) {
            // Not even the first word fits: break it at the last character that does (at
            // least one character per line, so a very narrow width cannot loop forever).
            size_t word_start = start;
            while (word_start < n && para[word_start] == U' ') {
                ++word_start;
            }
            fit = word_start + 1;
            while (fit < n && para[fit] != U' ' && measure(start, fit + 1) <= max_width) {
                ++fit;
            }
        }
        lines.push_back(EncodeUtf8(para.substr(start, fit - start)));
        start = fit;
        while (start < n && para[start] == U' ') {
            ++start;
        }
        if (start == n) {
            return;
        }
    }
}

} // namespace

std::vector<std::string> WrapText(const std::string& utf8, int max_width,
                                  const std::function<int(const std::string&)>& width) {
    std::u32string text = DecodeUtf8(utf8);
    std::vector<std::string> lines;
    std::u32string para;
    for (size_t i = 0; i <= text.size(); ++i) {
        char32_t c = i < text.size() ? text[i] : U'\n';
        if (c == U'\r' || c == U'\n') {
            WrapParagraph(para, max_width, width, lines);
            para.clear();
            if (c == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n') {
                ++i;
            }
        } else if (c == U'\t') {
            para += U"    ";
        } else if (c >= 0x20 && c != 0x7F) {
            para += c;
        }
    }
    if (lines.empty()) {
        lines.emplace_back();
    }
    return lines;
}

Colour::Colour(Display* dpy, int screen, uint8_t r, uint8_t g, uint8_t b)
    : dpy_(dpy), screen_(screen) {
    XRenderColor rc{static_cast<unsigned short>(r * 257), static_cast<unsigned short>(g * 257),
                    static_cast<unsigned short>(b * 257), 0xFFFF};
    allocated_ = XftColorAllocValue(dpy, DefaultVisual(dpy, screen), DefaultColormap(dpy, screen),
                                    &rc, &xft_) != 0;
    if (!allocated_) {
        // A full colormap: settle for black or white, whichever is nearer.
        bool light = r + g + b > 3 * 128;
        xft_.pixel = light ? WhitePixel(dpy, screen) : BlackPixel(dpy, screen);
        unsigned short v = light ? 0xFFFF : 0;
        xft_.color = XRenderColor{v, v, v, 0xFFFF};
    }
}

Colour::~Colour() {
    if (allocated_) {
        XftColorFree(dpy_, DefaultVisual(dpy_, screen_), DefaultColormap(dpy_, screen_), &xft_);
    }
}

TextCanvas::TextCanvas(Display* dpy, int screen, Drawable drawable)
    : dpy_(dpy), drawable_(drawable) {
    gc_ = XCreateGC(dpy, drawable, 0, nullptr);
    xft_ = XftDrawCreate(dpy, drawable, DefaultVisual(dpy, screen), DefaultColormap(dpy, screen));
}

TextCanvas::~TextCanvas() {
    if (xft_ != nullptr) {
        XftDrawDestroy(xft_);
    }
    XFreeGC(dpy_, gc_);
}

TextFont::TextFont(Display* dpy, int screen, const char* xft_name, const char* core_name)
    : dpy_(dpy) {
    if (xft_name != nullptr) {
        xft_ = XftFontOpenName(dpy, screen, xft_name);
    }
    if (xft_ != nullptr) {
        ascent_ = xft_->ascent;
        descent_ = xft_->descent;
        return;
    }
    if (core_name != nullptr) {
        core_ = XLoadQueryFont(dpy, core_name);
    }
    if (core_ == nullptr) {
        core_ = XLoadQueryFont(dpy, "fixed");
    }
    if (core_ != nullptr) {
        core_two_byte_ = core_->min_byte1 != 0 || core_->max_byte1 != 0;
        ascent_ = core_->ascent;
        descent_ = core_->descent;
    }
}

TextFont::~TextFont() {
    if (xft_ != nullptr) {
        XftFontClose(dpy_, xft_);
    }
    if (core_ != nullptr) {
        XFreeFont(dpy_, core_);
    }
}

std::vector<XChar2b> TextFont::CoreChars(const std::string& utf8) const {
    std::vector<XChar2b> out;
    for (char32_t cp : DecodeUtf8(utf8)) {
        unsigned limit = core_two_byte_ ? 0xFFFF : 0xFF;
        if (cp > limit) {
            cp = core_two_byte_ ? kReplacement : U'?';
        }
        out.push_back(
            XChar2b{static_cast<unsigned char>(cp >> 8), static_cast<unsigned char>(cp & 0xFF)});
    }
    return out;
}

int TextFont::Width(const std::string& utf8) const {
    if (xft_ != nullptr) {
        // Xft reports the advance in 16 bits, so a long text would wrap around: measure it in
        // pieces short enough to stay far below that, cut between characters.
        constexpr size_t kPiece = 256;
        int total = 0;
        for (size_t at = 0; at < utf8.size();) {
            size_t end = std::min(utf8.size(), at + kPiece);
            while (end < utf8.size() && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) {
                ++end;
            }
            XGlyphInfo info{};
            XftTextExtentsUtf8(dpy_, xft_, reinterpret_cast<const FcChar8*>(utf8.data() + at),
                               static_cast<int>(end - at), &info);
            total += info.xOff;
            at = end;
        }
        return total;
    }
    if (core_ != nullptr) {
        std::vector<XChar2b> chars = CoreChars(utf8);
        return XTextWidth16(core_, chars.data(), static_cast<int>(chars.size()));
    }
    return 0;
}

bool TextFont::HasGlyph(char32_t ch) const {
    if (xft_ != nullptr) {
        return XftCharExists(dpy_, xft_, ch) != 0;
    }
    if (core_ == nullptr) {
        return false;
    }
    unsigned b1 = ch >> 8, b2 = ch & 0xFF;
    if (ch > 0xFFFF || b1 < core_->min_byte1 || b1 > core_->max_byte1 ||
        b2 < core_->min_char_or_byte2 || b2 > core_->max_char_or_byte2) {
        return false;
    }
    if (core_->per_char == nullptr) {
        return true;
    }
    unsigned cols = core_->max_char_or_byte2 - core_->min_char_or_byte2 + 1;
    const XCharStruct& cs =
        core_->per_char[(b1 - core_->min_byte1) * cols + (b2 - core_->min_char_or_byte2)];
    return cs.width != 0 || cs.ascent != 0 || cs.descent != 0;
}

void TextFont::Draw(const TextCanvas& canvas, int x, int baseline, const std::string& utf8,
                    const Colour& colour) const {
    if (xft_ != nullptr && canvas.xft() != nullptr) {
        XftDrawStringUtf8(canvas.xft(), colour.xft(), xft_, x, baseline,
                          reinterpret_cast<const FcChar8*>(utf8.data()),
                          static_cast<int>(utf8.size()));
        return;
    }
    if (core_ != nullptr) {
        std::vector<XChar2b> chars = CoreChars(utf8);
        XSetFont(dpy_, canvas.gc(), core_->fid);
        XSetForeground(dpy_, canvas.gc(), colour.pixel());
        XDrawString16(dpy_, canvas.drawable(), canvas.gc(), x, baseline, chars.data(),
                      static_cast<int>(chars.size()));
    }
}

} // namespace velvix::x11
