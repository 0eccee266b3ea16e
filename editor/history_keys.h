// The frame's undo and redo keys, acting on the map's history.
#pragma once

// Ctrl must already be held (pressed in an earlier frame) and Z or Y pressed in
// this one; with both pressed only undo runs.
void UndoRedoKeys(int ctrlState, int zState, int yState);
