#include "map/map_model.h"

#include <gtest/gtest.h>

TEST(MapModel, StartsAsAnEmptyOneScreenMap) {
    ASSERT_EQ(AllocateLayers(), 1);
    ASSERT_EQ(AllocateLayers(), 1);
    EXPECT_EQ(MapWidth, 1);
    EXPECT_EQ(MapHeight, 1);
    for (LayerRow* layer : {ChipLayer, AttrLayer, EnemyLayer})
        EXPECT_EQ(GetCell(layer, 0, 0) | GetCell(layer, 4607, 6143), 0);
}

TEST(MapModel, CellsBeyondTheArraysReadZeroAndIgnoreWrites) {
    ASSERT_EQ(AllocateLayers(), 1);
    SetCell(ChipLayer, 4607, 6143, 7);
    EXPECT_EQ(GetCell(ChipLayer, 4607, 6143), 7);
    // Flat storage would let these land in the next row or the next layer.
    const int outside[][2] = {{-1, 0}, {0, -1}, {4608, 0}, {0, 6144}, {4610, 6399}, {4610, 0}};
    for (const auto& cell : outside) {
        SetCell(ChipLayer, cell[0], cell[1], 9);
        EXPECT_EQ(GetCell(ChipLayer, cell[0], cell[1]), 0) << cell[0] << "," << cell[1];
    }
    EXPECT_EQ(GetCell(ChipLayer, 1, 0), 0);
    EXPECT_EQ(GetCell(ChipLayer, 4607, 6143), 7);
    EXPECT_EQ(GetCell(AttrLayer, 0, 0), 0);
    EXPECT_EQ(GetCell(EnemyLayer, 4607, 6143), 0);
}

TEST(MapModel, LayersAreSeparate) {
    ASSERT_EQ(AllocateLayers(), 1);
    SetCell(ChipLayer, 10, 20, 1);
    SetCell(AttrLayer, 10, 20, 2);
    SetCell(EnemyLayer, 10, 20, 3);
    EXPECT_EQ(GetCell(ChipLayer, 10, 20), 1);
    EXPECT_EQ(GetCell(AttrLayer, 10, 20), 2);
    EXPECT_EQ(GetCell(EnemyLayer, 10, 20), 3);
}

TEST(MapModel, ChipSheetPositionsAndSolidity) {
    EXPECT_EQ(ChipLeft(85), 40);
    EXPECT_EQ(ChipTop(85), 8);
    EXPECT_EQ(ChipLeft(19999), 632);
    EXPECT_EQ(ChipTop(19999), 1992);
    for (int solid : {32, 63, 113, 19999 - 16}) EXPECT_TRUE(IsSolidChip(solid)) << solid;
    for (int plain : {0, 31, 64, 79, 80, 111}) EXPECT_FALSE(IsSolidChip(plain)) << plain;
}
