// The play-test as a program of the frame: its start-up and its one scene,
// on the map handed to it with PlayMap (run_rules.h).
#pragma once

// Reads "X,Y", a game screen: two whole numbers from 0 to 63. 0 when the
// text is anything else.
int ParseStartScreen(const char* text, int& x, int& y);

// Sets a one-screen window (768 x 576) and loads the images, sounds and tune.
void OpenRunScreen();
// Starts the run on the map PlayMap gave, with a fade-in.
void BeginRun();
// The two, for a map handed over before the program starts.
void RunStartup();
// One frame: the controls, the steps of the game due by the clock (60 a
// second), then the picture.
void RunScene();
// Gives the frame the play-test's start-up and scene, and its own name.
void RegisterPlayTest();
