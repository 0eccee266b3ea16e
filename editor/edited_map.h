// The map being edited as the user knows it: its name, whether it holds
// changes not yet saved, the questions asked before such changes would be
// lost, and the window title that shows both.
#pragma once

constexpr int MAP_NAME_LIMIT = 15; // characters a map name can hold

// 1 when `text` is a name the name entry can give: 1 to 15 letters and digits.
int IsMapName(const char* text);

// The name of the map being edited, which the save and load prompts offer:
// "map" until a map is loaded, saved or restored.
extern char EditedMapName[MAP_NAME_LIMIT + 1];
// 1 while the map's files are those of EditedMapName: it was loaded from them
// or saved to them.
extern int EditedMapHasFiles;
// Edits made so far, and their count when the map last matched its files.
extern int EditCount;
extern int SavedEditCount;

// Counts a change to the map: a stamp, an undo or redo, a value raised or
// lowered, attributes set from the chips, a size changed.
void NoteEdit();
// The map now matches the files of `name`: it was loaded from them or saved
// to them.
void NoteMapOnDisk(const char* name);
// The map was restored from a recovery copy of the map `name`: unsaved work,
// with no files of its own as far as the editor knows.
void NoteMapRestored(const char* name);
// 1 while the map holds edits made since it last matched its files.
int HasUnsavedChanges();

// The quit button's question, which says when unsaved changes would be lost.
// 1 for yes.
int AskQuit();
// Before the window closes from outside, and before a load replaces the map:
// asks only when unsaved changes would be lost. 1 when it may go on.
int MayCloseWindow();
int MayLoadOver();

// Shows the map's name in the window's title, marked while changes are unsaved.
void ShowMapInTitle();
