#include "editor/edited_map.h"

#include "system/system.h"

#include <cctype>
#include <cstring>
#include <string>

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

int IsMapName(const char* text) {
    const std::size_t length = std::strlen(text);
    for (std::size_t i = 0; i < length; ++i)
        if (!std::isalnum(static_cast<unsigned char>(text[i]))) return 0;
    return length >= 1 && length <= MAP_NAME_LIMIT;
}

void NoteEdit() { ++EditCount; }

void NoteMapOnDisk(const char* name) {
    SetName(name);
    EditedMapHasFiles = 1;
    SavedEditCount = EditCount;
}

void NoteMapRestored(const char* name) {
    SetName(name);
    EditedMapHasFiles = 0;
    NoteEdit();
}

int HasUnsavedChanges() { return EditCount != SavedEditCount; }

int AskQuit() { return elSystem::Ask("%s", HasUnsavedChanges() ? UNSAVED_QUIT : "終了しますか？"); }

int MayCloseWindow() { return AskWhenUnsaved(UNSAVED_QUIT); }

int MayLoadOver() { return AskWhenUnsaved(UNSAVED_LOAD); }

// The platform leaves a caption that does not change alone.
void ShowMapInTitle() {
    const std::string title =
        std::string(HasUnsavedChanges() ? "*" : "") + EditedMapName + " - " + ProgramName;
    elSystem::SetTitle(title.c_str());
}
