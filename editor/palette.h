// The chip palette: a 204 x 758-pixel window of the current chip sheet at the
// right of the screen, scrolled by PaletteX and PaletteY, with its guide grid.
#pragma once

// The palette's rectangle on the screen, right and bottom exclusive.
constexpr int PALETTE_X = 810;
constexpr int PALETTE_END_X = 1014;
constexpr int PALETTE_END_Y = 758;

// The sheet window, keyed, over whatever lies behind it.
void DrawPalette();
// Lines every six chips that move with the sheet.
void DrawPaletteGrid();
