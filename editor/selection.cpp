#include "editor/selection.h"

#include "draw/draw.h"
#include "editor/edited_map.h"
#include "editor/editor_state.h"
#include "editor/map_view.h"
#include "editor/overview.h"
#include "map/layer_area.h"
#include "map/undo_history.h"
#include "system/input_state.h"
#include "system/system.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

SelectionArea Selection = {};
unsigned char SelectFromMap = 0;

namespace {

// Selection.

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

void FollowTo(int column, int row, unsigned char fromMap) {
    Selection = {PressColumn, PressRow, column, row};
    SelectFromMap = fromMap;
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
    FollowTo(column, row, 0);
}

// Over the map view: picks map cells; a palette drag that ends here stays on.
void MapSelection(int x, int y) {
    const int column = x / CELL_SIZE + ViewX;
    const int row = y / CELL_SIZE + ViewY;
    if (LeftClick) PressAt(PRESS_VIEW, column, row);
    if (LeftHeld && Press == PRESS_VIEW) FollowTo(column, row, 1);
}

// The outline over the cells it marks, where the palette or the view shows
// them now. Each edge is drawn only when it lies within the palette or the
// view itself; the others are cut at its bounds.
void DrawOutline() {
    const int c0 = std::min(Selection.startColumn, Selection.endColumn);
    const int c1 = std::max(Selection.startColumn, Selection.endColumn);
    const int r0 = std::min(Selection.startRow, Selection.endRow);
    const int r1 = std::max(Selection.startRow, Selection.endRow);
    const bool fromMap = SelectFromMap == 1;
    // Where cell (0, 0) of the sheet or the map lies on the screen.
    const int originX = fromMap ? -ViewX * CELL_SIZE : PALETTE_X - PaletteX;
    const int originY = fromMap ? -ViewY * CELL_SIZE : -PaletteY;
    const PanelRect bounds = fromMap ? VIEW_AREA : PALETTE_AREA;
    const int left = originX + c0 * CELL_SIZE;
    const int right = originX + (c1 + 1) * CELL_SIZE;
    const int top = originY + r0 * CELL_SIZE;
    const int bottom = originY + (r1 + 1) * CELL_SIZE;
    const int drawnLeft = std::max(left, bounds.x);
    const int drawnRight = std::min(right, bounds.Right());
    const int drawnTop = std::max(top, bounds.y);
    const int drawnBottom = std::min(bottom, bounds.Bottom());
    auto insideY = [&](int v) { return v >= bounds.y && v <= bounds.Bottom(); };
    auto insideX = [&](int v) { return v >= bounds.x && v <= bounds.Right(); };
    if (drawnLeft <= drawnRight) {
        if (insideY(top))
            elDraw::Line(drawnLeft, drawnTop, drawnRight, drawnTop, OUTLINE_COLOUR, 1);
        if (insideY(bottom))
            elDraw::Line(drawnLeft, drawnBottom, drawnRight, drawnBottom, OUTLINE_COLOUR, 1);
    }
    if (drawnTop <= drawnBottom) {
        if (insideX(left))
            elDraw::Line(drawnLeft, drawnTop, drawnLeft, drawnBottom, OUTLINE_COLOUR, 1);
        if (insideX(right))
            elDraw::Line(drawnRight, drawnTop, drawnRight, drawnBottom, OUTLINE_COLOUR, 1);
    }
}

// Stamping.

struct MapCell {
    int column, row;
};

MapCell StampAnchor = {}; // the cell where the right button went down

constexpr COLORREF SIZE_OUTLINE_COLOUR = 0x00FF00;

// Map cells on the area a stamp covers.
struct Area {
    int left, top, width, height;
};

// The selection as a tile: its top-left cell and size, and where its cells come from.
struct Tile {
    int column, row, width, height;
    bool fromMap;
};

MapCell CurrentCell = {}; // the cell under the pointer in the drag's last frame

// The span from the anchor to the current cell along one axis. Dragged
// backwards it stops short of the anchor's own column or row.
void DragSpan(int anchor, int current, int& first, int& count) {
    if (current >= anchor) {
        first = anchor;
        count = current - anchor + 1;
    } else {
        first = current;
        count = anchor - current;
    }
}

MapCell CellAt(int x, int y) { return {x / CELL_SIZE + ViewX, y / CELL_SIZE + ViewY}; }

// A map cell's chip as a stamp copies it. A number that names no chip of the
// sheet (from a hand-edited file) is copied as chip 0, so that no stamp ever
// writes one.
std::int32_t CopiedChip(int row, int column) {
    const std::int32_t n = GetCell(ChipLayer, row, column);
    return n >= 0 && n < CHIP_COUNT ? n : 0;
}

// The chip the stamp puts at row i, column j of the area: a sheet chip, or the
// value a map cell holds at that moment. While the fill runs, `written` holds
// its rows before row i and `row` row i's values before column j; cells they
// cover are read from them. Both are null for the preview.
std::int32_t SourceChip(const Tile& tile, const Area& area, const std::int32_t* written,
                        const std::int32_t* row, int i, int j) {
    const int sourceRow = tile.row + i % tile.height;
    const int sourceColumn = tile.column + j % tile.width;
    if (!tile.fromMap) return sourceColumn + sourceRow * SHEET_COLUMNS;
    if (written && IsInsideLayer(sourceRow, sourceColumn)) {
        const int k = sourceRow - area.top;
        const int l = sourceColumn - area.left;
        const bool inArea = k >= 0 && k < area.height && l >= 0 && l < area.width;
        if (inArea && k < i) return written[static_cast<std::int64_t>(k) * area.width + l];
        if (inArea && k == i && l < j) return row[l];
    }
    return CopiedChip(sourceRow, sourceColumn);
}

// The values the stamp writes over the area, filled row after row, so a map
// selection overlapping the area repeats the cells already overwritten.
tessera::AreaImage StampImage(const Tile& tile, const Area& area) {
    tessera::AreaImage image =
        tessera::ReservedImage(static_cast<std::size_t>(area.width) * area.height);
    std::vector<std::int32_t> row(area.width);
    std::int32_t* out = row.data();
    for (int i = 0; i < area.height; ++i) {
        const std::int32_t* written = image.data();
        const bool readsOwnRow = tile.fromMap && tile.row + i % tile.height == area.top + i;
        if (readsOwnRow) {
            for (int j = 0; j < area.width; ++j)
                out[j] = SourceChip(tile, area, written, out, i, j);
        } else {
            // Any other row repeats its first tile width: work that out, then double it.
            const int period = std::min(tile.width, area.width);
            for (int j = 0; j < period; ++j) out[j] = SourceChip(tile, area, written, out, i, j);
            for (int done = period; done < area.width; done *= 2)
                std::memcpy(out + done, out,
                            sizeof(std::int32_t) * std::min(done, area.width - done));
        }
        image.insert(image.end(), row.begin(), row.end());
    }
    return image;
}

// The drag area as it will be written, drawn opaque in the view. Only the
// cells inside the view and the clip rectangle are visited: once the anchor
// has scrolled out of the view, the area reaches under the scroll bars, the
// palette and the panel, and a drag can cover the whole map.
void DrawPreview(const Tile& tile, const Area& area) {
    const ClipRectangle& clip = elDraw::ClipRect;
    const int top = std::max(clip.top, 0);
    const int bottom = std::min(clip.bottom, VIEW_AREA.height);
    const int left = std::max(clip.left, 0);
    const int right = std::min(clip.right, VIEW_AREA.width);
    const int firstI = std::max(0, top / CELL_SIZE + ViewY - area.top);
    const int lastI =
        std::min(area.height, (bottom + CELL_SIZE - 1) / CELL_SIZE + ViewY - area.top);
    const int firstJ = std::max(0, left / CELL_SIZE + ViewX - area.left);
    const int lastJ = std::min(area.width, (right + CELL_SIZE - 1) / CELL_SIZE + ViewX - area.left);
    for (int i = firstI; i < lastI; ++i)
        for (int j = firstJ; j < lastJ; ++j) {
            const int n = SourceChip(tile, area, nullptr, nullptr, i, j);
            elDraw::DrawOpaque((area.left + j - ViewX) * CELL_SIZE,
                               (area.top + i - ViewY) * CELL_SIZE, ChipSheets[ChipFrame],
                               ChipLeft(n), ChipTop(n), ChipLeft(n) + CELL_SIZE,
                               ChipTop(n) + CELL_SIZE);
        }
}

// The selection's size at the pointer's cell, when it fits in the view.
void DrawSizeOutline(const Tile& tile, int x, int y) {
    if (x + (tile.width - 1) * CELL_SIZE >= VIEW_AREA.width ||
        y + (tile.height - 1) * CELL_SIZE >= VIEW_AREA.height)
        return;
    const int px = x / CELL_SIZE * CELL_SIZE;
    const int py = y / CELL_SIZE * CELL_SIZE;
    const int w = tile.width * CELL_SIZE;
    const int h = tile.height * CELL_SIZE;
    elDraw::Line(px, py, px, py + h, SIZE_OUTLINE_COLOUR, 1);
    elDraw::Line(px, py, px + w, py, SIZE_OUTLINE_COLOUR, 1);
    elDraw::Line(px + w, py, px + w, py + h, SIZE_OUTLINE_COLOUR, 1);
    elDraw::Line(px, py + h, px + w, py + h, SIZE_OUTLINE_COLOUR, 1);
}

// Writes the area on release: a plain click stamps the selection once, a drag
// fills what it covered. The history gets the area's old and new contents.
void Release(const Tile& tile) {
    Area area{StampAnchor.column, StampAnchor.row, tile.width, tile.height};
    if (CurrentCell.column != StampAnchor.column || CurrentCell.row != StampAnchor.row) {
        DragSpan(StampAnchor.column, CurrentCell.column, area.left, area.width);
        DragSpan(StampAnchor.row, CurrentCell.row, area.top, area.height);
        StampAnchor = {area.left, area.top};
    }
    WriteStamp(EditorMap, EditorHistory, StampImage(tile, area), area.width, area.height, area.left,
               area.top);
    OverviewTouch(area.left, area.top, area.width, area.height);
    NoteEdit();
    Stamping = 0;
}

// Once per frame in chip editing, with the selection's start and end cells.
void StampStep(int startColumn, int startRow, int endColumn, int endRow) {
    const Tile tile{std::min(startColumn, endColumn), std::min(startRow, endRow),
                    std::abs(endColumn - startColumn) + 1, std::abs(endRow - startRow) + 1,
                    SelectFromMap == 1};
    const int x = MouseX;
    const int y = MouseY;

    DrawSizeOutline(tile, x, y);
    const bool pressedInView =
        RightHeld && RightClick && x < VIEW_AREA.width && y < VIEW_AREA.height;
    if (pressedInView) StampAnchor = CellAt(x, y);
    // Only a press inside the view starts a drag: a press elsewhere that slides
    // into the view has no anchor of its own.
    if (RightHeld && (pressedInView || Stamping == 1) && x <= VIEW_AREA.width &&
        y <= VIEW_AREA.height) {
        Stamping = 1;
        CurrentCell = CellAt(x, y);
        Area drag{};
        DragSpan(StampAnchor.column, CurrentCell.column, drag.left, drag.width);
        DragSpan(StampAnchor.row, CurrentCell.row, drag.top, drag.height);
        DrawPreview(tile, drag);
    }
    if (Stamping == 1 && !RightHeld) Release(tile);
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
