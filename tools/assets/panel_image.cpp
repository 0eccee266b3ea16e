#include "tools/assets/panel_image.h"

#include "tools/assets/panel_labels.h"
#include "tools/assets/panel_pieces.h"

namespace assets {

namespace {

constexpr int kLitRow = 79; // lit pictures lie this far below the unlit ones
constexpr Rgb kText{244, 246, 252}, kTextLit{255, 252, 236};

struct Button {
    int x, width;
    const char* label;
    FaceColours face, lit;
    bool lamp; // a switch that stays on shows a lamp
};

// The buttons of both panel rows, 79 pixels high, unlit at the top and lit
// below; the first one has no label.
const Button kButtons[] = {
    {80, 120, "", kSteel, kAmber, false},       {200, 120, "保存", kSteel, kAmber, false},
    {320, 120, "読込", kSteel, kAmber, false},  {440, 80, "アニメ", kSteel, kAmber, true},
    {520, 120, "チップ", kSteel, kAmber, true}, {640, 120, "属性", kSteel, kAmber, true},
    {760, 120, "敵", kSteel, kAmber, true},     {1080, 120, "終了", kCrimson, kCrimsonLit, false},
};

void DrawButton(Canvas& c, const Button& button, bool lit) {
    const Box box{button.x, lit ? kLitRow : 0, button.width, kLitRow};
    ButtonFace(c, box, lit ? button.lit : button.face, lit);
    const int shift = lit ? 1 : 0; // a pressed label sinks a little
    if (button.lamp) Lamp(c, box.x + 11 + shift, box.y + 11 + shift, lit);
    if (*button.label) {
        const int height = button.width < 100 ? 22 : 30;
        Label(c, {box.x + 4 + shift, box.y + 4 + shift, box.width - 8, box.height - 8},
              button.label, height, lit ? kTextLit : kText);
    }
}

} // namespace

Canvas DrawPanelImage() {
    Canvas c(kPanelWidth, kPanelHeight);
    for (int lit = 0; lit < 2; ++lit) {
        // Scroll-bar arrows: up and down 10 x 20, right and left 20 x 10.
        ArrowButton(c, {0, lit * 20, 10, 20}, Arrow::Up, lit);
        ArrowButton(c, {10, lit * 20, 10, 20}, Arrow::Down, lit);
        ArrowButton(c, {20, lit * 10, 20, 10}, Arrow::Right, lit);
        ArrowButton(c, {20, 20 + lit * 10, 20, 10}, Arrow::Left, lit);
        // Plus and minus, 40 x 39.
        SignButton(c, {40, lit * kLitRow, 40, 39}, true, lit);
        SignButton(c, {40, lit * kLitRow + 40, 40, 39}, false, lit);
        for (const Button& button : kButtons) DrawButton(c, button, lit);
    }
    Pointer(c, {0, 40, 20, 20});
    TimesSign(c, {20, 40, 20, 20});
    DigitWell(c, {0, 60, 40, 79});
    TrackPiece(c, {0, 139, 10, 10});
    for (int d = 0; d < 10; ++d) Digit(c, {880 + (d % 5) * 40, (d / 5) * kLitRow, 40, 79}, d);
    return c;
}

} // namespace assets
