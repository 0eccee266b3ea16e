// Stamps for the history tests, made the way stamping makes them: the area's
// old contents, the new values written, and one record pushed.
#pragma once

#include "editor/layer_area.h"
#include "editor/map_model.h"
#include "editor/undo_history.h"

#include <cstddef>
#include <utility>

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
    AreaImage before = ReadArea(ChipLayer, left, top, width, height);
    AreaImage after(static_cast<std::size_t>(width) * height, value);
    WriteArea(ChipLayer, after, left, top, width, height);
    Push(std::move(before), std::move(after), width, height, left, top);
}
