// Columns 24 to 27: torches, candles, lanterns, fires and glowing things; the
// flames flicker between the two frames.
#include "tools/assets/chip_tile.h"

#include <cmath>

namespace assets {

namespace {

struct FlameColours {
    Rgb outer, middle, core;
};

FlameColours Fire(const Theme& t) {
    return {Mix(t.lava, Rgb{230, 70, 20}, 0.4), Mix(t.lava, Rgb{255, 200, 40}, 0.6),
            Rgb{255, 250, 200}};
}

// A flame standing on (cx, base), `height` tall; the second frame leans the tip
// and changes the height by a pixel.
void Flame(Canvas& c, const FlameColours& f, double cx, int base, int height, int frame) {
    const int h = height + (frame ? -1 : 0);
    for (int i = 0; i < h; ++i) {
        const double t = static_cast<double>(i) / h; // 0 at the base, 1 at the tip
        const double half = (1.0 - t * t) * height * 0.32 + 0.3;
        const double mid = cx + (frame ? t * t * 1.5 : -t * t * 0.8);
        const int y = base - i;
        for (int x = static_cast<int>(std::floor(mid - half)); x <= mid + half; ++x) {
            const double d = std::abs(x + 0.5 - mid) / half;
            c.Put(x, y, d < 0.35 && t < 0.6 ? f.core : d < 0.7 ? f.middle : f.outer);
        }
    }
}

Canvas WallTorch(const Theme& t, int frame) {
    Canvas c(8, 16);
    for (int i = 0; i < 6; ++i)
        c.Put(3 + i / 3, 9 + i, Shade(t.wood, 0.8)), c.Put(4 + i / 3, 9 + i, t.wood);
    c.FillRect(2, 8, 5, 2, t.metal);
    c.FillRect(3, 13, 4, 1, Shade(t.metal, 0.7));
    Flame(c, Fire(t), 4.5, 7, 7, frame);
    return c;
}

Canvas Candle(const Theme& t, int frame) {
    Canvas c(8, 16);
    const Rgb wax = Mix(t.cloud, Rgb{250, 240, 210}, 0.5);
    for (int y = 7; y < 14; ++y)
        c.Put(3, y, Shade(wax, 1.05)), c.Put(4, y, wax), c.Put(5, y, Shade(wax, 0.8));
    c.Put(3, 8, kWhite), c.Put(4, 6, Shade(t.wood, 0.5));
    c.FillRect(1, 14, 7, 1, t.metal), c.FillRect(2, 15, 5, 1, Shade(t.metal, 0.7));
    Flame(c, Fire(t), 4.5, 5, 5, frame);
    return c;
}

Canvas Lantern(const Theme& t, int frame) {
    Canvas c(8, 16);
    for (int y = 0; y < 4; ++y) c.Put(4, y, Shade(t.metal, 0.8));
    c.FillRect(2, 4, 5, 2, t.metal);
    for (int y = 6; y < 14; ++y)
        for (int x = 1; x < 8; ++x)
            c.Put(x, y,
                  x == 1 || x == 7 ? Shade(t.metal, 0.8)
                                   : Mix(t.accent, Rgb{255, 230, 140}, 0.5 + 0.2 * frame));
    c.FillRect(1, 14, 7, 2, Shade(t.metal, 0.7));
    Flame(c, Fire(t), 4.5, 12, 4, frame);
    return c;
}

Canvas Brazier(const Theme& t, int frame, int height) {
    Canvas c(8, 8 * height);
    const int bottom = 8 * height;
    for (int y = 8; y < bottom - 2; ++y)
        c.Put(3, y, Shade(t.metal, 1.1)), c.Put(4, y, Shade(t.metal, 0.75));
    c.FillRect(1, bottom - 2, 6, 2, Shade(t.metal, 0.8));
    for (int x = 0; x < 8; ++x) c.Put(x, 6, t.metal), c.Put(x, 7, Shade(t.metal, 0.7));
    Flame(c, Fire(t), 4, 5, 6, frame);
    return c;
}

Canvas Campfire(const Theme& t, int frame) {
    Canvas c(16, 16);
    for (int x = 1; x < 15; ++x) {
        c.Put(x, 13 + (x < 8 ? (8 - x) / 5 : 0), Shade(t.wood, 0.9));
        c.Put(15 - x, 14 - (x < 8 ? (8 - x) / 5 : 0), Shade(t.wood, 0.7));
    }
    for (int x = 0; x < 16; x += 3) c.Put(x, 15, t.stone), c.Put(x + 1, 15, Shade(t.stone, 0.8));
    Flame(c, Fire(t), 8, 12, 11, frame);
    Flame(c, Fire(t), 4.5, 12, 6, 1 - frame);
    Flame(c, Fire(t), 11.5, 12, 7, 1 - frame);
    return c;
}

Canvas Crystals(const Theme& t, int frame) {
    Canvas c(16, 16);
    const Rgb glow = Mix(t.accent, Rgb{160, 255, 255}, 0.5);
    const double spikes[4][3] = {{4, 6, 2}, {8, 1, 2.5}, {11, 5, 2}, {6, 9, 1.5}};
    for (const auto& s : spikes)
        c.Polygon({{s[0] - s[2], 15.5}, {s[0], s[1]}, {s[0] + s[2], 15.5}}, [&](int x, int y) {
            c.Put(x, y, x < s[0] ? Mix(glow, kWhite, 0.35) : Shade(glow, 0.75));
        });
    c.Outline(Shade(glow, frame ? 0.75 : 0.45));
    if (frame) c.Put(8, 3, kWhite), c.Put(4, 8, kWhite), c.Put(11, 7, kWhite);
    return c;
}

Canvas Fireflies(const Theme& t, int kind, int band, int frame) {
    Canvas c(8, 8);
    const Rgb glow = Mix(t.accent, Rgb{220, 255, 120}, 0.6);
    for (int i = 0; i < 2; ++i) {
        // One fly in each half, so that their glows never meet.
        const int x = 1 + 4 * i + Pick(2, kind, i, frame, band),
                  y = 1 + Pick(6, kind, i, frame + 2, band);
        c.Put(x, y, kWhite);
        for (int d : {-1, 1}) c.Put(x + d, y, Shade(glow, 0.6)), c.Put(x, y + d, Shade(glow, 0.6));
    }
    return c;
}

Canvas Chandelier(const Theme& t, int frame) {
    Canvas c(16, 16);
    for (int y = 0; y < 7; ++y) c.Put(8, y, Shade(t.metal, 0.8));
    for (int x = 1; x < 15; ++x) c.Put(x, 12, t.metal), c.Put(x, 13, Shade(t.metal, 0.65));
    c.FillRect(6, 7, 4, 5, t.metal);
    for (int x : {2, 8, 13}) {
        c.Put(x, 10, Mix(t.cloud, Rgb{250, 240, 210}, 0.5)),
            c.Put(x, 11, Mix(t.cloud, Rgb{250, 240, 210}, 0.3));
        Flame(c, Fire(t), x + 0.5, 9, 3, (x + frame) % 2);
    }
    return c;
}

Canvas Fireplace(const Theme& t, int frame) {
    Canvas c(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool opening = x > 2 && x < 13 && y > 5 &&
                                 !((x - 7.5) * (x - 7.5) + (y - 8) * (y - 8) * 3 > 36 && y < 8);
            c.Put(x, y,
                  opening ? Mix(t.back, Rgb{40, 20, 10}, 0.5)
                          : BrickWall(t.stone, Shade(t.stone, 0.6), x, y, 8, 4, 16, 9));
        }
    for (int x = 4; x < 12; ++x) c.Put(x, 14, Shade(t.wood, 0.8));
    Flame(c, Fire(t), 6.5, 13, 6, frame);
    Flame(c, Fire(t), 9.5, 13, 5, 1 - frame);
    return c;
}

Canvas CageLantern(const Theme& t, int frame) {
    Canvas c(8, 24);
    for (int y = 0; y < 12; ++y)
        c.Put(4, y, y % 3 == 2 ? Shade(t.metal, 1.2) : Shade(t.metal, 0.75));
    for (int y = 12; y < 21; ++y)
        for (int x = 1; x < 8; ++x)
            if (x == 1 || x == 7 || x == 4 || y == 12 || y == 20) c.Put(x, y, t.metal);
    Flame(c, Fire(t), 3.5, 19, 5, frame);
    Flame(c, Fire(t), 5.5, 19, 4, 1 - frame);
    return c;
}

Canvas LampPost(const Theme& t, int frame) {
    Canvas c(8, 24);
    for (int y = 7; y < 22; ++y) c.Put(3, y, Shade(t.metal, 1.1)), c.Put(4, y, Shade(t.metal, 0.7));
    c.FillRect(1, 22, 6, 2, Shade(t.metal, 0.8));
    const Rgb light = Mix(Rgb{255, 240, 170}, t.accent, 0.3);
    c.FillRect(1, 1, 6, 1, t.metal);
    c.FillRect(1, 2, 6, 4, frame ? Mix(light, kWhite, 0.4) : light);
    c.FillRect(2, 6, 4, 1, t.metal);
    c.Put(3, 0, t.metal), c.Put(4, 0, t.metal);
    return c;
}

Canvas PoleTorch(const Theme& t, int frame) {
    Canvas c(8, 24);
    for (int y = 8; y < 24; ++y) c.Put(3, y, Shade(t.wood, 1.1)), c.Put(4, y, Shade(t.wood, 0.75));
    for (int y = 6; y < 10; ++y)
        for (int x = 2 + (y - 6) / 2; x < 7 - (y - 6) / 2; ++x)
            c.Put(x, y, (x + y) % 2 ? Mix(t.wood, t.top, 0.4) : Shade(t.wood, 0.8));
    Flame(c, Fire(t), 4.5, 5, 6, frame);
    return c;
}

} // namespace

void PaintLights(const Tile& tile) {
    const Theme& t = tile.t;
    const int r = tile.r, lc = tile.lc, f = tile.frame, ox = (lc % 2) * kChip;
    if (r < 2) {
        const Canvas objects[4] = {WallTorch(t, f), Candle(t, f), Lantern(t, f), Brazier(t, f, 2)};
        tile.From(objects[lc], 0, r * kChip);
    } else if (r < 4) {
        tile.From(lc < 2 ? Campfire(t, f) : Crystals(t, f), ox, (r - 2) * kChip);
    } else if (r == 4) {
        tile.From(Fireflies(t, lc, tile.band, f), 0, 0);
    } else if (r < 7) {
        tile.From(lc < 2 ? Chandelier(t, f) : Fireplace(t, f), ox, (r - 5) * kChip);
    } else {
        const Canvas objects[4] = {LampPost(t, f), Brazier(t, f, 3), CageLantern(t, f),
                                   PoleTorch(t, f)};
        tile.From(objects[lc], 0, (r - 7) * kChip);
    }
}

} // namespace assets
