#include "tools/assets/icon.h"

#include <algorithm>
#include <cmath>

namespace assets {

namespace {

struct Rgba {
    double r = 0, g = 0, b = 0, a = 0; // premultiplied, 0..1
};

Rgba Colour(int rgb, double alpha = 1) {
    return {(rgb >> 16 & 0xFF) / 255.0 * alpha, (rgb >> 8 & 0xFF) / 255.0 * alpha,
            (rgb & 0xFF) / 255.0 * alpha, alpha};
}

// `top` laid over `under`.
Rgba Over(Rgba top, Rgba under) {
    const double rest = 1 - top.a;
    return {top.r + under.r * rest, top.g + under.g * rest, top.b + under.b * rest,
            top.a + under.a * rest};
}

bool InRoundedSquare(double u, double v, double low, double high, double radius) {
    const double cx = std::clamp(u, low + radius, high - radius);
    const double cy = std::clamp(v, low + radius, high - radius);
    return u >= low && u <= high && v >= low && v <= high &&
           (u - cx) * (u - cx) + (v - cy) * (v - cy) <= radius * radius;
}

// The picture, in units of the icon's side: a dark tile with a 3 x 3 grid of
// cells, sky above and ground below, and an orange block chip lifted over the
// middle cell, with its shadow in the cell and the green outline around it.
constexpr double kGridLow = 0.13, kPitch = 0.25, kGap = 0.035;
constexpr int kSky = 0x6DB6EA, kGrass = 0x4CB04F, kEarth = 0x8D5A2B, kBlock = 0xF08A32;

// The chip's colour at (x, y) inside it, both 0..1: a bevelled block with a
// brick seam where the icon is large enough to show one.
Rgba Block(double x, double y, double pixel) {
    const double edge = std::max(0.14, 1.2 * pixel);
    if (x < edge || y < edge) return Colour(0xFFB469);
    if (x > 1 - edge || y > 1 - edge) return Colour(0x9C4A14);
    if (pixel < 0.1 && std::abs(y - 0.5) < pixel * 0.6) return Colour(0xB8581C);
    return Colour(kBlock);
}

// What a grid cell shows at (x, y) inside it, for the cell in `column`, `row`.
Rgba Cell(int column, int row, double x, double y) {
    if (row < 2) return Colour(column == 2 && row == 0 && x > 0.3 && y < 0.6 ? 0xFFFFFF : kSky);
    return Colour(y < 0.32 ? kGrass : kEarth);
}

Rgba Sample(double u, double v, double pixel) {
    Rgba colour;
    if (!InRoundedSquare(u, v, 0.02, 0.98, 0.16)) return colour;
    colour = Colour(InRoundedSquare(u, v, 0.02 + 1.2 * pixel, 0.98 - 1.2 * pixel, 0.15) ? 0x26344C
                                                                                        : 0x7F93B5);
    const double gu = (u - kGridLow) / kPitch, gv = (v - kGridLow) / kPitch;
    const int column = static_cast<int>(std::floor(gu)), row = static_cast<int>(std::floor(gv));
    const double x = gu - column, y = gv - row, gap = std::max(kGap, pixel) / kPitch;
    if (column >= 0 && column < 3 && row >= 0 && row < 3 && x >= gap / 2 && x <= 1 - gap / 2 &&
        y >= gap / 2 && y <= 1 - gap / 2)
        colour = Cell(column, row, (x - gap / 2) / (1 - gap), (y - gap / 2) / (1 - gap));
    // The middle cell: the shadow of the chip about to land, then the chip.
    const double low = kGridLow + kPitch, high = low + kPitch, lift = 0.05;
    const double outline = std::max(0.035, 1.6 * pixel); // one whole pixel at least
    if (u >= low && u <= high && v >= low && v <= high) colour = Over(Colour(0, 0.45), colour);
    // The editor's green outline of the selection's size at the pointer.
    const bool inOuter =
        u >= low - outline && u <= high + outline && v >= low - outline && v <= high + outline;
    const bool inInner = u > low && u < high && v > low && v < high;
    if (inOuter && !inInner) colour = Colour(0x39F25A);
    const double bu = u + lift, bv = v + lift;
    if (bu >= low && bu <= high && bv >= low && bv <= high)
        colour = Block((bu - low) / kPitch, (bv - low) / kPitch, pixel / kPitch);
    return colour;
}

} // namespace

std::vector<std::uint8_t> DrawIcon(int size) {
    constexpr int kSamples = 4; // per side of a pixel
    const double pixel = 1.0 / size;
    std::vector<std::uint8_t> image(static_cast<std::size_t>(size) * size * 4);
    std::uint8_t* out = image.data();
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px, out += 4) {
            Rgba sum;
            for (int sy = 0; sy < kSamples; ++sy)
                for (int sx = 0; sx < kSamples; ++sx) {
                    const Rgba s = Sample((px + (sx + 0.5) / kSamples) * pixel,
                                          (py + (sy + 0.5) / kSamples) * pixel, pixel);
                    sum = {sum.r + s.r, sum.g + s.g, sum.b + s.b, sum.a + s.a};
                }
            const double a = sum.a / (kSamples * kSamples);
            const auto channel = [&](double premultiplied) {
                return static_cast<std::uint8_t>(
                    a > 0 ? std::lround(std::clamp(premultiplied / sum.a, 0.0, 1.0) * 255) : 0);
            };
            out[0] = channel(sum.r);
            out[1] = channel(sum.g);
            out[2] = channel(sum.b);
            out[3] = static_cast<std::uint8_t>(std::lround(a * 255));
        }
    }
    return image;
}

std::vector<std::uint8_t> IconFileBytes(const std::vector<int>& sizes,
                                        const std::vector<std::vector<std::uint8_t>>& pngs) {
    std::vector<std::uint8_t> bytes;
    const auto put16 = [&](std::size_t value) {
        for (int shift = 0; shift < 16; shift += 8) bytes.push_back((value >> shift) & 0xFF);
    };
    const auto put32 = [&](std::size_t value) {
        for (int shift = 0; shift < 32; shift += 8) bytes.push_back((value >> shift) & 0xFF);
    };
    // The header (an icon, so many images), then one 16-byte entry an image.
    put16(0);
    put16(1);
    put16(pngs.size());
    std::size_t offset = 6 + 16 * pngs.size();
    for (std::size_t i = 0; i < pngs.size(); ++i) {
        const int side = sizes[i] >= 256 ? 0 : sizes[i]; // 0 stands for 256
        bytes.push_back(static_cast<std::uint8_t>(side));
        bytes.push_back(static_cast<std::uint8_t>(side));
        bytes.push_back(0); // no palette
        bytes.push_back(0);
        put16(1);  // planes
        put16(32); // bits a pixel
        put32(pngs[i].size());
        put32(offset);
        offset += pngs[i].size();
    }
    for (const auto& png : pngs) bytes.insert(bytes.end(), png.begin(), png.end());
    return bytes;
}

} // namespace assets
