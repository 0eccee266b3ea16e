// The panel image: pointer, scroll-bar pieces, buttons in their unlit and lit
// pictures, big digits, each at the place the panel code takes it from.
#pragma once

#include "tools/assets/canvas.h"

namespace assets {

constexpr int kPanelWidth = 1200, kPanelHeight = 158;

Canvas DrawPanelImage();

} // namespace assets
