// F5 plays the map being edited, as it stands: the play-test runs as a scene
// of the editor (PLAY_SCENE), on the editor's own map, from the game screen
// that holds the view's top-left cell; Esc comes back to the editor as it was.
// The game's images, sounds and tune load on the first F5; the chip sheets
// and enemy sprites are the editor's own.
#pragma once

constexpr int EDIT_SCENE = 1;
constexpr int PLAY_SCENE = 2;

extern int PlayKeyState; // key state of F5

// From the editor's start and whenever it is back from the game: F5's
// releases are counted, so that a tap shorter than a frame plays too.
void WatchPlayKey();

// Once per frame of the edit scene: an F5 press while no save or load prompt
// is open sets the attributes from the chips as a save does, starts the run
// and switches to the play scene (RunScene) from the next frame on. The game
// draws its 768 x 576 frame at the back buffer's top-left, and the scene
// stretches it over the editor's whole screen.
void PlayKeyStep();
