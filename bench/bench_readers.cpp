// bench_readers.cpp - prints how fast our picture readers are beside an independent decoder
// (stb_image) and beside a plain read of the same bytes, all measured in the same run on the
// same files. Each figure is the median of several runs after a warm-up; every decoded block is
// freed before the next run. Not a test: it prints figures and always exits 0.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_BMP
#define STBI_ONLY_TGA
#include <stb/stb_image.h>

#include "framework/buttons/bitmaps.h"
#include "framework/textures/tga.h"
#include "platform/platform_ext.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

double MedianMs(const std::function<void()>& run, int repeats = 7) {
    run(); // warm-up: page cache, allocator, instruction cache
    std::vector<double> ms;
    for (int i = 0; i < repeats; ++i) {
        const auto t0 = Clock::now();
        run();
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

std::string Write(const std::string& name, const Bytes& bytes) {
    const std::string path = "/tmp/velvix-bench-" + name;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return path;
}

void Put(Bytes& b, uint32_t v, int n) {
    for (int i = 0; i < n; ++i)
        b.push_back(uint8_t(v >> (8 * i)));
}

// Picture content with the mix real pictures have: smooth areas (runs) and noisy ones.
Bytes Content(int w, int h, int bpp) {
    Bytes px(size_t(w) * h * bpp);
    uint32_t s = 12345;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &px[(size_t(y) * w + x) * bpp];
            const bool smooth = ((x / 64) + (y / 64)) % 2 == 0;
            s = s * 1664525u + 1013904223u;
            for (int c = 0; c < bpp; ++c)
                p[c] = smooth ? uint8_t((x / 16 + c * 40) & 0xFF) : uint8_t(s >> (8 + 4 * c));
        }
    return px;
}

Bytes Tga(int type, int w, int h, int bpp) {
    Bytes f = {0, 0, uint8_t(type), 0, 0, 0, 0, 0, 0, 0, 0, 0};
    Put(f, w, 2), Put(f, h, 2), f.push_back(uint8_t(bpp * 8)), f.push_back(0);
    const Bytes px = Content(w, h, bpp);
    if (type == 2) {
        f.insert(f.end(), px.begin(), px.end());
        return f;
    }
    const size_t n = px.size() / bpp;
    auto same = [&](size_t a, size_t b) { return !std::memcmp(&px[a * bpp], &px[b * bpp], bpp); };
    for (size_t i = 0; i < n;) {
        size_t run = 1;
        while (i + run < n && run < 128 && same(i, i + run))
            ++run;
        if (run > 1) {
            f.push_back(uint8_t(0x80 | (run - 1)));
            f.insert(f.end(), &px[i * bpp], &px[i * bpp] + bpp);
            i += run;
            continue;
        }
        size_t raw = 1;
        while (i + raw < n && raw < 128 && !(i + raw + 1 < n && same(i + raw, i + raw + 1)))
            ++raw;
        f.push_back(uint8_t(raw - 1));
        f.insert(f.end(), &px[i * bpp], &px[(i + raw) * bpp]);
        i += raw;
    }
    return f;
}

Bytes Bmp(int w, int h, int bits) {
    const size_t stride = ((size_t(w) * bits + 31) / 32) * 4;
    const Bytes content = Content(w, h, 4);
    Bytes px(stride * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint8_t* c = &content[(size_t(y) * w + x) * 4];
            uint8_t* p = &px[stride * y];
            if (bits == 8)
                p[x] = c[0];
            else
                std::memcpy(p + x * (bits / 8), c, bits / 8);
        }
    Bytes table;
    if (bits == 8)
        for (int i = 0; i < 256; ++i)
            Put(table, uint32_t(i * 0x010101), 4);
    Bytes f = {'B', 'M'};
    const uint32_t off = 14 + 40 + uint32_t(table.size());
    Put(f, off + uint32_t(px.size()), 4), Put(f, 0, 4), Put(f, off, 4);
    Put(f, 40, 4), Put(f, w, 4), Put(f, h, 4), Put(f, 1, 2), Put(f, bits, 2), Put(f, 0, 4);
    Put(f, uint32_t(px.size()), 4), Put(f, 2835, 4), Put(f, 2835, 4);
    Put(f, bits == 8 ? 256 : 0, 4), Put(f, 0, 4);
    f.insert(f.end(), table.begin(), table.end());
    f.insert(f.end(), px.begin(), px.end());
    return f;
}

double PlainRead(const std::string& path) {
    return MedianMs([&] {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        std::fseek(f, 0, SEEK_END);
        const long n = std::ftell(f);
        std::fseek(f, 0, SEEK_SET);
        uint8_t* b = static_cast<uint8_t*>(std::malloc(size_t(n)));
        if (std::fread(b, 1, size_t(n), f) != size_t(n))
            std::abort();
        std::fclose(f);
        std::free(b);
    });
}

double StbMs(const std::string& path) {
    return MedianMs([&] {
        int w, h, c;
        stbi_uc* p = stbi_load(path.c_str(), &w, &h, &c, 0);
        if (!p)
            std::abort();
        stbi_image_free(p);
    });
}

int NoBox(HWND, LPCSTR text, LPCSTR, UINT) {
    std::fprintf(stderr, "unexpected message box: %s\n", text);
    std::abort();
}

} // namespace

int main() {
    VelvixSetMessageBoxHook(NoBox);
    const int n = 2048;
    std::printf("Picture readers, %d x %d pixels; median ms of 7 runs after a warm-up\n", n, n);
    std::printf("%-22s %9s %9s %9s %12s %14s\n", "file", "read", "ours", "stb", "stb / ours",
                "ours / read");
    struct TgaCase {
        const char* name;
        int type, bpp;
    };
    for (const TgaCase& c : {TgaCase{"TGA 24-bit", 2, 3}, TgaCase{"TGA 32-bit", 2, 4},
                             TgaCase{"TGA RLE 24-bit", 10, 3}, TgaCase{"TGA RLE 32-bit", 10, 4}}) {
        const std::string path = Write("p.tga", Tga(c.type, n, n, c.bpp));
        const double read = PlainRead(path);
        const double ours = MedianMs([&] {
            velvix::TGATexture t = {};
            if (!velvix::LoadTGA(t, path))
                std::abort();
            std::free(t.ImageData);
        });
        const double stb = StbMs(path);
        std::printf("%-22s %9.2f %9.2f %9.2f %11.2fx %13.2fx\n", c.name, read, ours, stb,
                    stb / ours, ours / read);
    }
    for (int bits : {8, 24, 32}) {
        const std::string path = Write("p.bmp", Bmp(n, n, bits));
        const double read = PlainRead(path);
        const double ours = MedianMs([&] {
            HANDLE b = LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                                  LR_LOADFROMFILE | LR_CREATEDIBSECTION);
            if (!b)
                std::abort();
            DeleteObject(b);
        });
        const double stb = StbMs(path);
        char name[32];
        std::snprintf(name, sizeof name, "BMP %d-bit", bits);
        std::printf("%-22s %9.2f %9.2f %9.2f %11.2fx %13.2fx\n", name, read, ours, stb, stb / ours,
                    ours / read);
    }

    // Bitmap to region: a 1024 x 1024 picture of many short runs (magenta every third pixel,
    // shifted per row), against one plain pass over the same pixels applying the same test.
    const int m = 1024;
    Bytes f = {'B', 'M'};
    Put(f, 54 + m * m * 4, 4), Put(f, 0, 4), Put(f, 54, 4);
    Put(f, 40, 4), Put(f, m, 4), Put(f, m, 4), Put(f, 1, 2), Put(f, 32, 2);
    for (int i = 0; i < 6; ++i)
        Put(f, 0, 4);
    std::vector<uint32_t> pixels(size_t(m) * m);
    for (int y = 0; y < m; ++y)
        for (int x = 0; x < m; ++x)
            pixels[size_t(y) * m + x] = ((x + y) % 3 == 0) ? 0xFF00FF : 0x336699;
    for (uint32_t p : pixels)
        Put(f, p, 4);
    const std::string region = Write("r.bmp", f);
    long runs = 0;
    const double pass = MedianMs([&] {
        long r = 0;
        for (int y = 0; y < m; ++y) {
            bool in = false;
            for (int x = 0; x < m; ++x) {
                const uint32_t p = pixels[size_t(y) * m + x];
                const bool opaque =
                    !(((p >> 16) & 0xFF) == 255 && ((p >> 8) & 0xFF) <= 1 && (p & 0xFF) == 255);
                r += opaque && !in;
                in = opaque;
            }
        }
        runs = r;
    });
    const double ours = MedianMs([&] {
        HRGN rgn = velvix::BitmapToRegion(region, 0xFF00FF, 1);
        if (!rgn)
            std::abort();
        DeleteObject(rgn);
    });
    std::printf(
        "\nBitmapToRegion, %d x %d, %ld runs: %.2f ms, %.2f M rectangles/s, %.1fx one plain "
        "pass (%.2f ms)\n",
        m, m, runs, ours, runs / ours / 1000.0, ours / pass, pass);
    return 0;
}
