#include "map/undo_history.h"

#include <utility>

namespace tessera {

namespace {

std::int64_t ImageBytes(const UndoRecord& record) {
    return static_cast<std::int64_t>(sizeof(std::int32_t) *
                                     (record.before.size() + record.after.size()));
}

// Discards the records at places first to count - 1.
void DropNewest(UndoHistory& history, int first) {
    for (int place = first; place < history.count; ++place) {
        history.bytes -= ImageBytes(*history.records[place]);
        history.records[place].reset();
    }
    history.count = first;
}

// Discards the `dropped` oldest records and moves the rest down, renumbered.
void DropOldest(UndoHistory& history, int dropped) {
    auto& records = history.records;
    for (int place = 0; place < dropped; ++place) history.bytes -= ImageBytes(*records[place]);
    for (int place = dropped; place < history.count; ++place) {
        records[place - dropped] = std::move(records[place]);
        records[place - dropped]->index = place - dropped;
    }
    for (int place = history.count - dropped; place < history.count; ++place)
        records[place].reset();
    history.count -= dropped;
}

// How many of the oldest records must go for `bytes` more to fit, in count and
// in memory. A record too large on its own is kept alone.
int OldestToDrop(const UndoHistory& history, std::int64_t bytes) {
    int dropped = history.count == UNDO_RECORDS_MAX ? 1 : 0;
    std::int64_t held = history.bytes;
    for (int place = 0; place < dropped; ++place) held -= ImageBytes(*history.records[place]);
    while (dropped < history.count && held + bytes > UNDO_BYTES_MAX)
        held -= ImageBytes(*history.records[dropped++]);
    return dropped;
}

void Apply(MapLayers& map, const AreaImage& image, const UndoRecord& record) {
    WriteArea(map.chips, image, record.left, record.top, record.width, record.height);
}

} // namespace

UndoHistory::UndoHistory(UndoHistory&& other) noexcept { *this = std::move(other); }

UndoHistory& UndoHistory::operator=(UndoHistory&& other) noexcept {
    if (this == &other) return *this;
    for (int place = 0; place < UNDO_RECORDS_MAX; ++place)
        records[place] = std::move(other.records[place]);
    count = std::exchange(other.count, 0);
    current = std::exchange(other.current, nullptr);
    bytes = std::exchange(other.bytes, 0);
    return *this;
}

void Push(UndoHistory& history, AreaImage before, AreaImage after, int width, int height, int left,
          int top) {
    if (width <= 0 || height <= 0) return;
    const std::int64_t cells = std::int64_t{width} * height;
    if (static_cast<std::int64_t>(before.size()) != cells ||
        static_cast<std::int64_t>(after.size()) != cells)
        return;
    // The stamps after the current one can no longer be redone.
    DropNewest(history, history.current ? history.current->index + 1 : 0);
    auto record = std::make_unique<UndoRecord>();
    record->before = std::move(before);
    record->after = std::move(after);
    record->width = width;
    record->height = height;
    record->left = left;
    record->top = top;
    const std::int64_t bytes = ImageBytes(*record);
    DropOldest(history, OldestToDrop(history, bytes));
    record->index = history.count;
    history.current = record.get();
    history.records[history.count++] = std::move(record);
    history.bytes += bytes;
}

void WriteStamp(MapLayers& map, UndoHistory& history, AreaImage after, int width, int height,
                int left, int top) {
    AreaImage before = ReadArea(map.chips, left, top, width, height);
    WriteArea(map.chips, after, left, top, width, height);
    Push(history, std::move(before), std::move(after), width, height, left, top);
}

void Undo(MapLayers& map, UndoHistory& history) {
    UndoRecord* const current = history.current;
    if (!current) return;
    Apply(map, current->before, *current);
    history.current = current->index > 0 ? history.records[current->index - 1].get() : nullptr;
}

void Redo(MapLayers& map, UndoHistory& history) {
    if (history.current) {
        if (history.current->index != history.count - 1)
            history.current = history.records[history.current->index + 1].get();
    } else if (history.count > 0) {
        history.current = history.records[0].get();
    } else {
        return;
    }
    Apply(map, history.current->after, *history.current);
}

} // namespace tessera
