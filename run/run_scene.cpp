// A frame of the play-test runs these steps, in this order:
//  1. Read the keys and the first game controller.
//  2. Esc (once released) leaves the game as the program asked; R starts the
//     run again; A shows or hides the attribute overlay.
//  3. Run the steps of the game that the clock owes (60 a second).
//  4. Start the screen transitions a miss or a restart calls for.
//  5. Draw the chips, the overlay, the enemies and the player, the banner of
//     a cleared run, the status line and the notices about the map, fade in
//     while the run is new, and have the program present the frame.
#include "run/run_scene.h"

#include "draw/draw.h"
#include "input/input.h"
#include "run/run_draw.h"
#include "run/run_rules.h"
#include "run/run_sounds.h"
#include "system/system.h"

#include <cctype>
#include <cmath>

namespace {

// A wipe runs this many pixels a second: a miss closes the screen to its
// centre in about half a second, and a new run opens it again.
constexpr float WIPE_SPEED = 800.0f;
constexpr int WIPE_KIND = 7;
// Frames of the fade-in at start.
constexpr int FADE_FRAMES = 30;
// Steps the clock may owe at most; a longer stall is not caught up.
constexpr int STEPS_BEHIND_MAX = 8;

// What the scene keeps from frame to frame; start-up clears it.
struct SceneState {
    int left, right, jump, space, run, restart, overlay; // key states
    int jumpWaiting;                                     // a jump press no step has taken yet
    // Sixtieths of a millisecond the clock owes the game.
    long long stepClock;
    // Milliseconds since start-up, for the chip animation and the frame rate.
    long long clockMs;
    int fadeFrame;
    int seenRestarts;
    int seenPhase; // a RunPhase (RUN_PLAYING is 0)
    // Frames counted since fpsClockMs, and the rate over the last second.
    int fpsFrames, fpsShown;
    long long fpsClockMs;
};
SceneState State;
ObjectNo FadeCapture;
// What the program does when Esc is released, and how it shows a frame.
ProgramFunction Leave, Present;

// The program that is the play-test: Esc ends it, and its screen is the game's.
void EndProgram() { elSystem::Shutdown(); }
void ShowFrame() { elDraw::Refresh(); }

int IsDown(int state) { return state == KEY_PUSH || state == KEY_HOLD; }

PadInput ReadControls() {
    elInput::GetKey(VK_LEFT, &State.left);
    elInput::GetKey(VK_RIGHT, &State.right);
    elInput::GetKey('Z', &State.jump);
    elInput::GetKey(VK_SPACE, &State.space);
    elInput::GetKey('X', &State.run);
    int stickX = 0, stickY = 0;
    elInput::JoyDirection(0, stickX, stickY);
    const int padJump = elInput::GetJoyButton(0, 1);
    PadInput input;
    input.left = IsDown(State.left) || stickX < 0;
    input.right = IsDown(State.right) || stickX > 0;
    input.jumpHeld = IsDown(State.jump) || IsDown(State.space) || IsDown(padJump);
    input.jumpPressed = State.jump == KEY_PUSH || State.space == KEY_PUSH || padJump == KEY_PUSH;
    input.run = IsDown(State.run) || elInput::JoyButton(0, 2);
    return input;
}

// The steps the clock owes since the last frame.
int StepsDue() {
    const long long ms = std::llround(FrameSeconds * 1000.0);
    State.clockMs += ms;
    State.stepClock += ms * STEPS_PER_SECOND;
    int steps = static_cast<int>(State.stepClock / 1000);
    State.stepClock %= 1000;
    return steps < STEPS_BEHIND_MAX ? steps : STEPS_BEHIND_MAX;
}

// A miss closes the screen; a run started again opens it.
void StartTransitions() {
    if (Phase == RUN_MISSED && State.seenPhase != RUN_MISSED)
        elDraw::WipeStart(1, WIPE_KIND, WIPE_SPEED, 0);
    State.seenPhase = Phase;
    if (Restarts != State.seenRestarts) {
        State.seenRestarts = Restarts;
        elDraw::WipeCancel();
        elDraw::WipeStart(0, WIPE_KIND, WIPE_SPEED, 0);
    }
    elDraw::WipeStep();
}

// The new run's first frames brighten from black.
void FadeIn() {
    if (State.fadeFrame >= FADE_FRAMES) return;
    ++State.fadeFrame;
    elDraw::Capture(FadeCapture, 0, 0, GAME_WIDTH, GAME_HEIGHT);
    elDraw::BrightDraw(0, 0, static_cast<float>(State.fadeFrame) / FADE_FRAMES, FadeCapture, 0, 0,
                       GAME_WIDTH, GAME_HEIGHT);
}

int MeasureFps() {
    ++State.fpsFrames;
    if (State.clockMs - State.fpsClockMs >= 1000) {
        State.fpsShown =
            static_cast<int>(State.fpsFrames * 1000 / (State.clockMs - State.fpsClockMs));
        State.fpsFrames = 0;
        State.fpsClockMs = State.clockMs;
    }
    return State.fpsShown;
}

} // namespace

int ParseStartScreen(const char* text, int& x, int& y) {
    // Digits only, leading zeros or not; a value past the largest map is refused
    // as soon as it is read, whatever length the text runs to.
    const auto number = [&text](int& value) {
        if (!std::isdigit(static_cast<unsigned char>(*text))) return false;
        for (value = 0; std::isdigit(static_cast<unsigned char>(*text)); ++text)
            if ((value = value * 10 + (*text - '0')) >= MAP_SIZE_MAX) return false;
        return true;
    };
    return number(x) && *text++ == ',' && number(y) && *text == '\0';
}

void LoadRunImagesAndSounds() {
    // Keyed on their own top-left pixel.
    elDraw::KeyTopLeft();
    PlayerImage = elDraw::LoadObject(PLAYER_FILE, 2);
    FadeCapture = elDraw::CreateObject(GAME_WIDTH, GAME_HEIGHT, 2);
    LoadSounds();
}

void OpenRunScreen() {
    elDraw::Screen(GAME_WIDTH, GAME_HEIGHT, 1);
    for (int i = 0; i < 2; ++i) RunChipSheets[i] = elDraw::LoadObject(CHIP_SHEET_FILES[i], 2);
    // The sheets are keyed on black; the sprites on their own top-left pixel.
    elDraw::KeyTopLeft();
    for (int i = 0; i < 8; ++i) RunEnemySprites[i] = elDraw::LoadObject(ENEMY_SPRITE_FILES[i], 2);
    LoadRunImagesAndSounds();
}

void BeginRun(ProgramFunction leave, ProgramFunction present) {
    Leave = leave;
    Present = present;
    State = SceneState{};
    elSystem::WatchKey(VK_ESCAPE);
    Restarts = 0;
    ShowAttributes = 0;
    ResetRun();
    StartMusic();
}

void BeginPlayTestRun() {
    BeginRun(EndProgram, ShowFrame);
    SceneNo = 1;
    PrevSceneNo = 0;
}

void RunStartup() {
    OpenRunScreen();
    BeginPlayTestRun();
}

void RunScene() {
    const PadInput input = ReadControls();
    elInput::GetKey('R', &State.restart);
    elInput::GetKey('A', &State.overlay);
    // Esc is counted as it is released, so that no tap between two frames is missed.
    if (elSystem::WatchCount() > 0) {
        Leave();
        return;
    }
    if (State.restart == KEY_PUSH) RestartRun();
    if (State.overlay == KEY_PUSH) ShowAttributes ^= 1;

    // A press waits for the next step, also through a frame that runs none,
    // and is that step's only: the steps after it only hold.
    PadInput stepInput = input;
    stepInput.jumpPressed |= State.jumpWaiting;
    State.jumpWaiting = stepInput.jumpPressed;
    for (int steps = StepsDue(); steps > 0; --steps) {
        StepRun(stepInput);
        stepInput.jumpPressed = State.jumpWaiting = 0;
    }
    StartTransitions();

    elDraw::Clear();
    DrawWorld(static_cast<int>(State.clockMs / std::llround(CHIP_FRAME_SECONDS * 1000) % 2));
    if (ShowAttributes) DrawAttributeTints();
    DrawEnemies();
    if (Phase != RUN_NO_ROOM) DrawPlayer();
    if (Phase == RUN_CLEARED) DrawClearBanner();
    DrawStatusLine(MeasureFps());
    DrawNotices(State.clockMs);
    FadeIn();
    Present();
}

void RegisterPlayTest() {
    ProgramName = "Tessera Run";
    ProgramStartup = RunStartup;
    SceneTable[1] = RunScene;
}
