// The control panel: its state, its drawing from the panel image, and its
// mouse handling. Scroll bars act on the held button, so they repeat every
// frame; buttons act once per click.
#include "editor/panel.h"

#include "draw/draw.h"
#include "editor/dialogues.h"
#include "editor/edited_map.h"
#include "editor/editor_state.h"
#include "editor/map_view.h"
#include "editor/recovery.h"
#include "system/input_state.h"
#include "system/system.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// Drawing.

constexpr int TRACK_PIECE = 10; // side of a scroll bar's track piece

void Piece(int x, int y, int left, int top, int right, int bottom) {
    elDraw::Draw(x, y, PanelImage, left, top, right, bottom);
}

// A map-size digit: 0 to 4 on the top row of digit pictures, 5 to 9 below.
void SizeDigit(int x, int d) {
    int left = (d % 5) * 40 + 880;
    int top = d < 5 ? 0 : 79;
    Piece(x, FIRST_ROW_TOP, left, top, left + 40, top + 79);
}

// The track between a bar's arrows, in square pieces.
void Track(const ScrollBar& bar) {
    const PanelRect back = PANEL_LAYOUT[bar.back].screen;
    const PanelRect forward = PANEL_LAYOUT[bar.forward].screen;
    if (bar.vertical)
        for (int y = back.Bottom(); y < forward.y; y += TRACK_PIECE)
            Piece(back.x, y, 0, 139, TRACK_PIECE, 139 + TRACK_PIECE);
    else
        for (int x = back.Right(); x < forward.x; x += TRACK_PIECE)
            Piece(x, back.y, 0, 139, TRACK_PIECE, 139 + TRACK_PIECE);
}

// The thumb over a bar's track: where the window the bar scrolls lies in what
// it shows, `position` to `position + extent` of `total`, and how much of it
// the window takes.
constexpr COLORREF THUMB_COLOUR = 0xB0B4B0; // grey, the same on 16-bit displays
constexpr int THUMB_LENGTH_MIN = 6;         // a thumb stays visible on a full-size map

void Thumb(const ScrollBar& bar, int position, int extent, int total) {
    const PanelRect back = PANEL_LAYOUT[bar.back].screen;
    const PanelRect forward = PANEL_LAYOUT[bar.forward].screen;
    const int trackStart = bar.vertical ? back.Bottom() : back.Right();
    const int trackLength = (bar.vertical ? forward.y : forward.x) - trackStart;
    const int length = std::clamp(extent * trackLength / total, THUMB_LENGTH_MIN, trackLength);
    const int offset = std::clamp(static_cast<int>(std::int64_t{position} * trackLength / total), 0,
                                  trackLength - length);
    const int start = trackStart + offset;
    if (bar.vertical)
        elDraw::Box(back.x + 1, start, back.Right() - 1, start + length, THUMB_COLOUR, THUMB_COLOUR,
                    1);
    else
        elDraw::Box(start, back.y + 1, start + length, back.Bottom() - 1, THUMB_COLOUR,
                    THUMB_COLOUR, 1);
}

// A control's picture for its state.
void Control(int control) {
    const ControlLayout& layout = PANEL_LAYOUT[control];
    const PanelRect& picture = layout.picture;
    const int top = picture.y + ButtonLit[control] * layout.litShift;
    Piece(layout.screen.x, layout.screen.y, picture.x, top, picture.Right(), top + picture.height);
}

// Mouse handling.

// The view's tracks page by a game screen, the palette's by its window.
constexpr int PAGE_ROWS = 72;
constexpr int PAGE_COLUMNS = 96;
constexpr int PALETTE_STEP = 8;
// The palette's vertical bar pages up above the screen's middle, not the bar's.
constexpr int PALETTE_PAGE_SPLIT = 384;

constexpr PanelRect Screen(PanelControl control) { return PANEL_LAYOUT[control].screen; }

void ScrollView(int& position, int by) {
    position += by;
    ViewScrolled = 1;
}

// One view bar, vertical or not, with the pointer at `at` along it: its arrows
// step a cell, the track on either side of its middle pages. Both bars clamp
// the view in every handled frame, wherever the pointer is.
void ViewBar(bool vertical, int at, bool active) {
    int& position = vertical ? ViewY : ViewX;
    const PanelControl back = vertical ? VIEW_UP : VIEW_LEFT;
    const PanelControl forward = vertical ? VIEW_DOWN : VIEW_RIGHT;
    if (active) {
        const auto start = [vertical](const PanelRect& r) { return vertical ? r.y : r.x; };
        const auto end = [vertical](const PanelRect& r) {
            return vertical ? r.Bottom() : r.Right();
        };
        const PanelRect backArrow = Screen(back);
        const int middle = end(BarRect(vertical ? VIEW_VERTICAL_BAR : VIEW_HORIZONTAL_BAR)) / 2;
        const int page = vertical ? PAGE_ROWS : PAGE_COLUMNS;
        if (at >= start(backArrow) && at <= end(backArrow)) {
            ScrollView(position, -1);
            ButtonLit[back] = 1;
        } else if (at > start(Screen(forward))) {
            ScrollView(position, 1);
            ButtonLit[forward] = 1;
        } else if (at > end(backArrow) && at <= middle) {
            ScrollView(position, -page);
        } else if (at > middle) {
            ScrollView(position, page);
        }
    }
    // The largest first position is never negative: maps are a screen at least.
    position = std::clamp(position, 0, vertical ? ViewYMax() : ViewXMax());
}

void PaletteVerticalBar(int y, bool active) {
    if (active) {
        const PanelRect up = Screen(PALETTE_UP), down = Screen(PALETTE_DOWN);
        if (y >= up.y && y < up.Bottom()) {
            PaletteY -= PALETTE_STEP;
            ButtonLit[PALETTE_UP] = 1;
        } else if (y >= down.y) {
            PaletteY += PALETTE_STEP;
            ButtonLit[PALETTE_DOWN] = 1;
        } else if (y >= up.Bottom() && y < PALETTE_PAGE_SPLIT) {
            PaletteY -= PALETTE_AREA.height;
        } else if (y >= PALETTE_PAGE_SPLIT) {
            PaletteY += PALETTE_AREA.height;
        }
    }
    PaletteY = std::clamp(PaletteY, 0, PALETTE_Y_MAX);
}

void PaletteHorizontalBar(int x, bool active) {
    if (active) {
        const PanelRect bar = BarRect(PALETTE_HORIZONTAL_BAR);
        if (x < Screen(PALETTE_LEFT).Right()) {
            PaletteX -= PALETTE_STEP;
            ButtonLit[PALETTE_LEFT] = 1;
        } else if (x >= Screen(PALETTE_RIGHT).x) {
            PaletteX += PALETTE_STEP;
            ButtonLit[PALETTE_RIGHT] = 1;
        } else if (x < bar.x + bar.width / 2) {
            PaletteX -= PALETTE_AREA.width;
        } else {
            PaletteX += PALETTE_AREA.width;
        }
    }
    PaletteX = std::clamp(PaletteX, 0, PALETTE_X_MAX);
}

// While a palette selection is dragged past the palette's edge, the palette
// follows the pointer. Otherwise its arrows go dark, even while held.
void PaletteEdgeScroll(int x, int y) {
    bool dragging = LeftHeld && PaletteDrag == 1;
    if (dragging && x <= PALETTE_AREA.x) {
        PaletteX = std::max(PaletteX - PALETTE_STEP, 0);
        ButtonLit[PALETTE_LEFT] = 1;
    } else if (dragging && x >= PALETTE_AREA.Right()) {
        PaletteX = std::min(PaletteX + PALETTE_STEP, PALETTE_X_MAX);
        ButtonLit[PALETTE_RIGHT] = 1;
    } else {
        ButtonLit[PALETTE_LEFT] = ButtonLit[PALETTE_RIGHT] = 0;
    }
    if (dragging && y <= PALETTE_AREA.y) {
        PaletteY = std::max(PaletteY - PALETTE_STEP, 0);
        ButtonLit[PALETTE_UP] = 1;
    } else if (dragging && y > PALETTE_AREA.Bottom()) {
        PaletteY = std::min(PaletteY + PALETTE_STEP, PALETTE_Y_MAX);
        ButtonLit[PALETTE_DOWN] = 1;
    } else {
        ButtonLit[PALETTE_UP] = ButtonLit[PALETTE_DOWN] = 0;
    }
}

// While a stamp is dragged past the view's edge, the view follows the pointer.
void ViewEdgeScroll(int x, int y) {
    if (Stamping != 1) return;
    if (y <= VIEW_AREA.y) {
        ScrollView(ViewY, -1);
        ViewY = std::max(ViewY, 0);
        ButtonLit[VIEW_UP] = 1;
    } else if (y >= VIEW_AREA.Bottom() - 1) {
        ScrollView(ViewY, 1);
        ViewY = std::min(ViewY, ViewYMax());
        ButtonLit[VIEW_DOWN] = 1;
    } else {
        ButtonLit[VIEW_UP] = ButtonLit[VIEW_DOWN] = 0;
    }
    if (x <= VIEW_AREA.x) {
        ScrollView(ViewX, -1);
        ViewX = std::max(ViewX, 0);
        ButtonLit[VIEW_LEFT] = 1;
    } else if (x >= VIEW_AREA.Right() - 1) {
        ScrollView(ViewX, 1);
        ViewX = std::min(ViewX, ViewXMax());
        ButtonLit[VIEW_RIGHT] = 1;
    } else {
        ButtonLit[VIEW_LEFT] = ButtonLit[VIEW_RIGHT] = 0;
    }
}

// A plus/minus pair at the top and bottom halves of the first row; the row
// between them hits neither.
void SizeButtons(int y, int& size, PanelControl plus, PanelControl minus) {
    const int before = size;
    if (y < Screen(plus).Bottom()) {
        ButtonLit[plus] = 1;
        if (size != MAP_SIZE_MAX) size += 1;
    } else if (y >= Screen(minus).y) {
        ButtonLit[minus] = 1;
        if (size != MAP_SIZE_MIN) size -= 1;
    }
    if (size != before) NoteEdit();
}

// Whether x lies in the columns of the control.
bool InColumns(int x, PanelControl control) {
    return x >= Screen(control).x && x < Screen(control).Right();
}

void FirstRow(int x, int y) {
    if (!LeftClick) return;
    if (InColumns(x, WIDTH_PLUS)) {
        SizeButtons(y, MapWidth, WIDTH_PLUS, WIDTH_MINUS);
        ViewX = 0;
    } else if (InColumns(x, HEIGHT_PLUS)) {
        SizeButtons(y, MapHeight, HEIGHT_PLUS, HEIGHT_MINUS);
        ViewY = 0;
    } else if (Screen(FRAME_PLUS).Holds(x, y)) {
        ButtonLit[FRAME_PLUS] = 1;
        StepChipFrame(1);
    } else if (Screen(FRAME_MINUS).Holds(x, y)) {
        ButtonLit[FRAME_MINUS] = 1;
        StepChipFrame(-1);
    } else if (Screen(BLANK_BUTTON).Holds(x, y)) {
        ButtonLit[BLANK_BUTTON] = 1;
    } else if (Screen(SAVE_BUTTON).Holds(x, y)) {
        ButtonLit[SAVE_BUTTON] = 1;
        StartSave();
    } else if (Screen(LOAD_BUTTON).Holds(x, y)) {
        ButtonLit[LOAD_BUTTON] = 1;
        StartLoad();
    } else if (Screen(ANIM_SWITCH).Holds(x, y)) {
        ButtonLit[ANIM_SWITCH] ^= 1;
        AnimOn ^= 1;
    }
}

// Lights the mode button under the pointer; the mode itself changes elsewhere.
void LightModeButton(int x, int y) {
    for (PanelControl mode : {MODE_CHIPS, MODE_ATTRIBUTES, MODE_ENEMIES})
        if (Screen(mode).Holds(x, y)) {
            ButtonLit[MODE_CHIPS] = ButtonLit[MODE_ATTRIBUTES] = ButtonLit[MODE_ENEMIES] = 0;
            ButtonLit[mode] = 1;
        }
}

// Yes ends the process at once, without the framework's shutdown and unsaved;
// the recovery copy is settled first.
void QuitButton() {
    ButtonLit[QUIT_BUTTON] = 1;
    if (AskQuit()) {
        EndRecovery();
        std::exit(0);
    }
    ButtonLit[QUIT_BUTTON] = 0;
}

} // namespace

// Chip editing starts selected.
static_assert(MODE_CHIPS == 0);
unsigned char ButtonLit[CONTROL_COUNT] = {1};
unsigned char ViewScrolled = 0;
int AnimOn = 0;
float AnimTimer = CHIP_FRAME_SECONDS;

void ReleaseMomentaryButtons() {
    std::memset(ButtonLit + FIRST_MOMENTARY, 0, CONTROL_COUNT - FIRST_MOMENTARY);
}

void StepChipFrame(int direction) {
    ChipFrame += direction;
    if (ChipFrame > 1) ChipFrame = 0;
    if (ChipFrame < 0) ChipFrame = 1;
}

// The timer carries over while the animation is off, so switching it back on
// resumes the interval where it stopped.
void AnimationTick() {
    if (AnimOn == 1) {
        AnimTimer -= FrameSeconds;
        if (AnimTimer < 0) {
            ChipFrame += 1;
            AnimTimer = CHIP_FRAME_SECONDS;
        }
    }
    if (ChipFrame > 1) ChipFrame = 0;
}

void DrawPanel() {
    for (int x : {40, 80, 120, 160, 200, 720}) Piece(x, FIRST_ROW_TOP, 0, 60, 40, 139);

    int f = ChipFrame;
    Piece(720, FIRST_ROW_TOP, (f % 5) * 40 + 880, (f / 5) * 78, (f % 5) * 40 + 920,
          (f / 5) * 78 + 78);

    SizeDigit(40, MapWidth / 10);
    SizeDigit(80, MapWidth % 10);
    SizeDigit(160, MapHeight / 10);
    SizeDigit(200, MapHeight % 10);

    for (const ScrollBar& bar :
         {VIEW_VERTICAL_BAR, VIEW_HORIZONTAL_BAR, PALETTE_VERTICAL_BAR, PALETTE_HORIZONTAL_BAR})
        Track(bar);
    Thumb(VIEW_VERTICAL_BAR, ViewY, VIEW_ROWS, ViewYMax() + VIEW_ROWS);
    Thumb(VIEW_HORIZONTAL_BAR, ViewX, VIEW_COLUMNS, ViewXMax() + VIEW_COLUMNS);
    Thumb(PALETTE_VERTICAL_BAR, PaletteY, PALETTE_AREA.height, SHEET_ROWS * CELL_SIZE);
    Thumb(PALETTE_HORIZONTAL_BAR, PaletteX, PALETTE_AREA.width, SHEET_COLUMNS * CELL_SIZE);
    for (int control = 0; control < CONTROL_COUNT; ++control) Control(control);

    Piece(130, 640, 20, 40, 40, 60);
}

void HandlePanel() {
    const int x = MouseX;
    const int y = MouseY;
    const bool controlsFree = PaletteDrag == 0 && Stamping == 0;

    // The view's bars take the pixel past their left or top edge, not their
    // first one; the palette's take their own rectangle.
    const PanelRect viewV = BarRect(VIEW_VERTICAL_BAR), viewH = BarRect(VIEW_HORIZONTAL_BAR);
    ViewBar(true, y,
            LeftHeld && x > viewV.x && x <= viewV.Right() && y < viewV.Bottom() && controlsFree);
    ViewBar(false, x,
            LeftHeld && y > viewH.y && y <= viewH.Bottom() && x < viewH.Right() && controlsFree);
    PaletteVerticalBar(y, LeftHeld && BarRect(PALETTE_VERTICAL_BAR).Holds(x, y) && controlsFree);
    PaletteHorizontalBar(x,
                         LeftHeld && BarRect(PALETTE_HORIZONTAL_BAR).Holds(x, y) && controlsFree);
    PaletteEdgeScroll(x, y);
    ViewEdgeScroll(x, y);

    if (y >= FIRST_ROW_TOP && y < SECOND_ROW_TOP && x < VIEW_AREA.Right() && controlsFree)
        FirstRow(x, y);
    else if (LeftClick && Screen(QUIT_BUTTON).Holds(x, y))
        QuitButton();
    else if (LeftClick)
        LightModeButton(x, y);

    elDraw::DebugPrint(x, y, "X=%d, Y=%d の地点が押されています", x, y);
}
