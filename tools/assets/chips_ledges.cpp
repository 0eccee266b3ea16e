// Columns 28 to 31: thin platforms one can jump through from below, one
// material per row: left end, two middles, right end.
#include "tools/assets/chip_tile.h"

#include <cmath>
#include <cstdlib>

namespace assets {

namespace {

enum Material { Plank, Slab, Girder, Fluff, Log, RopeBridge, Cap, Ice, Branch, Hung };

// The colour of family pixel (fx, y) of a 32-pixel ledge, or nothing.
bool LedgePixel(const Theme& t, Material m, int fx, int y, Rgb& out) {
    const bool left = (fx < 2), right = (fx > 29);
    switch (m) {
    case Plank:
        if (y < 3)
            out = y == 0 ? Shade(t.wood, 1.2) : y == 2 ? Shade(t.wood, 0.7) : t.wood;
        else if ((fx == 3 || fx == 28) && y < 7 && y > 2)
            out = Shade(t.wood, 0.6); // braces
        else
            return false;
        if (y == 1 && fx % 8 == 4) out = t.metal; // nails
        if ((left && fx == 0) || (right && fx == 31)) out = Shade(t.wood, 0.7);
        return true;
    case Slab: { // blocks 8 wide, lit on the top and left, shaded on the bottom and right
        if (y > 3 || (y == 3 && (fx == 0 || fx == 31))) return false;
        const Rgb stone = Grain(t.stone, fx, y, 21, 0.06);
        out = (y == 0 || fx % 8 == 0)   ? Shade(stone, 1.25)
              : (y == 3 || fx % 8 == 7) ? Shade(stone, 0.65)
                                        : stone;
        return true;
    }
    case Girder: {
        const Rgb m2 = Mix(t.metal, t.brick, 0.3);
        if (y < 2)
            out = y == 0 ? Shade(m2, 1.2) : m2;
        else if (y == 7)
            out = Shade(m2, 0.8);
        else if (std::abs(fx % 8 - (y - 2) * 8 / 5) < 1 ||
                 std::abs(7 - fx % 8 - (y - 2) * 8 / 5) < 1)
            out = Shade(m2, 0.9);
        else
            return false;
        if (y == 0 && fx % 8 == 3) out = Shade(m2, 0.6); // rivets
        return true;
    }
    case Fluff: {
        const double top = 1.5 + std::sin(fx * 0.8) * 0.8, bottom = 5.5 + std::cos(fx * 0.6) * 0.8;
        if (y < top || y > bottom) return false;
        if ((left && y < 3 - fx) || (right && y < fx - 28)) return false;
        out = y < top + 1.5    ? kWhite
              : y > bottom - 1 ? Mix(Shade(t.cloud, 0.8), t.water, 0.15)
                               : t.cloud;
        return true;
    }
    case Log: {
        if (y > 4) return false;
        const Rgb bark = Shade(t.wood, 0.8);
        out = y == 0 ? Shade(bark, 1.2) : y == 4 ? Shade(bark, 0.65) : Grain(bark, fx, y, 22, 0.12);
        if (left && fx == 0) out = Mix(t.wood, t.cloud, 0.3); // cut face
        if (right && fx == 31) out = Mix(t.wood, t.cloud, 0.3);
        return true;
    }
    case RopeBridge: {
        const Rgb rope = Mix(t.wood, Rgb{220, 200, 150}, 0.5);
        const int sag = static_cast<int>(std::lround(std::sin(fx * 3.14159 / 32) * 2));
        if (y == sag)
            out = rope;
        else if (y >= 3 + sag / 2 && y <= 4 + sag / 2 && fx % 4 != 3)
            out = y == 3 + sag / 2 ? Shade(t.wood, 1.1) : Shade(t.wood, 0.8);
        else if (fx % 8 == 1 && y > sag && y < 3 + sag / 2)
            out = Shade(rope, 0.8);
        else
            return false;
        return true;
    }
    case Cap: {
        const Rgb cap = Mix(t.brick, t.accent, 0.3);
        const double edge = left ? 2 - fx : right ? fx - 29 : 0;
        if (y < edge || y > 4) return false;
        out = y == 4 ? Shade(cap, 0.6) : y == 0 || y < edge + 1 ? Shade(cap, 1.2) : cap;
        if (y == 2 && fx % 9 == 4) out = Mix(t.cloud, kWhite, 0.5); // spots
        if (y == 1 && fx % 9 == 4) out = Mix(t.cloud, kWhite, 0.5);
        return true;
    }
    case Ice: {
        const Rgb ice = Mix(t.water, kWhite, 0.55);
        const int icicle = (fx * 7) % 5 == 0 ? 3 + fx % 3 : 0;
        if (y < 3)
            out = y == 0 ? kWhite : ice;
        else if (y < 3 + icicle)
            out = Shade(ice, 0.9 - 0.05 * (y - 3));
        else
            return false;
        return true;
    }
    case Branch: {
        // Leaves in clumps along the branch, higher in the middle of each clump.
        const int clump = std::abs(fx % 6 - 3);
        if (y >= 3 && y <= 4)
            out = y == 3 ? t.wood : Shade(t.wood, 0.7);
        else if (y >= clump)
            out = y == clump ? Shade(t.leaf, 1.25) : Grain(t.leaf, fx, y, 23, 0.15);
        else
            return false;
        return true;
    }
    case Hung: {
        if ((fx == 2 || fx == 29) && y < 4)
            out = (y % 2) ? Shade(t.metal, 1.2) : Shade(t.metal, 0.7);
        else if (y >= 4 && y <= 6)
            out = y == 4 ? Shade(t.metal, 1.25) : y == 6 ? Shade(t.metal, 0.6) : t.metal;
        else
            return false;
        return true;
    }
    }
    return false;
}

} // namespace

void PaintLedges(const Tile& tile) {
    tile.Each([&](int x, int y) {
        Rgb c;
        if (LedgePixel(tile.t, static_cast<Material>(tile.r), tile.Fx(x), y, c)) tile.Put(x, y, c);
    });
}

} // namespace assets
