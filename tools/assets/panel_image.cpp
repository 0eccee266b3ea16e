#include "tools/assets/panel_image.h"

#include "editor/panel_layout.h"
#include "tools/assets/panel_labels.h"
#include "tools/assets/panel_pieces.h"

namespace assets {

namespace {

constexpr Rgb kText{244, 246, 252}, kTextLit{255, 252, 236};

struct Button {
    PanelControl control; // where it lies in the image
    const char* label;
    FaceColours face, lit;
    bool lamp; // a switch that stays on shows a lamp
};

// The buttons of both panel rows, unlit at the top and lit below; the first
// one has no label.
const Button kButtons[] = {
    {BLANK_BUTTON, "", kSteel, kAmber, false},
    {SAVE_BUTTON, "保存", kSteel, kAmber, false},
    {LOAD_BUTTON, "読込", kSteel, kAmber, false},
    {ANIM_SWITCH, "アニメ", kSteel, kAmber, true},
    {MODE_CHIPS, "チップ", kSteel, kAmber, true},
    {MODE_ATTRIBUTES, "属性", kSteel, kAmber, true},
    {MODE_ENEMIES, "敵", kSteel, kAmber, true},
    {QUIT_BUTTON, "終了", kCrimson, kCrimsonLit, false},
};

// The picture of a control in the image, unlit or lit.
Box PictureOf(PanelControl control, bool lit) {
    const ControlLayout& layout = PANEL_LAYOUT[control];
    const PanelRect& r = layout.picture;
    return {r.x, r.y + (lit ? layout.litShift : 0), r.width, r.height};
}

void DrawButton(Canvas& c, const Button& button, bool lit) {
    const Box box = PictureOf(button.control, lit);
    ButtonFace(c, box, lit ? button.lit : button.face, lit);
    const int shift = lit ? 1 : 0; // a pressed label sinks a little
    if (button.lamp) Lamp(c, box.x + 11 + shift, box.y + 11 + shift, lit);
    if (*button.label) {
        const int height = box.width < 100 ? 22 : 30;
        Label(c, {box.x + 4 + shift, box.y + 4 + shift, box.width - 8, box.height - 8},
              button.label, height, lit ? kTextLit : kText);
    }
}

} // namespace

Canvas DrawPanelImage() {
    Canvas c(kPanelWidth, kPanelHeight);
    for (int lit = 0; lit < 2; ++lit) {
        // Scroll-bar arrows: up and down 10 x 20, right and left 20 x 10; the
        // palette's bars show the same pictures as the view's.
        ArrowButton(c, PictureOf(VIEW_UP, lit), Arrow::Up, lit);
        ArrowButton(c, PictureOf(VIEW_DOWN, lit), Arrow::Down, lit);
        ArrowButton(c, PictureOf(VIEW_RIGHT, lit), Arrow::Right, lit);
        ArrowButton(c, PictureOf(VIEW_LEFT, lit), Arrow::Left, lit);
        // Plus and minus, 40 x 39; every pair shows the same pictures.
        SignButton(c, PictureOf(WIDTH_PLUS, lit), true, lit);
        SignButton(c, PictureOf(WIDTH_MINUS, lit), false, lit);
        for (const Button& button : kButtons) DrawButton(c, button, lit);
    }
    Pointer(c, {0, 40, 20, 20});
    TimesSign(c, {20, 40, 20, 20});
    DigitWell(c, {0, 60, 40, 79});
    TrackPiece(c, {0, 139, 10, 10});
    for (int d = 0; d < 10; ++d) Digit(c, {880 + (d % 5) * 40, (d / 5) * BUTTON_HEIGHT, 40, 79}, d);
    return c;
}

} // namespace assets
