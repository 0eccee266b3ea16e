// The mode buttons of the panel's second row and the attribute pass that
// entering attribute editing runs.
#include "draw/draw.h"
#include "editor/editor_state.h"
#include "editor/modes.h"
#include "editor/snapshot.h"
#include "system/input_state.h"
#include "system/system.h"

namespace {

constexpr int BUTTON_ROW_TOP = 689;
constexpr int BUTTON_WIDTH = 120;

// Leaving chip editing dims the picture of this frame and ends a stamp drag
// unwritten; between attribute and enemy editing the old picture stays.
void EnterMode(int mode) {
    if (EditMode == 0) {
        TakeSnapshot();
        Stamping = 0;
    }
    EditMode = mode;
}

void ModeButtons() {
    const int x = MouseX;
    const int y = MouseY;
    if (!LeftClick || y < BUTTON_ROW_TOP || y >= 800 || x < 0) return;
    if (x < BUTTON_WIDTH) {
        EditMode = 0;
    } else if (x < 2 * BUTTON_WIDTH) {
        EnterMode(1);
        SolidPass();
    } else if (x < 3 * BUTTON_WIDTH) {
        EnterMode(2);
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
    ModeButtons();
    if (EditMode == 0)
        elDraw::DebugPrint(400, 400, "マップ編集");
    else
        EditLayerCell(EditMode == 1 ? AttrLayer : EnemyLayer);
}
