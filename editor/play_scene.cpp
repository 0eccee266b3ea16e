#include "editor/play_scene.h"

#include "draw/draw.h"
#include "editor/dialogues.h"
#include "editor/editor_state.h"
#include "editor/modes.h"
#include "input/input.h"
#include "run/run_draw.h"
#include "run/run_rules.h"
#include "run/run_scene.h"
#include "run/run_sounds.h"
#include "system/system.h"

#include <algorithm>

int PlayKeyState = KEY_FREE;

namespace {

// The editor's screen, which the game's screen is stretched over.
constexpr int EDITOR_WIDTH = 1024, EDITOR_HEIGHT = 768;

int GameLoaded = 0;
// The game's frame, copied out of the back buffer to be stretched back into it.
ObjectNo GameFrame = 0;
// The editor's clip rectangle, put back when the game is left.
ClipRectangle EditorClip;

// The first F5 loads what the game has beyond the editor's images.
void LoadGame() {
    if (GameLoaded) return;
    GameLoaded = 1;
    std::copy(std::begin(ChipSheets), std::end(ChipSheets), RunChipSheets);
    std::copy(std::begin(CharSprites), std::end(CharSprites), RunEnemySprites);
    LoadRunImagesAndSounds();
    GameFrame = elDraw::CreateObject(GAME_WIDTH, GAME_HEIGHT, 2);
}

// The game's 768 x 576 frame fills the 1024 x 768 screen, as the play-test's
// own window is scaled to the display; the clip rectangle, which the game's
// wipes move, is the game's again afterwards.
void ShowGameFrame() {
    const ClipRectangle gameClip = elDraw::ClipRect;
    elDraw::Capture(GameFrame, 0, 0, GAME_WIDTH, GAME_HEIGHT);
    elDraw::SetClip(0, 0, EDITOR_WIDTH, EDITOR_HEIGHT);
    elDraw::StretchDrawOpaque(0, 0, GameFrame, 0, 0, GAME_WIDTH, GAME_HEIGHT, EDITOR_WIDTH,
                              EDITOR_HEIGHT);
    elDraw::ClipRect = gameClip;
    elDraw::Refresh();
}

// Esc: the music and sounds stop, any wipe ends, and the editor's clip
// rectangle and scene come back, with its map, view, history and mode as they
// were. F5 went unread during the game: its state starts afresh, so that the
// next press plays again.
void LeaveGame() {
    StopSounds();
    elDraw::WipeCancel();
    elDraw::ClipRect = EditorClip;
    WatchPlayKey();
    PlayKeyState = KEY_FREE;
    SceneNo = EDIT_SCENE;
}

void StartPlay() {
    SolidPass();
    LoadGame();
    // From the game screen holding the view's top-left cell; the view can
    // reach past the map's last screen.
    PlayMap(EditorMap, std::clamp(ViewX / SCREEN_COLUMNS, 0, MapWidth - 1),
            std::clamp(ViewY / SCREEN_ROWS, 0, MapHeight - 1));
    EditorClip = elDraw::ClipRect;
    elDraw::SetClip(0, 0, GAME_WIDTH, GAME_HEIGHT);
    BeginRun(LeaveGame, ShowGameFrame);
    SceneNo = PLAY_SCENE;
    // The game's clock starts now, not at the last frame of the editor.
    elSystem::ResetTimer();
}

} // namespace

void WatchPlayKey() { elSystem::WatchKey(VK_F5); }

void PlayKeyStep() {
    // A tap between two frames is never seen down, only counted as released.
    const bool tapped = elSystem::WatchCount() > 0;
    WatchPlayKey();
    elInput::GetKey(VK_F5, &PlayKeyState);
    const bool pressed = PlayKeyState == KEY_PUSH || (tapped && PlayKeyState == KEY_FREE);
    if (pressed && SaveState != DIALOGUE_NAMING && LoadState != DIALOGUE_NAMING) StartPlay();
}
