// The eight enemy sprites, one per enemy type, keyed on their top-left pixel.
#pragma once

#include "tools/assets/canvas.h"

namespace assets {

constexpr int kEnemyCount = 8;
// The transparent colour around every enemy.
constexpr Rgb kEnemyKey{255, 0, 255};

// Sprite `index` (enemy type index + 1): 56 x 56 for indices 1 to 3, 48 x 48
// for the others.
Canvas DrawEnemy(int index);

} // namespace assets
