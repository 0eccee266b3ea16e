// Which history step the Ctrl+Z and Ctrl+Y keys ask for in a frame.
#pragma once

enum UndoRedoRequest { NO_REQUEST, UNDO_REQUEST, REDO_REQUEST };

// Ctrl must already be held (pressed in an earlier frame) and Z or Y pressed in
// this one; with both, undo wins.
UndoRedoRequest RequestFromKeys(int ctrlState, int zState, int yState);
