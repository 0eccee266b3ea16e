#include "editor/history_keys.h"

#include "input/input.h"
#include "map/undo_history.h"

void UndoRedoKeys(int ctrlState, int zState, int yState) {
    if (ctrlState != KEY_HOLD) return;
    if (zState == KEY_PUSH)
        Undo();
    else if (yState == KEY_PUSH)
        Redo();
}
