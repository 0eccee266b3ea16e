// Drawing contexts on surfaces, drawn on by the system's GDI through the
// surface's own memory, and on decoded bitmaps (whose pixels the system reads
// as a 32-bit bitmap). Pens and brushes are the platform's records; each shape
// is drawn with the system's pen and brush made from them for the call.
#include "platform/win/gdi_shapes.h"

#include "platform/win/surface_context.h"


namespace platform {

namespace {

BITMAPINFO BitmapInfoOf(const DecodedImage& image) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// The system's context of a surface context, with the context's modes set.
::HDC Native(HDC dc) {
    if (!dc || !dc->surface) return nullptr;
    auto native = static_cast<::HDC>(dc->native);
    if (!native) return nullptr;
    ::SetBkMode(native, dc->backMode);
    ::SetBkColor(native, dc->backColor);
    ::SetTextColor(native, dc->textColor);
    return native;
}

// Draws with the system's versions of the context's pen and brush; what was
// drawn reaches the surface's memory before this returns.
template <typename Drawing> BOOL WithTools(HDC dc, Drawing drawing) {
    ::HDC native = Native(dc);
    if (!native) return 0;
    const Pen& pen = PenOf(dc);
    const LOGBRUSH& brush = BrushOf(dc).log;
    ::HPEN realPen = ::CreatePen(pen.style, pen.width, pen.color);
    ::LOGBRUSH realBrush{brush.lbStyle, brush.lbColor, brush.lbHatch};
    ::HBRUSH brushMade = ::CreateBrushIndirect(&realBrush);
    ::HGDIOBJ oldPen = ::SelectObject(native, realPen);
    ::HGDIOBJ oldBrush = ::SelectObject(native, brushMade);
    const BOOL done = drawing(native);
    ::SelectObject(native, oldPen);
    ::SelectObject(native, oldBrush);
    ::DeleteObject(realPen);
    ::DeleteObject(brushMade);
    GdiFlush();
    return done;
}

} // namespace

HRESULT GetDC(Surface* surface, HDC* dc) {
    *dc = nullptr;
    if (!surface) return DDERR_INVALIDPARAMS;
    if (surface->lost) return DDERR_SURFACELOST;
    ::HDC native = windows::SurfaceContext(*surface);
    if (!native) return DDERR_GENERIC;
    *dc = new DeviceContext{surface, nullptr};
    (*dc)->native = native;
    return DD_OK;
}

HRESULT ReleaseDC(Surface* surface, HDC dc) {
    if (!dc || dc->surface != surface) return DDERR_INVALIDPARAMS;
    GdiFlush();
    delete dc;
    ShowIfPrimary(surface);
    return DD_OK;
}

HDC CreateBitmapDC(DecodedImage* bitmap) { return new DeviceContext{nullptr, bitmap}; }

void DeleteDC(HDC dc) { delete dc; }

COLORREF GetPixel(HDC dc, int x, int y) {
    if (dc && dc->bitmap) {
        const DecodedImage& image = *dc->bitmap;
        if (x < 0 || y < 0 || x >= image.width || y >= image.height) return CLR_INVALID;
        const std::uint32_t rgb = image.pixels[static_cast<std::size_t>(y) * image.width + x];
        return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
    }
    ::HDC native = Native(dc);
    return native ? ::GetPixel(native, x, y) : CLR_INVALID;
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color) {
    if (dc && dc->bitmap) {
        DecodedImage& image = *dc->bitmap;
        if (x < 0 || y < 0 || x >= image.width || y >= image.height) return CLR_INVALID;
        image.pixels[static_cast<std::size_t>(y) * image.width + x] =
            ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
        return color;
    }
    ::HDC native = Native(dc);
    if (!native) return CLR_INVALID;
    const COLORREF set = ::SetPixel(native, x, y, color);
    GdiFlush();
    return set;
}

BOOL StretchBlt(HDC dst, int x, int y, int width, int height, HDC src, int sourceX, int sourceY,
                int sourceWidth, int sourceHeight, DWORD rop) {
    ::HDC target = Native(dst);
    if (!target || !src || width <= 0 || height <= 0 || sourceWidth <= 0 || sourceHeight <= 0)
        return 0;
    ::SetStretchBltMode(target, COLORONCOLOR);
    BOOL done;
    if (src->bitmap) {
        // The decoded image's rows are bottom-up for the system's source origin.
        const BITMAPINFO info = BitmapInfoOf(*src->bitmap);
        done =
            StretchDIBits(target, x, y, width, height, sourceX,
                          src->bitmap->height - sourceY - sourceHeight, sourceWidth, sourceHeight,
                          src->bitmap->pixels.data(), &info, DIB_RGB_COLORS, rop) != 0;
    } else {
        ::HDC source = Native(src);
        done = source && ::StretchBlt(target, x, y, width, height, source, sourceX, sourceY,
                                      sourceWidth, sourceHeight, rop);
    }
    GdiFlush();
    return done;
}

BOOL LineTo(HDC dc, int x, int y) {
    const BOOL done = WithTools(dc, [&](::HDC native) {
        ::MoveToEx(native, dc->currentX, dc->currentY, nullptr);
        return ::LineTo(native, x, y);
    });
    if (dc) {
        dc->currentX = x;
        dc->currentY = y;
    }
    return done;
}

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom) {
    return WithTools(dc,
                     [&](::HDC native) { return ::Rectangle(native, left, top, right, bottom); });
}

BOOL Polygon(HDC dc, const POINT* points, int count) {
    if (!points || count < 2) return 0;
    return WithTools(dc, [&](::HDC native) {
        return ::Polygon(native, reinterpret_cast<const ::POINT*>(points), count);
    });
}

BOOL PolyBezier(HDC dc, const POINT* points, int count) {
    if (!points || count < 4 || (count - 1) % 3 != 0) return 0;
    return WithTools(dc, [&](::HDC native) {
        return ::PolyBezier(native, reinterpret_cast<const ::POINT*>(points),
                            static_cast<::DWORD>(count));
    });
}

BOOL InvertRect(HDC dc, const RECT* rect) {
    ::HDC native = Native(dc);
    if (!native || !rect) return 0;
    const ::RECT area{rect->left, rect->top, rect->right, rect->bottom};
    const BOOL done = ::InvertRect(native, &area);
    GdiFlush();
    return done;
}

} // namespace platform
