// Colour keys: the raw pixel value that keyed blits leave transparent.
#include "draw/draw.h"
#include "draw/draw_state.h"
#include "platform/win/gdi.h"

#include <algorithm>
#include <cstring>

namespace elDraw {

int KeyTopLeftFlag = 0;
COLORREF KeyModeColor = 0;

void KeyColor(COLORREF color) {
    KeyModeColor = color;
    KeyTopLeftFlag = 0;
}

void KeyTopLeft() { KeyTopLeftFlag = 1; }

// The surface's raw value for a colour: the colour is written into the
// top-left pixel through the surface's context and read back raw. -1 reads
// the top-left pixel as it is.
std::uint32_t MatchColor(platform::Surface* surface, COLORREF color) {
    const bool write = color != 0xFFFFFFFFu;
    COLORREF saved = 0;
    platform::HDC dc = nullptr;
    if (write && platform::GetDC(surface, &dc) == platform::DD_OK) {
        saved = platform::GetPixel(dc, 0, 0);
        platform::SetPixel(dc, 0, 0, color);
        platform::ReleaseDC(surface, dc);
    }
    void* bits = nullptr;
    int pitch = 0;
    platform::HRESULT result;
    do {
        result = platform::Lock(surface, &bits, &pitch);
    } while (result == platform::DDERR_WASSTILLDRAWING);
    std::uint32_t value = 0xFFFFFFFFu;
    if (result == platform::DD_OK) {
        // The first word of the surface; a tiny surface may hold fewer bytes.
        value = 0;
        std::memcpy(&value, bits, std::min<std::size_t>(4, surface->memory.size()));
        if (surface->format.bits < 32) value &= (1u << surface->format.bits) - 1;
        platform::Unlock(surface);
    }
    if (write && platform::GetDC(surface, &dc) == platform::DD_OK) {
        platform::SetPixel(dc, 0, 0, saved);
        platform::ReleaseDC(surface, dc);
    }
    return value;
}

namespace {

platform::HRESULT SetKey(platform::Surface* surface, COLORREF color) {
    std::uint32_t value = MatchColor(surface, color);
    return platform::SetColorKey(surface, value, value);
}

} // namespace

platform::HRESULT SetObjectKey(ObjectNo no, int color) {
    if (!InTable(no)) return platform::DDERR_INVALIDPARAMS;
    ObjectTable[no].KeyColor = color;
    return SetKey(ObjectTable[no].Surface, static_cast<COLORREF>(color));
}

platform::HRESULT SetObjectKeyTopLeft(ObjectNo no) { return SetObjectKey(no, -1); }

// A source without a key (or without a surface) leaves the destination's key as it is.
platform::HRESULT CopyKey(ObjectNo destination, ObjectNo source) {
    std::uint32_t low = 0, high = 0;
    const platform::HRESULT read = platform::GetColorKey(SurfaceOf(source), &low, &high);
    if (read != platform::DD_OK) return read;
    return platform::SetColorKey(SurfaceOf(destination), low, high);
}

void KeyPerMode(ObjectNo no) {
    if (KeyTopLeftFlag)
        SetObjectKey(no, -1);
    else
        SetObjectKey(no, static_cast<int>(KeyModeColor));
}

} // namespace elDraw
