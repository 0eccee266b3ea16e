// The edit scene's own rules: guide grid and screen boundary positions.
#include "editor/map_view.h"

#include <gtest/gtest.h>

namespace {

TEST(GuideGrid, LinesFollowTheViewPosition) {
    // At the origin: every 48 pixels, boundaries at the game screen's edges.
    EXPECT_EQ(GridLineX(0, 0), 48);
    EXPECT_EQ(GridLineX(0, 15), 768);
    EXPECT_EQ(GridLineY(0, 11), 576);
    EXPECT_EQ(ScreenBoundaryX(0), 768);
    EXPECT_EQ(ScreenBoundaryY(0), 576);
    // Three cells in: lines and boundary move left by 24 pixels.
    EXPECT_EQ(GridLineX(3, 0), 24);
    EXPECT_EQ(GridLineX(3, 1), 72);
    EXPECT_EQ(ScreenBoundaryX(3), 744);
    // The second game screen starts at cell 96: the boundary is at 768 again.
    EXPECT_EQ(ScreenBoundaryX(96), 768);
    EXPECT_EQ(GridLineX(96, 0), 48);
    // Six cells is one grid step: the lines look as at the origin.
    EXPECT_EQ(GridLineY(6, 0), 48);
    EXPECT_EQ(ScreenBoundaryY(71), 8);
    EXPECT_EQ(ScreenBoundaryY(72), 576);
}

} // namespace
