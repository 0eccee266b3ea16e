#include "tools/assets/chip_tile.h"

#include <algorithm>

namespace assets {

void Tile::Put(int x, int y, Rgb c) const {
    if (x >= 0 && y >= 0 && x < kChip && y < kChip) sheet.Put(x0 + x, y0 + y, c);
}

Rgb Tile::Get(int x, int y) const { return sheet.Get(x0 + x, y0 + y); }

bool Tile::Clear(int x, int y) const { return sheet.Clear(x0 + x, y0 + y); }

void Tile::From(const Canvas& picture, int ox, int oy) const {
    Each([&](int x, int y) {
        if (!picture.Clear(ox + x, oy + y)) Put(x, y, picture.Get(ox + x, oy + y));
    });
}

Rgb Grain(Rgb base, int x, int y, int seed, double amount) {
    static constexpr double kSteps[8] = {-1, -0.5, 0, 0, 0, 0, 0.5, 1};
    return Shade(base, 1.0 + amount * kSteps[Pick(8, x, y, seed)]);
}

Rgb Bevel(Rgb base, int u, int v, int width, int height) {
    const bool right = u == width - 1, bottom = v == height - 1;
    if (u == 0 || v == 0) return (right || bottom) ? base : Shade(base, 1.3);
    if (right || bottom) return Shade(base, 0.62);
    if (u == 1 || v == 1) return Shade(base, 1.12);
    return base;
}

Rgb BrickWall(Rgb brick, Rgb mortar, int fx, int fy, int bw, int bh, int period, int seed) {
    const int by = fy / bh, shifted = fx + (by % 2) * bw / 2;
    const int bx = (shifted / bw) % (period / bw), u = shifted % bw, v = fy % bh;
    if (u == 0 || v == 0) return Grain(mortar, fx, fy, seed + 1, 0.08);
    Rgb face = Shade(brick, 0.88 + 0.06 * Pick(5, bx, by, seed));
    if (v == 1)
        face = Shade(face, 1.12);
    else if (v == bh - 1 || u == bw - 1)
        face = Shade(face, 0.84);
    return Grain(face, fx, fy, seed, 0.06);
}

} // namespace assets
