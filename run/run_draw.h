// What a play-test frame shows: the map's chips around the camera, the
// attribute overlay, the enemies, the player, the status line and the banner
// of a cleared run.
#pragma once

#include "draw/draw.h"

#include <cstddef>

// The play-test's images, loaded at start-up.
extern ObjectNo RunChipSheets[2];
extern ObjectNo RunEnemySprites[8];
extern ObjectNo PlayerImage;
constexpr const char* PLAYER_FILE = "run\\player.BMP";
// The player's sheet: frames of this size side by side (standing, two
// strides, in the air); the collision box lies at PLAYER_OFFSET_X/Y in a frame.
constexpr int PLAYER_FRAME_WIDTH = 32;
constexpr int PLAYER_FRAME_HEIGHT = 48;
constexpr int PLAYER_OFFSET_X = 6;
constexpr int PLAYER_OFFSET_Y = 8;

// The chips of the 97 x 73 cells the camera overlaps, from sheet `frame`.
void DrawWorld(int frame);
// Every non-zero attribute cell on screen tinted: solid cells red, others cyan.
void DrawAttributeTints();
void DrawEnemies();
void DrawPlayer();
// One line at the top: time of the run, the game screen under the camera's
// centre, frames a second.
void DrawStatusLine(int fps);
// What the player must know about the map: that it has no room for the
// player (for as long as that holds), and for the first seconds of play
// (`clockMs` since then), that enemies beyond the most a run takes are left out.
void DrawNotices(long long clockMs);
// The run's time after `steps`, as seconds with hundredths ("12.34").
void FormatTime(char* text, std::size_t size, long long steps);
// The time a cleared run took, composed large in the screen's middle.
void DrawClearBanner();
