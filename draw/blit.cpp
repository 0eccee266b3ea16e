// Blits of object rectangles onto the back buffer or onto objects, clipped to
// ClipRect; the back-buffer capture; stretched and mirrored copies.
#include "draw/draw.h"
#include "draw/draw_state.h"
#include "platform/win/gdi.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace elDraw {

namespace {

using platform::RECT;

// Two's-complement 32-bit sum and difference: the clip rule is defined on
// wrapping signed 32-bit values, and this keeps absurd coordinates defined.
int Plus(int a, int b) {
    return static_cast<int>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}
int Minus(int a, int b) {
    return static_cast<int>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

} // namespace

bool Clip(int& x, int& y, RECT& r) {
    const ClipRectangle& c = ClipRect;
    if (Plus(x, Minus(r.right, r.left)) > c.right) r.right = Plus(r.left, Minus(c.right, x));
    if (Plus(y, Minus(r.bottom, r.top)) > c.bottom) r.bottom = Plus(r.top, Minus(c.bottom, y));
    if (x < c.left) {
        r.left = Plus(r.left, Minus(c.left, x));
        x = c.left;
    }
    if (y < c.top) {
        r.top = Plus(r.top, Minus(c.top, y));
        y = c.top;
    }
    return r.right >= r.left && r.bottom >= r.top;
}

namespace {

// A lost surface brings all surfaces back; the drawing of that blit is lost.
platform::HRESULT AfterBlit(platform::HRESULT result) {
    if (result == platform::DDERR_SURFACELOST) Restore();
    return result;
}

platform::HRESULT ClippedBlit(platform::Surface* destination, int x, int y, ObjectNo no, int left,
                              int top, int right, int bottom, DWORD flags) {
    RECT source{left, top, right, bottom};
    if (!Clip(x, y, source)) return platform::DD_OK;
    return AfterBlit(platform::BltFast(destination, x, y, SurfaceOf(no), &source, flags));
}

constexpr DWORD KEYED = platform::DDBLTFAST_SRCCOLORKEY | platform::DDBLTFAST_WAIT;
constexpr DWORD OPAQUE = platform::DDBLTFAST_WAIT;

void Stretch(int x, int y, ObjectNo no, int left, int top, int right, int bottom, int width,
             int height, bool keyed) {
    if (StretchCapable == 1) {
        RECT destination{x, y, Plus(x, width), Plus(y, height)};
        RECT source{left, top, right, bottom};
        DWORD flags = platform::DDBLT_WAIT | (keyed ? platform::DDBLT_KEYSRC : 0);
        AfterBlit(platform::Blt(BackBuffer, &destination, SurfaceOf(no), &source, flags));
        return;
    }
    // Stretch into internal object 0 with GDI, then blit that like any object.
    platform::Surface* scratch = ObjectTable[0].Surface;
    platform::Surface* from = SurfaceOf(no);
    platform::HDC scratchDC = nullptr, fromDC = nullptr;
    platform::GetDC(scratch, &scratchDC);
    platform::GetDC(from, &fromDC);
    platform::StretchBlt(scratchDC, 0, 0, width, height, fromDC, left, top, Minus(right, left),
                         Minus(bottom, top), platform::SRCCOPY);
    platform::ReleaseDC(from, fromDC);
    platform::ReleaseDC(scratch, scratchDC);
    if (keyed)
        Draw(x, y, 0, 0, 0, width, height);
    else
        DrawOpaque(x, y, 0, 0, 0, width, height);
}

// One axis of a mirrored copy: destination offset i takes source coordinate
// first + step * i (step 1, or -1 when mirrored).
struct Axis {
    std::int64_t first;
    int step;
};

// The offsets [low, high) among the first `count` that fall inside both the
// destination (from `to`, `toSize` long) and the source along one axis.
std::pair<std::int64_t, std::int64_t> Inside(std::int64_t to, int toSize, Axis from, int fromSize,
                                             std::int64_t count) {
    std::int64_t low = std::max<std::int64_t>(0, -to);
    std::int64_t high = std::min<std::int64_t>(count, toSize - to);
    if (from.step > 0) {
        low = std::max(low, -from.first);
        high = std::min(high, fromSize - from.first);
    } else {
        low = std::max(low, from.first - fromSize + 1);
        high = std::min(high, from.first + 1);
    }
    return {low, high};
}

// Copies pixel by pixel, skipping value 0, only where both surfaces have pixels.
template <typename Pixel>
void MirrorCopy(const platform::Surface& target, std::uint8_t* to, int toPitch, int x, int y,
                const platform::Surface& source, const std::uint8_t* from, int fromPitch,
                Axis across, Axis down, std::int64_t width, std::int64_t height) {
    const auto [left, right] = Inside(x, target.width, across, source.width, width);
    const auto [top, bottom] = Inside(y, target.height, down, source.height, height);
    for (std::int64_t j = top; j < bottom; ++j) {
        const auto* s =
            reinterpret_cast<const Pixel*>(from + (down.first + down.step * j) * fromPitch);
        auto* d = reinterpret_cast<Pixel*>(to + (y + j) * toPitch);
        for (std::int64_t i = left; i < right; ++i) {
            const Pixel p = s[across.first + across.step * i];
            if (p != 0) d[x + i] = p;
        }
    }
}

} // namespace

void Draw(int x, int y, ObjectNo no, int left, int top, int right, int bottom) {
    ClippedBlit(BackBuffer, x, y, no, left, top, right, bottom, KEYED);
}

void DrawOpaque(int x, int y, ObjectNo no, int left, int top, int right, int bottom) {
    ClippedBlit(BackBuffer, x, y, no, left, top, right, bottom, OPAQUE);
}

platform::HRESULT DrawTo(ObjectNo destination, int x, int y, ObjectNo no, int left, int top,
                         int right, int bottom) {
    return ClippedBlit(SurfaceOf(destination), x, y, no, left, top, right, bottom, KEYED);
}

platform::HRESULT DrawOpaqueTo(ObjectNo destination, int x, int y, ObjectNo no, int left, int top,
                               int right, int bottom) {
    return ClippedBlit(SurfaceOf(destination), x, y, no, left, top, right, bottom, OPAQUE);
}

void Capture(ObjectNo no, int left, int top, int right, int bottom) {
    RECT source{left, top, right, bottom};
    AfterBlit(platform::BltFast(SurfaceOf(no), 0, 0, BackBuffer, &source, OPAQUE));
}

void StretchDraw(int x, int y, ObjectNo no, int left, int top, int right, int bottom, int width,
                 int height) {
    Stretch(x, y, no, left, top, right, bottom, width, height, true);
}

void StretchDrawOpaque(int x, int y, ObjectNo no, int left, int top, int right, int bottom,
                       int width, int height) {
    Stretch(x, y, no, left, top, right, bottom, width, height, false);
}

// A mirrored axis reads the source backwards from the pixel that the mirror of
// the whole rectangle puts at the clipped rectangle's first row or column, so
// the part inside the clip shows what the whole mirrored picture shows there.
int FlipDraw(int x, int y, int mirror, ObjectNo no, int left, int top, int right, int bottom) {
    // First plus last column (row) of the whole rectangle: a mirrored pixel's
    // source coordinate is this minus the unmirrored one.
    const std::int64_t acrossX = std::int64_t{left} + right - 1;
    const std::int64_t acrossY = std::int64_t{top} + bottom - 1;
    RECT r{left, top, right, bottom};
    if (!Clip(x, y, r)) return 1;
    platform::Surface* source = SurfaceOf(no);
    void* from = nullptr;
    void* to = nullptr;
    int fromPitch = 0, toPitch = 0;
    if (platform::Lock(source, &from, &fromPitch) != platform::DD_OK) return 0;
    if (platform::Lock(BackBuffer, &to, &toPitch) != platform::DD_OK) {
        platform::Unlock(source);
        return 0;
    }
    const Axis across = mirror & 1 ? Axis{acrossX - r.left, -1} : Axis{r.left, 1};
    const Axis down = mirror & 2 ? Axis{acrossY - r.top, -1} : Axis{r.top, 1};
    const std::int64_t width = std::int64_t{r.right} - r.left;
    const std::int64_t height = std::int64_t{r.bottom} - r.top;
    auto* d = static_cast<std::uint8_t*>(to);
    const auto* s = static_cast<const std::uint8_t*>(from);
    // Surfaces of one display share its depth, 16 or 32 bits.
    if (source->format.bits == BackBuffer->format.bits) {
        if (source->format.bits == 16)
            MirrorCopy<std::uint16_t>(*BackBuffer, d, toPitch, x, y, *source, s, fromPitch, across,
                                      down, width, height);
        else
            MirrorCopy<std::uint32_t>(*BackBuffer, d, toPitch, x, y, *source, s, fromPitch, across,
                                      down, width, height);
    }
    platform::Unlock(BackBuffer);
    platform::Unlock(source);
    return 1;
}

} // namespace elDraw
