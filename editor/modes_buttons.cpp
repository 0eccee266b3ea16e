// The mode buttons of the panel's second row and the attribute pass that
// entering attribute editing runs.
#include "draw/draw.h"
#include "editor/editor_state.h"
#include "editor/modes.h"
#include "editor/panel_layout.h"
#include "editor/snapshot.h"
#include "system/input_state.h"
#include "system/system.h"

namespace {

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

} // namespace

// Non-zero attributes of solid chips keep their value.
void SolidPass() {
    const int rows = MapHeight * SCREEN_ROWS;
    const int columns = MapWidth * SCREEN_COLUMNS;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const int solid = IsSolidChip(GetCell(ChipLayer, r, c));
            const int attribute = GetCell(AttrLayer, r, c);
            if (attribute == 0 && solid)
                SetCell(AttrLayer, r, c, 1);
            else if (attribute != 0 && !solid)
                SetCell(AttrLayer, r, c, 0);
        }
}

void ModeStep() {
    ChooseMode();
    if (EditMode == EDIT_CHIPS)
        elDraw::DebugPrint(400, 400, "マップ編集");
    else
        EditLayerCell(EditMode == EDIT_ATTRIBUTES ? AttrLayer : EnemyLayer);
}
