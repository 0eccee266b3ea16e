// Pieces of a text bracket that the plain and the composed brackets share: the
// font description's fields, and a font opened on (or closed off) a surface.
#pragma once

#include "text/text.h"

namespace elText {

// Face 0 "標準明朝", 1 "標準ゴシック"; any other keeps the last face name.
void SetStandardFace(int face);
// Face name cut to the description's width at a character boundary.
void SetFaceName(const char* name);
// Height, weight, escapement, italic, underline and the Japanese character set.
void SetStyle(int height, int angle, int weight, int italic, int underline);
// The character set the face table lists for the description's face, if any.
void LookUpCharSet();
// Creates the font from the description and selects it into a context on the surface.
void OpenOn(platform::Surface* surface);
// Selects the previous font back, deletes the current one and gives the context back.
void Close();

} // namespace elText
