#include "editor/palette.h"

#include "draw/draw.h"
#include "editor/editor_images.h"
#include "editor/map_model.h"

namespace {

constexpr int GRID_SPACING = 6 * CELL_SIZE; // 48 pixels
constexpr COLORREF GRID_COLOUR = 0xFF6464;

} // namespace

void DrawPalette() {
    elDraw::Draw(PALETTE_X, 0, ChipSheets[ChipFrame], PaletteX, PaletteY,
                 PaletteX + PALETTE_END_X - PALETTE_X, PaletteY + PALETTE_END_Y);
}

void DrawPaletteGrid() {
    for (int k = 0; k < 4; ++k) {
        int x = PALETTE_X + GRID_SPACING * k + GRID_SPACING - PaletteX % GRID_SPACING;
        elDraw::Line(x, 0, x, PALETTE_END_Y, GRID_COLOUR, 1);
    }
    for (int k = 0; k < 15; ++k) {
        int y = GRID_SPACING * k + GRID_SPACING - PaletteY % GRID_SPACING;
        elDraw::Line(PALETTE_X, y, PALETTE_END_X, y, GRID_COLOUR, 1);
    }
}
