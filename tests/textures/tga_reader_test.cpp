// tga_reader_test.cpp - LoadTGA on files built here: every refusal with its one message box,
// caption and release, and the decoding of both body variants.
#include <gtest/gtest.h>

#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <functional>
#include <string>

#include "framework/textures/tga.h"
#include "textures/fixtures.h"

using namespace tex_test;
using velvix::LoadTGA;
using velvix::TGATexture;

namespace {

int OpenFdCount() {
    int n = 0;
    if (DIR* d = opendir("/proc/self/fd")) {
        while (readdir(d))
            ++n;
        closedir(d);
    }
    return n;
}

Bytes Cat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes Prefix(Bytes b, size_t n) {
    b.resize(n);
    return b;
}

// A file whose header is the type 2 template with one byte changed.
Bytes Altered(size_t offset, uint8_t value) {
    Bytes b = Cat(TgaHeader(2, 1, 1, 24), {1, 2, 3});
    b[offset] = value;
    return b;
}

struct Loaded {
    bool ok;
    TGATexture tex;
    std::vector<Box> boxes;
    Bytes pixels() const {
        return Bytes(tex.ImageData, tex.ImageData + size_t(tex.Width) * tex.Height * tex.Bpp / 8);
    }
};

Loaded Load(const std::string& path) {
    BoxRecorder rec;
    Loaded r{};
    r.tex.TexID = 77;
    r.ok = LoadTGA(r.tex, path);
    r.boxes = rec.boxes;
    return r;
}

Loaded LoadBytes(const Bytes& bytes) {
    return Load(WriteFile("t.tga", bytes));
}

struct Refusal {
    const char* name;
    std::function<std::string()> make; // returns the path to load
    const char* text;
    const char* caption;
};

std::string File(const Bytes& b) {
    return WriteFile("refused.tga", b);
}

} // namespace

TEST(TgaReader, EveryRefusalShowsOneBoxClosesTheFileAndHoldsNoMemory) {
    const Bytes rle24x2x2 = TgaHeader(10, 2, 2, 24);
    const std::vector<Refusal> cases = {
        {"missing", [] { return ScratchDir() + "/no-such.tga"; }, "Could not open texture file",
         "ERROR"},
        {"directory", [] { return ScratchDir(); }, "Could not open texture file", "ERROR"},
        {"empty", [] { return File({}); }, "Could not read file header", "ERROR"},
        {"11 bytes", [] { return File(Bytes(11, 0)); }, "Could not read file header", "ERROR"},
        {"type 3", [] { return File(Altered(2, 3)); }, "TGA file be type 2 or type 10",
         "Invalid Image"},
        {"type 1", [] { return File(Altered(2, 1)); }, "TGA file be type 2 or type 10",
         "Invalid Image"},
        {"type 9", [] { return File(Altered(2, 9)); }, "TGA file be type 2 or type 10",
         "Invalid Image"},
        {"type 11", [] { return File(Altered(2, 11)); }, "TGA file be type 2 or type 10",
         "Invalid Image"},
        {"id field", [] { return File(Altered(0, 4)); }, "TGA file be type 2 or type 10",
         "Invalid Image"},
        {"colour map", [] { return File(Altered(1, 1)); }, "TGA file be type 2 or type 10",
         "Invalid Image"},
        {"colour map entry size", [] { return File(Altered(7, 24)); },
         "TGA file be type 2 or type 10", "Invalid Image"},
        {"x origin", [] { return File(Altered(8, 1)); }, "TGA file be type 2 or type 10",
         "Invalid Image"},
        {"y origin", [] { return File(Altered(11, 1)); }, "TGA file be type 2 or type 10",
         "Invalid Image"},
        {"only the file header", [] { return File(Prefix(TgaHeader(2, 1, 1, 24), 12)); },
         "Could not read info header", "ERROR"},
        {"info header cut", [] { return File(Prefix(TgaHeader(10, 1, 1, 24), 17)); },
         "Could not read info header", "ERROR"},
        {"width 0", [] { return File(TgaHeader(2, 0, 1, 24)); }, "Invalid texture information",
         "ERROR"},
        {"height 0", [] { return File(TgaHeader(10, 1, 0, 32)); }, "Invalid texture information",
         "ERROR"},
        {"depth 8", [] { return File(TgaHeader(2, 1, 1, 8)); }, "Invalid texture information",
         "ERROR"},
        {"depth 15", [] { return File(TgaHeader(2, 1, 1, 15)); }, "Invalid texture information",
         "ERROR"},
        {"depth 16", [] { return File(TgaHeader(10, 1, 1, 16)); }, "Invalid texture information",
         "ERROR"},
        // 65535 x 65535 x 4 overflows 32 bits; 32768 x 16384 x 4 is the limit plus one.
        {"largest", [] { return File(TgaHeader(2, 65535, 65535, 32)); },
         "Could not allocate memory for image", "ERROR"},
        {"limit + 1", [] { return File(TgaHeader(10, 32768, 16384, 32)); },
         "Could not allocate memory for image", "ERROR"},
        {"type 2 one byte short",
         [] {
             return File(Cat(TgaHeader(2, 2, 1, 24), {1, 2, 3, 4, 5}));
         },
         "Could not read image data", "ERROR"},
        {"type 10 no packets", [=] { return File(rle24x2x2); }, "Could not read RLE header",
         "ERROR"},
        {"type 10 ends at a packet boundary",
         [=] {
             return File(Cat(rle24x2x2, {0x82, 1, 2, 3}));
         },
         "Could not read RLE header", "ERROR"},
        {"type 10 raw pixel cut",
         [=] {
             return File(Cat(rle24x2x2, {0x01, 1, 2, 3, 4, 5}));
         },
         "Could not read image data", "ERROR"},
        {"type 10 run pixel cut",
         [=] {
             return File(Cat(rle24x2x2, {0x80, 1, 2}));
         },
         "Could not read from file", "ERROR"},
        {"type 10 run past the image",
         [=] {
             return File(Cat(rle24x2x2, {0x84, 1, 2, 3}));
         },
         "Too many pixels read", "ERROR"},
        {"type 10 raw past the image",
         [=] {
             return File(Cat(rle24x2x2, {0x82, 9, 9, 9, 0x01, 1, 2, 3, 4, 5, 6}));
         },
         "Too many pixels read", "ERROR"},
        // Pixel 5 of the raw packet is cut: its read fails before it would be stored.
        {"type 10 raw past the image and cut",
         [=] {
             return File(Cat(rle24x2x2, {0x82, 9, 9, 9, 0x01, 1, 2, 3}));
         },
         "Could not read image data", "ERROR"},
    };
    const int fds = OpenFdCount();
    for (const Refusal& c : cases) {
        SCOPED_TRACE(c.name);
        Loaded r = Load(c.make());
        EXPECT_FALSE(r.ok);
        ASSERT_EQ(r.boxes.size(), 1u);
        EXPECT_EQ(r.boxes[0].text, c.text);
        EXPECT_EQ(r.boxes[0].caption, c.caption);
        EXPECT_EQ(r.boxes[0].owner, nullptr);
        EXPECT_EQ(r.boxes[0].style, 0u);
        EXPECT_EQ(r.tex.ImageData, nullptr);
        EXPECT_EQ(r.tex.TexID, 77u);
        EXPECT_EQ(velvix::fTGA, nullptr);
        EXPECT_EQ(OpenFdCount(), fds);
    }
}

TEST(TgaReader, UncompressedSwapsRedAndBlueAndKeepsFileRowOrder) {
    struct Case {
        const char* name;
        Bytes file;
        uint32_t bpp, typ, width, height;
        Bytes expect;
    };
    const std::vector<Case> cases = {
        {"24 bits",
         Cat(TgaHeader(2, 2, 1, 24), {1, 2, 3, 4, 5, 6}),
         24,
         0x1907,
         2,
         1,
         {3, 2, 1, 6, 5, 4}},
        {"32 bits, alpha stays last",
         Cat(TgaHeader(2, 1, 1, 32), {0x10, 0x20, 0x30, 0x40}),
         32,
         0x1908,
         1,
         1,
         {0x30, 0x20, 0x10, 0x40}},
        {"bytes after the data ignored",
         Cat(TgaHeader(2, 1, 1, 24), {1, 2, 3, 'T', 'R', 'U'}),
         24,
         0x1907,
         1,
         1,
         {3, 2, 1}},
        // 3-pixel rows of 9 bytes, with the top-left origin bit set: rows still in file order.
        {"origin bit ignored",
         Cat(TgaHeader(2, 3, 2, 24, 0x20), {1, 0, 0, 2, 0, 0, 3, 0, 0, 4, 0, 0, 5, 0, 0, 6, 0, 0}),
         24,
         0x1907,
         3,
         2,
         {0, 0, 1, 0, 0, 2, 0, 0, 3, 0, 0, 4, 0, 0, 5, 0, 0, 6}},
        {"width bytes 00 01 mean 256", Cat(TgaHeader(2, 256, 1, 24), Bytes(768, 7)), 24, 0x1907,
         256, 1, Bytes(768, 7)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Loaded r = LoadBytes(c.file);
        ASSERT_TRUE(r.ok);
        EXPECT_TRUE(r.boxes.empty());
        EXPECT_EQ(r.tex.Bpp, c.bpp);
        EXPECT_EQ(r.tex.Typ, c.typ);
        EXPECT_EQ(r.tex.Width, c.width);
        EXPECT_EQ(r.tex.Height, c.height);
        EXPECT_EQ(r.tex.TexID, 77u);
        EXPECT_EQ(r.pixels(), c.expect);
        EXPECT_EQ(velvix::fTGA, nullptr);
        std::free(r.tex.ImageData);
    }
}

TEST(TgaReader, RunLengthPacketsFormOneStreamAcrossRows) {
    auto px = [](int i) { return Bytes{uint8_t(i), uint8_t(i + 1), uint8_t(i + 2)}; };
    auto rgb = [](int i) { return Bytes{uint8_t(i + 2), uint8_t(i + 1), uint8_t(i)}; };
    auto repeat = [](const Bytes& b, int n) {
        Bytes out;
        for (int i = 0; i < n; ++i)
            out.insert(out.end(), b.begin(), b.end());
        return out;
    };
    Bytes raw4 = {0x03};
    Bytes raw4px;
    for (int i = 0; i < 4; ++i)
        raw4px = Cat(raw4px, px(10 * i));
    Bytes raw128 = {0x7F}, raw128rgb;
    for (int i = 0; i < 128; ++i)
        raw128 = Cat(raw128, px(i)), raw128rgb = Cat(raw128rgb, rgb(i));

    struct Case {
        const char* name;
        Bytes file;
        Bytes expect;
    };
    const std::vector<Case> cases = {
        {"run 0x83 gives four equal pixels", Cat(TgaHeader(10, 4, 1, 24), Cat({0x83}, px(1))),
         repeat(rgb(1), 4)},
        {"raw 0x03 gives the type 2 bytes", Cat(TgaHeader(10, 4, 1, 24), Cat(raw4, raw4px)),
         Cat(Cat(rgb(0), rgb(10)), Cat(rgb(20), rgb(30)))},
        {"0x00 and 0x80 each cover one pixel",
         Cat(TgaHeader(10, 2, 1, 24), Cat(Cat({0x00}, px(1)), Cat({0x80}, px(5)))),
         Cat(rgb(1), rgb(5))},
        {"0x7F and 0xFF each cover 128 (raw row, then run row)",
         Cat(TgaHeader(10, 128, 2, 24), Cat(raw128, Cat({0xFF}, px(50)))),
         Cat(raw128rgb, repeat(rgb(50), 128))},
        {"a run of 128 fills two rows of 64", Cat(TgaHeader(10, 64, 2, 24), Cat({0xFF}, px(9))),
         repeat(rgb(9), 128)},
        {"raw and run packets cross row ends",
         Cat(TgaHeader(10, 3, 2, 24), Cat(Cat(raw4, raw4px), Cat({0x81}, px(7)))),
         Cat(Cat(Cat(rgb(0), rgb(10)), Cat(rgb(20), rgb(30))), repeat(rgb(7), 2))},
        {"32-bit run keeps alpha last", Cat(TgaHeader(10, 3, 1, 32), {0x82, 1, 2, 3, 4}),
         repeat({3, 2, 1, 4}, 3)},
        {"32-bit raw",
         Cat(TgaHeader(10, 2, 1, 32), {0x01, 1, 2, 3, 4, 5, 6, 7, 8}),
         {3, 2, 1, 4, 7, 6, 5, 8}},
        {"bytes after the last packet ignored",
         Cat(TgaHeader(10, 1, 1, 24), Cat(Cat({0x80}, px(3)), {0x85, 0, 0})), rgb(3)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Loaded r = LoadBytes(c.file);
        ASSERT_TRUE(r.ok);
        EXPECT_TRUE(r.boxes.empty());
        EXPECT_EQ(r.pixels(), c.expect);
        std::free(r.tex.ImageData);
    }
}

TEST(TgaReader, OpensTheNameAsGivenNotCutTo255Characters) {
    // Two files whose names agree in their first 255 characters: only the named one may open.
    namespace fs = std::filesystem;
    std::string dir = ScratchDir() + "/" + std::string(200, 'd');
    fs::create_directories(dir);
    std::string full = dir + "/" + std::string(120, 'n') + ".tga";
    ASSERT_GT(full.size(), 255u);
    std::string cut = full.substr(0, 255);
    WriteFile(fs::relative(full, ScratchDir()).string(), Cat(TgaHeader(2, 1, 1, 24), {1, 2, 3}));
    WriteFile(fs::relative(cut, ScratchDir()).string(), Cat(TgaHeader(2, 1, 1, 24), {7, 8, 9}));

    Loaded r = Load(full);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.pixels(), (Bytes{3, 2, 1}));
    std::free(r.tex.ImageData);

    // A name with a zero byte inside is not cut there either.
    Loaded z = Load(cut + std::string(1, '\0') + "x");
    EXPECT_FALSE(z.ok);
    ASSERT_EQ(z.boxes.size(), 1u);
    EXPECT_EQ(z.boxes[0].text, "Could not open texture file");
}
