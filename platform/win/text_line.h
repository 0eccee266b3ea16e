// One line of CP932 text drawn with a font into a device context's surface,
// clipped to a rectangle. Shared by TextOut and DrawText.
#pragma once

#include "platform/win/font_cache.h"

#include <string_view>

namespace platform {

// Width of the text along its baseline, in 1/64 pixel.
long LineAdvance(Strike& strike, std::string_view text);

// Draws the text with the top-left corner of its cell at (x, y) in the
// context's colours and background mode; nothing outside `clip`.
void DrawLine(HDC dc, const Font& font, int x, int y, std::string_view text, const RECT& clip);

} // namespace platform
