// Sound files are named relative to the program's folder.
#pragma once

#include <string>

namespace elSound {

// The program's folder followed by `name`.
std::string BesideProgram(const char* name);

} // namespace elSound
