#include "tools/assets/themes.h"

#include <array>

namespace assets {

namespace {

constexpr int kWorlds = 5, kMoods = 5;

// top, earth, brick, mortar, stone, wood, water, lava, metal, accent, leaf, cloud, back
const std::array<Theme, kWorlds> kWorldThemes{{
    // Meadow
    {{92, 180, 64},
     {150, 98, 56},
     {178, 86, 62},
     {206, 188, 156},
     {142, 142, 152},
     {168, 116, 62},
     {56, 124, 226},
     {236, 92, 28},
     {150, 162, 178},
     {246, 206, 58},
     {58, 148, 62},
     {246, 246, 255},
     {84, 70, 66}},
    // Desert
    {{234, 204, 122},
     {204, 150, 88},
     {206, 134, 82},
     {244, 224, 174},
     {192, 162, 112},
     {142, 92, 50},
     {40, 174, 204},
     {244, 110, 30},
     {196, 164, 88},
     {52, 186, 172},
     {118, 164, 62},
     {255, 242, 222},
     {128, 94, 62}},
    // Snow
    {{236, 242, 252},
     {112, 122, 146},
     {124, 146, 180},
     {206, 220, 240},
     {152, 162, 184},
     {126, 92, 70},
     {118, 192, 234},
     {238, 96, 40},
     {184, 194, 214},
     {212, 70, 80},
     {52, 112, 92},
     {250, 250, 255},
     {62, 72, 96}},
    // Cave
    {{104, 148, 72},
     {94, 72, 92},
     {116, 92, 126},
     {62, 52, 72},
     {106, 100, 116},
     {114, 82, 56},
     {48, 104, 166},
     {252, 118, 20},
     {134, 124, 146},
     {150, 236, 224},
     {72, 124, 84},
     {184, 174, 206},
     {44, 36, 52}},
    // Castle
    {{176, 176, 166},
     {112, 112, 118},
     {156, 62, 52},
     {92, 86, 82},
     {134, 134, 140},
     {124, 72, 40},
     {58, 92, 154},
     {240, 100, 36},
     {206, 174, 62},
     {236, 204, 60},
     {62, 114, 62},
     {222, 222, 232},
     {56, 50, 60}},
}};

Rgb Tint(Rgb c, double r, double g, double b, int add) {
    return {std::min(255, static_cast<int>(c.r * r) + add),
            std::min(255, static_cast<int>(c.g * g)),
            std::min(255, static_cast<int>(c.b * b) + add / 2)};
}

// Every mood changes every colour, so no two bands share a colour.
Rgb ApplyMood(Rgb c, int mood, bool plant) {
    switch (mood) {
    case 1: // evening
        return Tint(c, 1.0, 0.8, 0.68, 10);
    case 2: // night
        return Tint(c, 0.52, 0.6, 0.86, 14);
    case 3: // autumn: plants turn orange, the rest warms a little
        return plant ? Mix(c, Rgb{214, 118, 40}, 0.6) : Tint(c, 1.04, 0.93, 0.82, 0);
    case 4: { // overgrown: faded and green
        const int l = Lum(c);
        return Mix(Mix(c, Rgb{l, l, l}, 0.45), Rgb{96, 140, 84}, 0.18);
    }
    default:
        return c;
    }
}

std::array<Theme, kBandCount> MakeThemes() {
    std::array<Theme, kBandCount> themes;
    for (int w = 0; w < kWorlds; ++w)
        for (int m = 0; m < kMoods; ++m) {
            const Theme& s = kWorldThemes[w];
            auto mood = [m](Rgb c, bool plant = false) { return ApplyMood(c, m, plant); };
            themes[w * kMoods + m] = {mood(s.top, w == 0 || w == 3),
                                      mood(s.earth),
                                      mood(s.brick),
                                      mood(s.mortar),
                                      mood(s.stone),
                                      mood(s.wood),
                                      mood(s.water),
                                      mood(s.lava),
                                      mood(s.metal),
                                      mood(s.accent, true),
                                      mood(s.leaf, true),
                                      mood(s.cloud),
                                      mood(s.back)};
        }
    return themes;
}

} // namespace

const Theme& ThemeOfBand(int band) {
    static const std::array<Theme, kBandCount> themes = MakeThemes();
    return themes[band];
}

} // namespace assets
