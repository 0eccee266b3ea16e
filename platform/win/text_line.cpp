#include "platform/win/text_line.h"
#include "platform/formats/text_encoding.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace platform {

namespace {

// The pixels of a surface that may be written, and one raw colour value.
struct Canvas {
    std::uint8_t* memory;
    int pitch;
    bool wide; // 32 bits per pixel, else 16
    int left, top, right, bottom;
    std::uint32_t value;

    // Positions are wide so that far-off text cannot overflow them.
    void Run(long y, long x0, long x1) const {
        if (y < top || y >= bottom) return;
        x0 = std::max<long>(x0, left);
        x1 = std::min<long>(x1, right);
        if (x0 >= x1) return;
        std::uint8_t* row = memory + y * pitch;
        if (wide)
            std::fill(reinterpret_cast<std::uint32_t*>(row) + x0,
                      reinterpret_cast<std::uint32_t*>(row) + x1, value);
        else
            std::fill(reinterpret_cast<std::uint16_t*>(row) + x0,
                      reinterpret_cast<std::uint16_t*>(row) + x1,
                      static_cast<std::uint16_t>(value));
    }
};

// Fills the pixels whose centres lie in the box [u0, u1) along the baseline
// and [v0, v1) down from it, measured from (x, y) on the strike's axes.
void FillBox(const Canvas& canvas, const Strike& strike, int x, int y, double u0, double u1,
             double v0, double v1) {
    const double c = strike.cosine, s = strike.sine;
    double minX = x, maxX = x, minY = y, maxY = y;
    for (double u : {u0, u1})
        for (double v : {v0, v1}) {
            const double px = x + u * c + v * s, py = y - u * s + v * c;
            minX = std::min(minX, px), maxX = std::max(maxX, px);
            minY = std::min(minY, py), maxY = std::max(maxY, py);
        }
    // Clamped while still floating, so that far-off boxes convert safely.
    auto within = [](double value, int low, int high) {
        return static_cast<int>(
            std::clamp(value, static_cast<double>(low), static_cast<double>(high)));
    };
    const int top = within(std::floor(minY), canvas.top, canvas.bottom);
    const int bottom = within(std::ceil(maxY), canvas.top, canvas.bottom);
    const int left = within(std::floor(minX), canvas.left, canvas.right);
    const int right = within(std::ceil(maxX), canvas.left, canvas.right);
    for (int py = top; py < bottom; ++py) {
        int runStart = -1;
        for (int px = left; px <= right; ++px) {
            const double dx = px + 0.5 - x, dy = py + 0.5 - y;
            const double u = dx * c - dy * s, v = dx * s + dy * c;
            const bool inside = px < right && u >= u0 && u < u1 && v >= v0 && v < v1;
            if (inside && runStart < 0) runStart = px;
            if (!inside && runStart >= 0) {
                canvas.Run(py, runStart, px);
                runStart = -1;
            }
        }
    }
}

} // namespace

long LineAdvance(Strike& strike, std::string_view text) {
    long advance = 0;
    while (!text.empty()) {
        char32_t codePoint;
        text.remove_prefix(static_cast<std::size_t>(DecodeCp932(text, codePoint)));
        advance += strike.Get(codePoint).advance;
    }
    return advance;
}

void DrawLine(HDC dc, const Font& font, int x, int y, std::string_view text, const RECT& clip) {
    Surface& surface = *dc->surface;
    Canvas canvas{surface.memory.data(),
                  surface.pitch,
                  surface.format.bits == 32,
                  std::max(clip.left, 0),
                  std::max(clip.top, 0),
                  std::min(clip.right, surface.width),
                  std::min(clip.bottom, surface.height),
                  0};
    if (canvas.left >= canvas.right || canvas.top >= canvas.bottom) return;
    Strike& strike = *font.strike;
    const double width =
        dc->backMode == OPAQUE || font.underline ? LineAdvance(strike, text) / 64.0 : 0;
    if (dc->backMode == OPAQUE) {
        canvas.value = PackColor(surface.format, dc->backColor);
        FillBox(canvas, strike, x, y, 0, width, 0, strike.ascent + strike.descent);
    }
    canvas.value = PackColor(surface.format, dc->textColor);
    // The baseline's origin, below the reference point on the rotated axes.
    const double originX = x + strike.ascent * strike.sine;
    const double originY = y + strike.ascent * strike.cosine;
    long pen = 0;
    while (!text.empty()) {
        char32_t codePoint;
        text.remove_prefix(static_cast<std::size_t>(DecodeCp932(text, codePoint)));
        const Glyph& glyph = strike.Get(codePoint);
        const long gx = std::lround(originX + pen / 64.0 * strike.cosine);
        const long gy = std::lround(originY - pen / 64.0 * strike.sine);
        for (const GlyphRun& run : glyph.runs)
            canvas.Run(gy + run.y, gx + run.left, gx + run.right);
        pen += glyph.advance;
    }
    if (font.underline) {
        const double top = strike.ascent + strike.underlineOffset;
        FillBox(canvas, strike, x, y, 0, width, top, top + strike.underlineThickness);
    }
}

} // namespace platform
