// Compares what the screen shows of the editor's window with the headless
// rendering of the same frame: the 1024 x 768 frame is expected letterboxed in
// the window, scaled to fit, wherever the window is.
#pragma once

#include "platform/formats/bmp.h"
#include "tests/desktop/private_display.h"

#include <string>

namespace desktop_test {

constexpr int FrameWidth = 1024, FrameHeight = 768;

// The screen point at the centre of a frame pixel, for a window placed at `window`.
struct FrameMapping {
    explicit FrameMapping(const Placement& window);
    int ScreenX(int frameX) const;
    int ScreenY(int frameY) const;
    // The window rows above and below the frame (the letterbox bars).
    bool InBar(int windowY) const { return windowY < top || windowY >= bottom; }

    Placement window;
    double scale, left;
    int top, bottom;
};

// How the editor's text may differ from the headless rendering's. An editor
// whose text another rasteriser draws (GDI, on Windows) draws the same text in
// the same colours, on the same boxes, with glyphs a little different and
// boxes a few pixels wider or narrower.
enum class TextRendering {
    Same,       // every pixel as in the headless frame
    Rasterised, // pixels within TEXT_MARGIN of a pixel in a text colour, in
                // either picture, may differ, up to TEXT_LIMIT of the frame
};
constexpr int TEXT_MARGIN = 4;
constexpr int TEXT_LIMIT = FrameWidth * FrameHeight / 50;

struct FrameMatch {
    int compared = 0;             // frame pixels on the screen, compared
    int different = 0;            // of those, the ones that differ beyond the scaling's rounding
    int textDifferent = 0;        // of those, the ones that differ in text, where allowed
    int barsLit = 0;              // pixels of the letterbox bars on the screen that are not black
    int firstX = -1, firstY = -1; // the first differing frame pixel

    // Nearly all of the frame is visible and the same; the bars are black.
    bool Good() const;
    std::string Describe() const;
};

FrameMatch MatchFrame(const platform::DecodedImage& screen, const Placement& window,
                      const platform::DecodedImage& frame,
                      TextRendering text = TextRendering::Same);

} // namespace desktop_test
