// The save and load dialogues: a prompt and a one-line name entry, then a
// result message shown for three seconds, drawn over the frame.
#pragma once

#include "editor/edited_map.h"

constexpr int STATUS_LINE_SIZE = 31; // the longest message, 30 bytes, and its end

// The name being entered: each prompt opens with the name of the map being edited.
extern char MapName[MAP_NAME_LIMIT + 1];
// A dialogue's state: closed, the name being entered, or the message of its
// success ("saved", "loaded") or failure ("could not save", "not found").
enum DialogueState { DIALOGUE_CLOSED, DIALOGUE_NAMING, DIALOGUE_DONE, DIALOGUE_FAILED };
extern int SaveState; // a DialogueState
extern int LoadState;
// Whether a prompt is taking a name: the keys then belong to it alone.
inline bool PromptTakesName() {
    return SaveState == DIALOGUE_NAMING || LoadState == DIALOGUE_NAMING;
}
extern char StatusLine[STATUS_LINE_SIZE]; // prompt or result message of the open dialogue
extern float MessageTime;                 // seconds the current result message has been shown
extern int PrevNameKey;                   // key the name entry last acted on
extern float BackspaceTime;               // seconds Backspace has been held
extern int NameShiftState;                // key state of Shift while a name is entered

// Open a dialogue unless the other one is open.
void StartSave();
void StartLoad();
// At start-up, the map named on the command line: loaded when its files are
// there (a failure shows the load's failure message), otherwise a new map of
// that name.
void OpenMapAtStart(const char* name);
// Once per frame each, save first; idle dialogues do nothing.
void SaveDialogueStep();
void LoadDialogueStep();
// Edits `buffer` from the key held down: letters (upper case with Shift held)
// and digits are added once per key press, up to `limit` characters, and
// Backspace removes one at once and then one per frame after half a second.
void NameEntry(char* buffer, int limit);
