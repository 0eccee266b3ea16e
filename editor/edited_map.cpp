#include "editor/edited_map.h"

#include "system/system.h"

#include <cstring>

char EditedMapName[MAP_NAME_LIMIT + 1] = "map";
int EditedMapHasFiles = 0;
int EditCount = 0;
int SavedEditCount = 0;

namespace {

constexpr char UNSAVED_QUIT[] = "変更が保存されていません。終了しますか？";
constexpr char UNSAVED_LOAD[] = "変更が保存されていません。ロードしますか？";

void SetName(const char* name) {
    std::strncpy(EditedMapName, name, MAP_NAME_LIMIT);
    EditedMapName[MAP_NAME_LIMIT] = '\0';
}

int AskWhenUnsaved(const char* question) {
    return !HasUnsavedChanges() || elSystem::Ask("%s", question);
}

} // namespace

void NoteEdit() { ++EditCount; }

void NoteMapOnDisk(const char* name) {
    SetName(name);
    EditedMapHasFiles = 1;
    SavedEditCount = EditCount;
}

int HasUnsavedChanges() { return EditCount != SavedEditCount; }

int AskQuit() { return elSystem::Ask("%s", HasUnsavedChanges() ? UNSAVED_QUIT : "終了しますか？"); }

int MayCloseWindow() { return AskWhenUnsaved(UNSAVED_QUIT); }

int MayLoadOver() { return AskWhenUnsaved(UNSAVED_LOAD); }
