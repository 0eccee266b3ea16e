// Columns 76 to 79: flags waving on poles, swinging banners, bunting, and
// rain, leaves and bubbles on their way; all move between the two frames.
#include "tools/assets/chip_tile.h"

#include <cmath>
#include <numbers>

namespace assets {

namespace {

constexpr double kTau = 2 * std::numbers::pi;

Canvas PoleFlag(const Theme& t, Rgb cloth, bool striped, int frame) {
    Canvas c(32, 16);
    for (int y = 2; y < 16; ++y)
        c.Put(3, y, Shade(t.metal, 1.15)), c.Put(4, y, Shade(t.metal, 0.7));
    c.FillEllipse(4, 1.5, 1.6, 1.5, Mix(t.accent, kWhite, 0.3));
    for (int x = 5; x < 30; ++x) {
        const double wave = std::sin(kTau * (x - 5 + 6 * frame) / 20) * 1.5 * (x - 5) / 25.0;
        const int top = 3 + static_cast<int>(std::lround(wave));
        for (int y = top; y < top + 10; ++y) {
            Rgb col = (striped && (y - top) / 3 == 1) ? Mix(cloth, kWhite, 0.7) : cloth;
            if (std::cos(kTau * (x - 5 + 6 * frame) / 20) > 0.5) col = Shade(col, 0.82); // folds
            c.Put(x, y, col);
        }
    }
    return c;
}

Canvas Banner(const Theme& t, Rgb cloth, int frame) {
    Canvas c(16, 16);
    for (int x = 1; x < 15; ++x) c.Put(x, 0, Shade(t.wood, 1.1)), c.Put(x, 1, Shade(t.wood, 0.7));
    for (int y = 2; y < 16; ++y) {
        const int swing = frame * (y / 6);
        for (int x = 3; x < 13; ++x) {
            if (y > 12 && std::abs(x - 7.5) < (y - 12) * 1.5) continue;
            c.Put(x + swing, y, x == 3 ? Shade(cloth, 1.15) : x == 12 ? Shade(cloth, 0.75) : cloth);
        }
    }
    c.FillEllipse(8 + frame, 7, 2, 2.5, Mix(t.accent, kWhite, 0.2));
    return c;
}

Canvas Bunting(const Theme& t, int frame) {
    Canvas c(32, 8);
    const Rgb colours[4] = {t.accent, t.brick, t.water, t.leaf};
    for (int x = 0; x < 32; ++x)
        c.Put(x, 1 + static_cast<int>(std::lround(std::sin(x * kTau / 64) * 1)),
              Shade(t.wood, 0.8));
    for (int i = 0; i < 4; ++i) {
        const double x0 = i * 8 + 1, tip = x0 + 3 + (frame ? (i % 2 ? 1 : -1) : 0);
        c.FillPolygon({{x0, 2}, {x0 + 6, 2}, {tip, 7.5}}, colours[i]);
    }
    return c;
}

Canvas Drop(const Theme& t, int kind, int frame) {
    Canvas c(8, 8);
    const int fall = frame * 3, x = 2 + kind;
    const Rgb drop = Mix(t.water, kWhite, 0.5);
    c.Put(x, (1 + fall) % 8, Shade(drop, 0.8));
    c.Put(x, (2 + fall) % 8, drop);
    c.Put(x, (3 + fall) % 8, Mix(drop, kWhite, 0.5));
    c.Put((x + 3) % 8, (5 + fall + kind) % 8, drop);
    return c;
}

Canvas Leaf(const Theme& t, int kind, int frame) {
    Canvas c(8, 8);
    const Rgb leaf = kind % 2 ? Mix(t.leaf, t.accent, 0.5) : Mix(t.leaf, Rgb{210, 120, 40}, 0.5);
    const int x = 2 + kind % 3 + frame, y = 1 + kind / 2 + frame * 3;
    c.Put(x, y, leaf), c.Put(x + 1, y, Shade(leaf, 0.8)),
        c.Put(x + 1 - frame, y + 1, Shade(leaf, 1.2));
    c.Put(x + 2 - 2 * frame, y + 1 + frame, Shade(leaf, 0.7));
    return c;
}

Canvas Bubble(const Theme& t, int kind, int frame) {
    Canvas c(8, 8);
    const Rgb rim = Mix(t.water, kWhite, 0.6);
    const double cx = 3 + kind % 2 + frame * (kind % 2 ? -1 : 1), cy = 5 - frame * 3 + kind * 0.25;
    const double radius = 1.3 + kind * 0.3;
    c.Ellipse(cx, cy, radius + 0.6, radius + 0.6, [&](int x, int y) {
        if (std::hypot(x + 0.5 - cx, y + 0.5 - cy) > radius - 0.2) c.Put(x, y, rim);
    });
    c.Put(static_cast<int>(cx - 1), static_cast<int>(cy - 1), kWhite);
    return c;
}

} // namespace

void PaintFlags(const Tile& tile) {
    const Theme& t = tile.t;
    const int r = tile.r, lc = tile.lc, f = tile.frame;
    if (r < 2)
        tile.From(PoleFlag(t, t.accent, false, f), lc * kChip, r * kChip);
    else if (r < 4)
        tile.From(PoleFlag(t, Mix(t.brick, t.water, 0.3), true, f), lc * kChip, (r - 2) * kChip);
    else if (r < 6)
        tile.From(Banner(t, lc < 2 ? Mix(t.water, t.back, 0.3) : Mix(t.brick, t.accent, 0.2), f),
                  (lc % 2) * kChip, (r - 4) * kChip);
    else if (r == 6)
        tile.From(Bunting(t, f), lc * kChip, 0);
    else if (r == 7)
        tile.From(Drop(t, lc, f), 0, 0);
    else if (r == 8)
        tile.From(Leaf(t, lc, f), 0, 0);
    else
        tile.From(Bubble(t, lc, f), 0, 0);
}

} // namespace assets
