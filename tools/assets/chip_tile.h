// One 8 x 8 chip being drawn, and the painters of the chip families. A family
// covers a range of sheet columns in every band; a painter draws one chip of it
// from the chip's place in the family, the band's theme and the frame.
#pragma once

#include "tools/assets/canvas.h"
#include "tools/assets/themes.h"

namespace assets {

constexpr int kChip = 8;

struct Tile {
    Canvas& sheet;
    int lc;    // column inside the family
    int r;     // row inside the band
    int band;  // band of ten rows, selects the theme
    int frame; // 0 or 1: which of the two sheets
    const Theme& t;
    int x0, y0; // top-left pixel of the chip in the sheet

    // Pixel position inside the family's area of the band, for textures that
    // run on across the chips of a family.
    int Fx(int x) const { return lc * kChip + x; }
    int Fy(int y) const { return r * kChip + y; }
    // Local chip pixels; anything outside 0..7 is ignored.
    void Put(int x, int y, Rgb c) const;
    Rgb Get(int x, int y) const;
    bool Clear(int x, int y) const;
    // Copies the part of `picture` that this chip shows when the picture's
    // top-left corner lies (ox, oy) pixels left of and above the chip's.
    void From(const Canvas& picture, int ox, int oy) const;
    // Calls `paint` for every pixel of the chip.
    template <typename F> void Each(F paint) const {
        for (int y = 0; y < kChip; ++y)
            for (int x = 0; x < kChip; ++x) paint(x, y);
    }
};

// A speckled surface colour: the base shaded by a per-pixel hash.
Rgb Grain(Rgb base, int x, int y, int seed, double amount);
// Bevel of a block `width` x `height` pixels: light on the top and left, dark
// on the bottom and right; (u, v) inside it.
Rgb Bevel(Rgb base, int u, int v, int width, int height);
// A brick wall of `bw` x `bh` bricks, every other row shifted by half a brick,
// mortar on the top and left of each brick; the bricks' shades repeat every
// `period` pixels across.
Rgb BrickWall(Rgb brick, Rgb mortar, int fx, int fy, int bw, int bh, int period, int seed);

// Non-solid families: columns 0 to 31.
void PaintSky(const Tile& tile);        // stars, clouds, sun and moon, back walls
void PaintClimbing(const Tile& tile);   // ladders, vines, chains, ropes
void PaintWater(const Tile& tile);      // animated
void PaintPlants(const Tile& tile);     // animated
void PaintDecoration(const Tile& tile); // fences, signs, barrels, windows...
void PaintLights(const Tile& tile);     // animated torches, candles, fires
void PaintLedges(const Tile& tile);     // jump-through platforms
// Solid families: columns 32 to 63.
void PaintGround(const Tile& tile);
void PaintBricks(const Tile& tile);
void PaintBlocks(const Tile& tile);
void PaintRock(const Tile& tile);
// Non-solid families: columns 64 to 79.
void PaintLava(const Tile& tile);    // animated
void PaintHazards(const Tile& tile); // spikes, saw blades, webs, thorns
void PaintItems(const Tile& tile);   // coins, gems, chests, doors, flags
void PaintFlags(const Tile& tile);   // flags, banners, falling drops

} // namespace assets
