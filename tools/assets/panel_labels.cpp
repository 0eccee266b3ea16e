#include "tools/assets/panel_labels.h"

#include "platform/win/fonts.h"
#include "platform/win/gdi_shapes.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace assets {

namespace {

constexpr int kScale = 4; // the text is drawn this much larger, then averaged down

// Coverage 0..1 of every pixel of a `width` x `height` box by the text.
std::vector<double> Coverage(const char* text, int width, int height, int textHeight) {
    const int w = width * kScale, h = height * kScale;
    platform::Surface surface;
    surface.width = w, surface.height = h, surface.pitch = w * 4;
    surface.format = {32, 0xFF0000, 0x00FF00, 0x0000FF};
    surface.memory.assign(static_cast<std::size_t>(surface.pitch) * h, 0);

    platform::LOGFONTA font{};
    font.lfHeight = -textHeight * kScale;
    font.lfWeight = 700;
    font.lfCharSet = platform::SHIFTJIS_CHARSET;
    std::strcpy(font.lfFaceName, "標準ゴシック");
    platform::HDC dc = nullptr;
    platform::GetDC(&surface, &dc);
    platform::HFONT handle = platform::CreateFontIndirect(&font);
    platform::SelectObject(dc, handle);
    platform::SetBkMode(dc, platform::TRANSPARENT);
    platform::SetTextColor(dc, 0xFFFFFF);
    platform::SIZE size{};
    const int length = static_cast<int>(std::strlen(text));
    platform::GetTextExtentPoint32(dc, text, length, &size);
    platform::TextOut(dc, (w - size.cx) / 2, (h - size.cy) / 2, text, length);
    platform::SelectObject(dc, static_cast<platform::HFONT>(nullptr));
    platform::DeleteObject(handle);
    platform::ReleaseDC(&surface, dc);

    // Where the ink actually lies, to centre it exactly.
    int top = h, bottom = -1, left = w, right = -1;
    auto ink = [&](int x, int y) {
        return reinterpret_cast<const std::uint32_t*>(surface.memory.data() +
                                                      y * surface.pitch)[x] != 0;
    };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (ink(x, y))
                top = std::min(top, y), bottom = std::max(bottom, y), left = std::min(left, x),
                right = std::max(right, x);
    std::vector<double> cover(static_cast<std::size_t>(width) * height, 0.0);
    if (bottom < 0) return cover;
    const int dx = (w - (right + 1 - left)) / 2 - left, dy = (h - (bottom + 1 - top)) / 2 - top;
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x) {
            const int tx = x + dx, ty = y + dy;
            if (ink(x, y) && tx >= 0 && ty >= 0 && tx < w && ty < h)
                cover[(ty / kScale) * width + tx / kScale] += 1.0 / (kScale * kScale);
        }
    return cover;
}

} // namespace

void Label(Canvas& c, Box b, const char* text, int height, Rgb colour) {
    const std::vector<double> cover = Coverage(text, b.width, b.height, height);
    auto at = [&](int x, int y) {
        return x < 0 || y < 0 || x >= b.width || y >= b.height ? 0.0 : cover[y * b.width + x];
    };
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x) {
            const double shadow = std::max(at(x - 1, y - 1), at(x - 2, y - 2) * 0.6);
            Rgb col = c.Get(b.x + x, b.y + y);
            col = Mix(col, Shade(col, 0.3), shadow * 0.85);
            col = Mix(col, colour, at(x, y));
            c.Put(b.x + x, b.y + y, col);
        }
}

} // namespace assets
