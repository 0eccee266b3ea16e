// The stamp history: push, undo and redo sequences, the limits of 1000 records
// and of 1 GiB of images, and areas reaching past the layer arrays.
#include "map/layer_area.h"
#include "map/map_model.h"
#include "map/undo_history.h"
#include "undo_test_support.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <utility>

namespace {

// Each test has a map and a history of its own.
class History : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(AllocateLayers(map), 1); }

    void Undo() { tessera::Undo(map, history); }
    void Redo() { tessera::Redo(map, history); }
    void Push(tessera::AreaImage before, tessera::AreaImage after, int width, int height, int left,
              int top) {
        tessera::Push(history, std::move(before), std::move(after), width, height, left, top);
    }
    void FillArea(int left, int top, int width, int height, int value) {
        ::FillArea(map, left, top, width, height, value);
    }
    void StampArea(int left, int top, int width, int height, int value) {
        ::StampArea(map, history, left, top, width, height, value);
    }

    // Every cell of the area holds value.
    bool Holds(int left, int top, int width, int height, int value) const {
        for (int row = top; row < top + height; ++row)
            for (int column = left; column < left + width; ++column)
                if (GetCell(map.chips, row, column) != value) return false;
        return true;
    }

    void ExpectIndicesMatchPlaces() const {
        for (int place = 0; place < history.count; ++place)
            EXPECT_EQ(history.records[place]->index, place);
        for (int place = history.count; place < UNDO_RECORDS_MAX; ++place)
            EXPECT_EQ(history.records[place], nullptr);
    }

    // A record of 4096 x 4096 cells at the map's corner, before image value - 1,
    // after image value: 128 MiB of images, so eight fill the bound exactly.
    static constexpr int LARGE_SIDE = 4096;
    static constexpr std::int64_t LARGE_BYTES = std::int64_t{LARGE_SIDE} * LARGE_SIDE * 8;

    void PushLarge(int value) {
        const std::size_t cells = std::size_t{LARGE_SIDE} * LARGE_SIDE;
        Push(tessera::AreaImage(cells, value - 1), tessera::AreaImage(cells, value), LARGE_SIDE,
             LARGE_SIDE, 0, 0);
    }

    tessera::MapLayers map;
    tessera::UndoHistory history;
};

TEST_F(History, UndoAllThenRedoPastTheNewestWritesItAgain) {
    Undo();
    Redo(); // an empty history does nothing
    EXPECT_EQ(history.current, nullptr);
    FillArea(10, 10, 6, 4, 0);
    FillArea(10, 10, 4, 3, 5);
    StampArea(10, 10, 4, 3, 1); // A
    StampArea(12, 11, 4, 3, 2); // B, over part of A
    tessera::UndoRecord* a = history.records[0].get();
    tessera::UndoRecord* b = history.records[1].get();
    EXPECT_EQ(history.current, b);
    Undo();
    EXPECT_EQ(history.current, a);
    EXPECT_TRUE(Holds(10, 10, 4, 3, 1));
    EXPECT_TRUE(Holds(14, 11, 2, 3, 0));
    Undo();
    EXPECT_EQ(history.current, nullptr);
    EXPECT_TRUE(Holds(10, 10, 4, 3, 5));
    EXPECT_TRUE(Holds(14, 11, 2, 3, 0));
    Undo(); // nothing left to undo
    EXPECT_TRUE(Holds(10, 10, 4, 3, 5));

    Redo();
    EXPECT_EQ(history.current, a);
    EXPECT_TRUE(Holds(10, 10, 4, 3, 1));
    EXPECT_TRUE(Holds(14, 11, 2, 3, 0));
    Redo();
    EXPECT_EQ(history.current, b);
    EXPECT_TRUE(Holds(12, 11, 4, 3, 2));
    EXPECT_TRUE(Holds(10, 10, 2, 3, 1));
    FillArea(12, 11, 4, 3, 9);
    Redo(); // at the newest record: its after image again
    EXPECT_EQ(history.current, b);
    EXPECT_TRUE(Holds(12, 11, 4, 3, 2));
    EXPECT_EQ(history.count, 2);
}

TEST_F(History, APushDropsTheRecordsThatCouldBeRedone) {
    FillArea(0, 0, 8, 3, 0);
    StampArea(0, 0, 2, 2, 1); // A
    StampArea(1, 1, 2, 2, 2); // B
    Undo();
    StampArea(5, 0, 1, 1, 3); // C replaces B
    ASSERT_EQ(history.count, 2);
    EXPECT_EQ(history.records[0]->left, 0);
    EXPECT_EQ(history.records[1]->left, 5);
    EXPECT_EQ(history.current, history.records[1].get());
    ExpectIndicesMatchPlaces();
    Undo();
    Undo();
    EXPECT_TRUE(Holds(0, 0, 3, 3, 0));
    EXPECT_TRUE(Holds(5, 0, 1, 1, 0));

    // Everything undone: a push drops every record.
    StampArea(7, 0, 1, 1, 4);
    ASSERT_EQ(history.count, 1);
    EXPECT_EQ(history.records[0]->left, 7);
    EXPECT_EQ(history.current, history.records[0].get());
    ExpectIndicesMatchPlaces();
    Undo();
    Undo();
    EXPECT_TRUE(Holds(7, 0, 1, 1, 0));
    Redo();
    EXPECT_TRUE(Holds(7, 0, 1, 1, 4));
    EXPECT_TRUE(Holds(0, 0, 3, 3, 0)); // A cannot come back
}

TEST_F(History, The1001stPushDropsTheOldest) {
    for (int stamp = 1; stamp <= UNDO_RECORDS_MAX + 1; ++stamp) StampArea(3, 20, 1, 1, stamp);
    ASSERT_EQ(history.count, UNDO_RECORDS_MAX);
    EXPECT_EQ(history.records[0]->after[0], 2);
    EXPECT_EQ(history.records[UNDO_RECORDS_MAX - 1]->after[0], UNDO_RECORDS_MAX + 1);
    EXPECT_EQ(history.current, history.records[UNDO_RECORDS_MAX - 1].get());
    ExpectIndicesMatchPlaces();
    Undo();
    EXPECT_EQ(GetCell(map.chips, 20, 3), UNDO_RECORDS_MAX);
    for (int i = 1; i < UNDO_RECORDS_MAX; ++i) Undo();
    EXPECT_EQ(GetCell(map.chips, 20, 3), 1); // stamp 1 can no longer be undone
    EXPECT_EQ(history.current, nullptr);
    Undo();
    EXPECT_EQ(GetCell(map.chips, 20, 3), 1);
}

TEST_F(History, ImagesStayWithinTheMemoryBound) {
    StampArea(6000, 4500, 1, 1, 7); // a small record first
    for (int i = 0; i < 7; ++i) PushLarge(100 + i);
    EXPECT_EQ(history.count, 8);
    EXPECT_EQ(history.bytes, 7 * LARGE_BYTES + 8);
    // The eighth large record needs only the small one dropped.
    PushLarge(107);
    ASSERT_EQ(history.count, 8);
    EXPECT_EQ(history.bytes, UNDO_BYTES_MAX);
    EXPECT_EQ(history.records[0]->after[0], 100);
    ExpectIndicesMatchPlaces();
    // A ninth drops one more; a small push after it drops one large record.
    PushLarge(108);
    StampArea(6000, 4500, 1, 1, 8);
    ASSERT_EQ(history.count, 8);
    EXPECT_EQ(history.records[0]->after[0], 102);
    EXPECT_EQ(history.bytes, 7 * LARGE_BYTES + 8);
    ExpectIndicesMatchPlaces();
    for (int i = 0; i < 8; ++i) Undo();
    EXPECT_TRUE(Holds(0, 0, LARGE_SIDE, LARGE_SIDE, 101));
    EXPECT_EQ(GetCell(map.chips, 4500, 6000), 7);
    EXPECT_EQ(history.current, nullptr);
}

TEST_F(History, AreasPastTheArraysTouchOnlyTheirCellsInside) {
    // The neighbours a careless copy would hit: the next row's first cells,
    // the previous row's last cell, and the attribute layer after the last row.
    SetCell(map.chips, 4601, 0, 11);
    SetCell(map.chips, 4600, LAYER_COLUMNS - 1, 0);
    SetCell(map.chips, 0, LAYER_COLUMNS - 1, 12);
    SetCell(map.attributes, 0, 0, 13);
    FillArea(6100, 4600, LAYER_COLUMNS - 6100, LAYER_ROWS - 4600, 0);
    // The farthest cell a 64 x 64 map's view reaches is column 6399, row 4610.
    StampArea(6100, 4600, 300, 11, 9);
    EXPECT_TRUE(Holds(6100, 4600, LAYER_COLUMNS - 6100, LAYER_ROWS - 4600, 9));
    EXPECT_EQ(history.records[0]->after[299], 9);
    EXPECT_EQ(history.records[0]->before[299], 0); // beyond the arrays: read as 0
    EXPECT_EQ(GetCell(map.chips, 4601, 0), 11);
    EXPECT_EQ(GetCell(map.attributes, 0, 0), 13);
    Undo();
    EXPECT_TRUE(Holds(6100, 4600, LAYER_COLUMNS - 6100, LAYER_ROWS - 4600, 0));
    EXPECT_EQ(GetCell(map.chips, 4601, 0), 11);
    Redo();
    EXPECT_TRUE(Holds(6100, 4600, LAYER_COLUMNS - 6100, LAYER_ROWS - 4600, 9));
    EXPECT_EQ(GetCell(map.chips, 4601, 0), 11);
    EXPECT_EQ(GetCell(map.attributes, 0, 0), 13);

    // Before the first row and column too, whatever the caller hands in.
    Push(tessera::AreaImage(24, 1), tessera::AreaImage(24, 2), 6, 4, -3, -2);
    Redo();
    EXPECT_TRUE(Holds(0, 0, 3, 2, 2));
    EXPECT_EQ(GetCell(map.chips, 0, LAYER_COLUMNS - 1), 12);
    Undo();
    EXPECT_TRUE(Holds(0, 0, 3, 2, 1));
    EXPECT_EQ(GetCell(map.chips, 0, LAYER_COLUMNS - 1), 12);
}

TEST_F(History, AreasWithoutCellsOrWithImagesOfTheWrongSizeAreNotRecorded) {
    StampArea(0, 0, 1, 1, 1);
    Push(tessera::AreaImage(), tessera::AreaImage(), 0, 5, 0, 0);
    Push(tessera::AreaImage(), tessera::AreaImage(), -2, -3, 0, 0);
    Push(tessera::AreaImage(6, 0), tessera::AreaImage(5, 0), 3, 2, 0, 0);
    Push(tessera::AreaImage(6, 0), tessera::AreaImage(6, 0), 2, 2, 0, 0);
    EXPECT_EQ(history.count, 1);
    EXPECT_EQ(history.current, history.records[0].get());
    EXPECT_EQ(history.bytes, 8);
}

// A history is a value: moved whole, records and place, and the one moved
// from starts again empty.
TEST_F(History, AMovedHistoryKeepsItsPlaceAndLeavesAnEmptyOne) {
    StampArea(0, 0, 2, 2, 1);
    StampArea(0, 0, 2, 2, 2);
    Undo();
    tessera::UndoRecord* const first = history.records[0].get();
    tessera::UndoHistory moved = std::move(history);
    EXPECT_EQ(moved.count, 2);
    EXPECT_EQ(moved.current, first);
    EXPECT_EQ(moved.bytes, 2 * 2 * 2 * 8);
    EXPECT_EQ(history.count, 0);
    EXPECT_EQ(history.current, nullptr);
    EXPECT_EQ(history.bytes, 0);
    ExpectIndicesMatchPlaces(); // every place of the emptied history is free
    StampArea(5, 5, 1, 1, 3);
    EXPECT_EQ(history.count, 1);
    tessera::Redo(map, moved);
    EXPECT_TRUE(Holds(0, 0, 2, 2, 2));
    history = std::move(moved);
    EXPECT_EQ(history.count, 2);
    EXPECT_EQ(history.records[1]->after[0], 2);
}

TEST(LayerArea, ReadsAndWritesTheSameCellsAsTheCellAccessor) {
    tessera::MapLayers map;
    ASSERT_EQ(AllocateLayers(map), 1);
    const int left = LAYER_COLUMNS - 2, top = LAYER_ROWS - 1;
    SetCell(map.chips, top, left, 4);
    SetCell(map.chips, top, left + 1, 5);
    const tessera::AreaImage image = tessera::ReadArea(map.chips, left, top, 3, 2);
    EXPECT_EQ(image, (tessera::AreaImage{4, 5, 0, 0, 0, 0}));
    tessera::WriteArea(map.chips, tessera::AreaImage{6, 7, 8, 9, 10, 11}, left, top, 3, 2);
    EXPECT_EQ(tessera::ReadArea(map.chips, left, top, 3, 2),
              (tessera::AreaImage{6, 7, 0, 0, 0, 0}));
    tessera::WriteArea(map.chips, tessera::AreaImage{1, 2}, left, top, 3, 2); // wrong size: nothing
    EXPECT_EQ(GetCell(map.chips, top, left), 6);
    EXPECT_TRUE(tessera::ReadArea(map.chips, 0, 0, 0, 4).empty());
    EXPECT_EQ(tessera::ReadArea(map.chips, LAYER_COLUMNS, 0, 2, 1), (tessera::AreaImage{0, 0}));
}

} // namespace
