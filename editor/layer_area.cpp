#include "editor/layer_area.h"

#include <algorithm>
#include <cstring>

namespace {

// The part of a width x height area at (left, top) that lies inside the arrays,
// as offsets into the area; empty when first >= last in either direction.
struct Clip {
    std::int64_t firstRow, lastRow, firstColumn, lastColumn;
};

Clip ClipArea(int left, int top, int width, int height) {
    return {std::max<std::int64_t>(0, -std::int64_t{top}),
            std::min<std::int64_t>(height, std::int64_t{LAYER_ROWS} - top),
            std::max<std::int64_t>(0, -std::int64_t{left}),
            std::min<std::int64_t>(width, std::int64_t{LAYER_COLUMNS} - left)};
}

std::int64_t CellCount(int width, int height) {
    if (width <= 0 || height <= 0) return 0;
    return std::int64_t{width} * height;
}

} // namespace

AreaImage ReadArea(const LayerRow* layer, int left, int top, int width, int height) {
    AreaImage image(static_cast<std::size_t>(CellCount(width, height)), 0);
    if (image.empty()) return image;
    const Clip clip = ClipArea(left, top, width, height);
    if (clip.firstColumn >= clip.lastColumn) return image;
    const std::size_t rowBytes = sizeof(std::int32_t) * (clip.lastColumn - clip.firstColumn);
    for (std::int64_t i = clip.firstRow; i < clip.lastRow; ++i)
        std::memcpy(&image[i * width + clip.firstColumn], &layer[top + i][left + clip.firstColumn],
                    rowBytes);
    return image;
}

void WriteArea(LayerRow* layer, const AreaImage& image, int left, int top, int width, int height) {
    const std::int64_t cells = CellCount(width, height);
    if (cells == 0 || static_cast<std::int64_t>(image.size()) != cells) return;
    const Clip clip = ClipArea(left, top, width, height);
    if (clip.firstColumn >= clip.lastColumn) return;
    const std::size_t rowBytes = sizeof(std::int32_t) * (clip.lastColumn - clip.firstColumn);
    for (std::int64_t i = clip.firstRow; i < clip.lastRow; ++i)
        std::memcpy(&layer[top + i][left + clip.firstColumn], &image[i * width + clip.firstColumn],
                    rowBytes);
}
