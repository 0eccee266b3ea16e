// Japanese button labels, drawn with the platform's font engine.
#pragma once

#include "tools/assets/canvas.h"
#include "tools/assets/panel_pieces.h"

namespace assets {

// Draws `text` (Shift-JIS) centred in the box, `height` pixels high, with
// smoothed edges and a dark shadow below right, over what the box holds.
void Label(Canvas& c, Box b, const char* text, int height, Rgb colour);

} // namespace assets
