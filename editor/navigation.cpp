#include "editor/navigation.h"

#include "editor/dialogues.h"
#include "editor/editor_state.h"
#include "editor/map_view.h"
#include "editor/panel.h"
#include "input/input.h"
#include "system/input_state.h"
#include "system/system.h"

#include <algorithm>

namespace {

constexpr int WHEEL_CELLS = 8; // rows, or columns with Shift, a notch moves

int WheelRest = 0; // a fine wheel's turn short of a notch, kept for the next
int ShiftState = KEY_FREE;
int CtrlState = KEY_FREE;
int PageUpState = KEY_FREE;
int PageDownState = KEY_FREE;
int HomeState = KEY_FREE;

bool Held(int state) { return state == KEY_PUSH || state == KEY_HOLD; }

// Moves a view position within 0 to `last`; a move marks the view scrolled.
void MoveView(int& position, int by, int last) {
    const int moved = std::clamp(position + by, 0, last);
    if (moved != position) ViewScrolled = 1;
    position = moved;
}

// Whole notches turned since the last frame, towards the user positive.
int NotchesDown() {
    const int turn = WheelRest + WheelDelta;
    WheelRest = turn % WHEEL_DELTA;
    return -(turn / WHEEL_DELTA);
}

void Wheel(bool across) {
    const int cells = NotchesDown() * WHEEL_CELLS;
    if (cells == 0) return;
    if (PALETTE_AREA.Holds(MouseX, MouseY)) {
        int& position = across ? PaletteX : PaletteY;
        position =
            std::clamp(position + cells * CELL_SIZE, 0, across ? PALETTE_X_MAX : PALETTE_Y_MAX);
    } else if (across) {
        MoveView(ViewX, cells, ViewXMax());
    } else {
        MoveView(ViewY, cells, ViewYMax());
    }
}

void PageKeys(bool across) {
    const int pages = (PageDownState == KEY_PUSH) - (PageUpState == KEY_PUSH);
    if (pages == 0) return;
    if (across)
        MoveView(ViewX, pages * SCREEN_COLUMNS, ViewXMax());
    else
        MoveView(ViewY, pages * SCREEN_ROWS, ViewYMax());
}

} // namespace

void NavigationStep() {
    elInput::GetKey(VK_SHIFT, &ShiftState);
    elInput::GetKey(VK_CONTROL, &CtrlState);
    elInput::GetKey(VK_PRIOR, &PageUpState);
    elInput::GetKey(VK_NEXT, &PageDownState);
    elInput::GetKey(VK_HOME, &HomeState);
    const bool across = Held(ShiftState);
    Wheel(across);
    if (PromptTakesName()) return;
    PageKeys(across);
    if (Held(CtrlState) && HomeState == KEY_PUSH) {
        MoveView(ViewX, -ViewX, ViewXMax());
        MoveView(ViewY, -ViewY, ViewYMax());
    }
}
