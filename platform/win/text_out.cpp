// Text at a point: TextOut, its extent, and the text colour.
#include "platform/win/text_line.h"

#include <climits>
#include <utility>

namespace platform {

COLORREF SetTextColor(HDC dc, COLORREF color) {
    if (!dc) return CLR_INVALID;
    return std::exchange(dc->textColor, color);
}

BOOL TextOut(HDC dc, int x, int y, const char* text, int length) {
    if (!dc || !dc->surface || !text || length < 0) return 0;
    Font* font = FontOf(dc);
    if (!font) return 0;
    DrawLine(dc, *font, x, y, {text, static_cast<std::size_t>(length)},
             {INT_MIN, INT_MIN, INT_MAX, INT_MAX});
    return 1;
}

BOOL GetTextExtentPoint32(HDC dc, const char* text, int length, SIZE* size) {
    if (!dc || !text || length < 0 || !size) return 0;
    Font* font = FontOf(dc);
    if (!font) return 0;
    Strike& strike = *font->strike;
    size->cx =
        static_cast<int>((LineAdvance(strike, {text, static_cast<std::size_t>(length)}) + 32) / 64);
    size->cy = strike.ascent + strike.descent;
    return 1;
}

} // namespace platform
