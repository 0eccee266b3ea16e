// Screen set-up for the sound tests, apart from the sound device's declarations.
#include "draw/draw.h"

#include <string>

namespace sound_test {

int OpenScreen(int width, int height) { return elDraw::Screen(width, height, 1); }

void CloseScreen() { elDraw::Quit(); }

std::string ProgramFolder() { return elSystem::ProgramFolder(0); }

} // namespace sound_test
