// make_pictures.cpp - writes the demo's two pictures into the folder given as the only argument:
// "stoneblocks.bmp", 256 x 256 x 24 bits, stone blocks in staggered courses with mortar joints
// and some grain, seamless so it can repeat across the floor and around the sphere; and
// "gas.tga", 256 x 256 x 32 bits, soft white gas whose alpha falls from the centre to 0 at the
// edges, broken up by noise, so the layered clouds read as volumes.
// Deterministic: integer hashing only, no clocks, no library random numbers.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kSize = 256;

uint32_t Hash(uint32_t x, uint32_t y, uint32_t seed) {
    uint32_t h = x * 0x8DA6B343u ^ y * 0xD8163841u ^ seed * 0xCB1AB31Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

double Unit(uint32_t h) {
    return (h & 0xFFFFFF) / double(0xFFFFFF);
}

// Value noise on a lattice of `period` cells across the picture, wrapping at its edges.
double ValueNoise(double x, double y, int period, uint32_t seed) {
    const double cell = double(kSize) / period;
    double fx = x / cell, fy = y / cell;
    int x0 = int(std::floor(fx)), y0 = int(std::floor(fy));
    double tx = fx - x0, ty = fy - y0;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    auto at = [&](int i, int j) {
        return Unit(Hash(uint32_t((i % period + period) % period),
                         uint32_t((j % period + period) % period), seed));
    };
    double a = at(x0, y0), b = at(x0 + 1, y0), c = at(x0, y0 + 1), d = at(x0 + 1, y0 + 1);
    return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

// Sum of octaves, 0..1.
double Fractal(double x, double y, int basePeriod, int octaves, uint32_t seed) {
    double sum = 0, weight = 1, total = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += weight * ValueNoise(x, y, basePeriod << o, seed + o);
        total += weight;
        weight *= 0.5;
    }
    return sum / total;
}

uint8_t Byte(double v) {
    return uint8_t(v <= 0 ? 0 : v >= 255 ? 255 : std::lround(v));
}

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

bool Write(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

// Stone blocks, B, G, R per pixel, top row first.
std::vector<uint8_t> StoneBlocks() {
    constexpr int kCourse = 64, kBlock = 128, kJoint = 3;
    std::vector<uint8_t> rgb(kSize * kSize * 3);
    for (int y = 0; y < kSize; ++y) {
        const int course = y / kCourse;
        const int shift = (course & 1) ? kBlock / 2 : 0;
        for (int x = 0; x < kSize; ++x) {
            const int bx = (x + shift) % kSize;
            const int block = bx / kBlock;
            const int u = bx % kBlock, v = y % kCourse;
            // Distance to the nearest joint, wobbled a little so the edges are not ruled lines.
            const double wobble = 1.5 * (ValueNoise(x, y, 32, 7) - 0.5);
            const double edge =
                std::min(std::min(u, kBlock - 1 - u), std::min(v, kCourse - 1 - v)) + wobble;
            const double grain = Fractal(x, y, 16, 4, 11);
            const double speck = Unit(Hash(x, y, 3)) < 0.03 ? -25 : 0;
            double r, g, b;
            if (edge < kJoint) { // mortar
                const double m = 150 + 40 * grain;
                r = m, g = m * 0.97, b = m * 0.9;
            } else {
                const uint32_t id = Hash(uint32_t(block), uint32_t(course), 5);
                const double tone = 105 + 45 * Unit(id);
                const double warm = 10 * Unit(id >> 8);
                const double bevel = edge < kJoint + 4 ? -(kJoint + 4 - edge) * 8 : 0;
                const double shade = tone + 70 * (grain - 0.5) + bevel + speck;
                r = shade + warm, g = shade * 0.95 + warm * 0.5, b = shade * 0.85;
            }
            uint8_t* p = &rgb[(y * kSize + x) * 3];
            p[0] = Byte(b), p[1] = Byte(g), p[2] = Byte(r);
        }
    }
    return rgb;
}

std::vector<uint8_t> BmpFile(const std::vector<uint8_t>& bgrTopDown) {
    const uint32_t stride = (kSize * 3 + 3) & ~3u, pixels = stride * kSize;
    std::vector<uint8_t> out;
    out.push_back('B'), out.push_back('M');
    Put32(out, 54 + pixels), Put32(out, 0), Put32(out, 54);
    Put32(out, 40), Put32(out, kSize), Put32(out, kSize); // bottom-up
    Put16(out, 1), Put16(out, 24), Put32(out, 0), Put32(out, pixels);
    Put32(out, 2835), Put32(out, 2835), Put32(out, 0), Put32(out, 0);
    for (int row = kSize - 1; row >= 0; --row) {
        const uint8_t* src = &bgrTopDown[row * kSize * 3];
        out.insert(out.end(), src, src + kSize * 3);
        out.resize(out.size() + (stride - kSize * 3), 0);
    }
    return out;
}

// Soft gas: white, alpha highest at the centre and 0 at the edges, broken up by noise.
std::vector<uint8_t> GasTga() {
    std::vector<uint8_t> out = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    Put16(out, kSize), Put16(out, kSize);
    out.push_back(32), out.push_back(8); // 8 alpha bits, bottom-left origin
    const double c = (kSize - 1) / 2.0, radius = kSize / 2.0;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const double d = std::hypot(x - c, y - c) / radius;
            const double fall = d >= 1 ? 0 : std::pow(1 - d, 1.3);
            const double n = Fractal(x, y, 4, 5, 21);
            const double alpha = 255 * fall * (0.35 + 0.9 * n);
            const double white = 235 + 20 * n;
            const uint8_t w = Byte(white);
            out.push_back(w), out.push_back(w), out.push_back(w);
            const bool edge = x == 0 || y == 0 || x == kSize - 1 || y == kSize - 1;
            out.push_back(edge ? 0 : Byte(alpha));
        }
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT-FOLDER\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    bool ok = Write(dir + "/stoneblocks.bmp", BmpFile(StoneBlocks()));
    ok = Write(dir + "/gas.tga", GasTga()) && ok;
    if (!ok) {
        std::fprintf(stderr, "%s: cannot write the pictures into %s\n", argv[0], dir.c_str());
        return 1;
    }
    return 0;
}
