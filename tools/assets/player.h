// The play-test hero's sprite sheet: frames side by side, facing right, keyed
// on the top-left pixel.
#pragma once

#include "tools/assets/canvas.h"
#include "tools/assets/enemies.h"

namespace assets {

constexpr int kPlayerFrameWidth = 32, kPlayerFrameHeight = 48;
// Standing, two running strides, jumping or falling.
constexpr int kPlayerFrames = 4;
// The same key as the enemies, which the figure never uses.
constexpr Rgb kPlayerKey = kEnemyKey;

Canvas DrawPlayerSheet();

} // namespace assets
