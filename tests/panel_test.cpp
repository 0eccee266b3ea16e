// Control panel, below what a replay can see: the palette's bars (the palette is
// not drawn yet), edge scrolling during drags, the button edges, the animation
// timer, and the exact picture of every control for its state.
#include "draw/draw.h"
#include "editor/dialogues.h"
#include "editor/editor_state.h"
#include "editor/panel.h"
#include "system/input_state.h"
#include "system/system.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace {

class Panel : public ::testing::Test {
  protected:
    void SetUp() override {
        elDraw::SetDepths(32, 0, 0);
        elDraw::KeyColor(0);
        ASSERT_EQ(elDraw::Screen(1024, 768, 1), 1);
        MapWidth = MapHeight = 1;
        ViewX = ViewY = PaletteX = PaletteY = ChipFrame = 0;
        PaletteDrag = Stamping = 0;
        std::memset(ButtonLit, 0, sizeof ButtonLit);
        ButtonLit[MODE_CHIPS] = 1;
        ViewScrolled = 0;
        AnimOn = 0;
        AnimTimer = 0.08f;
        SaveState = LoadState = 0;
        LeftHeld = LeftClick = 0;
    }
    void TearDown() override { elDraw::Quit(); }

    // One frame of handling with the left button held at (x, y).
    static void Hold(int x, int y, int frames = 1) {
        MouseX = x;
        MouseY = y;
        LeftHeld = 1;
        for (int i = 0; i < frames; ++i) HandlePanel();
        LeftHeld = 0;
    }
    // The frame of a left-button press at (x, y).
    static void Click(int x, int y) {
        LeftClick = 1;
        Hold(x, y);
        LeftClick = 0;
    }
};

TEST_F(Panel, PaletteBarsScrollWithTheirArrowsDrawnDark) {
    Hold(1018, 745, 2);
    EXPECT_EQ(PaletteY, 16);
    EXPECT_EQ(ButtonLit[PALETTE_DOWN], 0);
    Hold(1018, 400, 3);
    EXPECT_EQ(PaletteY, 1242);
    Hold(1000, 760);
    EXPECT_EQ(PaletteX, 8);
    Hold(900, 760);
    EXPECT_EQ(PaletteX, 0);
    Hold(950, 760, 3);
    EXPECT_EQ(PaletteX, 436);
    EXPECT_EQ(ViewScrolled, 0);
}

TEST_F(Panel, DragsScrollAtTheEdgesAndHoldTheControlsStill) {
    MapHeight = 2;
    Stamping = 1;
    Hold(805, 599, 2); // on the view's down arrow, but as a stamp's edge
    EXPECT_EQ(ViewY, 2);
    EXPECT_EQ(ButtonLit[VIEW_DOWN], 1);
    Hold(400, 300);
    EXPECT_EQ(ButtonLit[VIEW_DOWN], 0);
    Click(20, 620);
    EXPECT_EQ(MapWidth, 1);
    EXPECT_EQ(ButtonLit[WIDTH_PLUS], 0);

    Stamping = 0;
    PaletteDrag = 1;
    Hold(1020, 300, 2);
    EXPECT_EQ(PaletteX, 16);
    EXPECT_EQ(ButtonLit[PALETTE_RIGHT], 1);
    EXPECT_EQ(PaletteY, 0); // the palette's track is not free during the drag
    Click(450, 650);
    EXPECT_EQ(SaveState, 0);
}

TEST_F(Panel, ButtonsActOncePerClickWithinTheirEdges) {
    MapHeight = 2;
    ViewY = 72;
    Click(260, 649); // between height plus and minus: no change, yet the view resets
    EXPECT_EQ(MapHeight, 2);
    EXPECT_EQ(ViewY, 0);
    Hold(260, 670, 3); // held, not clicked
    EXPECT_EQ(MapHeight, 2);
    ReleaseMomentaryButtons();

    Click(450, 650);
    EXPECT_EQ(SaveState, 1);
    Click(560, 650); // Load lights but does not open while saving
    EXPECT_EQ(LoadState, 0);
    EXPECT_EQ(ButtonLit[LOAD_BUTTON], 1);

    Click(300, 700);
    EXPECT_EQ(ButtonLit[MODE_CHIPS] + ButtonLit[MODE_ATTRIBUTES], 0);
    EXPECT_EQ(ButtonLit[MODE_ENEMIES], 1);
    Click(500, 700); // between the mode buttons and Quit
    ReleaseMomentaryButtons();
    EXPECT_EQ(ButtonLit[MODE_ENEMIES], 1);
    EXPECT_EQ(EditMode, EDIT_CHIPS);
}

TEST_F(Panel, AnimationTimerCarriesOverWhileSwitchedOff) {
    FrameSeconds = 0.05f;
    Click(680, 650);
    AnimationTick();
    AnimationTick(); // 0.08 - 0.10 < 0: the next sheet
    EXPECT_EQ(ChipFrame, 1);
    AnimationTick(); // 0.03 left
    Click(680, 650);
    AnimationTick();
    EXPECT_EQ(ChipFrame, 1);
    Click(680, 650);
    AnimationTick();
    EXPECT_EQ(ChipFrame, 0);
}

// A panel image whose every pixel tells where in the image it lies.
constexpr int IMAGE_WIDTH = 1200;
std::uint32_t P(int x, int y) { return 1 + x + IMAGE_WIDTH * y; }
std::uint32_t Back(int x, int y) {
    const platform::Surface* back = elDraw::BackBuffer;
    return reinterpret_cast<const std::uint32_t*>(back->memory.data() + y * back->pitch)[x];
}

TEST_F(Panel, DrawsEachControlsPictureForItsState) {
    PanelImage = elDraw::CreateObject(IMAGE_WIDTH, 200, 2);
    platform::Surface* image = elDraw::ObjectTable[PanelImage].Surface;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < IMAGE_WIDTH; ++x)
            reinterpret_cast<std::uint32_t*>(image->memory.data() + y * image->pitch)[x] = P(x, y);
    MapWidth = 17;
    MapHeight = 64;
    ChipFrame = 1;
    ButtonLit[VIEW_RIGHT] = ButtonLit[FRAME_MINUS] = ButtonLit[QUIT_BUTTON] = 1;
    DrawPanel();

    EXPECT_EQ(Back(40, 610), P(920, 0));             // 1
    EXPECT_EQ(Back(80 + 39, 610 + 78), P(999, 157)); // 7
    EXPECT_EQ(Back(160, 610), P(920, 79));           // 6
    EXPECT_EQ(Back(200, 610), P(1040, 0));           // 4
    EXPECT_EQ(Back(720, 610), P(920, 0));            // frame 1
    EXPECT_EQ(Back(800, 0), P(0, 0));
    EXPECT_EQ(Back(780, 600), P(20, 10));
    EXPECT_EQ(Back(810, 758), P(20, 20));
    EXPECT_EQ(Back(1014, 730), P(0, 139));
    EXPECT_EQ(Back(760, 650), P(40, 119));
    EXPECT_EQ(Back(130, 640), P(20, 40));
    EXPECT_EQ(Back(0, 689), P(520, 79));
    EXPECT_EQ(Back(240, 689), P(760, 0));
    EXPECT_EQ(Back(680, 689), P(1080, 79));
}

TEST(PanelLayout, ControlsShowWholePicturesAndLieApart) {
    const PanelRect screen{0, 0, 1024, 768}, image{0, 0, 1200, 158};
    auto overlap = [](const PanelRect& a, const PanelRect& b) {
        return a.x < b.Right() && b.x < a.Right() && a.y < b.Bottom() && b.y < a.Bottom();
    };
    for (int i = 0; i < CONTROL_COUNT; ++i) {
        const ControlLayout& c = PANEL_LAYOUT[i];
        EXPECT_EQ(c.screen.width, c.picture.width) << i;
        EXPECT_EQ(c.screen.height, c.picture.height) << i;
        EXPECT_TRUE(screen.Holds(c.screen.x, c.screen.y) &&
                    screen.Holds(c.screen.Right() - 1, c.screen.Bottom() - 1))
            << i;
        EXPECT_TRUE(image.Holds(c.picture.x, c.picture.y) &&
                    image.Holds(c.picture.Right() - 1, c.picture.Bottom() - 1 + c.litShift))
            << i;
        EXPECT_FALSE(overlap(c.screen, VIEW_AREA) || overlap(c.screen, PALETTE_AREA)) << i;
        for (int j = 0; j < i; ++j)
            EXPECT_FALSE(overlap(c.screen, PANEL_LAYOUT[j].screen)) << i << j;
    }
}

} // namespace
