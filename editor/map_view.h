// What the editor draws of the map and the chip sheet: the view's chips, the
// chip palette, the guide grids over both, the darkened snapshot of the view,
// and what attribute and enemy editing draw over it.
#pragma once

#include "editor/panel_layout.h"
#include "map/map_model.h"

// Every view cell, chip 0 included, from the sheet of the current frame.
void DrawMapChips();

// The chip palette: a 204 x 758-pixel window of the current chip sheet at the
// right of the screen, scrolled by PaletteX and PaletteY. Its rectangle on the
// screen, right and bottom exclusive:
constexpr int PALETTE_X = PALETTE_AREA.x;
constexpr int PALETTE_END_X = PALETTE_AREA.Right();
constexpr int PALETTE_END_Y = PALETTE_AREA.Bottom();
// The palette's last position: the sheet less the palette's window.
constexpr int PALETTE_X_MAX = SHEET_COLUMNS * CELL_SIZE - PALETTE_AREA.width; // 436
constexpr int PALETTE_Y_MAX = SHEET_ROWS * CELL_SIZE - PALETTE_AREA.height;   // 1242

// The sheet window, keyed, over whatever lies behind it.
void DrawPalette();
// Lines every six chips that move with the sheet.
void DrawPaletteGrid();

// The guide grid every six cells and the edges of the game screens, over the
// map view; both move with the map. Positions on the screen of grid line k
// (vertical lines: k 0..15, horizontal lines: k 0..11) and of the screen
// boundaries, for a view position in cells:
int GridLineX(int viewX, int k);
int GridLineY(int viewY, int k);
int ScreenBoundaryX(int viewX);
int ScreenBoundaryY(int viewY);

void DrawGuideGrid();

// The darkened still picture of the map that attribute and enemy editing show
// as the view's background. It lives in internal object 0.
//
// Dims the 800 x 600 view of the back buffer as it is now and copies it into
// object 0. The dimming image is loaded on the first call and kept.
void TakeSnapshot();
// Retakes the picture when the scroll bars moved the view in attribute or
// enemy editing, then clears the scroll flag.
void RetakeSnapshotAfterScroll();

// Enemy types 1 to 8 of the view's first `rows` x `columns` cells, as sprites
// 2 pixels into their cells.
void DrawEnemySprites(int rows, int columns);

// Over the view, the snapshot and, for the first game screen's worth of cells,
// the layer's values. Enemy editing only: enemy types 1 to 8 as sprites, every
// non-zero value as a hexadecimal number.
void DrawEnemyOverlay();
// Attribute editing only: every non-zero attribute as a hexadecimal number.
void DrawAttributeOverlay();
