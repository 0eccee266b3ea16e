// The dimming image laid over the map view in attribute and enemy editing.
#pragma once

#include "tools/assets/canvas.h"

namespace assets {

// 800 x 600, dark but without a pure black pixel, since the blend leaves the
// screen unchanged wherever the image is black.
Canvas DrawDimmingImage();

} // namespace assets
