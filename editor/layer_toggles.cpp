#include "editor/layer_toggles.h"

#include "draw/draw.h"
#include "editor/dialogues.h"
#include "editor/editor_state.h"
#include "editor/map_view.h"
#include "editor/modes.h"
#include "input/input.h"

int ShowEnemies = 0;
int ShowSolidTint = 0;

namespace {

int EnemyKeyState = KEY_FREE;
int TintKeyState = KEY_FREE;

// The attributes as the next save or play-test will have them: the tint shows
// what the game will find, even where attribute editing was not yet entered.
// Runs of cells alike in a row are shaded at once.
int TintOf(int row, int column) {
    const int value =
        PassedAttribute(GetCell(ChipLayer, row, column), GetCell(AttrLayer, row, column));
    if (value == 0) return 0;
    return static_cast<int>(value == SOLID_ATTRIBUTE
                                ? elDraw::PixelFormat.Red.Mask
                                : elDraw::PixelFormat.Green.Mask | elDraw::PixelFormat.Blue.Mask);
}

void DrawSolidTint() {
    for (int r = 0; r < VIEW_ROWS; ++r)
        for (int c = 0; c < VIEW_COLUMNS;) {
            const int tint = TintOf(ViewY + r, ViewX + c);
            int end = c + 1;
            while (end < VIEW_COLUMNS && TintOf(ViewY + r, ViewX + end) == tint) ++end;
            if (tint != 0)
                elDraw::ShadeRect(c * CELL_SIZE, r * CELL_SIZE, end * CELL_SIZE,
                                  (r + 1) * CELL_SIZE, tint);
            c = end;
        }
}

} // namespace

void LayerToggleStep() {
    elInput::GetKey('E', &EnemyKeyState);
    elInput::GetKey('A', &TintKeyState);
    if (!PromptTakesName()) {
        if (EnemyKeyState == KEY_PUSH) ShowEnemies ^= 1;
        if (TintKeyState == KEY_PUSH) ShowSolidTint ^= 1;
    }
    if (EditMode != EDIT_CHIPS) return;
    if (ShowSolidTint) DrawSolidTint();
    if (ShowEnemies) DrawEnemySprites(VIEW_ROWS, VIEW_COLUMNS);
}
