// Smoothed text: each stretch of a line is drawn at double size on the font
// buffer sprite and filtered down into the font sprite at its place.
#include "draw/draw.h"
#include "text/compose.h"
#include "text/font_bracket.h"

#include <algorithm>
#include <cstdint>

namespace elText {

namespace {

// Empties the font buffer sprite and opens the bracket on it again.
void ReopenBuffer() {
    Close();
    elDraw::ClearObject(FONT_BUFFER_SPRITE);
    OpenOn(elDraw::SurfaceOf(FONT_BUFFER_SPRITE));
    platform::SetBkMode(TextDC, platform::TRANSPARENT);
}

// Extent at double size: odd sizes rounded up to even, then the room of the
// shadow and the thickening.
platform::SIZE Measure(const TextChar& c, int flags) {
    platform::SIZE size{0, 0};
    if (c.IsLineFeed()) return size;
    platform::GetTextExtentPoint32(TextDC, c.bytes, c.length, &size);
    size.cx += size.cx & 1;
    size.cy += size.cy & 1;
    const int shadow = (flags & TEXT_SHADOW) ? 2 : 0;
    size.cx += shadow + ((flags & TEXT_THICK_X) ? 1 : 0);
    size.cy += shadow + ((flags & TEXT_THICK_Y) ? 1 : 0);
    return size;
}

// Filters the segment (width w, line height h, double size) at (x0, y0), its
// height cut so that it ends at the bottom limit.
void FinishSegment(std::int64_t x0, std::int64_t y0, std::int64_t w, std::int64_t h, int bottom) {
    Close();
    if (y0 + h / 2 > bottom) h = std::max<std::int64_t>(0, h - 2 * (y0 + h / 2 - bottom));
    GrowBounds(x0 + w / 2, y0 + h / 2);
    SmoothSegment(static_cast<int>(x0), static_cast<int>(y0), 0, 0, static_cast<int>(w),
                  static_cast<int>(h));
}

void Layout(int left, int top, int right, int bottom, const char* text, int flags) {
    const std::int64_t bufferWidth = elDraw::SurfaceOf(FONT_BUFFER_SPRITE)->width;
    const std::int64_t baseHeight = (flags & 0xFF) + std::int64_t{CurrentHeight};
    std::int64_t x0 = left, y0 = top, w = 0, h = baseHeight;
    // Filters the segment drawn so far and starts the next one beside it.
    const auto endSegment = [&] {
        FinishSegment(x0, y0, w, h, bottom);
        ReopenBuffer();
        x0 += w / 2;
        w = 0;
        h = baseHeight;
    };
    StartLayout(left, top);
    for (const char* p = text; *p;) {
        const TextChar c = CharAt(p);
        p += c.length;
        const platform::SIZE size = Measure(c, flags);
        // A character that would run past the buffer's edge would lose its
        // right part: it starts the next segment of the line instead, unless
        // no segment could hold it.
        if (w > 0 && w + size.cx > bufferWidth) {
            p -= c.length;
            endSegment();
            continue;
        }
        if (!c.IsLineFeed()) DrawChar(w, 0, c, flags, 2);
        if (!AppendRect(x0 + w / 2, y0, x0 + w / 2 + size.cx / 2, y0 + size.cy / 2)) break;
        w += size.cx;
        h = std::max<std::int64_t>(h, size.cy);
        const bool beyond = x0 + w / 2 >= right;
        if (!beyond && w < bufferWidth && !c.IsLineFeed()) continue;
        // A hanging character stays at the end of the line, and so does one
        // too wide for the box, which would otherwise never find a line.
        if (c.IsLineFeed()) {
            DropRect();
        } else if (beyond && !IsHanging(c) && !(x0 == left && w == size.cx)) {
            DropRect();
            w -= size.cx;
            p -= c.length;
        }
        const std::int64_t lineHeight = h;
        endSegment();
        if (x0 + size.cx / 2 >= right || c.IsLineFeed()) {
            x0 = left;
            y0 += lineHeight / 2;
        }
        if (y0 >= bottom) break;
    }
    if (w > 0) endSegment();
}

} // namespace

void PrintSmooth(int left, int top, int right, int bottom, const char* text, int flags) {
    if (!FontDesc || !text || !elDraw::SurfaceOf(FONT_BUFFER_SPRITE)) {
        // Nothing to compose; a hold variant asked for this one call only.
        TextCopy = 1;
        return;
    }
    elDraw::ClearObject(FONT_SPRITE);
    ReopenBuffer();
    ApplyColourFloor();
    Layout(left, top, right, bottom, text, flags);
    FinishCompose();
}

void PrintSmoothHold(int left, int top, int right, int bottom, const char* text, int flags) {
    TextCopy = 0;
    PrintSmooth(left, top, right, bottom, text, flags);
}

} // namespace elText
