// Stamps of one value for the history tests, written and recorded as stamping
// writes and records them.
#pragma once

#include "map/layer_area.h"
#include "map/map_model.h"
#include "map/undo_history.h"

#include <cstddef>

inline void FillArea(tessera::MapLayers& map, int left, int top, int width, int height, int value) {
    tessera::WriteArea(map.chips,
                       tessera::AreaImage(static_cast<std::size_t>(width) * height, value), left,
                       top, width, height);
}

inline void StampArea(tessera::MapLayers& map, tessera::UndoHistory& history, int left, int top,
                      int width, int height, int value) {
    WriteStamp(map, history, tessera::AreaImage(static_cast<std::size_t>(width) * height, value),
               width, height, left, top);
}
