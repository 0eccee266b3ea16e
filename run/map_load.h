// The map a play-test program plays, read from its three files. The game
// itself plays whatever map it is handed (PlayMap); reading one is the
// program's part, here for the play-test's program and the replay driver.
#pragma once

#include "map/map_model.h"

// Reads the map `name` into `map` and gives it to the run from game screen
// (screenX, screenY). On failure the map and the cause are named on standard
// error and 0 is returned. A start screen past the map, and enemies beyond
// the most a run takes, are told there too.
int LoadPlayMap(tessera::MapLayers& map, const char* name, int screenX, int screenY);

// Gives the frame the play-test with LoadPlayMap running meanwhile on a
// thread of its own, so that the map loads while the window opens and the
// images, sounds and fonts load; start-up then waits for it, and a map that
// cannot be read ends the program with status 1. `map` must outlive the run.
void RegisterPlayTestLoading(tessera::MapLayers& map, const char* name, int screenX, int screenY);

// Waits for the load RegisterPlayTestLoading started, if it still runs. 0 when
// it failed.
int PlayMapLoaded();
