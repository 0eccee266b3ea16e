// tessera-run NAME [--screen X,Y]: plays the map NAME from game screen X,Y
// (0,0 unless given) in a window of its own.
#include "system/system.h"
#include "tools/run/run_scene.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    int x = 0, y = 0;
    const bool screen = argc == 4 && std::strcmp(argv[2], "--screen") == 0;
    if (!(argc == 2 || screen) || (screen && !ParseStartScreen(argv[3], x, y))) {
        std::fprintf(stderr, "usage: tessera-run NAME [--screen X,Y]\n");
        return 2;
    }
    OpenPlayMapMeanwhile(argv[1], x, y);
    RegisterPlayTest();
    const int status = elSystem::RunProgram(1, argv);
    // The program can end before its start-up waited for the map: another
    // play-test runs, or there is no display.
    return PlayMapOpened() ? status : 1;
}
