// The mode buttons of the panel's second row, the attribute pass that entering
// attribute editing runs, and the raising and lowering of the cell under the
// pointer in attribute and enemy editing. A held button starts repeating once
// HoldTime reaches half a second; each of the two button checks adds the
// frame's time while no repeat runs, so one held button starts it after about
// a quarter of a second.
#include "editor/modes.h"

#include "draw/draw.h"
#include "editor/edited_map.h"
#include "editor/map_view.h"
#include "editor/overview.h"
#include "editor/panel_layout.h"
#include "system/input_state.h"
#include "system/system.h"

#include <cstdint>

namespace {

constexpr int VALUE_MAX = 255;
constexpr float REPEAT_DELAY = 0.5f;

// Leaving chip editing dims the picture of this frame and ends a stamp drag
// unwritten; between attribute and enemy editing the old picture stays.
void EnterMode(int mode) {
    if (EditMode == EDIT_CHIPS) {
        TakeSnapshot();
        Stamping = 0;
    }
    EditMode = mode;
}

// A click on a mode button chooses its mode.
void ChooseMode() {
    if (!LeftClick) return;
    auto clicked = [](PanelControl button) {
        return PANEL_LAYOUT[button].screen.Holds(MouseX, MouseY);
    };
    if (clicked(MODE_CHIPS)) {
        EditMode = EDIT_CHIPS;
    } else if (clicked(MODE_ATTRIBUTES)) {
        EnterMode(EDIT_ATTRIBUTES);
        SolidPass();
    } else if (clicked(MODE_ENEMIES)) {
        EnterMode(EDIT_ENEMIES);
    }
}

// Sets a cell and counts the edit; cells beyond the layers read 0 and keep it.
void SetEditedCell(LayerRow* layer, int row, int column, int value) {
    if (!IsInsideLayer(row, column)) return;
    SetCell(layer, row, column, value);
    NoteEdit();
}

// A value from a hand-edited file may lie outside 0 to 255: it only moves
// towards that range, so it never wraps.
void Raise(LayerRow* layer, int row, int column) {
    const int v = GetCell(layer, row, column);
    if (v < VALUE_MAX) SetEditedCell(layer, row, column, v + 1);
}

void Lower(LayerRow* layer, int row, int column) {
    const int v = GetCell(layer, row, column);
    if (v > 0) SetEditedCell(layer, row, column, v - 1);
}

// One check of a held button: it edits while repeating over the view, and
// otherwise counts the time, or resets the repeat once both buttons are up.
void HeldButton(int held, bool inView, void (*edit)(LayerRow*, int, int), LayerRow* layer, int row,
                int column) {
    if (held && RepeatOn == 1 && inView) {
        edit(layer, row, column);
    } else if (!LeftHeld && !RightHeld) {
        RepeatOn = 0;
        HoldTime = 0;
    } else {
        HoldTime += FrameSeconds;
    }
}

} // namespace

int RepeatOn = 0;
float HoldTime = 0;

// Runs over whole rows of the map: a 64 x 64-screen map is 28 million cells,
// and every save runs the pass. Only cells that change are written, so pages
// of the layer that were never written stay unwritten. A pass that changes no
// cell is no edit.
void SolidPass() {
    if (!ChipLayer) return; // nothing reserved yet: every cell reads as 0
    const int rows = MapHeight * SCREEN_ROWS;
    const int columns = MapWidth * SCREEN_COLUMNS;
    bool changed = false;
    for (int r = 0; r < rows; ++r) {
        const std::int32_t* chips = ChipLayer[r];
        std::int32_t* attributes = AttrLayer[r];
        for (int c = 0; c < columns; ++c) {
            const std::int32_t passed = PassedAttribute(chips[c], attributes[c]);
            if (passed != attributes[c]) {
                attributes[c] = passed;
                changed = true;
            }
        }
    }
    if (changed) NoteEdit();
}

void ModeStep() {
    ChooseMode();
    if (EditMode == EDIT_CHIPS)
        elDraw::DebugPrint(400, 400, "マップ編集");
    else
        EditLayerCell(EditMode == EDIT_ATTRIBUTES ? AttrLayer : EnemyLayer);
}

void EditLayerCell(LayerRow* layer) {
    const int x = MouseX;
    const int y = MouseY;
    const bool inView =
        x >= 0 && y >= 0 && x < VIEW_COLUMNS * CELL_SIZE && y < VIEW_ROWS * CELL_SIZE;
    const int row = y / CELL_SIZE + ViewY;
    const int column = x / CELL_SIZE + ViewX;
    if (LeftClick && inView)
        Raise(layer, row, column);
    else if (RightClick && inView)
        Lower(layer, row, column);
    HeldButton(LeftHeld, inView, Raise, layer, row, column);
    HeldButton(RightHeld, inView, Lower, layer, row, column);
    if (layer == EnemyLayer && inView && (LeftHeld || RightHeld || LeftClick || RightClick))
        OverviewTouch(column, row, 1, 1);
    if (HoldTime >= REPEAT_DELAY) RepeatOn = 1;
}
