// differential_test.cpp - our TGA reader and our bitmap loader against an independent decoder
// (stb_image) on generated pictures of every variant we read: the same pixels.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_BMP
#define STBI_ONLY_TGA
#include <stb/stb_image.h>

#include "framework/textures/tga.h"
#include "platform/gdi/bitmap.h"
#include "textures/fixtures.h"

using namespace tex_test;

namespace {

// Deterministic picture content with long runs of equal pixels and noisy stretches, so the
// run-length encoder below makes both kinds of packet, across row ends.
struct Rng {
    uint32_t s;
    uint32_t Next() {
        s ^= s << 13, s ^= s >> 17, s ^= s << 5;
        return s;
    }
};

Bytes Pixels(int w, int h, int bpp, uint32_t seed) {
    Rng rng{seed};
    Bytes out;
    uint8_t current[4] = {1, 2, 3, 4};
    for (int i = 0; i < w * h; ++i) {
        if (rng.Next() % 4 != 0)
            for (int c = 0; c < bpp; ++c)
                current[c] = uint8_t(rng.Next());
        out.insert(out.end(), current, current + bpp);
    }
    return out;
}

Bytes RleEncode(const Bytes& px, int bpp) {
    const size_t n = px.size() / bpp;
    Bytes out;
    size_t i = 0;
    auto same = [&](size_t a, size_t b) {
        return std::memcmp(&px[a * bpp], &px[b * bpp], bpp) == 0;
    };
    while (i < n) {
        size_t run = 1;
        while (i + run < n && run < 128 && same(i, i + run))
            ++run;
        if (run >= 2) {
            out.push_back(uint8_t(0x80 | (run - 1)));
            out.insert(out.end(), &px[i * bpp], &px[i * bpp] + bpp);
            i += run;
            continue;
        }
        size_t raw = 1;
        while (i + raw < n && raw < 128 && !(i + raw + 1 < n && same(i + raw, i + raw + 1)))
            ++raw;
        out.push_back(uint8_t(raw - 1));
        out.insert(out.end(), &px[i * bpp], &px[(i + raw) * bpp]);
        i += raw;
    }
    return out;
}

struct StbImage {
    int w = 0, h = 0;
    Bytes rgba;
};

StbImage Stb(const Bytes& file) {
    StbImage r;
    int comp = 0;
    stbi_uc* p = stbi_load_from_memory(file.data(), int(file.size()), &r.w, &r.h, &comp, 4);
    if (p) {
        r.rgba.assign(p, p + size_t(r.w) * r.h * 4);
        stbi_image_free(p);
    }
    return r;
}

Bytes FlipRows(const Bytes& px, int w, int h, int bpp) {
    Bytes out(px.size());
    for (int y = 0; y < h; ++y)
        std::memcpy(&out[size_t(y) * w * bpp], &px[size_t(h - 1 - y) * w * bpp], size_t(w) * bpp);
    return out;
}

Bytes ToRgba(const Bytes& px, int bpp) {
    Bytes out;
    for (size_t i = 0; i < px.size(); i += bpp)
        out.insert(out.end(), {px[i], px[i + 1], px[i + 2], bpp == 4 ? px[i + 3] : uint8_t(255)});
    return out;
}

} // namespace

TEST(Differential, TgaReaderMatchesStbOnEveryVariant) {
    const int w = 37, h = 23;
    for (int type : {2, 10}) {
        for (int bpp : {3, 4}) {
            for (uint8_t descriptor : {uint8_t(0x20), uint8_t(0x00)}) {
                SCOPED_TRACE(testing::Message() << "type " << type << " bpp " << bpp * 8
                                                << " descriptor " << int(descriptor));
                Bytes px = Pixels(w, h, bpp, 7 + type + bpp);
                Bytes file = TgaHeader(uint8_t(type), w, h, uint8_t(bpp * 8),
                                       uint8_t(descriptor | (bpp == 4 ? 8 : 0)));
                Bytes body = type == 2 ? px : RleEncode(px, bpp);
                file.insert(file.end(), body.begin(), body.end());

                StbImage ref = Stb(file);
                ASSERT_EQ(ref.w, w);
                ASSERT_EQ(ref.h, h);
                velvix::TGATexture tex = {};
                BoxRecorder boxes;
                ASSERT_TRUE(velvix::LoadTGA(tex, WriteFile("diff.tga", file)));
                Bytes ours(tex.ImageData, tex.ImageData + size_t(w) * h * bpp);
                std::free(tex.ImageData);
                // We keep rows in file order; the reference turns bottom-left files upright.
                if (!(descriptor & 0x20))
                    ours = FlipRows(ours, w, h, bpp);
                EXPECT_EQ(ToRgba(ours, bpp), ref.rgba);
            }
        }
    }
}

TEST(Differential, BitmapLoaderMatchesStbOnEveryVariant) {
    Rng rng{99};
    const int w = 13, h = 5;
    std::vector<RGBQUAD> palette(256);
    for (RGBQUAD& c : palette)
        c = RGBQUAD{uint8_t(rng.Next()), uint8_t(rng.Next()), uint8_t(rng.Next()), 0};
    auto raw = [&](int bits) {
        Bytes px(((size_t(w) * bits + 31) / 32) * 4 * h);
        for (uint8_t& b : px)
            b = uint8_t(rng.Next());
        return px;
    };
    auto layout = [&](int bits, uint32_t headerSize = 40) {
        BmpLayout s;
        s.width = w, s.height = h, s.bitCount = uint16_t(bits), s.headerSize = headerSize;
        if (bits <= 8)
            s.colors.assign(palette.begin(), palette.begin() + (1 << bits));
        s.pixels = raw(bits);
        return s;
    };
    std::vector<std::pair<std::string, Bytes>> files;
    for (int bits : {1, 4, 8, 24, 32})
        files.push_back({std::to_string(bits) + " bits", BmpFile(layout(bits))});
    BmpLayout top = layout(24);
    top.height = -h;
    files.push_back({"24 bits top-down", BmpFile(top)});
    BmpLayout top32 = layout(32);
    top32.height = -h;
    files.push_back({"32 bits top-down", BmpFile(top32)});
    BmpLayout s555 = layout(16);
    files.push_back({"16 bits 5-5-5", BmpFile(s555)});
    BmpLayout s565 = layout(16);
    s565.compression = BI_BITFIELDS, s565.masksAfterHeader = true;
    s565.masks[0] = 0xF800, s565.masks[1] = 0x07E0, s565.masks[2] = 0x001F;
    files.push_back({"16 bits 5-6-5", BmpFile(s565)});
    BmpLayout v5 = layout(32, 124);
    v5.compression = BI_BITFIELDS;
    v5.masks[0] = 0x00FF0000, v5.masks[1] = 0x0000FF00, v5.masks[2] = 0x000000FF,
    v5.masks[3] = 0xFF000000;
    files.push_back({"32 bits V5 with alpha", BmpFile(v5)});
    BmpLayout v4 = layout(8, 108);
    files.push_back({"8 bits V4 header", BmpFile(v4)});
    files.push_back({"core 24 bits", CoreBmpFile(w, h, 24, {}, raw(24))});
    // The reference reads a core-header colour table a few entries short of 256, so this
    // picture keeps to the first 128 colours.
    Bytes low = raw(8);
    for (uint8_t& b : low)
        b &= 0x7F;
    files.push_back({"core 8 bits", CoreBmpFile(w, h, 8, palette, low)});

    for (const auto& [name, file] : files) {
        SCOPED_TRACE(name);
        StbImage ref = Stb(file);
        ASSERT_EQ(ref.w, w) << stbi_failure_reason();
        HANDLE handle = LoadImageA(nullptr, WriteFile("diff.bmp", file).c_str(), IMAGE_BITMAP, 0, 0,
                                   LR_LOADFROMFILE | LR_CREATEDIBSECTION);
        ASSERT_NE(handle, nullptr);
        const auto* bmp = velvix_platform::GdiLookupAs<velvix_platform::GdiBitmap>(handle);
        ASSERT_NE(bmp, nullptr);
        const velvix_platform::DibImage& d = bmp->image;
        Bytes ours(size_t(w) * h * 4);
        for (int y = 0; y < h; ++y)
            velvix_platform::DibRowToRgba(d, d.height > 0 ? h - 1 - y : y,
                                          &ours[size_t(y) * w * 4]);
        // Without an alpha mask the fourth byte is not alpha; compare colours only.
        if (d.masks[3] == 0)
            for (size_t i = 3; i < ours.size(); i += 4)
                ours[i] = ref.rgba[i];
        EXPECT_EQ(ours, ref.rgba);
        for (size_t i = 0; i < ours.size(); ++i)
            if (ours[i] != ref.rgba[i]) {
                ADD_FAILURE() << "first difference at byte " << i << ": " << int(ours[i]) << " vs "
                              << int(ref.rgba[i]);
                break;
            }
        DeleteObject(handle);
    }
}

TEST(Differential, RunLengthBitmapsMatchTheirUncompressedTwin) {
    // The reference decoder reads no run-length bitmaps, so compare with the same picture
    // stored uncompressed (itself compared above).
    const int w = 6, h = 3;
    BmpLayout rle;
    rle.width = w, rle.height = h, rle.bitCount = 8, rle.compression = BI_RLE8;
    rle.colors.assign(256, RGBQUAD{0, 0, 0, 0});
    for (int i = 0; i < 256; ++i)
        rle.colors[i] = RGBQUAD{uint8_t(i), uint8_t(255 - i), uint8_t(i * 7), 0};
    // Bottom row: run 4 of 9, runs of one 5 and one 6; middle: literal 1 2 3 (padded), run 3
    // of 200; top: run 6 of 4.
    rle.pixels = {4, 9, 1, 5, 1, 6, 0, 0, 0, 3, 1, 2, 3, 0, 3, 200, 0, 0, 6, 4, 0, 1};
    BmpLayout flat = rle;
    flat.compression = BI_RGB;
    flat.pixels = {9, 9, 9, 9, 5, 6, 0, 0, 1, 2, 3, 200, 200, 200, 0, 0, 4, 4, 4, 4, 4, 4, 0, 0};
    BmpLayout rle4 = rle;
    rle4.bitCount = 4, rle4.compression = BI_RLE4;
    rle4.colors.resize(16);
    // Bottom: run 4 of (9, 1), runs of one 5 and one 6; middle: literal 1 2 3 (2 bytes), run 3
    // of 12; top: run 6 of (4, 4).
    rle4.pixels = {4, 0x91, 1, 0x50, 1, 0x60, 0, 0, 0, 3, 0x12, 0x30, 3, 0xCC, 0, 0, 6, 0x44, 0, 1};
    BmpLayout flat4 = rle4;
    flat4.compression = BI_RGB;
    flat4.pixels = {0x91, 0x91, 0x56, 0, 0x12, 0x3C, 0xCC, 0, 0x44, 0x44, 0x44, 0};
    for (auto [a, b] : {std::pair{rle, flat}, std::pair{rle4, flat4}}) {
        SCOPED_TRACE(a.bitCount);
        Bytes fa = BmpFile(a), fb = BmpFile(b);
        velvix_platform::DibImage da, db;
        ASSERT_EQ(velvix_platform::DecodeBmp(fa.data(), fa.size(), &da), nullptr);
        ASSERT_EQ(velvix_platform::DecodeBmp(fb.data(), fb.size(), &db), nullptr);
        EXPECT_EQ(Bytes(da.bits.get(), da.bits.get() + da.bitsSize),
                  Bytes(db.bits.get(), db.bits.get() + db.bitsSize));
        EXPECT_EQ(da.bitCount, db.bitCount);
        EXPECT_EQ(Stb(fb).w, w);
    }
}
