#include "platform/win/gdi.h"

namespace platform {

namespace {

int Width(HDC dc) { return dc->surface ? dc->surface->width : dc->bitmap->width; }
int Height(HDC dc) { return dc->surface ? dc->surface->height : dc->bitmap->height; }

bool Inside(HDC dc, int x, int y) { return x >= 0 && y >= 0 && x < Width(dc) && y < Height(dc); }

// Pixels read and written without a range check; callers check first.
COLORREF Read(HDC dc, int x, int y) {
    if (dc->bitmap) {
        std::uint32_t rgb = dc->bitmap->pixels[static_cast<std::size_t>(y) * dc->bitmap->width + x];
        return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
    }
    const Surface& s = *dc->surface;
    const std::uint8_t* row = s.memory.data() + static_cast<std::size_t>(y) * s.pitch;
    std::uint32_t value = s.format.bits == 16 ? reinterpret_cast<const std::uint16_t*>(row)[x]
                                              : reinterpret_cast<const std::uint32_t*>(row)[x];
    return UnpackColor(s.format, value);
}

void Write(HDC dc, int x, int y, COLORREF color) {
    if (dc->bitmap) {
        dc->bitmap->pixels[static_cast<std::size_t>(y) * dc->bitmap->width + x] =
            ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
        return;
    }
    Surface& s = *dc->surface;
    std::uint8_t* row = s.memory.data() + static_cast<std::size_t>(y) * s.pitch;
    std::uint32_t value = PackColor(s.format, color);
    if (s.format.bits == 16)
        reinterpret_cast<std::uint16_t*>(row)[x] = static_cast<std::uint16_t>(value);
    else
        reinterpret_cast<std::uint32_t*>(row)[x] = value;
}

} // namespace

HRESULT GetDC(Surface* surface, HDC* dc) {
    *dc = nullptr;
    if (!surface) return DDERR_INVALIDPARAMS;
    if (surface->lost) return DDERR_SURFACELOST;
    *dc = new DeviceContext{surface, nullptr};
    return DD_OK;
}

HRESULT ReleaseDC(Surface* surface, HDC dc) {
    if (!dc || dc->surface != surface) return DDERR_INVALIDPARAMS;
    delete dc;
    ShowIfPrimary(surface);
    return DD_OK;
}

HDC CreateBitmapDC(DecodedImage* bitmap) { return new DeviceContext{nullptr, bitmap}; }

void DeleteDC(HDC dc) { delete dc; }

COLORREF GetPixel(HDC dc, int x, int y) {
    if (!dc || !Inside(dc, x, y)) return CLR_INVALID;
    return Read(dc, x, y);
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color) {
    if (!dc || !Inside(dc, x, y)) return CLR_INVALID;
    Write(dc, x, y, color);
    return Read(dc, x, y);
}

BOOL StretchBlt(HDC dst, int x, int y, int width, int height, HDC src, int sourceX, int sourceY,
                int sourceWidth, int sourceHeight, DWORD) {
    if (!dst || !src || width <= 0 || height <= 0 || sourceWidth <= 0 || sourceHeight <= 0)
        return 0;
    for (int row = 0; row < height; ++row) {
        int dy = y + row;
        int sy = sourceY + static_cast<int>(static_cast<long long>(row) * sourceHeight / height);
        if (dy < 0 || dy >= Height(dst) || sy < 0 || sy >= Height(src)) continue;
        for (int col = 0; col < width; ++col) {
            int dx = x + col;
            int sx = sourceX + static_cast<int>(static_cast<long long>(col) * sourceWidth / width);
            if (dx < 0 || dx >= Width(dst) || sx < 0 || sx >= Width(src)) continue;
            Write(dst, dx, dy, Read(src, sx, sy));
        }
    }
    return 1;
}

} // namespace platform
