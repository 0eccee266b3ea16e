// The editor on the desktop. It takes no options; --help and --version answer
// without opening a window. Started from the menu it keeps its maps in the
// user's data folder (platform::MenuMapsFolder); from a terminal, in the
// current folder.
#include "command_line/command_line.h"
#include "editor/edit_scene.h"
#include "platform/files/files.h"
#include "system/system.h"

#include <cstdio>
#include <string>

namespace {

const CommandUsage USAGE{
    "tessera",
    "",
    "The tile-map editor, full-screen at 1024 x 768. It takes no options. Maps are\n"
    "saved and loaded in the current folder or, started from the menu, "
    "in\n" TESSERA_MENU_MAPS_FOLDER ".\n",
};

} // namespace

int main(int argc, char** argv) {
    if (const int status = AnswerHelpOrVersion(argc, argv, USAGE); status >= 0) return status;
    if (platform::StartedFromMenu()) {
        std::string maps, error;
        if (!platform::MenuMapsFolder(maps, error) || !platform::EnterFolder(maps, error)) {
            std::fprintf(stderr, "tessera: cannot use the maps folder %s (%s)\n", maps.c_str(),
                         error.c_str());
            return 1;
        }
    }
    RegisterEditor();
    return elSystem::RunProgram(argc, argv);
}
