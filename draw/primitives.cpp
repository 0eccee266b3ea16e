// Primitives on the back buffer: GDI shapes, each drawn with a pen and brush
// made for the call, and fills of raw pixel values by the display device.
#include "draw/draw.h"
#include "system/system.h"

#include <algorithm>
#include <climits>
#include <cstddef>

namespace elDraw {

namespace {

using platform::HRESULT;

// Takes the back buffer's context, makes and selects a solid pen (and the brush
// when one is given), draws, selects the previous tools back, deletes the made
// ones and gives the context back. Nothing is drawn without a context.
template <typename Drawing>
HRESULT WithTools(COLORREF penColor, int width, const platform::LOGBRUSH* brushStyle,
                  Drawing drawing) {
    if (platform::HDC dc = GetBackDC()) {
        platform::HPEN pen = platform::CreatePen(platform::PS_SOLID, width, penColor);
        platform::HBRUSH brush = brushStyle ? platform::CreateBrushIndirect(brushStyle) : nullptr;
        platform::HPEN oldPen = platform::SelectObject(dc, pen);
        platform::HBRUSH oldBrush = brush ? platform::SelectObject(dc, brush) : nullptr;
        drawing(dc);
        platform::SelectObject(dc, oldPen);
        if (brush) platform::SelectObject(dc, oldBrush);
        platform::DeleteObject(pen);
        if (brush) platform::DeleteObject(brush);
    }
    return ReleaseBackDC();
}

HRESULT Fill(platform::Surface* surface, int left, int top, int right, int bottom,
             std::uint32_t value) {
    const platform::RECT area{left, top, right, bottom};
    return platform::Blt(surface, &area, nullptr, nullptr,
                         platform::DDBLT_WAIT | platform::DDBLT_COLORFILL, value);
}

// v + d, held inside the int range.
int Offset(int v, int d) {
    return static_cast<int>(std::clamp<long long>(static_cast<long long>(v) + d, INT_MIN, INT_MAX));
}

// Halves every channel of the pixels and adds the halved colour c.
template <typename Pixel>
void Shade(std::uint8_t* row, int left, int right, std::uint32_t half, std::uint32_t c) {
    Pixel* pixels = reinterpret_cast<Pixel*>(row);
    for (int x = left; x < right; ++x)
        pixels[x] = static_cast<Pixel>(((pixels[x] >> 1) & half) + c);
}

} // namespace

HRESULT Line(int x1, int y1, int x2, int y2, COLORREF color, int width) {
    return WithTools(color, width, nullptr, [&](platform::HDC dc) {
        platform::MoveToEx(dc, x1, y1, nullptr);
        platform::LineTo(dc, x2, y2);
    });
}

HRESULT Box(int left, int top, int right, int bottom, COLORREF fillColor, COLORREF lineColor,
            int width) {
    const platform::LOGBRUSH brush{platform::BS_SOLID, fillColor, 0};
    return WithTools(lineColor, width, &brush,
                     [&](platform::HDC dc) { platform::Rectangle(dc, left, top, right, bottom); });
}

HRESULT Polygon(const platform::POINT* points, int count, COLORREF color, COLORREF backColor,
                int width, int fill) {
    const platform::LOGBRUSH brush{fill ? platform::BS_HATCHED : platform::BS_HOLLOW, color,
                                   platform::HS_DIAGCROSS};
    return WithTools(color, width, &brush, [&](platform::HDC dc) {
        if (fill == 2)
            platform::SetBkMode(dc, platform::TRANSPARENT);
        else
            platform::SetBkColor(dc, backColor);
        platform::Polygon(dc, points, count);
    });
}

HRESULT Bezier(const platform::POINT* points, int count, COLORREF color, int width) {
    return WithTools(color, width, nullptr,
                     [&](platform::HDC dc) { platform::PolyBezier(dc, points, count); });
}

void GetPixel(int x, int y, int& red, int& green, int& blue) {
    const COLORREF color = platform::GetPixel(GetBackDC(), x, y);
    ReleaseBackDC();
    red = color & 0xFF;
    green = (color >> 8) & 0xFF;
    blue = (color >> 16) & 0xFF;
}

HRESULT SetPixel(int x, int y, COLORREF color) {
    if (platform::HDC dc = GetBackDC()) platform::SetPixel(dc, x, y, color);
    return ReleaseBackDC();
}

HRESULT InvertRect(int left, int top, int right, int bottom) {
    const platform::RECT area{left, top, right, bottom};
    if (platform::HDC dc = GetBackDC()) platform::InvertRect(dc, &area);
    return ReleaseBackDC();
}

HRESULT Clear() { return Fill(BackBuffer, 0, 0, ScreenWidth, ScreenHeight, 0); }

HRESULT ClearObject(ObjectNo no) {
    if (!InTable(no)) return platform::DDERR_INVALIDPARAMS;
    const ObjectEntry& entry = ObjectTable[no];
    return Fill(entry.Surface, 0, 0, entry.Width, entry.Height, 0);
}

HRESULT ClearRect(int left, int top, int right, int bottom) {
    return Fill(BackBuffer, left, top, right, bottom, 0);
}

HRESULT FrameRect(int left, int top, int right, int bottom) {
    Fill(BackBuffer, left, top, right, Offset(top, 1), 0);
    Fill(BackBuffer, left, Offset(bottom, -1), right, bottom, 0);
    Fill(BackBuffer, left, top, Offset(left, 1), bottom, 0);
    return Fill(BackBuffer, Offset(right, -1), top, right, bottom, 0);
}

HRESULT ClearWhite() {
    return Fill(BackBuffer, 0, 0, ScreenWidth, ScreenHeight, PixelFormat.WhiteMask);
}

HRESULT WhiteRect(int left, int top, int right, int bottom) {
    return Fill(BackBuffer, left, top, right, bottom, PixelFormat.WhiteMask);
}

HRESULT FillRect(int left, int top, int right, int bottom, int value) {
    return Fill(BackBuffer, left, top, right, bottom, static_cast<std::uint32_t>(value) & 0xFFFF);
}

int ShadeRect(int left, int top, int right, int bottom, int value) {
    right = std::min(right, ClipRect.right);
    bottom = std::min(bottom, ClipRect.bottom);
    left = std::max(left, ClipRect.left);
    top = std::max(top, ClipRect.top);
    if (right < left || bottom < top) return 1;
    void* bits = nullptr;
    int pitch = 0;
    if (platform::Lock(BackBuffer, &bits, &pitch) != platform::DD_OK) return 0;
    // The clip rectangle may reach beyond the surface.
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, BackBuffer->width);
    bottom = std::min(bottom, BackBuffer->height);
    const std::uint32_t half = PixelFormat.HalfMask;
    const std::uint32_t c = ((static_cast<std::uint32_t>(value) & 0xFFFF) >> 1) & half;
    for (int y = top; y < bottom; ++y) {
        std::uint8_t* row = static_cast<std::uint8_t*>(bits) + static_cast<std::size_t>(y) * pitch;
        if (BackBuffer->format.bits == 16)
            Shade<std::uint16_t>(row, left, right, half, c);
        else
            Shade<std::uint32_t>(row, left, right, half, c);
    }
    platform::Unlock(BackBuffer);
    return 1;
}

} // namespace elDraw
