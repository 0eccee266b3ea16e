// Columns 72 to 79: things to pick up, chests, doors, flags, banners and
// falling drops; most of them move between the two frames.
#include "tools/assets/chip_tile.h"

#include <cmath>
#include <cstdlib>
#include <numbers>

namespace assets {

namespace {

constexpr double kTau = 2 * std::numbers::pi;

Canvas Coin(const Theme& t, int kind, int frame) {
    Canvas c(8, 8);
    const Rgb metals[4] = {Mix(t.accent, Rgb{250, 200, 40}, 0.6), Mix(t.metal, kWhite, 0.3),
                           Mix(t.wood, Rgb{200, 120, 60}, 0.6),
                           Mix(t.accent, Rgb{120, 220, 255}, 0.5)};
    const Rgb m = metals[kind];
    const double rx = frame ? 1.5 : 3.2;
    c.Ellipse(4, 4, rx, 3.4, [&](int x, int y) { c.Put(x, y, x < 4 ? Mix(m, kWhite, 0.35) : m); });
    if (!frame) c.Put(4, 3, Shade(m, 0.7)), c.Put(4, 4, Shade(m, 0.7));
    c.Outline(Shade(m, 0.45));
    return c;
}

Canvas Gem(const Theme& t, int kind, int frame) {
    Canvas c(8, 8);
    const Rgb tints[4] = {t.accent, {230, 40, 70}, {60, 210, 90}, {70, 110, 240}};
    const Rgb g = Mix(tints[kind], t.accent, kind ? 0.2 : 0);
    c.Polygon({{1, 3}, {3, 1}, {5, 1}, {7, 3}, {4, 7.5}}, [&](int x, int y) {
        c.Put(x, y, y < 3 ? Mix(g, kWhite, 0.4) : x < 4 ? g : Shade(g, 0.72));
    });
    c.Put(frame ? 5 : 2, frame ? 2 : 3, kWhite);
    c.Outline(Shade(g, 0.4));
    return c;
}

Canvas Pickup(const Theme& t, int kind, int frame) {
    Canvas c(8, 8);
    const int lift = frame; // bobbing up and down
    switch (kind) {
    case 0: { // a heart
        const Rgb red = Mix(t.brick, Rgb{240, 40, 60}, 0.7);
        c.FillEllipse(2.5, 3.5 - lift, 1.8, 1.8, red),
            c.FillEllipse(5.5, 3.5 - lift, 1.8, 1.8, red);
        c.FillPolygon({{0.8, 4.0 - lift}, {7.2, 4.0 - lift}, {4, 7.5 - lift}}, red);
        c.Put(2, 3 - lift, kWhite);
        break;
    }
    case 1: { // a star
        std::vector<Point> star;
        for (int i = 0; i < 10; ++i) {
            const double a = -std::numbers::pi / 2 + i * std::numbers::pi / 5,
                         d = i % 2 ? 1.6 : 3.8;
            star.push_back({4 + std::cos(a) * d, 4.3 - lift + std::sin(a) * d});
        }
        c.FillPolygon(star, Mix(t.accent, Rgb{255, 230, 60}, 0.6));
        break;
    }
    case 2: { // a key
        const Rgb gold = Mix(t.accent, Rgb{230, 190, 50}, 0.5);
        c.FillEllipse(2.5, 3.5 - lift, 2, 2, gold);
        c.Erase(2, 3 - lift);
        for (int x = 4; x < 8; ++x) c.Put(x, 3 - lift, gold);
        c.Put(6, 4 - lift, gold), c.Put(7, 5 - lift, gold);
        break;
    }
    default: { // a potion
        const Rgb liquid = Mix(t.accent, Rgb{200, 60, 220}, 0.6);
        c.FillEllipse(4, 5 - lift, 2.6, 2.4, Mix(t.cloud, liquid, 0.2));
        c.Ellipse(4, 5.5 - lift, 2.2, 1.8, [&](int x, int y) { c.Put(x, y, liquid); });
        c.FillRect(3, 1 - lift, 2, 2, Mix(t.cloud, t.water, 0.3));
        c.FillRect(3, 0 - lift, 2, 1, t.wood);
        break;
    }
    }
    c.Outline(Shade(Mix(t.back, t.brick, 0.3), 0.6));
    return c;
}

Canvas Fruit(const Theme& t, int kind, int frame) {
    Canvas c(8, 8);
    const int lift = frame;
    const Rgb fruit[4] = {{220, 40, 40}, {180, 20, 50}, {240, 210, 60}, {140, 60, 170}};
    const Rgb f = Mix(fruit[kind], t.accent, 0.15);
    if (kind == 1)
        c.FillEllipse(2.5, 5.5 - lift, 1.8, 1.8, f), c.FillEllipse(5.5, 5 - lift, 1.8, 1.8, f);
    else if (kind == 3)
        for (int i = 0; i < 6; ++i)
            c.FillEllipse(2.5 + (i % 3) * 1.5 + (i / 3) * 0.7, 3.5 + (i / 3) * 2 - lift, 1.1, 1.1,
                          i % 2 ? f : Shade(f, 0.8));
    else
        c.FillEllipse(4, 4.8 - lift, kind ? 2.4 : 3, 3, f);
    c.Put(4, 1 - lift, Shade(t.wood, 0.7)), c.Put(5, 0 - lift + 1, t.leaf),
        c.Put(3, 4 - lift, Mix(f, kWhite, 0.5));
    c.Outline(Shade(f, 0.4));
    return c;
}

Canvas Chest(const Theme& t, bool open, int frame) {
    Canvas c(16, 16);
    const Rgb wood = t.wood, band = Mix(t.metal, t.accent, 0.4);
    const int lidTop = open ? 2 : 4;
    for (int y = lidTop; y < 16; ++y)
        for (int x = 1; x < 15; ++x) {
            const bool lid = y < 8;
            if (open && y >= 4 && y < 8) { // the treasure inside
                c.Put(x, y, Pick(3, x, y, frame) ? Mix(t.accent, Rgb{255, 220, 60}, 0.6) : kWhite);
                continue;
            }
            Rgb col = Grain(lid ? Shade(wood, 1.1) : wood, x, y, 121, 0.08);
            if (x == 3 || x == 12 || y == 8 || y == 15) col = band;
            c.Put(x, y, col);
        }
    if (!open) c.FillRect(7, 8, 2, 3, Mix(t.accent, kWhite, 0.3));
    if (open && frame) c.Put(4, 1, kWhite), c.Put(11, 0, kWhite), c.Put(8, 2, kWhite);
    c.Outline(Shade(wood, 0.35));
    return c;
}

Canvas Door(const Theme& t, bool metal) {
    Canvas c(16, 16);
    const Rgb m = metal ? t.metal : t.wood;
    for (int y = 0; y < 16; ++y)
        for (int x = 1; x < 15; ++x) {
            if (y < 4 && (x - 7.5) * (x - 7.5) + (y - 5) * (y - 5) * 3 > 48) continue; // arched top
            Rgb col = metal ? (x % 3 == 1 ? Shade(m, 1.2) : Shade(m, 0.55))
                            : Grain(x % 4 == 0 ? Shade(m, 0.75) : m, x, y, 122, 0.08);
            if (!metal && (y == 5 || y == 12)) col = t.metal;
            if (!metal && x == 11 && y == 9) col = Mix(t.accent, kWhite, 0.3);
            c.Put(x, y, col);
        }
    c.Outline(Shade(m, 0.3));
    return c;
}

Canvas Checkpoint(const Theme& t, int frame) {
    Canvas c(16, 16);
    for (int y = 1; y < 16; ++y) c.Put(3, y, Shade(t.metal, 1.1)), c.Put(4, y, Shade(t.metal, 0.7));
    c.FillRect(2, 14, 4, 2, Shade(t.metal, 0.8));
    const Rgb cloth = Mix(t.accent, Rgb{60, 220, 90}, 0.5);
    for (int x = 5; x < 15; ++x) {
        const int wave = static_cast<int>(std::lround(std::sin(kTau * (x + 4 * frame) / 10)));
        for (int y = 2 + wave; y < 8 + wave; ++y)
            c.Put(x, y, y == 2 + wave ? Mix(cloth, kWhite, 0.3) : cloth);
    }
    c.Put(3, 0, Mix(t.accent, kWhite, 0.4)), c.Put(4, 0, t.accent);
    return c;
}

Canvas ExitSign(const Theme& t, int frame) {
    Canvas c(16, 16);
    const Rgb board = Mix(t.leaf, Rgb{30, 140, 70}, 0.6);
    for (int y = 2; y < 11; ++y)
        for (int x = 0; x < 16; ++x) c.Put(x, y, Bevel(board, x, y - 2, 16, 9));
    const Rgb arrow = frame ? Rgb{255, 255, 220} : Mix(board, kWhite, 0.45);
    for (int x = 3; x < 12; ++x) c.Put(x, 6, arrow);
    for (int d = 0; d < 4; ++d) c.Put(12 - d, 6 - d, arrow), c.Put(12 - d, 6 + d, arrow);
    for (int y = 11; y < 16; ++y) c.Put(7, y, t.metal), c.Put(8, y, Shade(t.metal, 0.7));
    c.Outline(Shade(board, 0.4));
    return c;
}

} // namespace

void PaintItems(const Tile& tile) {
    const Theme& t = tile.t;
    const int r = tile.r, lc = tile.lc, f = tile.frame, ox = (lc % 2) * kChip, oy = (r % 2) * kChip;
    if (r == 0)
        tile.From(Coin(t, lc, f), 0, 0);
    else if (r == 1)
        tile.From(Gem(t, lc, f), 0, 0);
    else if (r == 2)
        tile.From(Pickup(t, lc, f), 0, 0);
    else if (r == 3)
        tile.From(Fruit(t, lc, f), 0, 0);
    else if (r < 6)
        tile.From(Chest(t, lc >= 2, f), ox, oy);
    else if (r < 8)
        tile.From(Door(t, lc >= 2), ox, oy);
    else
        tile.From(lc < 2 ? Checkpoint(t, f) : ExitSign(t, f), ox, oy);
}

} // namespace assets
