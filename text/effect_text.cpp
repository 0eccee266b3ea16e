// Text composed in a box on the font sprite, with shadow and thickening, then
// copied onto the back buffer with the colour key.
#include "draw/draw.h"
#include "text/compose.h"
#include "text/font_bracket.h"

#include <algorithm>
#include <cstdint>

namespace elText {

namespace {

// Extent of one character with the room its shadow and thickening take.
platform::SIZE Measure(const TextChar& c, int flags) {
    platform::SIZE size{0, 0};
    if (c.IsLineFeed()) return size;
    platform::GetTextExtentPoint32(TextDC, c.bytes, c.length, &size);
    const int shadow = (flags & TEXT_SHADOW) ? 1 : 0;
    size.cx += shadow + ((flags & TEXT_THICK_X) ? 1 : 0);
    size.cy += shadow + ((flags & TEXT_THICK_Y) ? 1 : 0);
    return size;
}

void Layout(int left, int top, int right, int bottom, const char* text, int flags) {
    std::int64_t x = left, y = top;
    std::int64_t lineHeight = (flags & 0xFF) + std::int64_t{CurrentHeight};
    StartLayout(left, top);
    for (const char* p = text; *p;) {
        const TextChar c = CharAt(p);
        p += c.length;
        const platform::SIZE size = Measure(c, flags);
        const std::int64_t start = x;
        if (!AppendRect(x, y, x + size.cx, y + size.cy)) return;
        x += size.cx;
        lineHeight = std::max<std::int64_t>(lineHeight, size.cy);
        // The character is drawn where the pen was; the bounds reach one more
        // of its widths past the pen after it.
        const auto draw = [&] {
            DrawChar(start, y, c, flags, 1);
            GrowBounds(x + size.cx, y + size.cy);
        };
        const bool beyond = x > right;
        if (!beyond && !c.IsLineFeed()) {
            draw();
            continue;
        }
        // A hanging character stays at the end of the line, and so does one
        // too wide for the box, which would otherwise never find a line.
        if (beyond && (IsHanging(c) || start == left)) {
            draw();
        } else {
            DropRect();
            if (!c.IsLineFeed()) p -= c.length;
        }
        x = left;
        y += lineHeight;
        if (y + lineHeight >= bottom) return;
    }
}

} // namespace

void PrintEffect(int left, int top, int right, int bottom, const char* text, int flags) {
    if (!FontDesc || !text) {
        // Nothing to compose; a hold variant asked for this one call only.
        TextCopy = 1;
        return;
    }
    Close();
    elDraw::ClearObject(FONT_SPRITE);
    OpenOn(elDraw::SurfaceOf(FONT_SPRITE));
    platform::SetBkMode(TextDC, platform::TRANSPARENT);
    ApplyColourFloor();
    Layout(left, top, right, bottom, text, flags);
    Close();
    FinishCompose();
    OpenOn(elDraw::BackBuffer);
}

void PrintEffectHold(int left, int top, int right, int bottom, const char* text, int flags) {
    TextCopy = 0;
    PrintEffect(left, top, right, bottom, text, flags);
}

} // namespace elText
