// Drawing of the control panel and the four scroll bars from the panel image.
#include "draw/draw.h"
#include "editor/editor_images.h"
#include "editor/map_model.h"
#include "editor/panel.h"

namespace {

constexpr int ROW1_Y = 610; // top of the first panel row
constexpr int ROW2_Y = 689; // top of the second panel row
constexpr int BUTTON_HEIGHT = 79;

void Piece(int x, int y, int left, int top, int right, int bottom) {
    elDraw::Draw(x, y, PanelImage, left, top, right, bottom);
}

// A map-size digit: 0 to 4 on the top row of digit pictures, 5 to 9 below.
void SizeDigit(int x, int d) {
    int left = (d % 5) * 40 + 880;
    int top = d < 5 ? 0 : 79;
    Piece(x, ROW1_Y, left, top, left + 40, top + 79);
}

// Up and down arrows of a vertical bar, with its track between them.
void VerticalBar(int x, int pieces, int bottomArrowY, int up, int down) {
    for (int k = 0; k < pieces; ++k) Piece(x, 20 + 10 * k, 0, 139, 10, 149);
    Piece(x, 0, 0, ButtonLit[up] * 20, 10, ButtonLit[up] * 20 + 20);
    Piece(x, bottomArrowY, 10, ButtonLit[down] * 20, 20, ButtonLit[down] * 20 + 20);
}

// Left and right arrows of a horizontal bar, with its track between them.
void HorizontalBar(int left, int y, int pieces, int rightArrowX, int leftArrow, int rightArrow) {
    for (int k = 0; k < pieces; ++k) Piece(left + 20 + 10 * k, y, 0, 139, 10, 149);
    int lit = ButtonLit[leftArrow];
    Piece(left, y, 20, lit * 10 + 20, 40, lit * 10 + 30);
    lit = ButtonLit[rightArrow];
    Piece(rightArrowX, y, 20, lit * 10, 40, lit * 10 + 10);
}

void PlusMinus(int x, int plus, int minus) {
    Piece(x, ROW1_Y, 40, ButtonLit[plus] * 79, 80, ButtonLit[plus] * 79 + 39);
    Piece(x, 650, 40, ButtonLit[minus] * 79 + 40, 80, ButtonLit[minus] * 79 + 79);
}

// A button of either panel row, its picture taken from source columns left..right.
void Button(int x, int y, int control, int left, int right) {
    int top = ButtonLit[control] * BUTTON_HEIGHT;
    Piece(x, y, left, top, right, top + BUTTON_HEIGHT);
}

} // namespace

void DrawPanel() {
    for (int x : {40, 80, 120, 160, 200, 720}) Piece(x, ROW1_Y, 0, 60, 40, 139);

    int f = ChipFrame;
    Piece(720, ROW1_Y, (f % 5) * 40 + 880, (f / 5) * 78, (f % 5) * 40 + 920, (f / 5) * 78 + 78);

    SizeDigit(40, MapWidth / 10);
    SizeDigit(80, MapWidth % 10);
    SizeDigit(160, MapHeight / 10);
    SizeDigit(200, MapHeight % 10);

    VerticalBar(800, 56, 580, VIEW_UP, VIEW_DOWN);
    HorizontalBar(0, 600, 76, 780, VIEW_LEFT, VIEW_RIGHT);
    VerticalBar(1014, 72, 738, PALETTE_UP, PALETTE_DOWN);
    HorizontalBar(810, 758, 17, 994, PALETTE_LEFT, PALETTE_RIGHT);

    PlusMinus(0, WIDTH_PLUS, WIDTH_MINUS);
    PlusMinus(240, HEIGHT_PLUS, HEIGHT_MINUS);
    PlusMinus(760, FRAME_PLUS, FRAME_MINUS);

    Button(280, ROW1_Y, BLANK_BUTTON, 80, 200);
    Button(400, ROW1_Y, SAVE_BUTTON, 200, 320);
    Button(520, ROW1_Y, LOAD_BUTTON, 320, 440);
    Button(640, ROW1_Y, ANIM_SWITCH, 440, 520);

    Piece(130, 640, 20, 40, 40, 60);

    Button(0, ROW2_Y, MODE_CHIPS, 520, 640);
    Button(120, ROW2_Y, MODE_ATTRIBUTES, 640, 760);
    Button(240, ROW2_Y, MODE_ENEMIES, 760, 880);
    Button(680, ROW2_Y, QUIT_BUTTON, 1080, 1200);
}
