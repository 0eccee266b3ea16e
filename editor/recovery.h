// Recovery of unsaved work. While the map holds changes not saved, a copy of
// it (its layers, size and name) is kept in tessera/ of the state folder
// ($XDG_STATE_HOME, or ~/.local/state): written by a task on a snapshot of the
// editor, off the frames, once the oldest edit the copy lacks is
// RECOVERY_DELAY_MS old on the program's clock, so that it is never much more
// than that behind. The next start offers it back. A save, or an end with
// nothing unsaved, removes it; the map's own files are never written by it.
#pragma once

#include <cstdint>

constexpr std::uint32_t RECOVERY_DELAY_MS = 10000;

// At start-up, when the state folder holds a copy on offer: asks whether to
// restore it. Yes restores the map, its name and its size, as unsaved work;
// no sets the copy aside. 1 when the map was restored.
int OfferRecovery();
// Once per frame: takes note of a copy written meanwhile, removes the copy
// once nothing is unsaved, and starts the next copy when it is due.
void RecoveryStep();
// At the editor's end, once a copy being written is done: with nothing
// unsaved, removes the copy; with unsaved work (the user chose to end without
// saving it), brings the copy up to date, so that the next start offers what
// was left.
void EndRecovery();
