// The play-test hero's sprite sheet: frames side by side, facing right, on
// black, the key of the top-left pixel. The game mirrors the frames for the
// left, and a mirrored copy leaves out only black pixels.
#pragma once

#include "tools/assets/canvas.h"

namespace assets {

constexpr int kPlayerFrameWidth = 32, kPlayerFrameHeight = 48;
// Standing, two running strides, jumping or falling.
constexpr int kPlayerFrames = 4;

Canvas DrawPlayerSheet();

} // namespace assets
