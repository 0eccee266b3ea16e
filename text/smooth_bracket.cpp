// The bracket of smoothed text: a plain font at double height on the font
// buffer sprite, where each line is drawn before it is filtered down.
#include "draw/draw.h"
#include "text/font_bracket.h"

#include <cstdint>

namespace elText {

namespace {

void SetDoubleStyle(int height) {
    // Wraps like the 32-bit product it stands for.
    SetStyle(static_cast<int>(static_cast<std::uint32_t>(height) * 2u), 0, 0, 0, 0);
}

} // namespace

void BeginSmooth(int face, int height) {
    if (!FontDesc) return;
    if (TextDC) Close();
    SetStandardFace(face);
    SetDoubleStyle(height);
    OpenOn(elDraw::SurfaceOf(FONT_BUFFER_SPRITE));
}

void BeginSmoothFace(const char* faceName, int height) {
    if (!FontDesc || !faceName) return;
    if (TextDC) Close();
    SetFaceName(faceName);
    SetDoubleStyle(height);
    LookUpCharSet();
    OpenOn(elDraw::SurfaceOf(FONT_BUFFER_SPRITE));
}

void EndSmooth() { Close(); }

} // namespace elText
