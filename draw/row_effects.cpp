// Effects that draw an object rectangle one source row at a time, so that each
// row is clipped and keyed on its own by Draw (or DrawOpaque). Phases advance
// by FrameSeconds times a speed on every call: one call a frame animates them.
#include "draw/draw.h"
#include "system/system.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace elDraw {

namespace {

constexpr double PI = 3.141592653589793;

// State of one wave effect: phase in degrees, the alternating sign, and the
// vertical scroll in rows.
struct Wave {
    float phase = 0;
    int sign = 1;
    float scroll = 0;
};
Wave WaveDrawState, WaveScrollState, WaveBandState;
float TileOffsetX = 0, TileOffsetY = 0; // pixels, within one tile
float SqueezeScroll = 0;                // rows, within the rectangle

// `value` + `step`, wrapped into [0, period).
float Wrapped(float value, float step, float period) {
    float v = std::fmod(value + step, period);
    return v < 0 ? v + period : v;
}

// Coordinates are computed in 64 bits and narrowed the way 32-bit arithmetic
// wraps, so absurd arguments stay defined; the blit clips whatever results.
void DrawRow(std::int64_t x, std::int64_t y, ObjectNo no, int left, int right, std::int64_t row,
             bool opaque = false) {
    const int r = static_cast<int>(row);
    if (opaque)
        DrawOpaque(static_cast<int>(x), static_cast<int>(y), no, left, r, right, r + 1);
    else
        Draw(static_cast<int>(x), static_cast<int>(y), no, left, r, right, r + 1);
}

std::int64_t WaveOffset(int amplitude, int period, std::int64_t row, float phase) {
    std::int64_t degrees = (period != 0 ? row / period : row) + static_cast<std::int64_t>(phase);
    return static_cast<std::int64_t>(amplitude * std::sin(degrees * 2 * PI / 360));
}

// Row i of the rectangle is drawn at y + i, shifted by the sine offset of row
// top + i, and shows source row top + (i + scroll) mod h: the wave stays in
// place while the picture scrolls up through it (down for a negative speed).
// `band` repeats each row across the screen width.
void WaveRows(Wave& wave, int x, int y, int amplitude, int period, float speed, ObjectNo no,
              int left, int top, int right, int bottom, int alternate, float scrollSpeed,
              bool band) {
    const std::int64_t w = std::int64_t{right} - left, h = std::int64_t{bottom} - top;
    if (h <= 0 || (band && w <= 0)) return;
    const auto shift = static_cast<std::int64_t>(Wrapped(wave.scroll, 0, static_cast<float>(h)));
    for (std::int64_t i = 0; i < h; ++i) {
        std::int64_t offset = WaveOffset(amplitude, period, top + i, wave.phase);
        if (alternate) {
            offset *= wave.sign;
            wave.sign = -wave.sign;
        }
        const std::int64_t source = top + (i + shift) % h;
        if (!band) {
            DrawRow(x + offset, y + i, no, left, right, source);
            continue;
        }
        std::int64_t from = ((x + offset) % w + w) % w;
        if (from > 0) from -= w;
        for (; from < ScreenWidth; from += w) DrawRow(from, y + i, no, left, right, source);
    }
    wave.phase = Wrapped(wave.phase, FrameSeconds * speed, 360);
    wave.scroll = Wrapped(wave.scroll, FrameSeconds * scrollSpeed, static_cast<float>(h));
}

} // namespace

void WaveDraw(int x, int y, int amplitude, int period, float speed, ObjectNo no, int left, int top,
              int right, int bottom, int alternate) {
    WaveRows(WaveDrawState, x, y, amplitude, period, speed, no, left, top, right, bottom, alternate,
             0, false);
}

void WaveScroll(int x, int y, int amplitude, int period, float speed, ObjectNo no, int left,
                int top, int right, int bottom, int alternate, float scrollSpeed) {
    WaveRows(WaveScrollState, x, y, amplitude, period, speed, no, left, top, right, bottom,
             alternate, scrollSpeed, false);
}

void WaveBand(int x, int y, int amplitude, int period, float speed, ObjectNo no, int left, int top,
              int right, int bottom, int alternate, float scrollSpeed) {
    WaveRows(WaveBandState, x, y, amplitude, period, speed, no, left, top, right, bottom, alternate,
             scrollSpeed, true);
}

// Whole tiles are drawn: each is clipped and keyed exactly as its rows would be.
void TileScroll(float speedX, float speedY, ObjectNo no, int left, int top, int right, int bottom) {
    const std::int64_t w = std::int64_t{right} - left, h = std::int64_t{bottom} - top;
    if (w <= 0 || h <= 0) return;
    const auto fw = static_cast<float>(w), fh = static_cast<float>(h);
    const auto startX = static_cast<std::int64_t>(Wrapped(TileOffsetX, 0, fw)) - w;
    const auto startY = static_cast<std::int64_t>(Wrapped(TileOffsetY, 0, fh)) - h;
    const std::int64_t columns = ScreenWidth / w + 2, rows = ScreenHeight / h + 2;
    for (std::int64_t j = 0; j < rows; ++j)
        for (std::int64_t i = 0; i < columns; ++i)
            Draw(static_cast<int>(startX + i * w), static_cast<int>(startY + j * h), no, left, top,
                 right, bottom);
    TileOffsetX = Wrapped(TileOffsetX, FrameSeconds * speedX, fw);
    TileOffsetY = Wrapped(TileOffsetY, FrameSeconds * speedY, fh);
}

void RowRepeat(int x, int y, int factor, ObjectNo no, int left, int top, int right, int bottom) {
    const std::int64_t step = factor > 1 ? factor : 1;
    for (std::int64_t r = top; r < bottom; r += step)
        for (std::int64_t k = 0; k < step && r + k < bottom; ++k)
            DrawRow(x, y + (r - top) + k, no, left, right, r);
}

// Each drawn row keeps its own place; step 0 picks no row.
void RowSkip(int x, int y, int step, ObjectNo no, int left, int top, int right, int bottom) {
    if (step == 0) return;
    for (std::int64_t r = top;;) {
        r += step > 0 ? step : 1 + std::rand() % -std::int64_t{step};
        if (r >= bottom) return;
        DrawRow(x, y + (r - top), no, left, right, r);
    }
}

void RowJitter(int x, int y, int range, ObjectNo no, int left, int top, int right, int bottom) {
    if (range <= 0) {
        Draw(x, y, no, left, top, right, bottom);
        return;
    }
    for (std::int64_t r = top; r < bottom; ++r)
        DrawRow(x + std::rand() % (2 * std::int64_t{range}) - range, y + (r - top), no, left, right,
                r);
}

// A drum turning about a horizontal axis. The h rows sit on its front half at
// angles a(k) = -90° + 180°·k/h; row k covers the destination band from
// h/2 + sin(a(k))·h/2 to the next row's start, so middle rows are tall and edge
// rows thin or gone. Band k shows source row k - scroll (wrapping), the scroll
// moving down for direction > 0 and up for direction < 0.
void RowSqueeze(int x, int y, int direction, float speed, ObjectNo no, int left, int top, int right,
                int bottom) {
    const std::int64_t h = std::int64_t{bottom} - top;
    if (h <= 0) return;
    const auto edge = [h](std::int64_t k) {
        return std::llround(h / 2.0 + std::sin((-90.0 + 180.0 * k / h) * PI / 180) * h / 2.0);
    };
    const auto shift = static_cast<std::int64_t>(Wrapped(SqueezeScroll, 0, static_cast<float>(h)));
    std::int64_t from = edge(0);
    for (std::int64_t k = 0; k < h; ++k) {
        const std::int64_t to = edge(k + 1);
        const std::int64_t source = top + ((k - shift) % h + h) % h;
        for (; from < to; ++from) DrawRow(x, y + from, no, left, right, source, true);
    }
    const float way = direction > 0 ? 1.0f : direction < 0 ? -1.0f : 0.0f;
    SqueezeScroll = Wrapped(SqueezeScroll, FrameSeconds * speed * way, static_cast<float>(h));
}

} // namespace elDraw
