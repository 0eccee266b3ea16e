#include "editor/map_view.h"

#include "draw/draw.h"
#include "editor/editor_state.h"
#include "editor/panel.h"
#include "text/text.h"

#include <cstdio>

namespace {

// The guide grids of the view and of the palette.
constexpr int GRID_SPACING = 6 * CELL_SIZE; // 48 pixels
constexpr COLORREF GRID_COLOUR = 0xFF6464;
constexpr COLORREF BOUNDARY_COLOUR = 0xFF0000;
static_assert(VIEW_AREA.width == VIEW_COLUMNS * CELL_SIZE &&
              VIEW_AREA.height == VIEW_ROWS * CELL_SIZE);
constexpr int SCREEN_WIDTH = SCREEN_COLUMNS * CELL_SIZE; // one game screen: 768
constexpr int SCREEN_HEIGHT = SCREEN_ROWS * CELL_SIZE;   // 576

constexpr float DIMMING_ALPHA = 0.7f; // the dimming image's share of each channel

bool DimmingLoaded = false;
ObjectNo DimmingImage = 0;

constexpr int LABEL_OFFSET = ENEMY_SPRITE_OFFSET; // numbers sit where the sprites do
constexpr COLORREF LABEL_COLOUR = 0xC8C8C8;

// The snapshot, black transparent, over the view drawn in this frame.
void DrawSnapshot() {
    elDraw::Draw(0, 0, 0, 0, 0, VIEW_COLUMNS * CELL_SIZE, VIEW_ROWS * CELL_SIZE);
}

int X(int column) { return column * CELL_SIZE + LABEL_OFFSET; }
int Y(int row) { return row * CELL_SIZE + LABEL_OFFSET; }

} // namespace

void DrawEnemySprites(int rows, int columns) {
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const int v = GetCell(EnemyLayer, ViewY + r, ViewX + c);
            if (v < 1 || v > 8) continue;
            const SpriteSize size = EnemySize[v - 1];
            elDraw::Draw(X(c), Y(r), CharSprites[v - 1], 0, 0, size.Width, size.Height);
        }
}

namespace {

// Each non-zero value of the layer in lower-case hexadecimal, small grey text.
void DrawValues(const LayerRow* layer) {
    elText::Begin(1, 7, 0, 0, 0, 0);
    elText::Color(LABEL_COLOUR, 0, 1);
    char text[12];
    for (int r = 0; r < SCREEN_ROWS; ++r)
        for (int c = 0; c < SCREEN_COLUMNS; ++c) {
            const int v = GetCell(layer, ViewY + r, ViewX + c);
            if (v == 0) continue;
            std::snprintf(text, sizeof text, "%x", static_cast<unsigned>(v));
            elText::Print(X(c), Y(r), text);
        }
    elText::End();
}

} // namespace

void DrawMapChips() {
    for (int r = 0; r < VIEW_ROWS; ++r)
        for (int c = 0; c < VIEW_COLUMNS; ++c) {
            int n = GetCell(ChipLayer, ViewY + r, ViewX + c);
            elDraw::Draw(c * CELL_SIZE, r * CELL_SIZE, ChipSheets[ChipFrame], ChipLeft(n),
                         ChipTop(n), ChipLeft(n) + CELL_SIZE, ChipTop(n) + CELL_SIZE);
        }
}

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

void TakeSnapshot() {
    // A failed load is not retried: its error box would come back every time.
    if (!DimmingLoaded) {
        DimmingImage = elDraw::LoadObject("bmp\\kurowaku.bmp", 2);
        DimmingLoaded = true;
    }
    elDraw::BlendDraw(0, 0, DIMMING_ALPHA, DimmingImage, 0, 0, VIEW_AREA.width, VIEW_AREA.height);
    elDraw::Capture(0, 0, 0, VIEW_AREA.width, VIEW_AREA.height);
}

void RetakeSnapshotAfterScroll() {
    if (ViewScrolled && EditMode != EDIT_CHIPS) TakeSnapshot();
    ViewScrolled = 0;
}

void DrawEnemyOverlay() {
    if (EditMode != EDIT_ENEMIES) return;
    DrawSnapshot();
    DrawEnemySprites(SCREEN_ROWS, SCREEN_COLUMNS);
    DrawValues(EnemyLayer);
}

void DrawAttributeOverlay() {
    if (EditMode != EDIT_ATTRIBUTES) return;
    DrawSnapshot();
    DrawValues(AttrLayer);
}
