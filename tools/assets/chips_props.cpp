// Columns 20 to 23: fences, signs, barrels, windows, pots, bones, rocks,
// banners and shields on a transparent background.
#include "tools/assets/chip_tile.h"

#include <cstdlib>

namespace assets {

namespace {

Canvas Fence(const Theme& t) {
    Canvas fence(32, 16);
    const Rgb wood = Mix(t.wood, t.cloud, 0.2);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x) {
            const int u = x % 16;
            const bool post = u >= 2 && u <= 5 && y >= 3 - (u == 3 || u == 4 ? 2 : 0);
            const bool rail = (y >= 5 && y <= 6) || (y >= 11 && y <= 12);
            if (post)
                fence.Put(x, y,
                          Grain(u == 2   ? Shade(wood, 1.15)
                                : u == 5 ? Shade(wood, 0.7)
                                         : wood,
                                x, y, 4, 0.08));
            else if (rail)
                fence.Put(x, y, y % 6 == 5 ? Shade(wood, 1.05) : Shade(wood, 0.8));
        }
    return fence;
}

Canvas Sign(const Theme& t) {
    Canvas sign(16, 16);
    for (int y = 8; y < 16; ++y)
        sign.Put(7, y, Shade(t.wood, 0.9)), sign.Put(8, y, Shade(t.wood, 0.65));
    for (int y = 1; y < 9; ++y)
        for (int x = 1; x < 15; ++x)
            sign.Put(x, y, Grain(Bevel(t.wood, x - 1, y - 1, 14, 8), x, y, 5, 0.06));
    const Rgb ink = Shade(t.wood, 0.45);
    for (int x = 4; x < 11; ++x) sign.Put(x, 5, ink);
    for (int d = 0; d < 3; ++d) sign.Put(10 - d, 5 - d, ink), sign.Put(10 - d, 5 + d, ink);
    sign.Outline(Shade(t.wood, 0.4));
    return sign;
}

Canvas Barrel(const Theme& t) {
    Canvas barrel(16, 16);
    barrel.Ellipse(8, 8.5, 7, 8.5, [&](int x, int y) {
        if (y < 1) return;
        const Rgb staves = x % 4 == 0 ? Shade(t.wood, 0.75) : t.wood;
        Rgb c = x < 5 ? Shade(staves, 1.15) : x > 11 ? Shade(staves, 0.8) : staves;
        if (y == 3 || y == 4 || y == 12 || y == 13) c = Shade(t.metal, x < 5 ? 1.1 : 0.85);
        barrel.Put(x, y, c);
    });
    barrel.Outline(Shade(t.wood, 0.4));
    return barrel;
}

Canvas Window(const Theme& t) {
    Canvas window(16, 16);
    const Rgb frame = Mix(t.stone, t.cloud, 0.2), glass = Mix(t.water, t.back, 0.3);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool arch = (x - 7.5) * (x - 7.5) + (y - 7) * (y - 7) * 2 > 64 && y < 7;
            if (arch) continue;
            const bool edge = x < 2 || x > 13 || y > 13 || x == 7 || x == 8 || y == 9;
            Rgb c = edge ? Bevel(frame, x, y, 16, 16) : glass;
            if (!edge && (x + y) % 7 == 0) c = Mix(glass, kWhite, 0.45);
            window.Put(x, y, c);
        }
    window.Outline(Shade(t.stone, 0.5));
    return window;
}

Canvas Pot(const Theme& t) {
    Canvas pot(16, 16);
    const Rgb clay = Mix(t.brick, t.wood, 0.5);
    pot.Ellipse(8, 10, 6.5, 5.5, [&](int x, int y) {
        pot.Put(x, y, x < 6 ? Shade(clay, 1.15) : x > 10 ? Shade(clay, 0.78) : clay);
    });
    pot.FillRect(5, 2, 6, 3, Shade(clay, 0.9));
    pot.FillRect(4, 1, 8, 1, Shade(clay, 1.2));
    for (int x = 3; x < 14; ++x) pot.Put(x, 10, t.accent);
    pot.Outline(Shade(clay, 0.4));
    return pot;
}

Canvas Bones(const Theme& t, int kind) {
    Canvas bones(8, 8);
    const Rgb bone = Mix(t.cloud, Rgb{230, 220, 190}, 0.6), dark = Shade(bone, 0.55);
    switch (kind) {
    case 0: // a skull
        bones.FillEllipse(4, 3.5, 3.2, 3, bone);
        bones.FillRect(2, 5, 4, 2, bone);
        bones.Put(2, 3, dark), bones.Put(5, 3, dark), bones.Put(3, 6, dark), bones.Put(4, 5, dark);
        break;
    case 1: // a bone
        for (int x = 1; x < 7; ++x) bones.Put(x, 5, bone);
        for (int x : {0, 7}) bones.Put(x, 4, bone), bones.Put(x, 6, bone);
        break;
    case 2: // ribs
        for (int y = 2; y < 8; y += 2)
            for (int x = 1; x < 7; ++x) bones.Put(x, y + (x == 1 || x == 6), bone);
        for (int y = 1; y < 8; ++y) bones.Put(4, y, Shade(bone, 0.85));
        break;
    default: // a pile of pebbles
        bones.FillEllipse(2.5, 6, 2, 1.6, t.stone);
        bones.FillEllipse(5.5, 6, 2, 1.8, Shade(t.stone, 0.85));
        bones.FillEllipse(4, 4.5, 1.6, 1.3, Shade(t.stone, 1.15));
        break;
    }
    bones.Outline(Shade(t.stone, 0.35));
    return bones;
}

Canvas Rock(const Theme& t, int kind) {
    Canvas rock(8, 8);
    const Rgb c = Mix(t.stone, t.earth, 0.2 * kind);
    const double w = 2.2 + kind * 0.5, h = 1.6 + (kind % 2);
    rock.Ellipse(4, 7.5 - h, w, h + 0.3, [&](int x, int y) {
        rock.Put(x, y, y < 7 - h ? Shade(c, 1.2) : x > 4 ? Shade(c, 0.8) : c);
    });
    rock.Outline(Shade(c, 0.4));
    return rock;
}

Canvas Banner(const Theme& t) {
    Canvas banner(16, 16);
    const Rgb cloth = Mix(t.brick, t.accent, 0.25);
    for (int x = 1; x < 15; ++x) banner.Put(x, 0, t.metal), banner.Put(x, 1, Shade(t.metal, 0.7));
    for (int y = 2; y < 16; ++y)
        for (int x = 3; x < 13; ++x) {
            if (y > 12 && std::abs(x - 7.5) < (y - 12) * 1.6) continue; // the swallowtail
            banner.Put(x, y, x == 3 ? Shade(cloth, 1.2) : x == 12 ? Shade(cloth, 0.75) : cloth);
        }
    banner.FillEllipse(8, 7, 2.5, 2.5, t.accent);
    banner.Put(8, 7, Shade(t.accent, 0.7));
    banner.Outline(Shade(cloth, 0.4));
    return banner;
}

Canvas Shield(const Theme& t) {
    Canvas shield(16, 16);
    shield.Ellipse(8, 8, 7, 7, [&](int x, int y) {
        const double d = (x - 7.5) * (x - 7.5) + (y - 7.5) * (y - 7.5);
        Rgb c = d > 30 ? t.metal : ((x / 4 + y / 4) % 2 ? t.brick : t.cloud);
        if (d < 4) c = Mix(t.metal, kWhite, 0.3);
        shield.Put(x, y, x + y < 12 ? Shade(c, 1.12) : c);
    });
    shield.Outline(Shade(t.metal, 0.4));
    return shield;
}

} // namespace

void PaintDecoration(const Tile& tile) {
    const Theme& t = tile.t;
    const int r = tile.r, lc = tile.lc, ox = (lc % 2) * kChip, oy = (r % 2) * kChip;
    if (r < 2)
        tile.From(Fence(t), lc * kChip, r * kChip);
    else if (r < 4)
        tile.From(lc < 2 ? Sign(t) : Barrel(t), ox, oy);
    else if (r < 6)
        tile.From(lc < 2 ? Window(t) : Pot(t), ox, oy);
    else if (r == 6)
        tile.From(Bones(t, lc), 0, 0);
    else if (r == 7)
        tile.From(Rock(t, lc), 0, 0);
    else
        tile.From(lc < 2 ? Banner(t) : Shield(t), ox, oy);
}

} // namespace assets
