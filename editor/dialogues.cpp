// The save and load dialogues, run once per frame by the edit scene, and the
// one-line entry of a map name from the key held down.
#include "editor/dialogues.h"

#include "draw/draw.h"
#include "editor/edited_map.h"
#include "editor/editor_state.h"
#include "editor/modes.h"
#include "editor/overview.h"
#include "input/input.h"
#include "map/map_files.h"
#include "system/input_state.h"
#include "system/system.h"
#include "text/text.h"

#include <cstring>
#include <string>

namespace {

constexpr int KEY_BACKSPACE = 8;
constexpr int KEY_ENTER = 13;
constexpr int KEY_SHIFT = 16;
constexpr int KEY_ESCAPE = 27;
constexpr float MESSAGE_SECONDS = 3.0f;        // how long a result message stays
constexpr float BACKSPACE_REPEAT_DELAY = 0.5f; // seconds before a held Backspace repeats

void SetStatus(const char* text) {
    std::strncpy(StatusLine, text, sizeof StatusLine - 1);
    StatusLine[sizeof StatusLine - 1] = '\0';
}

bool IsLetterKey(int key) { return key >= 'A' && key <= 'Z'; }
bool IsDigitKey(int key) { return key >= '0' && key <= '9'; }

void RemoveLast(char* buffer) {
    std::size_t length = std::strlen(buffer);
    if (length > 0) buffer[length - 1] = '\0';
}

// Shows the result message of `state` until its time is up, then closes.
void ShowResult(int& state, const char* message) {
    SetStatus(message);
    MessageTime += FrameSeconds;
    if (MessageTime >= MESSAGE_SECONDS) {
        MessageTime = 0;
        state = DIALOGUE_CLOSED;
    }
}

// The prompt and, while the name is entered, the name; then the frame so far
// is presented once here.
void DrawDialogue(int state) {
    elText::BeginFace("HG創英角ﾎﾟｯﾌﾟ体", 20, 0, 0, 0, 0);
    elText::Color(0xC8C8FF, 0, 1);
    elText::Print(360, 700, StatusLine);
    if (state == DIALOGUE_NAMING) elText::Print(360, 720, MapName);
    elText::End();
    elDraw::Refresh();
}

// The failure message of the last dialogue that failed.
const char* Failed = "";

// What an act gives when the user answered its question not to go on: the
// dialogue closes without a message.
constexpr char GIVEN_UP[] = "";

// One dialogue's frame: the name entry until Enter runs `act` on the name or
// Escape closes it, then the result message: `done`, or the failure `act`
// gave. A failed `act` skips drawing in the frame that found it.
void DialogueStep(int& state, const char* prompt, const char* (*act)(const char*),
                  const char* done) {
    if (state == DIALOGUE_NAMING) {
        SetStatus(prompt);
        NameEntry(MapName, MAP_NAME_LIMIT);
        if (KeyDown == KEY_ESCAPE) state = DIALOGUE_CLOSED;
        if (KeyDown == KEY_ENTER) {
            const char* failure = act(MapName);
            if (failure == GIVEN_UP) {
                state = DIALOGUE_CLOSED;
                return;
            }
            if (failure) {
                Failed = failure;
                state = DIALOGUE_FAILED;
                return;
            }
            state = DIALOGUE_DONE;
        }
    }
    if (state == DIALOGUE_DONE) ShowResult(state, done);
    if (state == DIALOGUE_FAILED) ShowResult(state, Failed);
    if (state != DIALOGUE_CLOSED) DrawDialogue(state);
}

// The files of the map being edited as this editor last loaded or saved them:
// a save over them after another program changed them asks first.
tessera::MapFileIdentities KnownFiles;

void Remember(const char* name, const tessera::MapFileIdentities& files) {
    NoteMapOnDisk(name);
    KnownFiles = files;
}

// 1 when `name` is the map whose files are being edited.
bool IsEditedMap(const char* name) {
    return EditedMapHasFiles && std::strcmp(EditedMapName, name) == 0;
}

// Saving under the name of another map that exists asks before replacing it.
bool MayReplace(const char* name) {
    return IsEditedMap(name) || !tessera::MapExists(name) ||
           elSystem::Ask("マップ %s はすでにあります。上書きしますか？", name);
}

// Solids are brought in step with the chips first, as in attribute editing.
const char* SaveEditorMap(const char* name) {
    SolidPass();
    constexpr const char* FAILED = "ファイルを保存できませんでした";
    if (!MayReplace(name)) return FAILED;
    tessera::MapError error;
    tessera::MapFileIdentities written;
    const bool known = IsEditedMap(name);
    if (!SaveMap(EditorMap, name, &error, known ? &KnownFiles : nullptr, &written)) {
        if (error.fault != tessera::MapFault::Changed ||
            !elSystem::Ask("マップ %s は他で変更されています。上書きしますか？", name))
            return FAILED;
        if (!SaveMap(EditorMap, name, &error, nullptr, &written)) return FAILED;
    }
    Remember(name, written);
    return nullptr;
}

// A load that would find nothing replaces nothing, and asks nothing.
const char* LoadEditorMap(const char* name) {
    if (tessera::MapExists(name) && !MayLoadOver()) return GIVEN_UP;
    tessera::MapError error;
    tessera::MapFileIdentities read;
    if (LoadMap(EditorMap, name, &error, &read)) {
        OverviewTouchAll();
        Remember(name, read);
        return nullptr;
    }
    elSystem::Log("%s", tessera::DescribeMapError(error).c_str());
    return error.fault == tessera::MapFault::Held ? "マップは他で使用中です"
                                                  : "ファイルがみつかりませんでした";
}

// A prompt opening afresh offers the name of the map being edited.
void OpenPrompt(int& state) {
    if (state != DIALOGUE_NAMING) std::strcpy(MapName, EditedMapName);
    state = DIALOGUE_NAMING;
}

} // namespace

char MapName[MAP_NAME_LIMIT + 1] = "map";
int SaveState = DIALOGUE_CLOSED;
int LoadState = DIALOGUE_CLOSED;
char StatusLine[STATUS_LINE_SIZE] = "";
float MessageTime = 0;
int PrevNameKey = 0;
float BackspaceTime = 0;
int NameShiftState = KEY_FREE;

void StartSave() {
    if (LoadState == DIALOGUE_CLOSED) OpenPrompt(SaveState);
}

void StartLoad() {
    if (SaveState == DIALOGUE_CLOSED) OpenPrompt(LoadState);
}

void OpenMapAtStart(const char* name) {
    if (!tessera::MapExists(name)) {
        std::strcpy(EditedMapName, name);
        return;
    }
    if (const char* failure = LoadEditorMap(name)) {
        Failed = failure;
        LoadState = DIALOGUE_FAILED;
    }
}

void SaveDialogueStep() {
    DialogueStep(SaveState, "保存名を指定してください：", SaveEditorMap, "ファイルを保存しました");
}

void LoadDialogueStep() {
    DialogueStep(LoadState, "ロード名を指定してください：", LoadEditorMap,
                 "ファイルをロードしました");
}

// KeyDown keeps its value while the key is held, so a key adds its character
// once and again only after KeyDown has been 0 or another key.
void NameEntry(char* buffer, int limit) {
    elInput::GetKey(KEY_SHIFT, &NameShiftState);
    const int key = KeyDown;
    const std::size_t length = std::strlen(buffer);
    if ((IsLetterKey(key) || IsDigitKey(key)) && key != PrevNameKey &&
        length < static_cast<std::size_t>(limit)) {
        PrevNameKey = key;
        bool lower = IsLetterKey(key) && NameShiftState != KEY_HOLD;
        buffer[length] = static_cast<char>(lower ? key + ('a' - 'A') : key);
        buffer[length + 1] = '\0';
    }
    if (key == KEY_BACKSPACE && key != PrevNameKey) {
        PrevNameKey = KEY_BACKSPACE;
        RemoveLast(buffer);
    }
    if (key == KEY_BACKSPACE) {
        BackspaceTime += FrameSeconds;
        if (BackspaceTime > BACKSPACE_REPEAT_DELAY) RemoveLast(buffer);
    } else {
        BackspaceTime = 0;
    }
    if (key == 0) PrevNameKey = 0;
}
