#include "editor/undo_keys.h"

#include "input/input.h"

UndoRedoRequest RequestFromKeys(int ctrlState, int zState, int yState) {
    if (ctrlState != KEY_HOLD) return NO_REQUEST;
    if (zState == KEY_PUSH) return UNDO_REQUEST;
    if (yState == KEY_PUSH) return REDO_REQUEST;
    return NO_REQUEST;
}
