// The game's rules, one simulation step at a time: the player's moves, the
// enemies, touches, the camera, and the ends of a run.
#pragma once

#include "run/run_state.h"

// What the controls ask for in a step.
struct PadInput {
    int left = 0, right = 0;
    int jumpHeld = 0;
    int jumpPressed = 0; // the jump button went down since the last step
    int run = 0;
};

// Speeds and pulls, in subpixels per step (and per step per step).
constexpr int WALK_SPEED = 2 * SUBPIXELS;
constexpr int RUN_SPEED = 4 * SUBPIXELS;
constexpr int GROUND_ACCELERATION = SUBPIXELS / 4;
constexpr int AIR_ACCELERATION = SUBPIXELS / 8;
constexpr int JUMP_SPEED = 8 * SUBPIXELS;
constexpr int GRAVITY = SUBPIXELS * 3 / 4;
constexpr int GRAVITY_HELD = SUBPIXELS / 4; // rising with the jump button held
constexpr int STOMP_BOUNCE = 5 * SUBPIXELS;
constexpr int ENEMY_SPEED = SUBPIXELS;
// A landing counts as a stomp when the player's feet were at most this many
// pixels into the enemy before the step.
constexpr int STOMP_MARGIN = 6;
// Steps the run stays frozen after a miss or a clear before it starts again.
constexpr int MISS_STEPS = 45;
constexpr int CLEAR_STEPS = 180;
// The camera closes this fraction (1/n) of its distance to the player a step.
constexpr int CAMERA_EASE = 8;
// Enemies beyond the first this many of the map are left out.
constexpr int ENEMIES_MAX = 4096;

// Makes `map` the one the run plays, from game screen (screenX, screenY), held
// inside the map, and finds its enemies of types 1 to 8, each standing with
// its top-left corner on its cell. The map must stay unchanged and in place
// while the run lasts.
void PlayMap(const tessera::MapLayers& map, int screenX, int screenY);

// Starts the run: the player drops in at the start screen's left-most column
// with room, every enemy back in its place and asleep, the camera on the
// start screen.
void ResetRun();

// Counts a restart and starts the run again (a miss, a clear, or the R key).
void RestartRun();

// One step of the game.
void StepRun(const PadInput& input);
