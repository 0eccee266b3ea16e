// The chip palette: a 204 x 758-pixel window of the current chip sheet at the
// right of the screen, scrolled by PaletteX and PaletteY, with its guide grid.
#pragma once

#include "editor/panel_layout.h"

// The palette's rectangle on the screen, right and bottom exclusive.
constexpr int PALETTE_X = PALETTE_AREA.x;
constexpr int PALETTE_END_X = PALETTE_AREA.Right();
constexpr int PALETTE_END_Y = PALETTE_AREA.Bottom();

// The sheet window, keyed, over whatever lies behind it.
void DrawPalette();
// Lines every six chips that move with the sheet.
void DrawPaletteGrid();
