#include "editor/guide_grid.h"

#include "draw/draw.h"
#include "editor/map_model.h"
#include "editor/panel_layout.h"

namespace {

constexpr int GRID_SPACING = 6 * CELL_SIZE; // 48 pixels
constexpr COLORREF GRID_COLOUR = 0xFF6464;
constexpr COLORREF BOUNDARY_COLOUR = 0xFF0000;
static_assert(VIEW_AREA.width == VIEW_COLUMNS * CELL_SIZE &&
              VIEW_AREA.height == VIEW_ROWS * CELL_SIZE);
constexpr int SCREEN_WIDTH = SCREEN_COLUMNS * CELL_SIZE; // one game screen: 768
constexpr int SCREEN_HEIGHT = SCREEN_ROWS * CELL_SIZE;   // 576

} // namespace

int GridLineX(int viewX, int k) {
    return GRID_SPACING * k + GRID_SPACING - viewX * CELL_SIZE % GRID_SPACING;
}
int GridLineY(int viewY, int k) {
    return GRID_SPACING * k + GRID_SPACING - viewY * CELL_SIZE % GRID_SPACING;
}
int ScreenBoundaryX(int viewX) { return SCREEN_WIDTH - viewX * CELL_SIZE % SCREEN_WIDTH; }
int ScreenBoundaryY(int viewY) { return SCREEN_HEIGHT - viewY * CELL_SIZE % SCREEN_HEIGHT; }

void DrawGuideGrid() {
    for (int k = 0; k < 16; ++k) {
        int x = GridLineX(ViewX, k);
        elDraw::Line(x, 0, x, VIEW_AREA.height, GRID_COLOUR, 1);
    }
    for (int k = 0; k < 12; ++k) {
        int y = GridLineY(ViewY, k);
        elDraw::Line(0, y, VIEW_AREA.width, y, GRID_COLOUR, 1);
    }
    int x = ScreenBoundaryX(ViewX);
    elDraw::Line(x, 0, x, VIEW_AREA.height, BOUNDARY_COLOUR, 2);
    int y = ScreenBoundaryY(ViewY);
    elDraw::Line(0, y, VIEW_AREA.width, y, BOUNDARY_COLOUR, 2);
}
