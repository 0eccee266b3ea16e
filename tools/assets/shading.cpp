#include "tools/assets/shading.h"

#include <algorithm>

namespace assets {

namespace {
int Clamp(double v) { return std::clamp(static_cast<int>(v + 0.5), 0, 255); }
} // namespace

Rgb Shade(Rgb c, double f) { return {Clamp(c.r * f), Clamp(c.g * f), Clamp(c.b * f)}; }

Rgb Mix(Rgb a, Rgb b, double t) {
    return {Clamp(a.r + (b.r - a.r) * t), Clamp(a.g + (b.g - a.g) * t),
            Clamp(a.b + (b.b - a.b) * t)};
}

int Lum(Rgb c) { return (c.r * 299 + c.g * 587 + c.b * 114) / 1000; }

Rgb Contrast(Rgb c, int amount) {
    const int d = Lum(c) < 128 ? amount : -amount;
    return Opaque({Clamp(c.r + d), Clamp(c.g + d), Clamp(c.b + d)});
}

Rgb Opaque(Rgb c) {
    // A 5:5:5 display keeps the top five bits of each channel.
    if (c.r < 8 && c.g < 8 && c.b < 8) return kNearBlack;
    return c;
}

std::uint32_t Pack(Rgb c) {
    return static_cast<std::uint32_t>(c.r) << 16 | static_cast<std::uint32_t>(c.g) << 8 |
           static_cast<std::uint32_t>(c.b);
}

Rgb Unpack(std::uint32_t v) {
    return {static_cast<int>(v >> 16 & 0xFF), static_cast<int>(v >> 8 & 0xFF),
            static_cast<int>(v & 0xFF)};
}

std::uint32_t Hash(int a, int b, int c, int d) {
    std::uint32_t h = 0x9E3779B9u;
    for (int v : {a, b, c, d}) {
        h ^= static_cast<std::uint32_t>(v) + 0x7F4A7C15u + (h << 6) + (h >> 2);
        h *= 0x85EBCA6Bu;
        h ^= h >> 13;
    }
    return h;
}

int Pick(int n, int a, int b, int c, int d) { return static_cast<int>(Hash(a, b, c, d) % n); }

} // namespace assets
