#include "editor/history_keys.h"

#include "editor/editor_state.h"
#include "editor/overview.h"
#include "input/input.h"

namespace {

// The area of the stamp an undo is about to take back or a redo has just put.
void TouchCurrentStamp() {
    if (const tessera::UndoRecord* record = EditorHistory.current)
        OverviewTouch(record->left, record->top, record->width, record->height);
}

} // namespace

void UndoRedoKeys(int ctrlState, int zState, int yState) {
    if (ctrlState != KEY_HOLD) return;
    if (zState == KEY_PUSH) {
        TouchCurrentStamp();
        Undo(EditorMap, EditorHistory);
    } else if (yState == KEY_PUSH) {
        Redo(EditorMap, EditorHistory);
        TouchCurrentStamp();
    }
}
