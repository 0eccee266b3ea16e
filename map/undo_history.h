// History of stamps on the chip layer: each record keeps the area's contents
// before and after the stamp, so Ctrl+Z and Ctrl+Y can write them back.
#pragma once

#include "map/layer_area.h"
#include "map/map_model.h"

#include <cstdint>
#include <memory>

constexpr int UNDO_RECORDS_MAX = 1000;
// The images of all records together stay within this many bytes; a record
// larger on its own would be kept alone.
constexpr std::int64_t UNDO_BYTES_MAX = std::int64_t{1} << 30;

namespace tessera {

struct UndoRecord {
    int index = 0;    // place in the history's records, 0 = oldest
    AreaImage before; // chip layer contents of the area before the stamp
    AreaImage after;  // the values the stamp wrote
    int width = 0;    // columns of the area
    int height = 0;   // rows of the area
    int left = 0;     // map column of the area's left edge
    int top = 0;      // map row of the area's top edge
};

// The stamps of one map, oldest first. A history is moved, never copied: it
// owns its records' images.
struct UndoHistory {
    // Places 0 to count - 1 hold records.
    std::unique_ptr<UndoRecord> records[UNDO_RECORDS_MAX];
    int count = 0;
    // The record whose stamp is the latest in effect; null when none is.
    UndoRecord* current = nullptr;
    // Bytes held by the images of the records.
    std::int64_t bytes = 0;

    UndoHistory() = default;
    UndoHistory(UndoHistory&& other) noexcept;
    UndoHistory& operator=(UndoHistory&& other) noexcept;
};

// Records a stamp of the area (left, top, width, height); the history takes
// both images, each width x height values. Drops the records after the current
// one, then the oldest ones while the history is full in count or bytes. Areas
// with no cells or images of the wrong size are not recorded.
void Push(UndoHistory& history, AreaImage before, AreaImage after, int width, int height, int left,
          int top);

// Writes a stamp's values, `after` (width x height values, row after row), over
// the area of the map's chip layer at (left, top), and pushes its record with
// the area's contents before it.
void WriteStamp(MapLayers& map, UndoHistory& history, AreaImage after, int width, int height,
                int left, int top);

// Writes the current record's before image back and steps to the record before it.
void Undo(MapLayers& map, UndoHistory& history);

// Steps to the next record, if any, and writes its after image; at the newest
// record its after image is written again.
void Redo(MapLayers& map, UndoHistory& history);

} // namespace tessera
