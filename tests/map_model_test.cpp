#include "map/map_model.h"

#include <gtest/gtest.h>

#include <utility>

TEST(MapModel, StartsAsAnEmptyOneScreenMap) {
    tessera::MapLayers map;
    // Before its layers are reserved a map reads as empty too.
    EXPECT_EQ(GetCell(map.chips, 0, 0), 0);
    ASSERT_EQ(AllocateLayers(map), 1);
    LayerRow* const chips = map.chips;
    ASSERT_EQ(AllocateLayers(map), 1);
    EXPECT_EQ(map.chips, chips); // reserved once
    EXPECT_EQ(map.width, 1);
    EXPECT_EQ(map.height, 1);
    for (LayerRow* layer : {map.chips, map.attributes, map.enemies})
        EXPECT_EQ(GetCell(layer, 0, 0) | GetCell(layer, 4607, 6143), 0);
}

TEST(MapModel, CellsBeyondTheArraysReadZeroAndIgnoreWrites) {
    tessera::MapLayers map;
    ASSERT_EQ(AllocateLayers(map), 1);
    SetCell(map.chips, 4607, 6143, 7);
    EXPECT_EQ(GetCell(map.chips, 4607, 6143), 7);
    // Flat storage would let these land in the next row or the next layer.
    const int outside[][2] = {{-1, 0}, {0, -1}, {4608, 0}, {0, 6144}, {4610, 6399}, {4610, 0}};
    for (const auto& cell : outside) {
        SetCell(map.chips, cell[0], cell[1], 9);
        EXPECT_EQ(GetCell(map.chips, cell[0], cell[1]), 0) << cell[0] << "," << cell[1];
    }
    EXPECT_EQ(GetCell(map.chips, 1, 0), 0);
    EXPECT_EQ(GetCell(map.chips, 4607, 6143), 7);
    EXPECT_EQ(GetCell(map.attributes, 0, 0), 0);
    EXPECT_EQ(GetCell(map.enemies, 4607, 6143), 0);
}

TEST(MapModel, LayersAreSeparate) {
    tessera::MapLayers map;
    ASSERT_EQ(AllocateLayers(map), 1);
    SetCell(map.chips, 10, 20, 1);
    SetCell(map.attributes, 10, 20, 2);
    SetCell(map.enemies, 10, 20, 3);
    EXPECT_EQ(GetCell(map.chips, 10, 20), 1);
    EXPECT_EQ(GetCell(map.attributes, 10, 20), 2);
    EXPECT_EQ(GetCell(map.enemies, 10, 20), 3);
}

// Maps are values: each program, tool and test has its own, and moving one
// hands its layers over without copying them.
TEST(MapModel, MapsAreSeparateValuesThatMoveTheirLayers) {
    tessera::MapLayers first, second;
    ASSERT_EQ(AllocateLayers(first), 1);
    ASSERT_EQ(AllocateLayers(second), 1);
    SetCell(first.chips, 3, 4, 5);
    first.width = 7;
    EXPECT_EQ(GetCell(second.chips, 3, 4), 0);
    EXPECT_EQ(second.width, 1);

    LayerRow* const layers = first.chips;
    tessera::MapLayers moved(std::move(first));
    EXPECT_EQ(moved.chips, layers);
    EXPECT_EQ(moved.width, 7);
    EXPECT_EQ(first.chips, nullptr);
    EXPECT_EQ(first.attributes, nullptr);
    second = std::move(moved); // gives back what `second` held
    EXPECT_EQ(second.chips, layers);
    EXPECT_EQ(GetCell(second.chips, 3, 4), 5);
    EXPECT_EQ(moved.enemies, nullptr);
    // A moved-from map reads as empty and can be reserved again.
    EXPECT_EQ(GetCell(moved.chips, 3, 4), 0);
    ASSERT_EQ(AllocateLayers(moved), 1);
    EXPECT_EQ(GetCell(moved.chips, 3, 4), 0);
}

TEST(MapModel, ChipSheetPositionsAndSolidity) {
    EXPECT_EQ(ChipLeft(85), 40);
    EXPECT_EQ(ChipTop(85), 8);
    EXPECT_EQ(ChipLeft(19999), 632);
    EXPECT_EQ(ChipTop(19999), 1992);
    for (int solid : {32, 63, 113, 19999 - 16}) EXPECT_TRUE(IsSolidChip(solid)) << solid;
    for (int plain : {0, 31, 64, 79, 80, 111}) EXPECT_FALSE(IsSolidChip(plain)) << plain;
}
