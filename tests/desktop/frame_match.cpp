#include "tests/desktop/frame_match.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <vector>

namespace desktop_test {

namespace {

// The two renderings expand 16-bit colours to 24 bits each their own way.
bool Near(std::uint32_t a, std::uint32_t b) {
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF)) >
            12)
            return false;
    return true;
}

// The colours of the editor's text that another rasteriser draws differently:
// the navy boxes of its labels and the pink of its save and load prompts, as the
// 16-bit display shows them.
constexpr std::uint32_t TEXT_COLOURS[] = {0x000080, 0xF8C8C8};

bool TextColour(std::uint32_t pixel) {
    return std::any_of(std::begin(TEXT_COLOURS), std::end(TEXT_COLOURS),
                       [&](std::uint32_t colour) { return Near(pixel, colour); });
}

// Marks every frame pixel within TEXT_MARGIN of a pixel in a text colour, in
// the frame or in the screen's picture of it.
std::vector<bool> NearText(const platform::DecodedImage& frame,
                           const std::function<std::uint32_t(int, int)>& shown) {
    std::vector<bool> box(FrameWidth * FrameHeight), near(FrameWidth * FrameHeight);
    for (int y = 0; y < FrameHeight; ++y)
        for (int x = 0; x < FrameWidth; ++x)
            box[y * FrameWidth + x] =
                TextColour(frame.pixels[y * FrameWidth + x]) || TextColour(shown(x, y));
    for (int y = 0; y < FrameHeight; ++y)
        for (int x = 0; x < FrameWidth; ++x) {
            if (!box[y * FrameWidth + x]) continue;
            for (int ny = std::max(0, y - TEXT_MARGIN);
                 ny <= std::min(FrameHeight - 1, y + TEXT_MARGIN); ++ny)
                for (int nx = std::max(0, x - TEXT_MARGIN);
                     nx <= std::min(FrameWidth - 1, x + TEXT_MARGIN); ++nx)
                    near[ny * FrameWidth + nx] = true;
        }
    return near;
}

} // namespace

FrameMapping::FrameMapping(const Placement& w) : window(w) {
    scale = std::min(static_cast<double>(w.width) / FrameWidth,
                     static_cast<double>(w.height) / FrameHeight);
    left = (w.width - FrameWidth * scale) / 2;
    double upper = (w.height - FrameHeight * scale) / 2;
    top = static_cast<int>(std::lround(upper));
    bottom = static_cast<int>(std::lround(upper + FrameHeight * scale));
}

int FrameMapping::ScreenX(int frameX) const {
    return window.x + static_cast<int>(std::floor(left + (frameX + 0.5) * scale));
}

int FrameMapping::ScreenY(int frameY) const {
    return window.y + static_cast<int>(std::floor(top + (frameY + 0.5) * scale));
}

bool FrameMatch::Good() const {
    // Sampled at the centres of its pixels, the scaled frame is exact: even the
    // pointer a pixel off is a fault.
    return compared >= FrameWidth * FrameHeight * 9 / 10 && different == 0 && barsLit == 0 &&
           textDifferent <= TEXT_LIMIT;
}

std::string FrameMatch::Describe() const {
    return std::to_string(compared) + " frame pixels on the screen, " + std::to_string(different) +
           " of them different (first at " + std::to_string(firstX) + "," + std::to_string(firstY) +
           "), " + std::to_string(textDifferent) + " different in text, " +
           std::to_string(barsLit) + " bar pixels not black";
}

FrameMatch MatchFrame(const platform::DecodedImage& screen, const Placement& window,
                      const platform::DecodedImage& frame, TextRendering text) {
    FrameMatch match;
    if (frame.width != FrameWidth || frame.height != FrameHeight || screen.pixels.empty())
        return match;
    const FrameMapping map(window);
    auto onScreen = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < screen.width && y < screen.height;
    };
    auto shown = [&](int x, int y) -> std::uint32_t {
        const int sx = map.ScreenX(x), sy = map.ScreenY(y);
        return onScreen(sx, sy) ? screen.pixels[sy * screen.width + sx] : 0;
    };
    const std::vector<bool> nearText =
        text == TextRendering::Rasterised ? NearText(frame, shown) : std::vector<bool>();
    for (int y = 0; y < FrameHeight; ++y) {
        const int sy = map.ScreenY(y);
        for (int x = 0; x < FrameWidth; ++x) {
            const int sx = map.ScreenX(x);
            if (!onScreen(sx, sy)) continue;
            ++match.compared;
            if (Near(screen.pixels[sy * screen.width + sx], frame.pixels[y * FrameWidth + x]))
                continue;
            if (!nearText.empty() && nearText[y * FrameWidth + x])
                ++match.textDifferent;
            else if (match.different++ == 0)
                match.firstX = x, match.firstY = y;
        }
    }
    for (int wy = 0; wy < window.height; ++wy) {
        if (!map.InBar(wy)) continue;
        for (int wx = 0; wx < window.width; ++wx) {
            const int sx = window.x + wx, sy = window.y + wy;
            if (onScreen(sx, sy) && screen.pixels[sy * screen.width + sx] != 0) ++match.barsLit;
        }
    }
    return match;
}

} // namespace desktop_test
