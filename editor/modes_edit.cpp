// Raising and lowering the cell under the pointer in attribute and enemy
// editing. A held button starts repeating once HoldTime reaches half a second;
// each of the two button checks adds the frame's time while no repeat runs, so
// one held button starts it after about a quarter of a second.
#include "editor/modes.h"
#include "system/input_state.h"
#include "system/system.h"

namespace {

constexpr int VALUE_MAX = 255;
constexpr float REPEAT_DELAY = 0.5f;

// A value from a hand-edited file may lie outside 0 to 255: it only moves
// towards that range, so it never wraps.
void Raise(LayerRow* layer, int row, int column) {
    const int v = GetCell(layer, row, column);
    if (v < VALUE_MAX) SetCell(layer, row, column, v + 1);
}

void Lower(LayerRow* layer, int row, int column) {
    const int v = GetCell(layer, row, column);
    if (v > 0) SetCell(layer, row, column, v - 1);
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
    if (HoldTime >= REPEAT_DELAY) RepeatOn = 1;
}
