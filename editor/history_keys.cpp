#include "editor/history_keys.h"

#include "editor/edited_map.h"
#include "editor/editor_state.h"
#include "input/input.h"

// An undo or redo that moves through the history changes the map; one at
// either end of it changes nothing.
void UndoRedoKeys(int ctrlState, int zState, int yState) {
    if (ctrlState != KEY_HOLD) return;
    const tessera::UndoRecord* const before = EditorHistory.current;
    if (zState == KEY_PUSH)
        Undo(EditorMap, EditorHistory);
    else if (yState == KEY_PUSH)
        Redo(EditorMap, EditorHistory);
    if (EditorHistory.current != before) NoteEdit();
}
