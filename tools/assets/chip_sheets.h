// The two chip sheets: 80 x 250 chips of 8 x 8 pixels, frame 0 and frame 1.
#pragma once

#include "tools/assets/canvas.h"

#include <array>

namespace assets {

constexpr int kSheetColumns = 80, kSheetRows = 250;

// Both frames; static chips are the same in both, animated ones move.
std::array<Canvas, 2> DrawChipSheets();

} // namespace assets
