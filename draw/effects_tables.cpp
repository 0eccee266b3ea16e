// Effects on 5-bit components through the tables built at screen set-up:
// cross-fades, additive and subtractive mixing, dimming, grey and soft edges.
#include "draw/effects_frame.h"

#include <cstdint>

namespace elDraw {

namespace {

using effects::Level;

constexpr std::uint8_t NO_PARTS[3] = {0, 0, 0};

// The pixel whose channel c is table[base[c] + first[c] * 32 + second[c]];
// the entries already sit at their channel's place.
std::uint32_t Combine(const std::uint16_t* table, const int base[3], const std::uint8_t* first,
                      const std::uint8_t* second) {
    std::uint32_t out = 0;
    for (int c = 0; c < 3; ++c) out += table[base[c] + first[c] * 32 + second[c]];
    return out;
}

// Fade-and-add at a per-channel level a of 0..31: min(31, max(0, s5 - a) + d5).
int FadeAdd(int x, int y, int a, ObjectNo no, int left, int top, int right, int bottom) {
    const int base[3] = {a * 1024, 32768 + a * 1024, 2 * 32768 + a * 1024};
    return effects::Mix(x, y, no, left, top, right, bottom, [&](std::uint32_t s, std::uint32_t d) {
        return Combine(FadeAddTable, base, DecomposeTable[s], DecomposeTable[d]);
    });
}

} // namespace

int CrossFadeDrawRGB(int x, int y, int red, int green, int blue, ObjectNo no, int left, int top,
                     int right, int bottom) {
    const int base[3] = {(31 - Level(red)) * 1024, 32768 + (31 - Level(green)) * 1024,
                         2 * 32768 + (31 - Level(blue)) * 1024};
    return effects::Mix(x, y, no, left, top, right, bottom, [&](std::uint32_t s, std::uint32_t d) {
        return Combine(CrossFadeTable, base, DecomposeTable[s], DecomposeTable[d]);
    });
}

int CrossFadeDraw(int x, int y, int level, ObjectNo no, int left, int top, int right, int bottom) {
    return CrossFadeDrawRGB(x, y, level, level, level, no, left, top, right, bottom);
}

int AddDraw(int x, int y, ObjectNo no, int left, int top, int right, int bottom) {
    return FadeAdd(x, y, 0, no, left, top, right, bottom);
}

int AddFadeDraw(int x, int y, float strength, ObjectNo no, int left, int top, int right,
                int bottom) {
    const auto a =
        static_cast<int>(effects::Truncated(31 - 31 * static_cast<long double>(strength), 31));
    return FadeAdd(x, y, a, no, left, top, right, bottom);
}

int SubDraw(int x, int y, ObjectNo no, int left, int top, int right, int bottom) {
    const int base[3] = {0, 1024, 2048};
    return effects::Mix(x, y, no, left, top, right, bottom, [&](std::uint32_t s, std::uint32_t d) {
        return Combine(SubtractTable, base, DecomposeTable[d], DecomposeTable[s]);
    });
}

int DimDrawRGB(int x, int y, int red, int green, int blue, ObjectNo no, int left, int top,
               int right, int bottom) {
    const int base[3] = {31 - Level(red), 1024 + 31 - Level(green), 2048 + 31 - Level(blue)};
    return effects::Mix(x, y, no, left, top, right, bottom, [&](std::uint32_t s, std::uint32_t) {
        return Combine(SubtractTable, base, DecomposeTable[s], NO_PARTS);
    });
}

int DimDraw(int x, int y, int level, ObjectNo no, int left, int top, int right, int bottom) {
    return DimDrawRGB(x, y, level, level, level, no, left, top, right, bottom);
}

int GreyDraw(int x, int y, ObjectNo no, int left, int top, int right, int bottom) {
    const std::uint32_t shifts[3] = {PixelFormat.Red.Shift5, PixelFormat.Green.Shift5,
                                     PixelFormat.Blue.Shift5};
    return effects::Mix(x, y, no, left, top, right, bottom, [&](std::uint32_t s, std::uint32_t) {
        const std::uint8_t* p = DecomposeTable[s];
        const std::uint32_t g = GreyTable[p[0] + p[1] + p[2]];
        return g << shifts[0] | g << shifts[1] | g << shifts[2];
    });
}

// Each image pixel beside a transparent one (left, right, above, below, inside
// the rectangle) becomes the average of itself and the background there.
// Background pixels under transparent source pixels are never written, so the
// order of the visit does not matter.
int SoftEdgeDraw(int x, int y, ObjectNo no, int left, int top, int right, int bottom) {
    effects::Area area;
    if (const int result = effects::Open(x, y, no, left, top, right, bottom, area);
        result != effects::OPEN)
        return result;
    const int shifts[3] = {PixelFormat.Red.Shift5, PixelFormat.Green.Shift5,
                           PixelFormat.Blue.Shift5};
    const int w = area.width, h = area.height;
    for (int j = 0; j < h; ++j) {
        const std::uint16_t* s = area.SourceRow(j);
        std::uint16_t* d = area.TargetRow(j);
        for (int i = 0; i < w; ++i) {
            if (s[i] == 0) continue;
            const std::uint8_t* own = DecomposeTable[s[i]];
            int sum[3] = {own[0], own[1], own[2]};
            int count = 1;
            const auto take = [&](int ni, int nj) {
                if (ni < 0 || ni >= w || nj < 0 || nj >= h) return;
                if (area.SourceRow(nj)[ni] != 0) return;
                const std::uint8_t* under = DecomposeTable[area.TargetRow(nj)[ni]];
                for (int c = 0; c < 3; ++c) sum[c] += under[c];
                ++count;
            };
            take(i - 1, j);
            take(i + 1, j);
            take(i, j - 1);
            take(i, j + 1);
            if (count == 1) {
                d[i] = s[i];
                continue;
            }
            std::uint32_t out = 0;
            for (int c = 0; c < 3; ++c)
                out |= static_cast<std::uint32_t>(sum[c] / count) << shifts[c];
            d[i] = static_cast<std::uint16_t>(out);
        }
    }
    return effects::Close(area);
}

} // namespace elDraw
