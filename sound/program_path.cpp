// Names of sound files relative to the program's folder.
#include "sound/program_path.h"
#include "draw/draw.h"

namespace elSound {

std::string BesideProgram(const char* name) {
    return std::string(elSystem::ProgramFolder(0)) + name;
}

} // namespace elSound
