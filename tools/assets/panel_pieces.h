// The pictures the panel image is made of, each drawn into a box of the image.
#pragma once

#include "tools/assets/canvas.h"

namespace assets {

struct Box {
    int x, y, width, height;
};

// Colours of a button face.
struct FaceColours {
    Rgb top, bottom;
};
constexpr FaceColours kSteel{{104, 118, 146}, {58, 66, 86}};
constexpr FaceColours kAmber{{238, 178, 74}, {176, 104, 34}};
constexpr FaceColours kCrimson{{160, 74, 74}, {96, 38, 42}};
constexpr FaceColours kCrimsonLit{{244, 110, 90}, {178, 52, 48}};

// A raised button, or a pressed one (`lit`): bevel and vertical gradient.
void ButtonFace(Canvas& c, Box b, FaceColours face, bool lit);
enum class Arrow { Up, Down, Left, Right };
// A scroll-bar arrow button.
void ArrowButton(Canvas& c, Box b, Arrow direction, bool lit);
// A piece of a scroll-bar track; it tiles across and down.
void TrackPiece(Canvas& c, Box b);
// The sunken display that digits are shown on.
void DigitWell(Canvas& c, Box b);
// A seven-segment digit on a transparent ground, `height` pixels from the top
// of the box used (the chip-frame digit is one row shorter).
void Digit(Canvas& c, Box b, int digit);
// The small "times" sign shown between the map width and height.
void TimesSign(Canvas& c, Box b);
// A plus or minus button.
void SignButton(Canvas& c, Box b, bool plus, bool lit);
// A small round lamp, glowing when on.
void Lamp(Canvas& c, int cx, int cy, bool on);
// The mouse pointer: an arrow with its tip at the box's top-left corner.
void Pointer(Canvas& c, Box b);

} // namespace assets
