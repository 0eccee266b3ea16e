// Columns 48 to 55, solid: single blocks of ten materials, big blocks, pipes,
// machine boxes and riveted wall panels.
#include "tools/assets/chip_tile.h"

#include <cmath>
#include <cstdlib>

namespace assets {

namespace {

Rgb MaterialOf(const Theme& t, int m) {
    const Rgb kinds[10] = {t.stone,
                           t.metal,
                           t.wood,
                           Mix(t.accent, Rgb{230, 180, 40}, 0.5),
                           Mix(t.water, kWhite, 0.5),
                           Mix(t.brick, t.accent, 0.5),
                           Mix(t.earth, t.top, 0.3),
                           t.brick,
                           Mix(t.accent, Rgb{120, 200, 255}, 0.5),
                           Shade(Mix(t.metal, t.back, 0.5), 0.8)};
    return kinds[m];
}

// An 8 x 8 block; the second variant carries a mark in its middle.
Rgb SmallBlock(const Theme& t, int m, int variant, int x, int y) {
    const Rgb base = MaterialOf(t, m);
    Rgb c = Grain(Bevel(base, x, y, 8, 8), x, y, 91 + m, m == 2 ? 0.12 : 0.05);
    if (m == 2 && x > 1 && x < 6 && (x == y || x == 7 - y)) c = Shade(base, 0.7);  // crate brace
    if (m == 1 && (x == 2 || x == 5) && (y == 2 || y == 5)) c = Shade(base, 1.35); // rivets
    if (m == 4 && x + y == 5 && x > 1) c = kWhite;                                 // ice shine
    if (variant == 1) {
        if (m == 0 || m == 6 || m == 7) { // a crack
            if (x > 1 && x < 7 && y == 2 + x / 2) c = Shade(base, 0.5);
        } else if (std::abs(x - 3.5) + std::abs(y - 3.5) < 2.1) { // an emblem
            c = Mix(t.cloud, base, 0.3);
        }
    }
    return c;
}

Rgb BigBlock(const Theme& t, int kind, int u, int v) {
    const int m[5] = {0, 1, 2, 4, 9};
    const Rgb base = MaterialOf(t, m[kind]);
    Rgb c = Grain(Bevel(base, u, v, 16, 16), u, v, 101 + kind, kind == 2 ? 0.1 : 0.04);
    const bool inner = u > 2 && u < 13 && v > 2 && v < 13;
    switch (kind) {
    case 0: // a stone with a sunken panel
        if (inner)
            c = (u == 3 || v == 3)     ? Shade(base, 0.7)
                : (u == 12 || v == 12) ? Shade(base, 1.2)
                                       : Shade(base, 0.95);
        break;
    case 1: // a metal crate with a cross and rivets
        if (inner && (std::abs(u - v) < 1 || std::abs(u + v - 15) < 1)) c = Shade(base, 1.2);
        if ((u == 2 || u == 13) && (v == 2 || v == 13)) c = kWhite;
        break;
    case 2: // a wooden crate: planks and a frame
        if (inner) c = Grain((v / 3) % 2 ? base : Shade(base, 0.9), u, v, 102, 0.1);
        if (inner && v % 3 == 0) c = Shade(base, 0.65);
        break;
    case 3: // ice with a shine
        if ((u + v == 8 || u + v == 9) && u > 2 && v > 2) c = kWhite;
        if (u + v == 12 && u > 4) c = Mix(base, kWhite, 0.6);
        break;
    default: { // a carved block with a gem
        const double d = std::hypot(u - 7.5, v - 7.5);
        if (d < 4.5)
            c = d < 2.5 ? (u < 8 ? Mix(t.accent, kWhite, 0.35) : t.accent) : Shade(base, 0.75);
        if (std::abs(d - 5.5) < 0.5) c = Mix(t.metal, t.accent, 0.5);
        break;
    }
    }
    return c;
}

// A pipe of diameter 16: shading across `a` (0..15), bands near its ends.
Rgb Pipe(const Theme& t, int a, int along, int length) {
    const Rgb green = Mix(t.metal, t.leaf, 0.55);
    static constexpr double kProfile[16] = {0.55, 0.8,  1.0, 1.25, 1.4, 1.2,  1.05, 1.0,
                                            1.0,  0.95, 0.9, 0.85, 0.8, 0.72, 0.62, 0.5};
    const bool rim = along < 4 || along >= length - 4;
    Rgb c = Shade(rim ? Shade(green, 1.1) : green, kProfile[a]);
    if (along == 4 || along == length - 5) c = Shade(green, 0.5);
    return c;
}

Rgb MachineBox(const Theme& t, int kind, int u, int v) {
    const Rgb base = Mix(t.metal, t.back, 0.3);
    Rgb c = Bevel(base, u, v, 16, 16);
    if ((u == 2 || u == 13) && (v == 2 || v == 13)) c = Shade(base, 1.4);
    if (kind == 0) { // a junction with a lamp
        if (std::hypot(u - 7.5, v - 7.5) < 3) c = Mix(t.accent, Rgb{255, 80, 40}, 0.5);
        if (std::hypot(u - 6.5, v - 6.5) < 1) c = kWhite;
    } else { // a gauge
        const double d = std::hypot(u - 7.5, v - 7.5);
        if (d < 4.5) c = Mix(t.cloud, kWhite, 0.5);
        if (std::abs(d - 4.5) < 0.6) c = Shade(base, 0.6);
        if (u >= 7 && u <= 10 && u - 7 == 8 - v) c = Rgb{200, 40, 40};
    }
    return c;
}

Rgb Panel(const Theme& t, int u, int v, int fx, int fy) {
    const Rgb base = Mix(t.metal, t.stone, 0.3);
    const int px = fx / 16, py = fy / 16;
    const int kind = (px + py * 2) % 4;
    Rgb c = Grain(Bevel(base, u, v, 16, 16), fx, fy, 111, 0.04);
    if ((u == 2 || u == 13) && (v == 2 || v == 13)) return Shade(base, 1.35);
    if (kind == 1 && u > 3 && u < 12 && v > 3 && v < 12 && v % 2 == 0)
        return Shade(base, 0.45);                        // grille
    if (kind == 2 && u > 0 && u < 15 && v > 4 && v < 11) // warning stripes
        return ((u + v) / 3) % 2 ? Mix(t.accent, Rgb{250, 200, 30}, 0.6) : kNearBlack;
    return c;
}

} // namespace

void PaintBlocks(const Tile& tile) {
    const Theme& t = tile.t;
    const int r = tile.r, lc = tile.lc;
    tile.Each([&](int x, int y) {
        const int fx = tile.Fx(x), fy = tile.Fy(y), u = fx % 16, v = fy % 16;
        Rgb c;
        if (lc < 2)
            c = SmallBlock(t, r, lc, x, y);
        else if (lc < 4)
            c = BigBlock(t, r / 2, u, v);
        else if (r < 2)
            c = Pipe(t, fy, fx - 32, 32);
        else if (r < 6 && lc < 6)
            c = Pipe(t, u, fy - 16, 32);
        else if (r < 6)
            c = MachineBox(t, (r - 2) / 2, u, v);
        else
            c = Panel(t, u, v, fx - 32, fy - 48);
        tile.Put(x, y, c);
    });
}

} // namespace assets
