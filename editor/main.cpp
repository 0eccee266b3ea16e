// The editor on the desktop: `tessera [NAME]` opens the map NAME at start;
// --help and --version answer without opening a window. Started from the menu
// it keeps its maps in the user's data folder (platform::MenuMapsFolder); from
// a terminal, in the current folder.
#include "command_line/command_line.h"
#include "editor/edit_scene.h"
#include "editor/edited_map.h"
#include "platform/files/files.h"
#include "system/system.h"

#include <cstdio>
#include <string>

namespace {

const CommandUsage USAGE{
    "tessera",
    "[NAME]",
    "The tile-map editor, full-screen at 1024 x 768. It opens the map NAME (its\n"
    "files NAME_data.txt, NAME_zk.txt and NAME_teki.txt), or starts a new map of\n"
    "that name when there are none. Maps are saved and loaded in the current folder\n"
    "or, started from the menu, in " TESSERA_MENU_MAPS_FOLDER
    ". The window's title shows the map's name, after\n"
    "a '*' while it holds changes not yet saved. Unsaved work is kept "
    "in\n" TESSERA_KEPT_STATE_FOLDER " and offered back at the next\n"
    "start.\n",
};

} // namespace

int main(int argc, char** argv) {
    if (const int status = AnswerHelpOrVersion(argc, argv, USAGE); status >= 0) return status;
    if (argc > 1 && IsOption(argv[1]))
        return UsageError(USAGE, "unknown option \"" + Printable(argv[1]) + "\"");
    if (argc > 2) return UsageError(USAGE, "give one map name at most");
    if (argc == 2 && !IsMapName(argv[1]))
        return UsageError(USAGE, "\"" + Printable(argv[1]) +
                                     "\" is not a map name: 1 to 15 letters and digits");
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
