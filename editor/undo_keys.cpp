#include "editor/undo_keys.h"

#include "editor/undo_history.h"
#include "input/input.h"

void UndoRedoKeys(int ctrlState, int zState, int yState) {
    if (ctrlState != KEY_HOLD) return;
    if (zState == KEY_PUSH)
        Undo();
    else if (yState == KEY_PUSH)
        Redo();
}
