// Columns 32 to 39, solid: two kinds of covered ground as edge pieces (three by
// three, inner corners, a pillar) with fill variants, and deep ground below.
#include "tools/assets/chip_tile.h"

#include <cmath>
#include <cstdlib>
#include <numbers>

namespace assets {

namespace {

struct Ground {
    Rgb top, earth;
    int seed;
};

Rgb Earth(const Ground& g, int fx, int fy) {
    // Faint diagonal layering under the grain.
    const Rgb base = ((fx + 2 * fy) / 5) % 3 == 0 ? Shade(g.earth, 0.94) : g.earth;
    return Grain(base, fx, fy, g.seed, 0.1);
}

struct Edges {
    bool top, bottom, left, right;
};

Rgb EdgePixel(const Ground& g, const Edges& e, int x, int y, int fx, int fy) {
    if (e.top && y < 3) {
        if ((e.left && x == 0) || (e.right && x == 7)) return Shade(g.top, 0.72);
        return y == 0 ? Shade(g.top, 1.22) : y == 1 ? g.top : Shade(g.top, 0.84);
    }
    if (e.top && y == 3) return Pick(3, fx, g.seed) == 0 ? Shade(g.top, 0.7) : Shade(g.earth, 0.7);
    if (e.left && x == 0) return Shade(g.earth, 0.62);
    if (e.right && x == 7) return Shade(g.earth, 0.55);
    if (e.bottom && y == 7) return Shade(g.earth, 0.5);
    if (e.left && x == 1) return Shade(Earth(g, fx, fy), 1.12);
    if (e.right && x == 6) return Shade(Earth(g, fx, fy), 0.82);
    if (e.bottom && y == 6) return Shade(Earth(g, fx, fy), 0.76);
    return Earth(g, fx, fy);
}

// Inner corner: plain ground with the covering reaching in at one corner.
Rgb InnerCorner(const Ground& g, int corner, int x, int y, int fx, int fy) {
    const int u = corner % 2 ? 7 - x : x, v = corner / 2 ? 7 - y : y;
    if (corner / 2 == 0) { // the covering comes in at a top corner
        if (u == 0 && v < 3) return v == 0 ? Shade(g.top, 1.1) : Shade(g.top, 0.84);
        if (u == 0 && v == 3) return Shade(g.top, 0.7);
        if (u == 1 && v == 0) return Shade(g.top, 0.84);
    } else if (u + v == 0) { // a dark notch at a bottom corner
        return Shade(g.earth, 0.5);
    }
    return Earth(g, fx, fy);
}

// Fill variants: ground with something in it.
Rgb FillPixel(const Ground& g, const Theme& t, int kind, int x, int y, int fx, int fy) {
    const Rgb earth = Earth(g, fx, fy);
    switch (kind) {
    case 0: // pebbles
        if ((x == 2 && y == 2) || (x == 5 && y == 5) || (x == 6 && y == 1)) return t.stone;
        if ((x == 3 && y == 2) || (x == 5 && y == 6)) return Shade(t.stone, 0.7);
        break;
    case 1: // a root
        if (y == 3 + (x > 4 ? 1 : 0) - (x < 2 ? 1 : 0)) return Mix(t.wood, g.earth, 0.3);
        break;
    case 2: // a buried bone
        if (y == 5 && x > 0 && x < 7) return Mix(t.cloud, g.earth, 0.2);
        if ((x == 1 || x == 6) && (y == 4 || y == 6)) return Mix(t.cloud, g.earth, 0.2);
        break;
    case 3: // a gem
        if (std::abs(x - 4) + std::abs(y - 3) < 2)
            return x < 4 ? Mix(t.accent, kWhite, 0.4) : t.accent;
        break;
    case 4: // darker ground
        return Shade(earth, 0.85);
    case 5: // a fossil shell
        if (std::abs(std::hypot(x - 3.5, y - 3.5) - 2.3) < 0.5) return Mix(g.earth, t.cloud, 0.5);
        break;
    case 6: // a stone set in the ground
        if (std::hypot(x - 4, y - 4.5) < 2.6) return Shade(t.stone, x + y < 8 ? 1.15 : 0.85);
        break;
    case 7: // worm holes
        if ((x == 2 && y == 5) || (x == 5 && y == 2)) return Shade(g.earth, 0.45);
        break;
    default: // lighter ground with sparkles
        if ((x + 3 * y) % 11 == 0) return Mix(t.accent, kWhite, 0.3);
        return Shade(earth, 1.08);
    }
    return earth;
}

// Deep ground: bands of earth with stones, repeating every 64 x 32 pixels.
Rgb DeepPixel(const Theme& t, int fx, int fy) {
    constexpr double kTau = 2 * std::numbers::pi;
    const double band = (fy + 2.0 * std::sin(kTau * fx / 64 * 2)) / 8;
    const int layer = (static_cast<int>(std::floor(band)) + 4) % 4;
    Rgb c = Grain(Mix(t.earth, t.stone, layer * 0.14), fx, fy, 41, 0.1);
    for (int cy = 0; cy < 2; ++cy)
        for (int cx = 0; cx < 4; ++cx) {
            const double sx = cx * 16 + 3 + Pick(10, cx, cy, 42),
                         sy = cy * 16 + 3 + Pick(10, cx, cy, 43);
            const double radius = 1.5 + Pick(3, cx, cy, 44);
            double dx = std::fmod(fx + 0.5 - sx + 96, 64) - 32,
                   dy = std::fmod(fy + 0.5 - sy + 48, 32) - 16;
            if (dx * dx + dy * dy * 1.6 < radius * radius)
                return Shade(Mix(t.stone, t.earth, 0.25), dx + dy < 0 ? 1.18 : 0.86);
        }
    return c;
}

} // namespace

void PaintGround(const Tile& tile) {
    const Theme& t = tile.t;
    const int r = tile.r, lc = tile.lc;
    if (r >= 6) {
        tile.Each([&](int x, int y) {
            tile.Put(x, y, DeepPixel(t, tile.Fx(x), tile.Fy(y) - 6 * kChip));
        });
        return;
    }
    const Ground g = r < 3 ? Ground{t.top, t.earth, 51}
                           : Ground{Mix(t.stone, t.top, 0.25), Mix(t.earth, t.stone, 0.45), 52};
    const int rr = r % 3;
    tile.Each([&](int x, int y) {
        const int fx = tile.Fx(x), fy = tile.Fy(y);
        Rgb c;
        if (lc < 3)
            c = EdgePixel(g, {rr == 0, rr == 2, lc == 0, lc == 2}, x, y, fx, fy);
        else if (lc < 5 && rr < 2)
            c = InnerCorner(g, rr * 2 + lc - 3, x, y, fx, fy);
        else if (lc < 5)
            c = EdgePixel(g, {lc == 3, false, true, true}, x, y, fx, fy); // a pillar
        else
            c = FillPixel(g, t, rr * 3 + lc - 5, x, y, fx, fy);
        tile.Put(x, y, c);
    });
}

} // namespace assets
