#include "editor/selection.h"

#include "draw/draw.h"
#include "editor/editor_state.h"
#include "editor/map_model.h"
#include "editor/palette.h"
#include "editor/stamp.h"
#include "system/input_state.h"
#include "system/system.h"

#include <algorithm>

SelectionArea Selection = {};
unsigned char SelectFromMap = 0;

namespace {

constexpr COLORREF OUTLINE_COLOUR = 0x0000FF;

// Where the left button last went down, and on which cell. The selection is
// made from that cell and the one under the held button, never from a start
// in one area and an end in the other (a map cell is no sheet chip, nor a
// sheet chip a map cell): a drag that crosses into the other area keeps what
// it covered where it began.
enum PressArea { PRESS_ELSEWHERE, PRESS_PALETTE, PRESS_VIEW };
PressArea Press = PRESS_ELSEWHERE;
int PressColumn = 0;
int PressRow = 0;

void PressAt(PressArea area, int column, int row) {
    Press = area;
    PressColumn = column;
    PressRow = row;
}

void FollowTo(int column, int row, unsigned char fromMap, int originX, int scrollX, int scrollY) {
    Selection.startColumn = PressColumn;
    Selection.startRow = PressRow;
    Selection.endColumn = column;
    Selection.endRow = row;
    SelectFromMap = fromMap;
    Selection.originX = originX;
    Selection.scrollX = scrollX;
    Selection.scrollY = scrollY;
}

// Over the palette: picks sheet chips, and a held button marks a palette drag.
void PaletteSelection(int x, int y) {
    const int column = (x + PaletteX - PALETTE_X) / CELL_SIZE;
    const int row = (y + PaletteY) / CELL_SIZE;
    if (LeftClick) PressAt(PRESS_PALETTE, column, row);
    if (!LeftHeld) {
        PaletteDrag = 0;
        return;
    }
    if (Press != PRESS_PALETTE) return;
    PaletteDrag = 1;
    FollowTo(column, row, 0, PALETTE_X, PaletteX, PaletteY);
}

// Over the map view: picks map cells; a palette drag that ends here stays on.
void MapSelection(int x, int y) {
    const int column = x / CELL_SIZE + ViewX;
    const int row = y / CELL_SIZE + ViewY;
    if (LeftClick) PressAt(PRESS_VIEW, column, row);
    if (LeftHeld && Press == PRESS_VIEW) FollowTo(column, row, 1, 0, ViewX, ViewY);
}

// The outline where the selection was made on the screen, with the scroll of
// that moment. Each edge is drawn only when it lies within the bounds itself;
// the others are cut at the bounds.
void DrawOutline() {
    const int c0 = std::min(Selection.startColumn, Selection.endColumn);
    const int c1 = std::max(Selection.startColumn, Selection.endColumn);
    const int r0 = std::min(Selection.startRow, Selection.endRow);
    const int r1 = std::max(Selection.startRow, Selection.endRow);
    int left, right, top, bottom;
    if (SelectFromMap == 0) {
        left = PALETTE_X + c0 * CELL_SIZE - Selection.scrollX;
        right = PALETTE_X + c1 * CELL_SIZE + CELL_SIZE - Selection.scrollX;
        top = r0 * CELL_SIZE - Selection.scrollY;
        bottom = r1 * CELL_SIZE + CELL_SIZE - Selection.scrollY;
    } else {
        left = (c0 - Selection.scrollX) * CELL_SIZE;
        right = (c1 - Selection.scrollX) * CELL_SIZE + CELL_SIZE;
        top = (r0 - Selection.scrollY) * CELL_SIZE;
        bottom = (r1 - Selection.scrollY) * CELL_SIZE + CELL_SIZE;
    }
    const int origin = Selection.originX;
    const int drawnLeft = std::max(left, origin);
    const int drawnRight = std::min(right, PALETTE_END_X);
    const int drawnTop = std::max(top, 0);
    const int drawnBottom = std::min(bottom, PALETTE_END_Y);
    auto insideY = [](int v) { return v >= 0 && v <= PALETTE_END_Y; };
    auto insideX = [origin](int v) { return v >= origin && v <= PALETTE_END_X; };
    if (insideY(top)) elDraw::Line(drawnLeft, drawnTop, drawnRight, drawnTop, OUTLINE_COLOUR, 1);
    if (insideY(bottom))
        elDraw::Line(drawnLeft, drawnBottom, drawnRight, drawnBottom, OUTLINE_COLOUR, 1);
    if (insideX(left)) elDraw::Line(drawnLeft, drawnTop, drawnLeft, drawnBottom, OUTLINE_COLOUR, 1);
    if (insideX(right))
        elDraw::Line(drawnRight, drawnTop, drawnRight, drawnBottom, OUTLINE_COLOUR, 1);
}

} // namespace

void SelectionStep() {
    const int x = MouseX;
    const int y = MouseY;
    if (x > PALETTE_X && x < PALETTE_END_X && y < PALETTE_END_Y)
        PaletteSelection(x, y);
    else if (x < VIEW_COLUMNS * CELL_SIZE && y < VIEW_ROWS * CELL_SIZE)
        MapSelection(x, y);
    else if (LeftClick)
        Press = PRESS_ELSEWHERE;

    DrawPaletteGrid();
    DrawOutline();
    elDraw::DebugPrint(x, y + 10, "chip%d,%d", Selection.startColumn, Selection.startRow);
    elDraw::DebugPrint(x, y + 20, "chip%d,%d", Selection.endColumn, Selection.endRow);

    if (EditMode == EDIT_CHIPS && PaletteDrag == 0)
        StampStep(Selection.startColumn, Selection.startRow, Selection.endColumn, Selection.endRow);
}
