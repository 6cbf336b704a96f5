// make_button_pictures.cpp - writes the pictures of the image-button example into the folder
// given as the only argument: for each of the prefixes PLAY and STOP, "N.BMP", "H.BMP" and
// "P.BMP" (normal, hover, pressed), 24-bit pictures of a rounded button whose corners are
// magenta (255, 0, 255), the colour the button cuts out of its window.
#include <cmath>
#include <cstdint>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kW = 112, kH = 40;

void Put(std::vector<uint8_t>& b, uint32_t v, int n) {
    for (int i = 0; i < n; ++i)
        b.push_back(uint8_t(v >> (8 * i)));
}

struct Rgb {
    int r, g, b;
};

// Inside the rounded rectangle (radius 14), at distance `inset` from its edge.
bool Inside(int x, int y, double inset) {
    const double r = 14 - inset;
    const double cx = x < 14 ? 14 : x >= kW - 14 ? kW - 15 : x + 0.5;
    const double cy = y < 14 ? 14 : y >= kH - 14 ? kH - 15 : y + 0.5;
    const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
    return x >= inset && y >= inset && x < kW - inset && y < kH - inset &&
           dx * dx + dy * dy <= r * r;
}

bool Glyph(bool play, int x, int y) {
    const int gx = x - 20, gy = y - 12;
    if (play) // a triangle pointing right
        return gx >= 0 && gx < 16 && gy >= 0 && gy < 16 && std::abs(gy - 8) * 2 <= 16 - gx;
    return gx >= 1 && gx < 15 && gy >= 1 && gy < 15; // a square
}

void Write(const std::string& path, bool play, Rgb face, Rgb edge, int shift) {
    const int stride = (kW * 3 + 3) / 4 * 4;
    std::vector<uint8_t> f = {'B', 'M'};
    Put(f, 54 + uint32_t(stride * kH), 4), Put(f, 0, 4), Put(f, 54, 4);
    Put(f, 40, 4), Put(f, kW, 4), Put(f, kH, 4), Put(f, 1, 2), Put(f, 24, 2);
    for (int i = 0; i < 6; ++i)
        Put(f, i == 1 ? uint32_t(stride * kH) : 0, 4);
    for (int row = kH - 1; row >= 0; --row) { // bottom-up
        const size_t start = f.size();
        for (int x = 0; x < kW; ++x) {
            Rgb c = {255, 0, 255};
            if (Inside(x, row, 0)) {
                const double light = 1.0 - 0.25 * row / kH;
                c = Inside(x, row, 2) ? Rgb{int(face.r * light), int(face.g * light), int(face.b * light)}
                                      : edge;
                if (Glyph(play, x - shift, row - shift))
                    c = {255, 255, 255};
            }
            f.push_back(uint8_t(c.b)), f.push_back(uint8_t(c.g)), f.push_back(uint8_t(c.r));
        }
        f.resize(start + size_t(stride), 0);
    }
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out || std::fwrite(f.data(), 1, f.size(), out) != f.size()) {
        std::perror(path.c_str());
        std::exit(1);
    }
    std::fclose(out);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    for (bool play : {true, false}) {
        const std::string prefix = dir + "/" + (play ? "PLAY" : "STOP");
        const Rgb base = play ? Rgb{46, 139, 87} : Rgb{178, 34, 34};
        Write(prefix + "N.BMP", play, base, {40, 40, 40}, 0);
        Write(prefix + "H.BMP", play, {std::min(255, base.r + 50), std::min(255, base.g + 50), std::min(255, base.b + 50)},
              {255, 215, 0}, 0);
        Write(prefix + "P.BMP", play, {base.r / 2, base.g / 2, base.b / 2}, {255, 215, 0}, 1);
    }
    return 0;
}
