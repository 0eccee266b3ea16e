#include "map/layer_area.h"

#include "platform/files/memory.h"

#include <algorithm>
#include <cstring>

namespace tessera {

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

AreaImage ReservedImage(std::size_t cells) {
    AreaImage image;
    image.reserve(cells);
    platform::AdviseHugePages(image.data(), cells * sizeof(std::int32_t));
    return image;
}

AreaImage ReadArea(const LayerRow* layer, int left, int top, int width, int height) {
    const std::int64_t cells = CellCount(width, height);
    AreaImage image = ReservedImage(static_cast<std::size_t>(cells));
    if (cells == 0) return image;
    const Clip clip = ClipArea(left, top, width, height);
    const bool inside = clip.firstColumn < clip.lastColumn;
    const auto zeros = [&image](std::int64_t count) {
        image.insert(image.end(), static_cast<std::size_t>(count), 0);
    };
    for (std::int64_t i = 0; i < height; ++i) {
        if (!inside || i < clip.firstRow || i >= clip.lastRow) {
            zeros(width);
            continue;
        }
        const std::int32_t* row = &layer[top + i][left + clip.firstColumn];
        zeros(clip.firstColumn);
        image.insert(image.end(), row, row + (clip.lastColumn - clip.firstColumn));
        zeros(width - clip.lastColumn);
    }
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

} // namespace tessera
