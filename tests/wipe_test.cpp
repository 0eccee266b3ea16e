// The clip-rectangle wipe: every kind opening and closing between the saved
// rectangle and its collapsed shape, edge order, and the wipe's states.
#include "draw/draw.h"
#include "draw/draw_state.h"
#include "system/system.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

// 204 x 121 with centre (202, 110), band 20, steps of 6 pixels: the sides
// meet exactly, the top and bottom cross.
constexpr ClipRectangle S{100, 50, 304, 171};

// The shape each kind opens from and closes to.
constexpr ClipRectangle Collapsed[10] = {
    {},
    {100, 171, 304, 171},
    {100, 50, 304, 50},
    {304, 50, 304, 171},
    {100, 50, 100, 171},
    {100, 110, 304, 110},
    {202, 50, 202, 171},
    {202, 110, 202, 110},
    {192, 110, 212, 110},
    {202, 100, 202, 120},
};

// Steps an opening and a closing of each kind take.
constexpr int Steps[10][2] = {{},       {21, 21}, {21, 21}, {34, 34}, {34, 34},
                              {10, 11}, {17, 17}, {17, 17}, {26, 27}, {26, 26}};

auto Tie(const ClipRectangle& r) { return std::tie(r.left, r.top, r.right, r.bottom); }

bool Within(const ClipRectangle& inner, const ClipRectangle& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

class Wipe : public ::testing::TestWithParam<int> {
  protected:
    void SetUp() override {
        elDraw::WipeState = 0;
        elDraw::ClipRect = S;
        FrameSeconds = 0.25f; // with speed 20: steps of trunc(5) + 1 = 6 pixels
    }
};

TEST_P(Wipe, OpensOutToTheSavedRectangleAndClosesBackToItsShape) {
    const int kind = GetParam();
    for (int closing : {0, 1}) {
        ASSERT_EQ(elDraw::WipeStart(closing, kind, 20, 20), 1);
        const ClipRectangle from = closing ? S : Collapsed[kind],
                            to = closing ? Collapsed[kind] : S;
        EXPECT_EQ(Tie(elDraw::ClipRect), Tie(from));
        ClipRectangle before = from;
        int steps = 0;
        for (; elDraw::WipeState > 0 && steps < 100; ++steps) {
            EXPECT_EQ(elDraw::WipeStep(), 1);
            const ClipRectangle& r = elDraw::ClipRect;
            // Edges move one way only, never beyond either end.
            EXPECT_TRUE(closing ? Within(r, before) : Within(before, r));
            EXPECT_TRUE(Within(r, S));
            // Kinds 8 and 9 finish one pair of edges before the other moves.
            const bool firstDone = kind == 8 ? r.top == S.top && r.bottom == S.bottom
                                             : r.left == S.left && r.right == S.right;
            const bool bandHeld =
                kind == 8 ? r.left == 192 && r.right == 212 : r.top == 100 && r.bottom == 120;
            EXPECT_TRUE(kind < 8 || bandHeld || firstDone);
            before = r;
        }
        EXPECT_EQ(steps, Steps[kind][closing]);
        EXPECT_EQ(Tie(elDraw::ClipRect), Tie(to));
        EXPECT_EQ(elDraw::WipeState, closing ? -1 : 0);
        EXPECT_EQ(elDraw::WipeOpened, 1 - closing);
        EXPECT_EQ(elDraw::WipeClosed, closing);
        EXPECT_EQ(elDraw::WipeStep(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, Wipe, ::testing::Range(1, 10),
                         [](const auto& info) { return "Kind" + std::to_string(info.param); });

TEST(WipeRules, SlowEdgesStartingAgainAndPuttingBack) {
    elDraw::WipeState = 0;
    elDraw::ClipRect = S;
    FrameSeconds = 0.016f;
    elDraw::WipeStart(0, 4, 0, 0);
    for (int frame = 1; frame <= 5; ++frame) {
        elDraw::WipeStep();
        EXPECT_EQ(elDraw::ClipRect.right, S.left + frame); // speed 0: one pixel a frame
    }
    EXPECT_EQ(elDraw::WipeStart(1, 6, 50, 8), 0); // running: nothing changes
    EXPECT_EQ(elDraw::WipeKind, 4);
    EXPECT_EQ(elDraw::ClipRect.right, S.left + 5);

    // A closed wipe is put back by the next start; WipeClose collapses at once.
    elDraw::WipeClose();
    EXPECT_EQ(elDraw::ClipRect.right, elDraw::ClipRect.left);
    EXPECT_EQ(elDraw::WipeStart(1, 7, 0, 0), 1);
    EXPECT_EQ(Tie(elDraw::ClipRect), Tie(S));
    elDraw::WipeCancel();
    EXPECT_EQ(elDraw::WipeState, 0);
    EXPECT_EQ(Tie(elDraw::ClipRect), Tie(S));
}

TEST(WipeRules, BandsWiderThanTheRectangleOrNegativeStayInsideIt) {
    constexpr ClipRectangle Square{0, 0, 100, 100};
    FrameSeconds = 0.25f;
    for (int kind : {8, 9}) {
        // The band is the whole side, or none at all.
        const ClipRectangle wide =
            kind == 8 ? ClipRectangle{0, 50, 100, 50} : ClipRectangle{50, 0, 50, 100};
        const ClipRectangle none{50, 50, 50, 50};
        for (int band : {300, -40}) {
            for (int closing : {0, 1}) {
                elDraw::WipeState = 0;
                elDraw::ClipRect = Square;
                ASSERT_EQ(elDraw::WipeStart(closing, kind, 20, band), 1);
                const ClipRectangle& shape = band > 0 ? wide : none;
                EXPECT_EQ(Tie(elDraw::ClipRect), Tie(closing ? Square : shape));
                ClipRectangle before = elDraw::ClipRect;
                for (int steps = 0; elDraw::WipeState > 0 && steps < 100; ++steps) {
                    elDraw::WipeStep();
                    const ClipRectangle& r = elDraw::ClipRect;
                    EXPECT_TRUE(closing ? Within(r, before) : Within(before, r))
                        << "kind " << kind << " band " << band << " closing " << closing;
                    EXPECT_TRUE(Within(r, Square));
                    before = r;
                }
                EXPECT_EQ(Tie(elDraw::ClipRect), Tie(closing ? shape : Square));
            }
        }
    }
    elDraw::WipeCancel();
}

} // namespace
