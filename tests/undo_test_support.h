// Stamps of one value for the history tests, written and recorded as stamping
// writes and records them.
#pragma once

#include "map/layer_area.h"
#include "map/map_model.h"
#include "map/undo_history.h"

#include <cstddef>

// Tests share one process: each starts from an empty history.
inline void ClearHistoryForTest() {
    for (auto& record : UndoHistory) record.reset();
    UndoCount = 0;
    UndoCurrent = nullptr;
    UndoBytes = 0;
}

inline void FillArea(int left, int top, int width, int height, int value) {
    WriteArea(ChipLayer, AreaImage(static_cast<std::size_t>(width) * height, value), left, top,
              width, height);
}

inline void StampArea(int left, int top, int width, int height, int value) {
    WriteStamp(AreaImage(static_cast<std::size_t>(width) * height, value), width, height, left,
               top);
}
