// The tools and state a device context keeps, the same on every system: pens
// and brushes as the platform's records, the background mode and colour, the
// current point. Each system's shapes draw with what these record.
#include "platform/win/gdi_shapes.h"

#include <utility>

namespace platform {

namespace {

const Pen StockPen{PS_SOLID, 1, 0x000000};
const Brush StockBrush{{BS_SOLID, 0xFFFFFF, 0}};

} // namespace

const Pen& PenOf(HDC dc) { return dc->pen ? *dc->pen : StockPen; }
const Brush& BrushOf(HDC dc) { return dc->brush ? *dc->brush : StockBrush; }

HPEN CreatePen(int style, int width, COLORREF color) { return new Pen{style, width, color}; }

HBRUSH CreateBrushIndirect(const LOGBRUSH* brush) { return brush ? new Brush{*brush} : nullptr; }

HPEN SelectObject(HDC dc, HPEN pen) {
    if (!dc) return nullptr;
    return std::exchange(dc->pen, pen);
}

HBRUSH SelectObject(HDC dc, HBRUSH brush) {
    if (!dc) return nullptr;
    return std::exchange(dc->brush, brush);
}

BOOL DeleteObject(HPEN pen) {
    delete pen;
    return pen != nullptr;
}

BOOL DeleteObject(HBRUSH brush) {
    delete brush;
    return brush != nullptr;
}

int SetBkMode(HDC dc, int mode) {
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    return std::exchange(dc->backMode, mode);
}

COLORREF SetBkColor(HDC dc, COLORREF color) {
    if (!dc) return CLR_INVALID;
    return std::exchange(dc->backColor, color);
}

BOOL MoveToEx(HDC dc, int x, int y, POINT* previous) {
    if (!dc) return 0;
    if (previous) *previous = {dc->currentX, dc->currentY};
    dc->currentX = x;
    dc->currentY = y;
    return 1;
}

} // namespace platform
