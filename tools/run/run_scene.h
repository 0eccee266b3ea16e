// The play-test as a program of the frame: its map, its start-up and its one
// scene.
#pragma once

// Reads the map `name` (its three files) with the map library and finds its
// enemies; the run starts at game screen (screenX, screenY), held inside the
// map. On failure the map and the cause are named on standard error and 0 is
// returned.
int OpenPlayMap(const char* name, int screenX, int screenY);

// OpenPlayMap on a thread of its own, so that the map loads while the window
// opens and the images, sounds and fonts load; start-up waits for it there,
// and a map that cannot be read ends the program with status 1.
void OpenPlayMapMeanwhile(const char* name, int screenX, int screenY);
// Waits for the load OpenPlayMapMeanwhile started, if it still runs. 0 when
// it failed.
int PlayMapOpened();

// Reads "X,Y", a game screen: two whole numbers from 0 to 63. 0 when the
// text is anything else.
int ParseStartScreen(const char* text, int& x, int& y);

// Sets a one-screen window (768 x 576), loads the images, sounds and tune,
// and starts the run with a fade-in.
void RunStartup();
// One frame: the controls, the steps of the game due by the clock (60 a
// second), then the picture.
void RunScene();
// Gives the frame the play-test's start-up and scene, and its own name.
void RegisterPlayTest();
