// Drawing of the control panel and the four scroll bars from the panel image.
#include "draw/draw.h"
#include "editor/editor_images.h"
#include "editor/map_model.h"
#include "editor/panel.h"

namespace {

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

// A control's picture for its state.
void Control(int control) {
    const ControlLayout& layout = PANEL_LAYOUT[control];
    const PanelRect& picture = layout.picture;
    const int top = picture.y + ButtonLit[control] * layout.litShift;
    Piece(layout.screen.x, layout.screen.y, picture.x, top, picture.Right(), top + picture.height);
}

} // namespace

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
    for (int control = 0; control < CONTROL_COUNT; ++control) Control(control);

    Piece(130, 640, 20, 40, 40, 60);
}
