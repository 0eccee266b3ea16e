#include "editor/history_keys.h"

#include "editor/edited_map.h"
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

// An undo or redo that moves through the history changes the map; one at
// either end of it changes nothing.
void UndoRedoKeys(int ctrlState, int zState, int yState) {
    if (ctrlState != KEY_HOLD) return;
    const tessera::UndoRecord* const before = EditorHistory.current;
    if (zState == KEY_PUSH) {
        TouchCurrentStamp();
        Undo(EditorMap, EditorHistory);
    } else if (yState == KEY_PUSH) {
        Redo(EditorMap, EditorHistory);
        TouchCurrentStamp();
    }
    if (EditorHistory.current != before) NoteEdit();
}
