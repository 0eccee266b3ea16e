// The play-test's state: the map to play, the player, the enemies, the camera
// and the run's progress. Positions are in 1/256 pixel (SUBPIXELS) so that the
// simulation is exact and the same on every machine; one step is 1/60 s.
#pragma once

#include "map/map_model.h"

#include <vector>

constexpr int GAME_WIDTH = SCREEN_COLUMNS * CELL_SIZE; // 768: one game screen
constexpr int GAME_HEIGHT = SCREEN_ROWS * CELL_SIZE;   // 576
constexpr int STEPS_PER_SECOND = 60;
constexpr int SUBPIXELS = 256;

// The map the run plays, handed over by PlayMap; it stays unchanged and in
// place while the run lasts.
extern const tessera::MapLayers* RunMap;
// The game screen the run starts in: the one asked for, held inside the map,
// or the nearest that has room for the player.
extern int StartScreenX, StartScreenY;

// A moving box: its top-left corner and velocity in subpixels, its size in pixels.
struct Body {
    int x = 0, y = 0;
    int vx = 0, vy = 0;
    int width = 0, height = 0;
    int onGround = 0;
    int hitWall = 0; // the last horizontal move was stopped by a solid cell
};
inline int PixelX(const Body& body) { return body.x >> 8; }
inline int PixelY(const Body& body) { return body.y >> 8; }

constexpr int PLAYER_WIDTH = 20;
constexpr int PLAYER_HEIGHT = 40;
extern Body Player;
extern int PlayerFacing; // 1 right, -1 left

struct Enemy {
    Body body;
    int type = 0; // 1 to 8
    int awake = 0;
    int alive = 1;
    int direction = -1; // 1 right, -1 left
};
extern std::vector<Enemy> Enemies;

// Pixel at the screen's top-left corner, inside the map.
extern int CameraX, CameraY;

// RUN_NO_ROOM: no screen of the map has room for the player; nothing moves.
enum RunPhase { RUN_PLAYING, RUN_CLEARED, RUN_MISSED, RUN_NO_ROOM };
extern int Phase;          // a RunPhase
extern long long RunSteps; // steps since the run started
extern int PhaseSteps;     // steps since the phase began
extern int Restarts;       // runs started again (misses, clears and R)
extern int ShowAttributes; // 1 while the attribute overlay is on
extern int EnemiesLeftOut; // enemies of the map beyond the most a run takes

// Map size in pixels.
inline int MapPixelWidth() { return RunMap->width * GAME_WIDTH; }
inline int MapPixelHeight() { return RunMap->height * GAME_HEIGHT; }
