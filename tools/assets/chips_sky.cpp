// Columns 0 to 11: things in the sky, background walls, and what one climbs.
#include "tools/assets/chip_tile.h"

#include <cmath>
#include <numbers>

namespace assets {

namespace {

void Star(const Tile& tile, int k) {
    const Rgb c = Mix(tile.t.cloud, tile.t.accent, (k % 3) * 0.35);
    const Rgb dim = Shade(c, 0.6);
    const int cx = 2 + Pick(4, k, 1), cy = 2 + Pick(4, k, 2);
    switch (k % 5) {
    case 0: // a small round star
        tile.Put(cx, cy, c), tile.Put(cx + 1, cy, dim), tile.Put(cx, cy + 1, dim);
        tile.Put(cx + 1, cy + 1, Shade(c, 0.8));
        break;
    case 1: // a plus
        tile.Put(cx, cy, kWhite);
        for (int d : {-1, 1}) tile.Put(cx + d, cy, c), tile.Put(cx, cy + d, c);
        break;
    case 2: // a long plus with a bright heart
        tile.Put(cx, cy, kWhite);
        for (int d : {-1, 1}) tile.Put(cx + d, cy, c), tile.Put(cx, cy + d, c);
        for (int d : {-2, 2}) tile.Put(cx + d, cy, dim), tile.Put(cx, cy + d, dim);
        break;
    case 3: // a sparkle with diagonal glints
        tile.Put(cx, cy, kWhite);
        for (int d : {-1, 1}) {
            tile.Put(cx + d, cy, c), tile.Put(cx, cy + d, c);
            tile.Put(cx + d, cy + d, dim), tile.Put(cx + d, cy - d, dim);
        }
        break;
    default: // two faint stars
        tile.Put(cx, cy, c);
        tile.Put((cx + 4) % 7, (cy + 3) % 7, dim);
        break;
    }
}

// A cloud lit from above: a shadowed body and a lighter, raised top.
Canvas Cloud(const Theme& t, int kind) {
    Canvas cloud(32, 16);
    static constexpr double kPuffs[3][5][3] = {
        {{6, 10, 6}, {14, 7, 7}, {22, 8, 6}, {28, 11, 5}, {17, 12, 9}},
        {{5, 11, 5}, {11, 6, 6}, {19, 5, 7}, {27, 9, 6}, {16, 11, 10}},
        {{5, 9, 5}, {13, 9, 7}, {21, 7, 6}, {28, 9, 4}, {16, 12, 14}},
    };
    const Rgb shadow = Mix(Shade(t.cloud, 0.78), t.water, 0.15);
    for (const auto& p : kPuffs[kind]) cloud.FillEllipse(p[0], p[1], p[2], p[2] * 0.75, shadow);
    for (const auto& p : kPuffs[kind])
        cloud.FillEllipse(p[0] - 0.5, p[1] - 1.5, p[2] - 1, p[2] * 0.75 - 1, t.cloud);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x)
            if (!cloud.Clear(x, y) && cloud.Clear(x, y - 1)) cloud.Put(x, y, kWhite);
    return cloud;
}

Canvas Sun(const Theme& t) {
    Canvas sun(16, 16);
    const Rgb c = Mix(t.accent, Rgb{255, 220, 80}, 0.8);
    for (int i = 0; i < 8; ++i) {
        const double a = i * std::numbers::pi / 4;
        for (double d = 5.5; d < 8; d += 0.5)
            sun.Put(static_cast<int>(8 + std::cos(a) * d), static_cast<int>(8 + std::sin(a) * d),
                    Shade(c, 0.85));
    }
    sun.Ellipse(8, 8, 4.6, 4.6,
                [&](int x, int y) { sun.Put(x, y, (x + y < 14) ? Mix(c, kWhite, 0.45) : c); });
    return sun;
}

Canvas Moon(const Theme& t) {
    Canvas moon(16, 16);
    const Rgb c = Mix(t.cloud, Rgb{255, 240, 180}, 0.4);
    moon.Ellipse(8, 8, 6.5, 6.5,
                 [&](int x, int y) { moon.Put(x, y, x + y > 18 ? Shade(c, 0.82) : c); });
    for (const Point crater : {Point{5.5, 6.5}, Point{10, 10}, Point{9.5, 4.5}})
        moon.FillEllipse(crater.x, crater.y, 1.3, 1.3, Shade(c, 0.78));
    moon.Outline(Shade(c, 0.62));
    return moon;
}

void BackWall(const Tile& tile) {
    const Theme& t = tile.t;
    const int fy = tile.Fy(0) - 6 * kChip;
    if (tile.lc < 4) {
        tile.Each([&](int x, int y) {
            tile.Put(x, y, BrickWall(t.back, Shade(t.back, 0.7), tile.Fx(x), fy + y, 8, 4, 32, 3));
        });
        return;
    }
    // Vertical planks with nails, and a window over four chips.
    const int fx0 = tile.Fx(0) - 4 * kChip;
    const Rgb wood = Mix(t.back, t.wood, 0.35);
    tile.Each([&](int x, int y) {
        const int fx = fx0 + x, plank = fx / 5, u = fx % 5, fyy = fy + y;
        Rgb c = Shade(wood, 0.9 + 0.05 * Pick(4, plank, 7));
        if (u == 0)
            c = Shade(wood, 0.62);
        else if (Pick(7, fx, fyy / 3) == 0)
            c = Shade(c, 0.9);
        if (u == 2 && fyy % 16 == 3) c = Mix(t.metal, t.back, 0.3);
        tile.Put(x, y, c);
    });
    // The window covers pixels (8, 8) to (24, 24) of the plank wall.
    const int wx = fx0 - 8, wy = fy - 8;
    for (int y = 0; y < kChip; ++y)
        for (int x = 0; x < kChip; ++x) {
            const int u = wx + x, v = wy + y;
            if (u < 0 || v < 0 || u >= 16 || v >= 16) continue;
            const bool frame =
                u < 2 || v < 2 || u > 13 || v > 13 || u == 7 || u == 8 || v == 7 || v == 8;
            Rgb c = frame ? Mix(t.wood, t.back, 0.2) : Mix(t.water, t.back, 0.45);
            if (frame && (u == 0 || v == 0)) c = Shade(c, 1.2);
            if (!frame && (u + v == 8 || u + v == 9 || u + v == 22)) c = Mix(c, kWhite, 0.4);
            tile.Put(x, y, c);
        }
}

} // namespace

void PaintSky(const Tile& tile) {
    const int r = tile.r, lc = tile.lc;
    if (r < 2) {
        if (tile.band == 0 && r == 0 && lc == 0) return; // chip 0 stays transparent
        Star(tile, r * 8 + lc);
    } else if (r < 4) {
        tile.From(Cloud(tile.t, lc / 4), (lc % 4) * kChip, (r - 2) * kChip);
    } else if (r < 6 && lc < 4) {
        tile.From(Cloud(tile.t, 2), lc * kChip, (r - 4) * kChip);
    } else if (r < 6) {
        tile.From(lc < 6 ? Sun(tile.t) : Moon(tile.t), (lc % 2) * kChip, (r - 4) * kChip);
    } else {
        BackWall(tile);
    }
}

void PaintClimbing(const Tile& tile) {
    const Theme& t = tile.t;
    const int r = tile.r;
    if (tile.lc < 2) { // a ladder two chips wide
        const int fx0 = tile.lc * kChip;
        tile.Each([&](int x, int y) {
            const int fx = fx0 + x;
            const bool rail = fx == 2 || fx == 3 || fx == 12 || fx == 13;
            const bool rung = (y == 1 || y == 5) && fx > 3 && fx < 12 && !(r == 0 && y == 1);
            if (rail && !(r == 0 && y == 0)) {
                Rgb c = (fx == 2 || fx == 12) ? Shade(t.wood, 1.15) : Shade(t.wood, 0.78);
                if (r == 9 && y == 7) c = Shade(t.wood, 0.55);
                tile.Put(x, y, c);
            } else if (rung) {
                tile.Put(x, y, t.wood);
            } else if ((y == 2 || y == 6) && fx > 3 && fx < 12 && !(r == 0 && y == 2)) {
                tile.Put(x, y, Shade(t.wood, 0.6)); // the rung's shadow
            }
        });
        return;
    }
    if (tile.lc == 2) { // a hanging vine, its leaves on alternating sides
        const Rgb leaf = t.leaf;
        tile.Each([&](int x, int y) {
            const int fy = tile.Fy(y);
            const int stem = 3 + static_cast<int>(std::lround(std::sin(fy * std::numbers::pi / 8)));
            if (x == stem) tile.Put(x, y, Shade(leaf, 0.75));
            const int phase = (fy + Pick(3, r)) % 6;
            const int side = (fy / 6) % 2 ? 1 : -1;
            if (phase == 2 && (x == stem + side || x == stem + 2 * side))
                tile.Put(x, y, x == stem + side ? leaf : Shade(leaf, 1.25));
            if (phase == 3 && x == stem + side) tile.Put(x, y, Shade(leaf, 0.9));
        });
        if (r == 0) tile.Put(3, 0, Shade(leaf, 0.6)), tile.Put(4, 0, Shade(leaf, 0.6));
        return;
    }
    if (r < 5) { // a chain of alternating links, hung from a ring
        const Rgb m = t.metal;
        tile.Each([&](int x, int y) {
            const int v = (y + 2) % 8;
            if (v < 5 && (x == 2 || x == 5) && v > 0) tile.Put(x, y, x == 2 ? Shade(m, 1.2) : m);
            if ((v == 0 || v == 5) && x > 2 && x < 5) tile.Put(x, y, Shade(m, 1.1));
            if (v > 5 && (x == 3 || x == 4)) tile.Put(x, y, Shade(m, x == 3 ? 0.9 : 0.7));
        });
        if (r == 0)
            for (int x = 1; x < 7; ++x) tile.Put(x, 0, Shade(m, 0.8));
        return;
    }
    // A twisted rope, knotted at its top.
    const Rgb rope = Mix(t.wood, Rgb{220, 200, 150}, 0.5);
    tile.Each([&](int x, int y) {
        if (x < 3 || x > 4) return;
        tile.Put(x, y, ((x + y) % 3 == 0) ? Shade(rope, 0.7) : (x == 3 ? Shade(rope, 1.1) : rope));
    });
    if (r == 5)
        for (int x = 2; x < 6; ++x) tile.Put(x, 1, Shade(rope, 0.85)), tile.Put(x, 2, rope);
}

} // namespace assets
