// Columns 40 to 47 (bricks) and 56 to 63 (rock), solid.
#include "tools/assets/chip_tile.h"

#include <cmath>

namespace assets {

namespace {

// Distances from a pixel to the nearest and second-nearest of a jittered grid
// of points that wraps around a `width` x `height` area.
struct Cells {
    double d1, d2;
    int id;
    double dx, dy; // from the nearest point
};

Cells Nearest(int fx, int fy, int width, int height, int cw, int ch, int seed) {
    Cells c{1e9, 1e9, 0, 0, 0};
    const int nx = width / cw, ny = height / ch, gx = fx / cw, gy = fy / ch;
    for (int j = gy - 1; j <= gy + 1; ++j)
        for (int i = gx - 1; i <= gx + 1; ++i) {
            const int wi = (i + nx) % nx, wj = (j + ny) % ny;
            const double px = i * cw + 1.5 + Pick(cw - 2, wi, wj, seed);
            const double py = j * ch + 1.5 + Pick(ch - 2, wi, wj, seed + 1);
            const double dx = fx + 0.5 - px, dy = fy + 0.5 - py, d = std::hypot(dx, dy);
            if (d < c.d1)
                c = {d, c.d1, wj * nx + wi, dx, dy};
            else if (d < c.d2)
                c.d2 = d;
        }
    return c;
}

Rgb Moss(const Theme& t, Rgb under, int fx, int fy) {
    const double n =
        std::sin(fx * 0.45 + std::sin(fy * 0.7) * 1.5) + std::sin(fy * 0.55 - fx * 0.2);
    if (n > 0.9 || (fy % 16 < 2 && n > -0.2)) return Grain(t.leaf, fx, fy, 61, 0.2);
    return under;
}

Rgb Cracked(const Theme& t, int fx, int fy) {
    const Rgb brick = Shade(Mix(t.brick, t.back, 0.35), 0.9);
    const Rgb c = BrickWall(brick, Shade(t.mortar, 0.7), fx, fy, 8, 4, 64, 62);
    const int by = fy / 4, shifted = fx + (by % 2) * 4, bx = shifted / 8 % 8;
    const int u = shifted % 8, v = fy % 4;
    if (Pick(3, bx, by, 63) == 0 && u > 0 && v > 0 && u == 1 + (v * 5 + Pick(3, bx, by)) / 3)
        return Shade(brick, 0.5);
    return c;
}

Rgb CapStone(const Theme& t, int fx, int y) {
    const Rgb stone = Mix(t.stone, t.cloud, 0.15);
    return Grain(Bevel(stone, fx % 16, y, 16, 8), fx, y, 64, 0.05);
}

Rgb Rock(const Theme& t, int fx, int fy) {
    const Cells c = Nearest(fx, fy, 64, 40, 16, 10, 71);
    if (c.d2 - c.d1 < 1.0) return Shade(Mix(t.stone, t.earth, 0.5), 0.55);
    const Rgb facet =
        Shade(Mix(t.stone, t.earth, 0.15 * Pick(4, c.id, 72)), 0.85 + 0.05 * Pick(5, c.id, 73));
    if (Pick(6, c.id, 74) == 0 && Pick(9, fx, fy) == 0) return Mix(t.accent, kWhite, 0.25);
    return Grain(c.dx + c.dy < -2  ? Shade(facet, 1.12)
                 : c.dx + c.dy > 3 ? Shade(facet, 0.88)
                                   : facet,
                 fx, fy, 75, 0.05);
}

Rgb Cobbles(const Theme& t, int fx, int fy) {
    const Cells c = Nearest(fx, fy, 64, 40, 8, 8, 81);
    const Rgb stone = Mix(t.stone, t.earth, 0.15 + 0.12 * Pick(3, c.id, 82));
    if (c.d2 - c.d1 < 1.3) return Shade(t.mortar, 0.8);
    if (c.d2 - c.d1 < 2.2) return Shade(stone, c.dy < 0 ? 1.1 : 0.78);
    return Grain(c.dx + c.dy < 0 ? Shade(stone, 1.08) : stone, fx, fy, 83, 0.05);
}

} // namespace

void PaintBricks(const Tile& tile) {
    const Theme& t = tile.t;
    const int r = tile.r;
    tile.Each([&](int x, int y) {
        const int fx = tile.Fx(x), fy = tile.Fy(y);
        Rgb c;
        if (r < 2)
            c = BrickWall(t.brick, t.mortar, fx, fy, 8, 4, 64, 31);
        else if (r < 4)
            c = BrickWall(t.stone, Shade(t.stone, 0.62), fx, fy - 16, 16, 8, 64, 32);
        else if (r < 6)
            c = Moss(t, BrickWall(Mix(t.brick, t.stone, 0.4), t.mortar, fx, fy, 8, 4, 64, 33), fx,
                     fy);
        else if (r < 8)
            c = Cracked(t, fx, fy);
        else if (r == 8)
            c = CapStone(t, fx, y);
        else
            c = BrickWall(Shade(t.stone, 0.72), Shade(t.stone, 0.45), fx, y, 16, 8, 64, 34);
        tile.Put(x, y, c);
    });
}

void PaintRock(const Tile& tile) {
    const Theme& t = tile.t;
    tile.Each([&](int x, int y) {
        const int fx = tile.Fx(x), fy = tile.Fy(y);
        tile.Put(x, y, tile.r < 5 ? Rock(t, fx, fy) : Cobbles(t, fx, fy - 40));
    });
}

} // namespace assets
