#include "editor/play_launch.h"

#include "editor/dialogues.h"
#include "editor/editor_state.h"
#include "input/input.h"
#include "map/map_files.h"
#include "platform/backend.h"
#include "platform/files/private_folder.h"
#include "system/system.h"

#include <algorithm>

int PlayTestKeyState = KEY_FREE;
int PlayTestProgram = 0;
std::string PlayTestFolder;

namespace {

// The copy's map name inside its folder.
constexpr char COPY_NAME[] = "play";

void CannotPlay() { elSystem::Error("PlayTest", "テストプレイを開始できません"); }

// The folder stays named when it cannot be removed, so that the next start
// tries again before it makes a new one.
void RemoveCopy() {
    if (!PlayTestFolder.empty() && platform::RemoveFolder(PlayTestFolder)) PlayTestFolder.clear();
}

// The game screen holding the view's top-left cell; the view can reach past
// the map's last screen.
std::string StartScreen() {
    const int x = std::clamp(ViewX / SCREEN_COLUMNS, 0, MapWidth - 1);
    const int y = std::clamp(ViewY / SCREEN_ROWS, 0, MapHeight - 1);
    return std::to_string(x) + "," + std::to_string(y);
}

void StartPlayTest() {
    RemoveCopy();
    PlayTestFolder = platform::MakePrivateFolder("tessera-play-");
    if (PlayTestFolder.empty()) return CannotPlay();
    const std::string copy = PlayTestFolder + "/" + COPY_NAME;
    if (SaveMap(EditorMap, copy.c_str()))
        PlayTestProgram =
            platform::StartProgram(std::string(elSystem::ProgramFolder(0)) + "tessera-run",
                                   {copy, "--screen", StartScreen()});
    if (PlayTestProgram != 0) return;
    RemoveCopy();
    CannotPlay();
}

} // namespace

void PlayTestStep() {
    elInput::GetKey(VK_F5, &PlayTestKeyState);
    if (PlayTestProgram != 0) {
        int status = 0;
        if (!platform::ProgramEnded(PlayTestProgram, &status)) return;
        PlayTestProgram = 0;
        RemoveCopy();
        if (status != 0) CannotPlay();
        return;
    }
    if (PlayTestKeyState == KEY_PUSH && SaveState != DIALOGUE_NAMING &&
        LoadState != DIALOGUE_NAMING)
        StartPlayTest();
}

void EndPlayTest() {
    if (PlayTestProgram != 0) RemoveCopy();
}
