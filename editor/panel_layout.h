// Where the editor screen's areas and the panel's controls lie, on the screen
// and in the panel image. Drawing, hit-testing, the image generator and the
// tests all read these tables, so a control moved here moves everywhere.
#pragma once

struct PanelRect {
    int x, y, width, height;

    constexpr int Right() const { return x + width; }
    constexpr int Bottom() const { return y + height; }
    constexpr bool Holds(int px, int py) const {
        return px >= x && px < Right() && py >= y && py < Bottom();
    }
};

// The map view and the chip palette on the editor screen.
constexpr PanelRect VIEW_AREA{0, 0, 800, 600};
constexpr PanelRect PALETTE_AREA{810, 0, 204, 758};

// Controls with a pressed picture. The latching ones come first: exactly one
// mode button is lit, the animation switch flips on each click. The momentary
// ones light while pressed and go dark when no mouse button is down.
enum PanelControl {
    MODE_CHIPS,
    MODE_ATTRIBUTES,
    MODE_ENEMIES,
    ANIM_SWITCH,
    VIEW_UP,
    FIRST_MOMENTARY = VIEW_UP,
    VIEW_DOWN,
    VIEW_LEFT,
    VIEW_RIGHT,
    PALETTE_UP,
    PALETTE_DOWN,
    PALETTE_LEFT,
    PALETTE_RIGHT,
    WIDTH_PLUS,
    WIDTH_MINUS,
    HEIGHT_PLUS,
    HEIGHT_MINUS,
    FRAME_PLUS,
    FRAME_MINUS,
    BLANK_BUTTON,
    SAVE_BUTTON,
    LOAD_BUTTON,
    QUIT_BUTTON,
    CONTROL_COUNT
};

// The rows the controls lie in: the scroll bars' arrows around the view and
// the palette, and the two rows of buttons below the view.
enum PanelRow { ROW_BARS, ROW_FIRST, ROW_SECOND };

struct ControlLayout {
    PanelRect screen;  // where the control is drawn and hit
    PanelRect picture; // its unlit picture in the panel image
    int litShift;      // the lit picture lies this far below the unlit one
    PanelRow row;
};

constexpr int BUTTON_HEIGHT = 79; // buttons of both rows, and their lit shift

constexpr ControlLayout PANEL_LAYOUT[CONTROL_COUNT] = {
    /* MODE_CHIPS      */ {{0, 689, 120, 79}, {520, 0, 120, 79}, BUTTON_HEIGHT, ROW_SECOND},
    /* MODE_ATTRIBUTES */ {{120, 689, 120, 79}, {640, 0, 120, 79}, BUTTON_HEIGHT, ROW_SECOND},
    /* MODE_ENEMIES    */ {{240, 689, 120, 79}, {760, 0, 120, 79}, BUTTON_HEIGHT, ROW_SECOND},
    /* ANIM_SWITCH     */ {{640, 610, 80, 79}, {440, 0, 80, 79}, BUTTON_HEIGHT, ROW_FIRST},
    /* VIEW_UP         */ {{800, 0, 10, 20}, {0, 0, 10, 20}, 20, ROW_BARS},
    /* VIEW_DOWN       */ {{800, 580, 10, 20}, {10, 0, 10, 20}, 20, ROW_BARS},
    /* VIEW_LEFT       */ {{0, 600, 20, 10}, {20, 20, 20, 10}, 10, ROW_BARS},
    /* VIEW_RIGHT      */ {{780, 600, 20, 10}, {20, 0, 20, 10}, 10, ROW_BARS},
    /* PALETTE_UP      */ {{1014, 0, 10, 20}, {0, 0, 10, 20}, 20, ROW_BARS},
    /* PALETTE_DOWN    */ {{1014, 738, 10, 20}, {10, 0, 10, 20}, 20, ROW_BARS},
    /* PALETTE_LEFT    */ {{810, 758, 20, 10}, {20, 20, 20, 10}, 10, ROW_BARS},
    /* PALETTE_RIGHT   */ {{994, 758, 20, 10}, {20, 0, 20, 10}, 10, ROW_BARS},
    /* WIDTH_PLUS      */ {{0, 610, 40, 39}, {40, 0, 40, 39}, BUTTON_HEIGHT, ROW_FIRST},
    /* WIDTH_MINUS     */ {{0, 650, 40, 39}, {40, 40, 40, 39}, BUTTON_HEIGHT, ROW_FIRST},
    /* HEIGHT_PLUS     */ {{240, 610, 40, 39}, {40, 0, 40, 39}, BUTTON_HEIGHT, ROW_FIRST},
    /* HEIGHT_MINUS    */ {{240, 650, 40, 39}, {40, 40, 40, 39}, BUTTON_HEIGHT, ROW_FIRST},
    /* FRAME_PLUS      */ {{760, 610, 40, 39}, {40, 0, 40, 39}, BUTTON_HEIGHT, ROW_FIRST},
    /* FRAME_MINUS     */ {{760, 650, 40, 39}, {40, 40, 40, 39}, BUTTON_HEIGHT, ROW_FIRST},
    /* BLANK_BUTTON    */ {{280, 610, 120, 79}, {80, 0, 120, 79}, BUTTON_HEIGHT, ROW_FIRST},
    /* SAVE_BUTTON     */ {{400, 610, 120, 79}, {200, 0, 120, 79}, BUTTON_HEIGHT, ROW_FIRST},
    /* LOAD_BUTTON     */ {{520, 610, 120, 79}, {320, 0, 120, 79}, BUTTON_HEIGHT, ROW_FIRST},
    /* QUIT_BUTTON     */ {{680, 689, 120, 79}, {1080, 0, 120, 79}, BUTTON_HEIGHT, ROW_SECOND},
};

// The tops and bottom of the two button rows.
constexpr int FIRST_ROW_TOP = PANEL_LAYOUT[SAVE_BUTTON].screen.y;
constexpr int SECOND_ROW_TOP = PANEL_LAYOUT[QUIT_BUTTON].screen.y;
constexpr int SECOND_ROW_BOTTOM = PANEL_LAYOUT[QUIT_BUTTON].screen.Bottom();

// The scroll bars: an arrow at each end, the track between them.
struct ScrollBar {
    PanelControl back, forward; // up or left, down or right
    bool vertical;
};
constexpr ScrollBar VIEW_VERTICAL_BAR{VIEW_UP, VIEW_DOWN, true};
constexpr ScrollBar VIEW_HORIZONTAL_BAR{VIEW_LEFT, VIEW_RIGHT, false};
constexpr ScrollBar PALETTE_VERTICAL_BAR{PALETTE_UP, PALETTE_DOWN, true};
constexpr ScrollBar PALETTE_HORIZONTAL_BAR{PALETTE_LEFT, PALETTE_RIGHT, false};

// The whole bar, from its back arrow to its forward arrow.
constexpr PanelRect BarRect(const ScrollBar& bar) {
    const PanelRect back = PANEL_LAYOUT[bar.back].screen;
    const PanelRect forward = PANEL_LAYOUT[bar.forward].screen;
    return {back.x, back.y, forward.Right() - back.x, forward.Bottom() - back.y};
}
