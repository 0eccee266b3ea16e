// Finding the installed face for a font: the system's own face names, and
// fontconfig's match for everything else. Used by the font cache only.
#pragma once

#include "platform/win/fonts.h"
#include "platform/win/system_faces.h"

#include <string>

namespace platform {

// Where a font's glyphs come from: a face of a font file, with the weight it is
// drawn at and the synthetic bold and slant that fontconfig asks for.
struct FaceChoice {
    std::string file;
    int index = 0;
    int weight = 400;
    bool embolden = false;
    double xx = 1, xy = 0, yx = 0, yy = 1;
};

// Starts fontconfig once for the run and ends it at exit (so that no memory it
// took is left behind); false when it cannot start.
bool FontconfigReady();

// False when no scalable face is installed at all.
bool MatchFace(const LOGFONTA& font, FaceChoice& choice);

} // namespace platform
