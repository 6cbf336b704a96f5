// fixtures.cpp - the texture tests' file builders, scratch folder and message-box recorder.
#include "textures/fixtures.h"

#include <cstdlib>
#include <cstdio>
#include <filesystem>

#include "platform/platform_ext.h"

namespace tex_test {

void Put16(Bytes& b, uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void Put32(Bytes& b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

Bytes TgaHeader(uint8_t type, uint16_t width, uint16_t height, uint8_t depth, uint8_t descriptor) {
    Bytes b = {0, 0, type, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    Put16(b, width);
    Put16(b, height);
    b.push_back(depth);
    b.push_back(descriptor);
    return b;
}

Bytes BmpFile(const BmpLayout& s) {
    Bytes info;
    Put32(info, s.headerSize);
    Put32(info, uint32_t(s.width));
    Put32(info, uint32_t(s.height));
    Put16(info, s.planes);
    Put16(info, s.bitCount);
    Put32(info, s.compression);
    Put32(info, s.sizeImage);
    Put32(info, 2835);
    Put32(info, 2835);
    Put32(info, s.clrUsed);
    Put32(info, 0);
    for (int i = 0; i < 4 && info.size() + 4 <= s.headerSize; ++i)
        Put32(info, s.masks[i]);
    info.resize(s.headerSize, 0);
    if (s.masksAfterHeader)
        for (int i = 0; i < 3; ++i)
            Put32(info, s.masks[i]);
    for (const RGBQUAD& c : s.colors) {
        info.push_back(c.rgbBlue);
        info.push_back(c.rgbGreen);
        info.push_back(c.rgbRed);
        info.push_back(c.rgbReserved);
    }
    const uint32_t off = s.offBits >= 0 ? uint32_t(s.offBits) : uint32_t(14 + info.size());
    Bytes file = {'B', 'M'};
    const size_t real = 14 + info.size() + s.pixels.size();
    Put32(file, s.fileSize >= 0 ? uint32_t(s.fileSize) : uint32_t(real));
    Put32(file, 0);
    Put32(file, off);
    file.insert(file.end(), info.begin(), info.end());
    file.insert(file.end(), s.pixels.begin(), s.pixels.end());
    return file;
}

Bytes CoreBmpFile(uint16_t width, uint16_t height, uint16_t bitCount,
                  const std::vector<RGBQUAD>& colors, const Bytes& pixels) {
    Bytes file = {'B', 'M'};
    const uint32_t off = 14 + 12 + uint32_t(colors.size()) * 3;
    Put32(file, off + uint32_t(pixels.size()));
    Put32(file, 0);
    Put32(file, off);
    Put32(file, 12);
    Put16(file, width);
    Put16(file, height);
    Put16(file, 1);
    Put16(file, bitCount);
    for (const RGBQUAD& c : colors) {
        file.push_back(c.rgbBlue);
        file.push_back(c.rgbGreen);
        file.push_back(c.rgbRed);
    }
    file.insert(file.end(), pixels.begin(), pixels.end());
    return file;
}

namespace {
struct Scratch {
    std::string path;
    Scratch() {
        char tmpl[] = "/tmp/velvix-textures-XXXXXX";
        path = mkdtemp(tmpl);
    }
    ~Scratch() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

BoxRecorder* g_recorder = nullptr;

int RecordBox(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
    if (g_recorder)
        g_recorder->boxes.push_back({owner, text ? text : "", caption ? caption : "", style});
    return IDOK;
}
} // namespace

const std::string& ScratchDir() {
    static Scratch scratch;
    return scratch.path;
}

std::string WriteFile(const std::string& name, const Bytes& bytes) {
    std::string path = ScratchDir() + "/" + name;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f) {
        if (!bytes.empty())
            std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    return path;
}

BoxRecorder::BoxRecorder() {
    g_recorder = this;
    VelvixSetMessageBoxHook(RecordBox);
}
BoxRecorder::~BoxRecorder() {
    VelvixSetMessageBoxHook(nullptr);
    g_recorder = nullptr;
}

} // namespace tex_test
