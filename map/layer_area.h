// Rectangles of a layer copied out to an image and back, a row at a time.
// Cells beyond the layer arrays read as 0 and ignore writes, as with GetCell
// and SetCell, but the bounds are clipped once per area, not per cell.
#pragma once

#include "map/map_model.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tessera {

// An area image: height rows of width values, row after row.
using AreaImage = std::vector<std::int32_t>;

// An empty image with room for `cells` values, its pages advised onto
// transparent huge pages before anything touches them: on 4 KiB pages the
// first-touch faults of a whole-map image cost more than filling it. Images
// are built by appending rows to it.
AreaImage ReservedImage(std::size_t cells);

// The area's width x height cells, row after row; cells beyond the arrays
// give 0. An area with no cells gives an empty image.
AreaImage ReadArea(const LayerRow* layer, int left, int top, int width, int height);

// Writes image (width x height values, row after row) over the area; cells
// beyond the arrays are left out. An image of another size writes nothing.
void WriteArea(LayerRow* layer, const AreaImage& image, int left, int top, int width, int height);

} // namespace tessera
