// Colours and the small amount of colour arithmetic the generated images use.
#pragma once

#include <cstdint>

namespace assets {

struct Rgb {
    int r = 0, g = 0, b = 0;
};

// Pure black is the transparent key of the panel image and the chip sheets;
// opaque dark colours use this instead.
constexpr Rgb kNearBlack{16, 16, 16};
constexpr Rgb kWhite{255, 255, 255};
// Outlines and pupils of the sprites.
constexpr Rgb kInk{24, 18, 32};

// Scales every channel (clamped to 0..255).
Rgb Shade(Rgb c, double factor);
// Linear mix, t = 0 gives a, t = 1 gives b.
Rgb Mix(Rgb a, Rgb b, double t);
// Perceived brightness 0..255.
int Lum(Rgb c);
// Moves a colour `amount` levels away from its brightness side: dark colours
// get lighter, light ones darker, so the change always shows.
Rgb Contrast(Rgb c, int amount);
// Keeps an opaque colour clear of the transparent key, also after a 16-bit
// display has dropped the low bits of each channel.
Rgb Opaque(Rgb c);

std::uint32_t Pack(Rgb c); // 0x00RRGGBB
Rgb Unpack(std::uint32_t v);

// Deterministic mixing of small integers, for textures and variations.
std::uint32_t Hash(int a, int b = 0, int c = 0, int d = 0);
// Hash scaled to 0 .. n-1.
int Pick(int n, int a, int b = 0, int c = 0, int d = 0);

} // namespace assets
