// Text in a rectangle: lines broken at line ends and, on request, to fit the
// width; aligned left, centred or right; or only measured.
#include "platform/formats/text_encoding.h"
#include "platform/win/text_line.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

namespace platform {

namespace {

struct Line {
    std::size_t start, end;
    long width; // 1/64 pixel
};

// Breaks at CR, LF and CR LF; with a width (1/64 pixel, -1 for none) also at
// spaces, which the break swallows, and before or after a two-byte character.
// A word wider than the line is broken between characters.
std::vector<Line> BreakLines(Strike& strike, std::string_view text, long maxWidth) {
    std::vector<Line> lines;
    std::size_t i = 0;
    do {
        Line line{i, i, 0};
        // The last place the line may end: its end, its width, the next start.
        std::size_t breakEnd = std::string_view::npos, breakNext = i;
        long breakWidth = 0;
        while (i < text.size()) {
            const auto c = static_cast<unsigned char>(text[i]);
            if (c == '\r' || c == '\n') {
                line.end = i;
                i += c == '\r' && i + 1 < text.size() && text[i + 1] == '\n' ? 2 : 1;
                break;
            }
            char32_t codePoint;
            const int bytes = DecodeCp932(text.substr(i), codePoint);
            const long advance = strike.Get(codePoint).advance;
            if (maxWidth >= 0) {
                if (c == ' ' || (bytes == 2 && i > line.start)) {
                    breakEnd = i;
                    breakWidth = line.width;
                    breakNext = c == ' ' ? i + 1 : i;
                }
                if (c != ' ' && i > line.start && line.width + advance > maxWidth) {
                    if (breakEnd == std::string_view::npos) {
                        breakEnd = breakNext = i;
                        breakWidth = line.width;
                    }
                    line.end = breakEnd;
                    line.width = breakWidth;
                    i = breakNext;
                    while (i < text.size() && text[i] == ' ') ++i;
                    break;
                }
            }
            line.width += advance;
            i += static_cast<std::size_t>(bytes);
            line.end = i;
            if (maxWidth >= 0 && bytes == 2) {
                breakEnd = breakNext = i;
                breakWidth = line.width;
            }
        }
        lines.push_back(line);
    } while (i < text.size());
    return lines;
}

int Saturate(long value) { return static_cast<int>(std::clamp<long>(value, INT_MIN, INT_MAX)); }

} // namespace

int DrawText(HDC dc, const char* text, int length, RECT* rect, UINT format) {
    if (!dc || !text || !rect) return 0;
    Font* font = FontOf(dc);
    if (!font) return 0;
    const std::string_view all(text,
                               length < 0 ? std::strlen(text) : static_cast<std::size_t>(length));
    Strike& strike = *font->strike;
    const long left = rect->left, right = rect->right;
    const std::vector<Line> lines =
        BreakLines(strike, all, format & DT_WORDBREAK ? std::max(0L, right - left) * 64 : -1);
    const long lineHeight = strike.ascent + strike.descent;
    const int height = static_cast<int>(std::min<long>(INT_MAX, lines.size() * lineHeight));

    if (format & DT_CALCRECT) {
        long widest = 0;
        for (const Line& line : lines) widest = std::max(widest, line.width);
        rect->right = Saturate(left + (widest + 63) / 64);
        rect->bottom = Saturate(static_cast<long>(rect->top) + height);
        return height;
    }
    if (!dc->surface) return 0;
    long y = rect->top;
    for (const Line& line : lines) {
        const long width = (line.width + 32) / 64;
        long x = left;
        if (format & DT_CENTER)
            x += (right - left - width) / 2;
        else if (format & DT_RIGHT)
            x = right - width;
        DrawLine(dc, *font, Saturate(x), Saturate(y), all.substr(line.start, line.end - line.start),
                 *rect);
        y += lineHeight;
    }
    return height;
}

} // namespace platform
