// The words of a media-control command string.
#pragma once

#include "platform/win/win_defs.h"

#include <string>
#include <vector>

namespace platform {

// Splits `command` at blanks; a word in double quotes may hold blanks and loses
// its quotes. Returns 0, or MCIERR_NO_CLOSING_QUOTE.
DWORD SplitCommand(const char* command, std::vector<std::string>& words);

// Keywords and device names compare without regard to case.
bool SameWord(const std::string& word, const char* keyword);

} // namespace platform
