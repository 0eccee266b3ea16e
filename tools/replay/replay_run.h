// Runs the editor on the headless backend with a parsed replay script as its
// only source of events.
#pragma once

#include "tools/replay/replay_script.h"

#include <vector>

// Starts the editor as usual and feeds it the script; when the script ends the
// window is closed. Returns the editor's exit code.
int RunReplay(const std::vector<ReplayCommand>& commands);
