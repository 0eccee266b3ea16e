#include "editor/map_model.h"

int ViewX = 0;
int ViewY = 0;
int PaletteX = 0;
int PaletteY = 0;
int ChipFrame = 0;
