// Mouse handling of the control panel and the scroll bars. Scroll bars act on
// the held button, so they repeat every frame; buttons act once per click.
#include "draw/draw.h"
#include "editor/dialogues.h"
#include "editor/editor_state.h"
#include "editor/map_model.h"
#include "editor/panel.h"
#include "system/input_state.h"
#include "system/system.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int PALETTE_X_MAX = 436;  // 640-pixel sheet less the 204-pixel palette
constexpr int PALETTE_Y_MAX = 1242; // 2000-pixel sheet less the 758-pixel palette
constexpr int PAGE_ROWS = 72;
constexpr int PAGE_COLUMNS = 96;
constexpr int PALETTE_PAGE_Y = 758;
constexpr int PALETTE_PAGE_X = 204;
constexpr int PALETTE_STEP = 8;

// The view's last position: across by view widths of 100 columns, down by
// screens of 72 rows.
int ViewXMax() { return (MapWidth - 1) * VIEW_COLUMNS; }
int ViewYMax() { return (MapHeight - 1) * SCREEN_ROWS; }

void ScrollView(int& position, int by) {
    position += by;
    ViewScrolled = 1;
}

// Both view bars clamp the view in every handled frame, wherever the pointer is.
void ViewVerticalBar(int y, bool active) {
    if (active) {
        if (y >= 0 && y <= 20) {
            ScrollView(ViewY, -1);
            ButtonLit[VIEW_UP] = 1;
        } else if (y > 580) {
            ScrollView(ViewY, 1);
            ButtonLit[VIEW_DOWN] = 1;
        } else if (y > 20 && y <= 300) {
            ScrollView(ViewY, -PAGE_ROWS);
        } else if (y > 300) {
            ScrollView(ViewY, PAGE_ROWS);
        }
    }
    ViewY = std::max(ViewY, 0);
    ViewY = std::min(ViewY, ViewYMax());
}

void ViewHorizontalBar(int x, bool active) {
    if (active) {
        if (x >= 0 && x <= 20) {
            ScrollView(ViewX, -1);
            ButtonLit[VIEW_LEFT] = 1;
        } else if (x > 780) {
            ScrollView(ViewX, 1);
            ButtonLit[VIEW_RIGHT] = 1;
        } else if (x > 20 && x <= 400) {
            ScrollView(ViewX, -PAGE_COLUMNS);
        } else if (x > 400) {
            ScrollView(ViewX, PAGE_COLUMNS);
        }
    }
    ViewX = std::min(ViewX, ViewXMax());
    ViewX = std::max(ViewX, 0);
}

void PaletteVerticalBar(int y, bool active) {
    if (active) {
        if (y >= 0 && y < 20) {
            PaletteY -= PALETTE_STEP;
            ButtonLit[PALETTE_UP] = 1;
        } else if (y >= 738) {
            PaletteY += PALETTE_STEP;
            ButtonLit[PALETTE_DOWN] = 1;
        } else if (y >= 20 && y < 384) {
            PaletteY -= PALETTE_PAGE_Y;
        } else if (y >= 384) {
            PaletteY += PALETTE_PAGE_Y;
        }
    }
    PaletteY = std::clamp(PaletteY, 0, PALETTE_Y_MAX);
}

void PaletteHorizontalBar(int x, bool active) {
    if (active) {
        if (x < 830) {
            PaletteX -= PALETTE_STEP;
            ButtonLit[PALETTE_LEFT] = 1;
        } else if (x >= 994) {
            PaletteX += PALETTE_STEP;
            ButtonLit[PALETTE_RIGHT] = 1;
        } else if (x < 912) {
            PaletteX -= PALETTE_PAGE_X;
        } else {
            PaletteX += PALETTE_PAGE_X;
        }
    }
    PaletteX = std::clamp(PaletteX, 0, PALETTE_X_MAX);
}

// While a palette selection is dragged past the palette's edge, the palette
// follows the pointer. Otherwise its arrows go dark, even while held.
void PaletteEdgeScroll(int x, int y) {
    bool dragging = LeftHeld && PaletteDrag == 1;
    if (dragging && x <= 810) {
        PaletteX = std::max(PaletteX - PALETTE_STEP, 0);
        ButtonLit[PALETTE_LEFT] = 1;
    } else if (dragging && x >= 1014) {
        PaletteX = std::min(PaletteX + PALETTE_STEP, PALETTE_X_MAX);
        ButtonLit[PALETTE_RIGHT] = 1;
    } else {
        ButtonLit[PALETTE_LEFT] = ButtonLit[PALETTE_RIGHT] = 0;
    }
    if (dragging && y <= 0) {
        PaletteY = std::max(PaletteY - PALETTE_STEP, 0);
        ButtonLit[PALETTE_UP] = 1;
    } else if (dragging && y > 758) {
        PaletteY = std::min(PaletteY + PALETTE_STEP, PALETTE_Y_MAX);
        ButtonLit[PALETTE_DOWN] = 1;
    } else {
        ButtonLit[PALETTE_UP] = ButtonLit[PALETTE_DOWN] = 0;
    }
}

// While a stamp is dragged past the view's edge, the view follows the pointer.
void ViewEdgeScroll(int x, int y) {
    if (Stamping != 1) return;
    if (y <= 0) {
        ScrollView(ViewY, -1);
        ViewY = std::max(ViewY, 0);
        ButtonLit[VIEW_UP] = 1;
    } else if (y >= 599) {
        ScrollView(ViewY, 1);
        ViewY = std::min(ViewY, ViewYMax());
        ButtonLit[VIEW_DOWN] = 1;
    } else {
        ButtonLit[VIEW_UP] = ButtonLit[VIEW_DOWN] = 0;
    }
    if (x <= 0) {
        ScrollView(ViewX, -1);
        ViewX = std::max(ViewX, 0);
        ButtonLit[VIEW_LEFT] = 1;
    } else if (x >= 799) {
        ScrollView(ViewX, 1);
        ViewX = std::min(ViewX, ViewXMax());
        ButtonLit[VIEW_RIGHT] = 1;
    } else {
        ButtonLit[VIEW_LEFT] = ButtonLit[VIEW_RIGHT] = 0;
    }
}

// A plus/minus pair at the top and bottom halves of the first row; y 649
// between them hits neither.
void SizeButtons(int y, int& size, int plus, int minus) {
    if (y < 649) {
        ButtonLit[plus] = 1;
        if (size != MAP_SIZE_MAX) size += 1;
    } else if (y > 649) {
        ButtonLit[minus] = 1;
        if (size != MAP_SIZE_MIN) size -= 1;
    }
}

void FirstRow(int x, int y) {
    if (!LeftClick) return;
    if (x < 40) {
        SizeButtons(y, MapWidth, WIDTH_PLUS, WIDTH_MINUS);
        ViewX = 0;
    } else if (x >= 240 && x < 280) {
        SizeButtons(y, MapHeight, HEIGHT_PLUS, HEIGHT_MINUS);
        ViewY = 0;
    } else if (x >= 760 && y < 649) {
        ButtonLit[FRAME_PLUS] = 1;
        StepChipFrame(1);
    } else if (x >= 760 && y > 649) {
        ButtonLit[FRAME_MINUS] = 1;
        StepChipFrame(-1);
    } else if (x >= 280 && x < 400) {
        ButtonLit[BLANK_BUTTON] = 1;
    } else if (x >= 400 && x < 520) {
        ButtonLit[SAVE_BUTTON] = 1;
        StartSave();
    } else if (x >= 520 && x < 640) {
        ButtonLit[LOAD_BUTTON] = 1;
        StartLoad();
    } else if (x >= 640 && x < 720) {
        ButtonLit[ANIM_SWITCH] ^= 1;
        AnimOn ^= 1;
    }
}

// Lights the mode button under the pointer; the mode itself changes elsewhere.
void ModeButtons(int x) {
    ButtonLit[MODE_CHIPS] = ButtonLit[MODE_ATTRIBUTES] = ButtonLit[MODE_ENEMIES] = 0;
    ButtonLit[x < 120 ? MODE_CHIPS : x < 240 ? MODE_ATTRIBUTES : MODE_ENEMIES] = 1;
}

// Yes ends the process at once, without the framework's shutdown and unsaved.
void QuitButton() {
    ButtonLit[QUIT_BUTTON] = 1;
    if (elSystem::Ask("終了しますか？")) std::exit(0);
    ButtonLit[QUIT_BUTTON] = 0;
}

} // namespace

void HandlePanel() {
    const int x = MouseX;
    const int y = MouseY;
    const bool controlsFree = PaletteDrag == 0 && Stamping == 0;

    ViewVerticalBar(y, LeftHeld && x > 800 && x <= 810 && y < 600 && controlsFree);
    ViewHorizontalBar(x, LeftHeld && y > 600 && y <= 610 && x < 800 && controlsFree);
    PaletteVerticalBar(y, LeftHeld && x >= 1014 && x < 1024 && y < 758 && controlsFree);
    PaletteHorizontalBar(x,
                         LeftHeld && y >= 758 && y < 768 && x >= 810 && x < 1014 && controlsFree);
    PaletteEdgeScroll(x, y);
    ViewEdgeScroll(x, y);

    const bool secondRow = LeftClick && y >= 689 && y < 768;
    if (y >= 610 && y < 689 && x < 800 && controlsFree)
        FirstRow(x, y);
    else if (secondRow && x < 360)
        ModeButtons(x);
    else if (secondRow && x >= 680 && x < 800)
        QuitButton();

    elDraw::DebugPrint(x, y, "X=%d, Y=%d の地点が押されています", x, y);
}
