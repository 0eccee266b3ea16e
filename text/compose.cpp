// The character table and the drawing of one character for composed text.
#include "text/compose.h"
#include "draw/draw.h"
#include "platform/formats/text_encoding.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace elText {

platform::RECT CharRects[CHAR_RECT_COUNT];
int CharCount;
int RevealCount;
float RevealTimer;

namespace {

const char* const HangChars[15] = {"、", "。", "，", "．", "・", "…",  "‥", "”",
                                   "’",  "（", "」", ",",  ".",  "　", " "};

COLORREF Floor(COLORREF colour) {
    const bool dark =
        (colour & 0xFF) < 16 && (colour >> 8 & 0xFF) < 16 && (colour >> 16 & 0xFF) < 16;
    return dark ? 0x101010 : colour;
}

// Positions far outside the screen stay at its side of the int range.
int Narrow(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX));
}

} // namespace

TextChar CharAt(const char* text) {
    TextChar c{{text[0], 0, 0}, 1};
    // A lead byte that ends the text is taken alone.
    if (platform::IsCp932Lead(static_cast<unsigned char>(text[0])) && text[1] != '\0') {
        c.bytes[1] = text[1];
        c.length = 2;
    }
    return c;
}

bool IsHanging(const TextChar& c) {
    return std::any_of(std::begin(HangChars), std::end(HangChars),
                       [&](const char* hanging) { return std::strcmp(hanging, c.bytes) == 0; });
}

void ApplyColourFloor() {
    CurrentTextColor = Floor(CurrentTextColor);
    CurrentBackColor = Floor(CurrentBackColor);
}

void StartLayout(int left, int top) {
    CharRects[0] = {left, top, left, top};
    CharCount = 0;
}

bool AppendRect(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom) {
    if (CharCount >= CHAR_RECT_COUNT - 1) return false;
    CharRects[++CharCount] = {Narrow(left), Narrow(top), Narrow(right), Narrow(bottom)};
    return true;
}

void DropRect() { --CharCount; }

void GrowBounds(std::int64_t x, std::int64_t y) {
    platform::RECT& bounds = CharRects[0];
    bounds.left = Narrow(std::min<std::int64_t>(bounds.left, x));
    bounds.top = Narrow(std::min<std::int64_t>(bounds.top, y));
    bounds.right = Narrow(std::max<std::int64_t>(bounds.right, x));
    bounds.bottom = Narrow(std::max<std::int64_t>(bounds.bottom, y));
}

void DrawChar(std::int64_t x, std::int64_t y, const TextChar& c, int flags, int shadow) {
    const int thickX = (flags & TEXT_THICK_X) ? 1 : 0, thickY = (flags & TEXT_THICK_Y) ? 1 : 0;
    const auto stroke = [&](int dx, int dy) { Print(Narrow(x + dx), Narrow(y + dy), c.bytes); };
    if (flags & TEXT_SHADOW) {
        platform::SetTextColor(TextDC, CurrentBackColor);
        stroke(shadow + thickX, shadow + thickY);
    }
    platform::SetTextColor(TextDC, CurrentTextColor);
    stroke(0, 0);
    if (thickX) {
        stroke(1, 0);
        if (thickY) stroke(1, 1);
    }
    if (thickY) stroke(0, 1);
}

void FinishCompose() {
    const platform::RECT& bounds = CharRects[0];
    if (TextCopy == 1)
        elDraw::Draw(bounds.left, bounds.top, FONT_SPRITE, bounds.left, bounds.top, bounds.right,
                     bounds.bottom);
    RevealCount = 0;
    RevealTimer = 0;
    TextCopy = 1;
}

} // namespace elText
