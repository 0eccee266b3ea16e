// F5 plays the map being edited: a copy of it goes into a private folder, and
// the play-test, found beside the editor, starts on it at the game screen that
// holds the view's top-left cell. The editor keeps running meanwhile; the copy
// is removed when the play-test ends.
#pragma once

#include <string>

extern int PlayTestKeyState;       // key state of F5
extern int PlayTestProgram;        // id of the running play-test, 0 while none runs
extern std::string PlayTestFolder; // the copy's folder, empty when there is none

// Once per frame: notes the end of a running play-test, or starts one on an
// F5 press while no save or load prompt is open. A play-test that cannot start,
// or ends with a failure, shows an error box; the editor's map, view and
// history are never changed.
void PlayTestStep();

// Removes the copy of a running play-test, which read it when it started; for
// the editor's end.
void EndPlayTest();
