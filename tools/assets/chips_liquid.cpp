// Columns 12 to 15 (water) and 64 to 67 (lava): a surface, two bodies, a fall
// and a foaming pool, all moving between the two frames.
#include "tools/assets/chip_tile.h"

#include <cmath>
#include <numbers>

namespace assets {

namespace {

constexpr double kTau = 2 * std::numbers::pi;

struct Liquid {
    Rgb body, deep, light, foam;
    bool lava;
};

// Ripples that repeat every 32 pixels across and 16 down.
double Ripple(int fx, int fy, int frame) {
    const double a = kTau * fx / 32, b = kTau * fy / 16;
    return std::sin(2 * a + 1.4 * std::sin(b + frame * std::numbers::pi)) +
           std::sin(b + std::sin(a) + frame * std::numbers::pi / 2);
}

Rgb BodyPixel(const Liquid& l, Rgb base, int fx, int fy, int frame) {
    const double v = Ripple(fx, fy, frame);
    if (v > 1.45) return l.light;
    if (v > 1.1) return Mix(base, l.light, 0.45);
    if (v < -1.55) return l.lava ? l.deep : Shade(base, 0.85);
    return base;
}

// Lava bubbles: a bright ring around a dark heart, in other places each frame.
void Bubbles(const Tile& tile, const Liquid& l, int fy0, int count) {
    for (int i = 0; i < count; ++i) {
        const int bx = Pick(30, i, tile.frame, 11) + 1, by = Pick(14, i, tile.frame, 12) + 1;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const int x = bx + dx - tile.lc * kChip, y = by + dy + fy0 - tile.Fy(0);
                tile.Put(x, y, dx == 0 && dy == 0 ? l.deep : (dx && dy) ? l.body : l.light);
            }
    }
}

void Paint(const Tile& tile, const Liquid& l) {
    const int r = tile.r, frame = tile.frame;
    if (r == 0) { // the surface with its waves
        const double height = l.lava ? 1.0 : 1.4;
        tile.Each([&](int x, int y) {
            const int fx = tile.Fx(x);
            const int top =
                3 + static_cast<int>(std::lround(height * std::sin(kTau * (fx + 4 * frame) / 16)));
            if (y < top) return;
            tile.Put(x, y,
                     y == top       ? l.foam
                     : y == top + 1 ? l.light
                                    : BodyPixel(l, l.body, fx, y, frame));
        });
        return;
    }
    if (r < 5) { // the bodies, shallow and deep, each repeating every two rows
        const Rgb base = r < 3 ? l.body : l.deep;
        tile.Each([&](int x, int y) {
            tile.Put(x, y, BodyPixel(l, base, tile.Fx(x), tile.Fy(y) + (r < 3 ? 0 : 5), frame));
        });
        if (l.lava) Bubbles(tile, l, r < 3 ? 8 : 24, 3);
        return;
    }
    if (r < 8) { // a fall: streaks running down, edged at both sides
        tile.Each([&](int x, int y) {
            const int fx = tile.Fx(x), fy = tile.Fy(y);
            Rgb c = Shade(l.body, 0.9 + 0.08 * Pick(3, fx, 5));
            if ((fy - 6 * frame + Pick(12, fx, 6) + 1200) % 12 < 3) c = l.light;
            if (fx == 0 || fx == 31)
                c = l.foam;
            else if (fx == 1 || fx == 30)
                c = Shade(l.body, 0.75);
            tile.Put(x, y, c);
        });
        return;
    }
    // The pool under the fall: spray above, foam on the surface.
    tile.Each([&](int x, int y) {
        const int fx = tile.Fx(x), fy = tile.Fy(y) - 8 * kChip;
        if (fy < 4) {
            if (Pick(9, fx, fy, frame) == 0) tile.Put(x, y, l.foam);
            return;
        }
        Rgb c = BodyPixel(l, l.body, fx, fy, frame);
        if (Pick(5, fx / 2, fy / 2, frame) == 0 || (fy < 7 && Pick(2, fx, frame) == 0))
            c = fy < 7 ? l.foam : Mix(c, l.foam, 0.5);
        tile.Put(x, y, c);
    });
}

} // namespace

void PaintWater(const Tile& tile) {
    const Rgb w = tile.t.water;
    Paint(tile, {w, Shade(w, 0.72), Mix(w, kWhite, 0.4), Mix(w, kWhite, 0.8), false});
}

void PaintLava(const Tile& tile) {
    const Rgb l = tile.t.lava;
    Paint(tile, {l, Shade(Mix(l, Rgb{120, 20, 10}, 0.4), 0.9), Mix(l, Rgb{255, 240, 120}, 0.6),
                 Mix(l, Rgb{255, 255, 200}, 0.8), true});
}

} // namespace assets
