// The play-test as a scene of a program: its images, sounds and tune, the run
// on the map handed to it with PlayMap (run_rules.h), and its frame. The
// play-test's own program shows the game in a window of one game screen; the
// editor plays it as a scene of its own, on its own map.
#pragma once

#include "system/system.h"

// Reads "X,Y", a game screen: two whole numbers of decimal digits, each from 0
// to 63, leading zeros allowed. 0 when the text is anything else.
int ParseStartScreen(const char* text, int& x, int& y);

// Loads what the game shows and plays beside the map's images: the player's
// sprites, the object the fade-in works on, and the sound effects. Once per
// program; RunChipSheets and RunEnemySprites (run_draw.h) are the program's.
void LoadRunImagesAndSounds();
// Sets a one-screen window (768 x 576), loads the map's images into
// RunChipSheets and RunEnemySprites, then the game's own.
void OpenRunScreen();
// Starts the run on the map PlayMap gave, with a fade-in and the tune. Each
// frame is drawn at the top-left of the back buffer, GAME_WIDTH x GAME_HEIGHT
// within the clip rectangle, and then handed to `present`, which shows it;
// `leave` runs once Esc has been released.
void BeginRun(ProgramFunction leave, ProgramFunction present);
// The run of the play-test's own program, as scene 1: Esc ends the program,
// and each frame is presented as it is (its screen is one game screen).
void BeginPlayTestRun();
// OpenRunScreen and BeginPlayTestRun, for a map handed over before the
// program starts.
void RunStartup();
// One frame: the controls, the steps of the game due by the clock (60 a
// second), then the picture.
void RunScene();
// Gives the frame the play-test's start-up and scene, and its own name.
void RegisterPlayTest();
