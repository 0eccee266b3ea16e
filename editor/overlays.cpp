#include "editor/overlays.h"

#include "draw/draw.h"
#include "editor/editor_images.h"
#include "editor/editor_state.h"
#include "editor/map_model.h"
#include "text/text.h"

#include <cstdio>

namespace {

constexpr int LABEL_OFFSET = 2; // sprites and numbers sit 2 pixels into their cell
constexpr COLORREF LABEL_COLOUR = 0xC8C8C8;

// The snapshot, black transparent, over the view drawn in this frame.
void DrawSnapshot() {
    elDraw::Draw(0, 0, 0, 0, 0, VIEW_COLUMNS * CELL_SIZE, VIEW_ROWS * CELL_SIZE);
}

int X(int column) { return column * CELL_SIZE + LABEL_OFFSET; }
int Y(int row) { return row * CELL_SIZE + LABEL_OFFSET; }

void DrawEnemySprites() {
    for (int r = 0; r < SCREEN_ROWS; ++r)
        for (int c = 0; c < SCREEN_COLUMNS; ++c) {
            const int v = GetCell(EnemyLayer, ViewY + r, ViewX + c);
            if (v < 1 || v > 8) continue;
            const SpriteSize size = EnemySize[v - 1];
            elDraw::Draw(X(c), Y(r), CharSprites[v - 1], 0, 0, size.Width, size.Height);
        }
}

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

void DrawEnemyOverlay() {
    if (EditMode != EDIT_ENEMIES) return;
    DrawSnapshot();
    DrawEnemySprites();
    DrawValues(EnemyLayer);
}

void DrawAttributeOverlay() {
    if (EditMode != EDIT_ATTRIBUTES) return;
    DrawSnapshot();
    DrawValues(AttrLayer);
}
