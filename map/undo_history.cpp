#include "map/undo_history.h"

#include <utility>

std::unique_ptr<UndoRecord> UndoHistory[UNDO_RECORDS_MAX];
int UndoCount = 0;
UndoRecord* UndoCurrent = nullptr;
std::int64_t UndoBytes = 0;

namespace {

std::int64_t ImageBytes(const UndoRecord& record) {
    return static_cast<std::int64_t>(sizeof(std::int32_t) *
                                     (record.before.size() + record.after.size()));
}

// Discards the records at places first to UndoCount - 1.
void DropNewest(int first) {
    for (int place = first; place < UndoCount; ++place) {
        UndoBytes -= ImageBytes(*UndoHistory[place]);
        UndoHistory[place].reset();
    }
    UndoCount = first;
}

// Discards the `count` oldest records and moves the rest down, renumbered.
void DropOldest(int count) {
    for (int place = 0; place < count; ++place) UndoBytes -= ImageBytes(*UndoHistory[place]);
    for (int place = count; place < UndoCount; ++place) {
        UndoHistory[place - count] = std::move(UndoHistory[place]);
        UndoHistory[place - count]->index = place - count;
    }
    for (int place = UndoCount - count; place < UndoCount; ++place) UndoHistory[place].reset();
    UndoCount -= count;
}

// How many of the oldest records must go for `bytes` more to fit, in count and
// in memory. A record too large on its own is kept alone.
int OldestToDrop(std::int64_t bytes) {
    int count = UndoCount == UNDO_RECORDS_MAX ? 1 : 0;
    std::int64_t held = UndoBytes;
    for (int place = 0; place < count; ++place) held -= ImageBytes(*UndoHistory[place]);
    while (count < UndoCount && held + bytes > UNDO_BYTES_MAX)
        held -= ImageBytes(*UndoHistory[count++]);
    return count;
}

void Apply(const AreaImage& image, const UndoRecord& record) {
    WriteArea(ChipLayer, image, record.left, record.top, record.width, record.height);
}

} // namespace

void Push(AreaImage before, AreaImage after, int width, int height, int left, int top) {
    if (width <= 0 || height <= 0) return;
    const std::int64_t cells = std::int64_t{width} * height;
    if (static_cast<std::int64_t>(before.size()) != cells ||
        static_cast<std::int64_t>(after.size()) != cells)
        return;
    // The stamps after the current one can no longer be redone.
    DropNewest(UndoCurrent ? UndoCurrent->index + 1 : 0);
    auto record = std::make_unique<UndoRecord>();
    record->before = std::move(before);
    record->after = std::move(after);
    record->width = width;
    record->height = height;
    record->left = left;
    record->top = top;
    const std::int64_t bytes = ImageBytes(*record);
    DropOldest(OldestToDrop(bytes));
    record->index = UndoCount;
    UndoCurrent = record.get();
    UndoHistory[UndoCount++] = std::move(record);
    UndoBytes += bytes;
}

void WriteStamp(AreaImage after, int width, int height, int left, int top) {
    AreaImage before = ReadArea(ChipLayer, left, top, width, height);
    WriteArea(ChipLayer, after, left, top, width, height);
    Push(std::move(before), std::move(after), width, height, left, top);
}

void Undo() {
    if (!UndoCurrent) return;
    Apply(UndoCurrent->before, *UndoCurrent);
    const int index = UndoCurrent->index;
    UndoCurrent = index > 0 ? UndoHistory[index - 1].get() : nullptr;
}

void Redo() {
    if (UndoCurrent) {
        if (UndoCurrent->index != UndoCount - 1)
            UndoCurrent = UndoHistory[UndoCurrent->index + 1].get();
    } else if (UndoCount > 0) {
        UndoCurrent = UndoHistory[0].get();
    } else {
        return;
    }
    Apply(UndoCurrent->after, *UndoCurrent);
}
