// Drawing contexts on surfaces and on decoded bitmaps: pixels and stretched
// copies with colours given as 0x00BBGGRR.
#pragma once

#include "platform/formats/bmp.h"
#include "platform/win/display.h"

namespace platform {

// Drawing tools; each kind is defined where it is drawn with.
struct Pen;
struct Brush;
struct Font;
using HPEN = Pen*;
using HBRUSH = Brush*;
using HFONT = Font*;

constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

struct DeviceContext {
    Surface* surface = nullptr;     // drawing on a display surface, or
    DecodedImage* bitmap = nullptr; // on a bitmap selected into a memory context
    // Selected tools (null: the stock ones) and modes.
    HPEN pen = nullptr;
    HBRUSH brush = nullptr;
    HFONT font = nullptr;
    COLORREF textColor = 0x000000;
    COLORREF backColor = 0xFFFFFF;
    int backMode = OPAQUE;
    int currentX = 0, currentY = 0;
    // The system's own context on the surface, where the backend draws with
    // the system's GDI (the native Windows backend); null elsewhere.
    void* native = nullptr;
};
using HDC = DeviceContext*;

constexpr COLORREF CLR_INVALID = 0xFFFFFFFFu;
constexpr DWORD SRCCOPY = 0x00CC0020;

HRESULT GetDC(Surface* surface, HDC* dc);
HRESULT ReleaseDC(Surface* surface, HDC dc);
// A memory context showing a bitmap.
HDC CreateBitmapDC(DecodedImage* bitmap);
void DeleteDC(HDC dc);

COLORREF GetPixel(HDC dc, int x, int y);
COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);
BOOL StretchBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX,
                int sourceY, int sourceWidth, int sourceHeight, DWORD rop);

} // namespace platform
