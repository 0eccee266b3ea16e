// The editor on the desktop.
#include "editor/edit_scene.h"
#include "system/system.h"

int main(int argc, char** argv) {
    RegisterEditor();
    return elSystem::RunProgram(argc, argv);
}
