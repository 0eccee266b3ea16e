// History of stamps on the chip layer: each record keeps the area's contents
// before and after the stamp, so Ctrl+Z and Ctrl+Y can write them back.
#pragma once

#include "map/layer_area.h"

#include <cstdint>
#include <memory>

struct UndoRecord {
    int index = 0;    // place in UndoHistory, 0 = oldest
    AreaImage before; // ChipLayer contents of the area before the stamp
    AreaImage after;  // the values the stamp wrote
    int width = 0;    // columns of the area
    int height = 0;   // rows of the area
    int left = 0;     // map column of the area's left edge
    int top = 0;      // map row of the area's top edge
};

constexpr int UNDO_RECORDS_MAX = 1000;
// The images of all records together stay within this many bytes; a record
// larger on its own would be kept alone.
constexpr std::int64_t UNDO_BYTES_MAX = std::int64_t{1} << 30;

// Places 0 to UndoCount - 1 hold records, oldest first.
extern std::unique_ptr<UndoRecord> UndoHistory[UNDO_RECORDS_MAX];
extern int UndoCount;
// The record whose stamp is the latest in effect; null when none is.
extern UndoRecord* UndoCurrent;
// Bytes held by the images of the records in the history.
extern std::int64_t UndoBytes;

// Records a stamp of the area (left, top, width, height); the history takes
// both images, each width x height values. Drops the records after
// UndoCurrent, then the oldest ones while the history is full in count or
// bytes. Areas with no cells or images of the wrong size are not recorded.
void Push(AreaImage before, AreaImage after, int width, int height, int left, int top);

// Writes a stamp's values, `after` (width x height values, row after row), over
// the area of ChipLayer at (left, top), and pushes its record with the area's
// contents before it.
void WriteStamp(AreaImage after, int width, int height, int left, int top);

// Writes UndoCurrent's before image back and steps to the record before it.
void Undo();

// Steps to the next record, if any, and writes its after image; at the newest
// record its after image is written again.
void Redo();
