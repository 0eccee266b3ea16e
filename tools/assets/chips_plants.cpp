// Columns 16 to 19: grass, flowers, bushes, mushrooms, reeds and hanging roots.
// Everything but the mushrooms bends in the wind in the second frame.
#include "tools/assets/chip_tile.h"

#include <algorithm>
#include <cmath>

namespace assets {

namespace {

// How far a stalk `height` tall leans at `up` pixels above its root: nothing at
// the root, `wind` pixels at the tip, bending more towards the top.
int Lean(int up, int height, double wind) {
    const double t = static_cast<double>(up) / std::max(1, height - 1);
    return static_cast<int>(std::lround(wind * t * t));
}

// Blades of grass rising from the bottom of a `height` tall picture.
Canvas Grass(Rgb c, int height, int kind, int wind) {
    Canvas grass(8, height);
    const int blades = 3 + kind % 3;
    for (int i = 0; i < blades; ++i) {
        const int x = 1 + (i * 2 + kind) % 6, top = Pick(height / 2, kind, i) + (i % 2) * 2;
        const double lean = Pick(3, kind, i, 1) - 1.0;
        const int length = height - top;
        for (int up = 0; up < length; ++up) {
            const int y = height - 1 - up;
            const Rgb col = up >= length - 2 ? Shade(c, 1.25) : (i % 2 ? c : Shade(c, 0.8));
            grass.Put(x + Lean(up, length, lean + wind * (1 + length / 8)), y, col);
        }
    }
    return grass;
}

Canvas Flower(const Theme& t, int kind, int wind) {
    Canvas flower(8, 8);
    static constexpr Rgb kTints[4] = {
        {255, 255, 255}, {230, 60, 60}, {140, 80, 220}, {255, 160, 40}};
    const Rgb petal = Mix(t.accent, kTints[kind], kind == 0 ? 0 : 0.55);
    const Rgb stem = Shade(t.leaf, 0.85);
    const int cx = 3 + kind % 2, cy = 2 + kind / 2;
    for (int y = cy + 1; y < 8; ++y) flower.Put(cx + Lean(7 - y, 8 - cy, wind), y, stem);
    flower.Put(cx - 1, 6, t.leaf), flower.Put(cx + 1, 5, t.leaf);
    const int hx = cx + wind; // the head follows the stem's tip
    for (int d : {-1, 1}) flower.Put(hx + d, cy, petal), flower.Put(hx, cy + d, petal);
    if (kind % 2) // a wider flower
        for (int d : {-1, 1}) flower.Put(hx + d, cy + d, Shade(petal, 0.8));
    flower.Put(hx, cy, Mix(t.accent, Rgb{255, 230, 90}, 0.7));
    return flower;
}

Canvas Bush(const Theme& t, int kind, int wind) {
    Canvas bush(16, 16);
    const Rgb leaf = Mix(t.leaf, t.top, 0.15);
    const double puffs[2][4][3] = {{{5, 10, 5}, {10, 7, 6}, {11, 12, 5}, {4, 13, 3.5}},
                                   {{4, 11, 4}, {8, 6, 5.5}, {12, 10, 4.5}, {8, 12, 5}}};
    // The wind pushes the upper puffs a pixel aside.
    auto x = [&](const double* p) { return p[0] + (p[1] < 9 ? wind : 0); };
    for (const auto& p : puffs[kind])
        bush.FillEllipse(x(p), p[1], p[2], p[2] * 0.9, Shade(leaf, 0.7));
    for (const auto& p : puffs[kind])
        bush.FillEllipse(x(p) - 0.6, p[1] - 1, p[2] - 1.2, p[2] * 0.8 - 1, leaf);
    for (int y = 0; y < 16; ++y)
        for (int px = 0; px < 16; ++px) {
            if (bush.Clear(px, y)) continue;
            if (bush.Clear(px, y - 1))
                bush.Put(px, y, Shade(leaf, 1.3));
            else if (Pick(6, px, y, kind + 2 * wind) == 0)
                bush.Put(px, y, Shade(leaf, 0.82));
        }
    if (kind == 1) // berries
        for (int i = 0; i < 4; ++i) bush.Put(4 + i * 3, 8 + (i % 2) * 3, t.accent);
    return bush;
}

Canvas Mushroom(const Theme& t, int kind) {
    Canvas m(8, 8);
    const Rgb cap = kind % 2 ? Mix(t.brick, Rgb{220, 40, 40}, 0.5) : Mix(t.accent, t.wood, 0.4);
    const Rgb stem = Mix(t.cloud, t.wood, 0.2);
    const int w = 2 + kind % 3, cx = 4, top = 3 - kind / 2;
    for (int y = top + 2; y < 8; ++y) m.Put(cx, y, stem), m.Put(cx - 1, y, Shade(stem, 1.05));
    for (int x = cx - w; x < cx + w; ++x) m.Put(x, top + 1, Shade(cap, 0.75));
    for (int x = cx - w + 1; x < cx + w - 1; ++x) m.Put(x, top, cap);
    m.Put(cx - 1, top, Mix(cap, kWhite, 0.6));
    return m;
}

Canvas Reed(const Theme& t, int kind, int wind) {
    Canvas reed(8, 16);
    const Rgb stalk = Mix(t.leaf, t.top, 0.4), head = Shade(t.wood, 0.8);
    for (int i = 0; i < 2; ++i) {
        const int x = 2 + i * 3 + kind % 2, top = 2 + Pick(5, kind, i);
        const int length = 16 - top;
        for (int up = 0; up < length; ++up) {
            const int y = 15 - up, dx = Lean(up, length, wind * 2.0);
            reed.Put(x + dx, y, i ? stalk : Shade(stalk, 0.8));
            if (kind < 2 && up >= length - 5 && up < length - 1) // a cattail head
                reed.Put(x + dx, y, head), reed.Put(x + dx + 1, y, Shade(head, 0.8));
        }
    }
    reed.Put(1, 12, stalk), reed.Put(6, 10, stalk);
    return reed;
}

Canvas Roots(const Theme& t, int kind, int wind) {
    Canvas roots(8, 8);
    const Rgb c = kind < 2 ? Mix(t.leaf, t.earth, 0.3) : Mix(t.wood, t.earth, 0.4);
    for (int i = 0; i < 3; ++i) {
        const int x = 1 + i * 3 - (kind == 3 ? 1 : 0), length = 3 + Pick(5, kind, i);
        for (int y = 0; y < length; ++y)
            roots.Put(x + Lean(y, length, wind), y, i == 1 ? c : Shade(c, 0.8));
    }
    return roots;
}

} // namespace

void PaintPlants(const Tile& tile) {
    const Theme& t = tile.t;
    const int r = tile.r, lc = tile.lc, w = tile.frame;
    const Rgb grass = Mix(t.leaf, t.top, 0.35);
    if (r == 0)
        tile.From(Grass(grass, 8, lc, w), 0, 0);
    else if (r < 3)
        tile.From(Grass(Shade(grass, 0.92), 16, lc + 4, w), 0, (r - 1) * kChip);
    else if (r == 3)
        tile.From(Flower(t, lc, w), 0, 0);
    else if (r < 6)
        tile.From(Bush(t, lc / 2, w), (lc % 2) * kChip, (r - 4) * kChip);
    else if (r == 6)
        tile.From(Mushroom(t, lc), 0, 0);
    else if (r < 9)
        tile.From(Reed(t, lc, w), 0, (r - 7) * kChip);
    else
        tile.From(Roots(t, lc, w), 0, 0);
}

} // namespace assets
