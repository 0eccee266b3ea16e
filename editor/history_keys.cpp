#include "editor/history_keys.h"

#include "editor/editor_state.h"
#include "input/input.h"

void UndoRedoKeys(int ctrlState, int zState, int yState) {
    if (ctrlState != KEY_HOLD) return;
    if (zState == KEY_PUSH)
        Undo(EditorMap, EditorHistory);
    else if (yState == KEY_PUSH)
        Redo(EditorMap, EditorHistory);
}
