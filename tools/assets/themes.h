// Colour themes of the chip sheets: every band of ten sheet rows draws the same
// families of chips in its own colours (five worlds, each in five moods).
#pragma once

#include "tools/assets/shading.h"

namespace assets {

struct Theme {
    Rgb top;   // what covers the ground: grass, sand, snow, moss, slabs
    Rgb earth; // ground fill
    Rgb brick, mortar;
    Rgb stone;
    Rgb wood;
    Rgb water;
    Rgb lava;
    Rgb metal;
    Rgb accent; // flowers, gems, trims
    Rgb leaf;
    Rgb cloud;
    Rgb back; // background walls
};

constexpr int kBandRows = 10;
constexpr int kBandCount = 25;

// Theme of band 0 .. kBandCount - 1.
const Theme& ThemeOfBand(int band);

} // namespace assets
