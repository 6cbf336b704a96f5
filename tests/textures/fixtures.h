// fixtures.h - small picture files built in code for the texture tests: TGA and bitmap file
// writers, a scratch folder, and a recorder of message boxes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace tex_test {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& b, uint32_t v);
void Put32(Bytes& b, uint32_t v);

// An 18-byte TGA header: image type, width, height, depth, descriptor; every other field 0.
Bytes TgaHeader(uint8_t type, uint16_t width, uint16_t height, uint8_t depth,
                uint8_t descriptor = 0);

// Bitmap file pieces. Info header of `size` bytes (40, 52, 56, 108, 124); masks are written
// into the header when it has room for them.
struct BmpLayout {
    int32_t width = 1, height = 1;
    uint16_t planes = 1, bitCount = 24;
    uint32_t compression = BI_RGB;
    uint32_t sizeImage = 0, clrUsed = 0;
    uint32_t headerSize = 40;
    uint32_t masks[4] = {0, 0, 0, 0};
    bool masksAfterHeader = false; // BI_BITFIELDS with a 40-byte header
    std::vector<RGBQUAD> colors;   // the colour table as written
    Bytes pixels;                  // the pixel data as written (rows padded by the caller)
    int64_t offBits = -1;          // -1: right after the colour table
    int64_t fileSize = -1;         // -1: the real size
};
Bytes BmpFile(const BmpLayout& layout);

// A core-header (12-byte) bitmap file with RGB-triple colour table.
Bytes CoreBmpFile(uint16_t width, uint16_t height, uint16_t bitCount,
                  const std::vector<RGBQUAD>& colors, const Bytes& pixels);

// A fresh folder for this test program's files, removed at exit.
const std::string& ScratchDir();
// Writes `bytes` to ScratchDir()/name and returns the full path.
std::string WriteFile(const std::string& name, const Bytes& bytes);

struct Box {
    HWND owner;
    std::string text, caption;
    UINT style;
};

// Captures every MessageBoxA call while alive.
class BoxRecorder {
public:
    BoxRecorder();
    ~BoxRecorder();
    std::vector<Box> boxes;
};

} // namespace tex_test
