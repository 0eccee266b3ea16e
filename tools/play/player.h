// Plays the files of the command line through the framework's sound and music
// modules, one after the other.
#pragma once

#include "tools/play/play_options.h"

// 0 when everything played (or a loop was interrupted), 1 after a message on
// standard error.
int PlayAll(const PlayOptions& options);
