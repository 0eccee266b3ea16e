// Runs the program whose scenes are registered (the editor, for tessera-replay)
// on the headless backend with a parsed replay script as its only source of
// events.
#pragma once

#include "tools/replay/replay_script.h"

#include <vector>

// Starts the program as usual, with `commandLine` as its command line, and feeds
// it the script; when the script ends the program ends. Returns the program's
// exit code, or 2 when a step could not be carried out (the run stops there,
// with `script:LINE: message` on standard error).
int RunReplay(const std::vector<ReplayCommand>& commands, const char* commandLine = "");

// Reads and parses the script file, then runs it. A script that cannot be read
// or has a mistake stops before the run with a message on standard error and 2.
int RunReplayFile(const char* path);
