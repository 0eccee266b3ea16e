// Pens, brushes and the shapes drawn with them on a device context: lines
// without their end point, rectangles, polygons, Bézier curves, inversion.
#pragma once

#include "platform/win/gdi.h"

#include <cstdint>

namespace platform {

struct POINT {
    int x, y;
};

// Pen styles.
constexpr int PS_SOLID = 0;
// Brush styles and hatches.
constexpr UINT BS_SOLID = 0;
constexpr UINT BS_HOLLOW = 1;
constexpr UINT BS_HATCHED = 2;
constexpr int HS_HORIZONTAL = 0;
constexpr int HS_VERTICAL = 1;
constexpr int HS_FDIAGONAL = 2;
constexpr int HS_BDIAGONAL = 3;
constexpr int HS_CROSS = 4;
constexpr int HS_DIAGCROSS = 5;

struct Pen {
    int style;
    int width; // 0 or 1: one pixel
    COLORREF color;
};

struct LOGBRUSH {
    UINT lbStyle;
    COLORREF lbColor;
    std::uintptr_t lbHatch;
};

struct Brush {
    LOGBRUSH log;
};

HPEN CreatePen(int style, int width, COLORREF color);
HBRUSH CreateBrushIndirect(const LOGBRUSH* brush);
// Selects a tool into the context and returns the one it replaces; null
// stands for the stock black one-pixel pen and white brush.
HPEN SelectObject(HDC dc, HPEN pen);
HBRUSH SelectObject(HDC dc, HBRUSH brush);
// The context's pen and brush, the stock ones where none is selected.
const Pen& PenOf(HDC dc);
const Brush& BrushOf(HDC dc);
BOOL DeleteObject(HPEN pen);
BOOL DeleteObject(HBRUSH brush);

int SetBkMode(HDC dc, int mode);
COLORREF SetBkColor(HDC dc, COLORREF color);

BOOL MoveToEx(HDC dc, int x, int y, POINT* previous);
// Draws from the current position to (x, y) and moves there; with a one-pixel
// pen the point (x, y) itself is left undrawn.
BOOL LineTo(HDC dc, int x, int y);
// Outline on (left, top)-(right - 1, bottom - 1), inside filled with the brush.
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
// Closed outline, inside (alternate rule) filled with the brush.
BOOL Polygon(HDC dc, const POINT* points, int count);
// Cubic curves through 3n + 1 points.
BOOL PolyBezier(HDC dc, const POINT* points, int count);
// Inverts the colour bits of every pixel of the rectangle.
BOOL InvertRect(HDC dc, const RECT* rect);

} // namespace platform
