// differential_test.cpp - our TGA reader and our bitmap decoder against an independent decoder
// (stb_image) on generated files of every variant both understand: the same pixels.
#include <gtest/gtest.h>

#include <cstdlib>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_BMP
#define STBI_ONLY_TGA
#include <stb/stb_image.h>

#include "framework/textures/tga.h"
#include "platform/gdi/bmp_decode.h"
#include "textures/fixtures.h"

using namespace tex_test;

namespace {

// Deterministic pixels with long runs and noise, so run-length files get both packet kinds.
Bytes Pixels(int w, int h, int bpp, uint32_t seed) {
    Bytes out(size_t(w) * h * bpp);
    uint32_t s = seed;
    for (size_t i = 0; i < out.size(); i += bpp) {
        s = s * 1664525u + 1013904223u;
        const bool repeat = i >= size_t(bpp) && (s >> 28) < 10;
        for (int c = 0; c < bpp; ++c)
            out[i + c] = repeat ? out[i - bpp + c] : uint8_t(s >> (8 + 5 * c));
    }
    return out;
}

// Run-length encodes file-order pixels into TGA packets (runs may cross rows).
Bytes Rle(const Bytes& px, int bpp) {
    Bytes out;
    const size_t n = px.size() / bpp;
    auto same = [&](size_t a, size_t b) {
        return std::equal(px.begin() + a * bpp, px.begin() + a * bpp + bpp, px.begin() + b * bpp);
    };
    for (size_t i = 0; i < n;) {
        size_t run = 1;
        while (i + run < n && run < 128 && same(i, i + run))
            ++run;
        if (run > 1) {
            out.push_back(uint8_t(0x80 | (run - 1)));
            out.insert(out.end(), px.begin() + i * bpp, px.begin() + (i + 1) * bpp);
            i += run;
            continue;
        }
        size_t raw = 1;
        while (i + raw < n && raw < 128 && !(i + raw + 1 < n && same(i + raw, i + raw + 1)))
            ++raw;
        out.push_back(uint8_t(raw - 1));
        out.insert(out.end(), px.begin() + i * bpp, px.begin() + (i + raw) * bpp);
        i += raw;
    }
    return out;
}

} // namespace

TEST(Differential, TgaReaderMatchesAnIndependentDecoder) {
    for (int type : {2, 10})
        for (int depth : {24, 32})
            for (auto [w, h] : {std::pair{1, 1}, {7, 5}, {64, 3}, {130, 9}}) {
                SCOPED_TRACE(testing::Message()
                             << "type " << type << " depth " << depth << " " << w << "x" << h);
                const int bpp = depth / 8;
                const Bytes px = Pixels(w, h, bpp, uint32_t(w * 31 + h + depth + type));
                Bytes file = TgaHeader(uint8_t(type), uint16_t(w), uint16_t(h), uint8_t(depth));
                const Bytes body = type == 2 ? px : Rle(px, bpp);
                file.insert(file.end(), body.begin(), body.end());
                const std::string path = WriteFile("d.tga", file);

                velvix::TGATexture tex = {};
                BoxRecorder boxes;
                ASSERT_TRUE(velvix::LoadTGA(tex, path));
                int sw, sh, sc;
                stbi_uc* ref = stbi_load(path.c_str(), &sw, &sh, &sc, bpp);
                ASSERT_NE(ref, nullptr) << stbi_failure_reason();
                ASSERT_EQ(sw, w);
                ASSERT_EQ(sh, h);
                // Ours keeps the file's row order; the reference turns a bottom-up file over.
                const size_t row = size_t(w) * bpp;
                for (int y = 0; y < h; ++y)
                    ASSERT_EQ(0, memcmp(tex.ImageData + y * row, ref + (h - 1 - y) * row, row))
                        << "row " << y;
                stbi_image_free(ref);
                std::free(tex.ImageData);
            }
}

TEST(Differential, BitmapDecoderMatchesAnIndependentDecoder) {
    struct Variant {
        const char* name;
        uint16_t bits;
        uint32_t compression;
        uint32_t masks[3];
    };
    const Variant variants[] = {
        {"1 bit", 1, BI_RGB, {}},
        {"4 bits", 4, BI_RGB, {}},
        {"8 bits", 8, BI_RGB, {}},
        {"16 bits 555", 16, BI_RGB, {}},
        {"16 bits 565", 16, BI_BITFIELDS, {0xF800, 0x07E0, 0x001F}},
        {"24 bits", 24, BI_RGB, {}},
        {"32 bits", 32, BI_RGB, {}},
        {"32 bits fields", 32, BI_BITFIELDS, {0x00FF0000, 0x0000FF00, 0x000000FF}},
    };
    for (const Variant& v : variants)
        for (int h : {5, -5}) {
            const int w = 13;
            SCOPED_TRACE(testing::Message() << v.name << (h < 0 ? " top-down" : " bottom-up"));
            BmpSpec s;
            s.width = w, s.height = h, s.bitCount = v.bits, s.compression = v.compression;
            s.masksAfterHeader = v.compression == BI_BITFIELDS;
            for (int i = 0; i < 3; ++i)
                s.masks[i] = v.masks[i];
            if (v.bits <= 8)
                for (int i = 0; i < (1 << v.bits); ++i)
                    s.colors.push_back({uint8_t(i * 7), uint8_t(255 - i), uint8_t(i * 3), 0});
            const size_t stride = ((size_t(w) * v.bits + 31) / 32) * 4;
            s.pixels = Pixels(int(stride), 5, 1, v.bits * 5u + (h < 0));
            if (v.bits == 32) // opaque, so both decoders agree on what alpha means
                for (size_t i = 3; i < s.pixels.size(); i += 4)
                    s.pixels[i] = 255;
            const Bytes file = BmpFile(s);

            velvix_platform::DibImage dib;
            ASSERT_EQ(velvix_platform::DecodeBmp(file.data(), file.size(), &dib), nullptr);
            int sw, sh, sc;
            stbi_uc* ref = stbi_load_from_memory(file.data(), int(file.size()), &sw, &sh, &sc, 4);
            ASSERT_NE(ref, nullptr) << stbi_failure_reason();
            ASSERT_EQ(sw, w);
            ASSERT_EQ(sh, 5);
            Bytes row(size_t(w) * 4);
            for (int y = 0; y < 5; ++y) { // y counts from the top of the picture
                const int memoryRow = h > 0 ? 4 - y : y;
                velvix_platform::DibRowToRgba(dib, memoryRow, row.data());
                for (int x = 0; x < w; ++x)
                    for (int c = 0; c < 3; ++c)
                        ASSERT_EQ(row[4 * x + c], ref[(y * w + x) * 4 + c])
                            << "x " << x << " y " << y << " channel " << c;
            }
            stbi_image_free(ref);
        }
}
