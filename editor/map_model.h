// The map as the editor shows it: the map model, and the view, palette and
// frame state every editor part shares.
#pragma once

#include "map/map_model.h"

constexpr int VIEW_COLUMNS = 100; // map view on the editor screen, in cells
constexpr int VIEW_ROWS = 75;

extern int ViewX; // map cell at the view's top-left corner
extern int ViewY;
extern int PaletteX; // sheet pixel at the palette's top-left corner
extern int PaletteY;
extern int ChipFrame; // which of the two chip sheets draws the chips
