// The display device and its surfaces, kept in memory. The backend only shows
// the primary surface; every copy, fill and key test happens here.
#include "platform/win/display.h"

#include "platform/backend.h"

#include <algorithm>
#include <cstring>
#include <set>

namespace platform {

namespace {

bool open = false;
PixelFormat displayFormat;
int displayWidth = 0, displayHeight = 0;
Surface* primary = nullptr;
// The part of the primary surface written since the backend last showed it.
RECT unshown{};
std::set<Surface*> surfaces;

// The one device this system offers: no 3D hardware, stretching blits emulated.
constexpr DeviceCaps OurDevice{0, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_PRIMARYSURFACE};
constexpr DeviceCaps OurEmulation{
    DDCAPS_BLTSTRETCH, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_PRIMARYSURFACE | DDSCAPS_SYSTEMMEMORY};

int BytesPerPixel(const Surface& s) { return s.format.bits / 8; }

bool IsEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

RECT Whole(const Surface& s) { return {0, 0, s.width, s.height}; }

void AddUnshown(const RECT& r) {
    if (IsEmpty(r)) return;
    if (IsEmpty(unshown)) {
        unshown = r;
        return;
    }
    unshown = {std::min(unshown.left, r.left), std::min(unshown.top, r.top),
               std::max(unshown.right, r.right), std::max(unshown.bottom, r.bottom)};
}

std::uint8_t* Row(Surface& s, int y) {
    return s.memory.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(s.pitch);
}

// Clips a source rectangle against the source surface and the destination
// (whose top-left is x, y). False when nothing is left to copy. Works in 64
// bits so that coordinates near the ends of the int range cannot wrap.
bool ClipCopy(const Surface& dst, int& x, int& y, const Surface& src, RECT& r) {
    long long left = r.left, top = r.top, right = r.right, bottom = r.bottom;
    long long dx = x, dy = y;
    if (left < 0) {
        dx -= left;
        left = 0;
    }
    if (top < 0) {
        dy -= top;
        top = 0;
    }
    right = std::min<long long>(right, src.width);
    bottom = std::min<long long>(bottom, src.height);
    if (dx < 0) {
        left -= dx;
        dx = 0;
    }
    if (dy < 0) {
        top -= dy;
        dy = 0;
    }
    right = std::min(right, left + (dst.width - dx));
    bottom = std::min(bottom, top + (dst.height - dy));
    if (right <= left || bottom <= top) return false;
    r = {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right),
         static_cast<int>(bottom)};
    x = static_cast<int>(dx);
    y = static_cast<int>(dy);
    return true;
}

// Copies the clipped rectangle `r` to (x, y) and returns the destination rows
// written. With `skipSame` (copies to the screen, which learn what changed) an
// unkeyed row that already holds the source's pixels is left out.
// Keyed rows go 16 bytes at a time: a vector select keeps the destination where
// the source holds the key, with no branch per pixel to mispredict.
template <typename Pixel>
RECT CopyRows(Surface& dst, int x, int y, Surface& src, const RECT& r, bool keyed, bool skipSame) {
    typedef Pixel Block __attribute__((vector_size(16)));
    constexpr int PER_BLOCK = sizeof(Block) / sizeof(Pixel);
    const int width = r.right - r.left;
    const std::size_t bytes = static_cast<std::size_t>(width) * sizeof(Pixel);
    const Pixel key = static_cast<Pixel>(src.keyLow);
    int first = -1, last = -1;
    for (int row = r.top; row < r.bottom; ++row) {
        const Pixel* s = reinterpret_cast<const Pixel*>(Row(src, row)) + r.left;
        Pixel* d = reinterpret_cast<Pixel*>(Row(dst, y + row - r.top)) + x;
        if (!keyed && skipSame && std::memcmp(d, s, bytes) == 0) continue;
        if (first < 0) first = row;
        last = row;
        if (!keyed) {
            std::memmove(d, s, bytes);
            continue;
        }
        int i = 0;
        for (; i + PER_BLOCK <= width; i += PER_BLOCK) {
            Block from, to;
            std::memcpy(&from, s + i, sizeof from);
            std::memcpy(&to, d + i, sizeof to);
            to = from == key ? to : from;
            std::memcpy(d + i, &to, sizeof to);
        }
        for (; i < width; ++i) d[i] = s[i] == key ? d[i] : s[i];
    }
    if (first < 0) return {};
    return {x, y + first - r.top, x + width, y + last + 1 - r.top};
}

template <typename Pixel>
void StretchRows(Surface& dst, const RECT& d, Surface& src, const RECT& s, bool keyed) {
    const long long dw = static_cast<long long>(d.right) - d.left;
    const long long dh = static_cast<long long>(d.bottom) - d.top;
    const long long sw = static_cast<long long>(s.right) - s.left;
    const long long sh = static_cast<long long>(s.bottom) - s.top;
    const Pixel key = static_cast<Pixel>(src.keyLow);
    for (int row = std::max(0, d.top); row < std::min(d.bottom, dst.height); ++row) {
        long long sy = s.top + (static_cast<long long>(row) - d.top) * sh / dh;
        if (sy < 0 || sy >= src.height) continue;
        const Pixel* srow = reinterpret_cast<const Pixel*>(Row(src, static_cast<int>(sy)));
        Pixel* drow = reinterpret_cast<Pixel*>(Row(dst, row));
        for (int col = std::max(0, d.left); col < std::min(d.right, dst.width); ++col) {
            long long sx = s.left + (static_cast<long long>(col) - d.left) * sw / dw;
            if (sx < 0 || sx >= src.width) continue;
            Pixel p = srow[sx];
            if (!keyed || p != key) drow[col] = p;
        }
    }
}

template <typename Pixel> void FillRect(Surface& dst, const RECT& r, std::uint32_t value) {
    for (int row = r.top; row < r.bottom; ++row) {
        Pixel* d = reinterpret_cast<Pixel*>(Row(dst, row));
        std::fill(d + r.left, d + r.right, static_cast<Pixel>(value));
    }
}

Surface* NewSurface(DWORD caps, int width, int height) {
    auto* s = new Surface;
    s->width = width;
    s->height = height;
    s->caps = caps;
    s->format = displayFormat;
    s->pitch = (width * BytesPerPixel(*s) + 3) / 4 * 4;
    s->memory.assign(static_cast<std::size_t>(s->pitch) * static_cast<std::size_t>(height), 0);
    surfaces.insert(s);
    return s;
}

} // namespace

int DisplayDeviceCount() { return 1; }

DeviceCaps DeviceCapsOf(int) { return OurDevice; }

bool OpenDisplay(int device) {
    if (device >= DisplayDeviceCount()) return false;
    open = true;
    return true;
}

bool DisplayOpen() { return open; }

void CloseDisplay() {
    open = false;
    primary = nullptr;
}

void GetDisplayCaps(DeviceCaps& driver, DeviceCaps& emulation) {
    driver = OurDevice;
    emulation = OurEmulation;
}

HRESULT SetCooperativeLevel(HWND, DWORD) { return open ? DD_OK : DDERR_GENERIC; }

HRESULT SetDisplayMode(int width, int height, int bits) {
    if (!open) return DDERR_GENERIC;
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) return DDERR_INVALIDMODE;
    PixelFormat format;
    format.bits = bits;
    if (bits == 16) {
        bool five55 = backend::Prefers555();
        format.redMask = five55 ? 0x7C00 : 0xF800;
        format.greenMask = five55 ? 0x03E0 : 0x07E0;
        format.blueMask = 0x001F;
    } else if (bits == 32) {
        format.redMask = 0xFF0000;
        format.greenMask = 0x00FF00;
        format.blueMask = 0x0000FF;
    } else {
        return DDERR_INVALIDMODE; // palettised and 24-bit modes are not offered
    }
    displayFormat = format;
    displayWidth = width;
    displayHeight = height;
    backend::DisplayModeChanged(width, height);
    return DD_OK;
}

HRESULT RestoreDisplayMode() { return open ? DD_OK : DDERR_GENERIC; }

PixelFormat DisplayFormat() { return displayFormat; }

int DisplayBitsPerPixel() { return displayFormat.bits ? displayFormat.bits : 32; }

HRESULT FlipToGDISurface() { return open ? DD_OK : DDERR_GENERIC; }

HRESULT CreateSurface(DWORD caps, int width, int height, Surface** surface) {
    *surface = nullptr;
    if (!open || displayFormat.bits == 0) return DDERR_GENERIC;
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) return DDERR_INVALIDPARAMS;
    *surface = NewSurface(caps, width, height);
    return DD_OK;
}

HRESULT CreatePrimarySurface(DWORD caps, Surface** surface) {
    *surface = nullptr;
    if (!open || displayFormat.bits == 0) return DDERR_GENERIC;
    primary = NewSurface(caps | DDSCAPS_PRIMARYSURFACE, displayWidth, displayHeight);
    unshown = Whole(*primary);
    *surface = primary;
    return DD_OK;
}

Surface* PrimarySurface() { return primary; }

void ShowIfPrimary(Surface* surface, const RECT* written) {
    if (!surface || surface != primary) return;
    AddUnshown(written ? *written : Whole(*primary));
    if (backend::ShowPrimary(*primary, unshown)) unshown = {};
}

void ReleaseSurface(Surface* surface) {
    if (!surface) return;
    if (surface == primary) {
        primary = nullptr;
        unshown = {};
    }
    surfaces.erase(surface);
    delete surface;
}

HRESULT BltFast(Surface* dst, int x, int y, Surface* src, const RECT* sourceRect, DWORD flags) {
    if (!dst || !src) return DDERR_INVALIDPARAMS;
    if (dst->lost || src->lost) return DDERR_SURFACELOST;
    if (dst->format.bits != src->format.bits) return DDERR_INVALIDPARAMS;
    RECT r = sourceRect ? *sourceRect : RECT{0, 0, src->width, src->height};
    if (!ClipCopy(*dst, x, y, *src, r)) return DD_OK;
    bool keyed = (flags & DDBLTFAST_SRCCOLORKEY) && src->hasKey;
    const bool toScreen = dst == primary;
    const RECT written = dst->format.bits == 16
                             ? CopyRows<std::uint16_t>(*dst, x, y, *src, r, keyed, toScreen)
                             : CopyRows<std::uint32_t>(*dst, x, y, *src, r, keyed, toScreen);
    ShowIfPrimary(dst, &written);
    return DD_OK;
}

HRESULT Blt(Surface* dst, const RECT* destinationRect, Surface* src, const RECT* sourceRect,
            DWORD flags, std::uint32_t fillColor) {
    if (!dst) return DDERR_INVALIDPARAMS;
    if (dst->lost || (src && src->lost)) return DDERR_SURFACELOST;
    RECT d = destinationRect ? *destinationRect : RECT{0, 0, dst->width, dst->height};
    if (flags & DDBLT_COLORFILL) {
        RECT c{std::max(d.left, 0), std::max(d.top, 0), std::min(d.right, dst->width),
               std::min(d.bottom, dst->height)};
        if (c.right <= c.left || c.bottom <= c.top) return DD_OK;
        if (dst->format.bits == 16)
            FillRect<std::uint16_t>(*dst, c, fillColor);
        else
            FillRect<std::uint32_t>(*dst, c, fillColor);
        ShowIfPrimary(dst, &c);
        return DD_OK;
    }
    if (!src || dst->format.bits != src->format.bits) return DDERR_INVALIDPARAMS;
    RECT s = sourceRect ? *sourceRect : RECT{0, 0, src->width, src->height};
    if (d.right <= d.left || d.bottom <= d.top || s.right <= s.left || s.bottom <= s.top)
        return DDERR_INVALIDPARAMS;
    bool keyed = (flags & DDBLT_KEYSRC) && src->hasKey;
    // A copy at the same size, such as the present of every frame, needs no scaling.
    if (static_cast<long long>(d.right) - d.left == static_cast<long long>(s.right) - s.left &&
        static_cast<long long>(d.bottom) - d.top == static_cast<long long>(s.bottom) - s.top)
        return BltFast(dst, d.left, d.top, src, &s, keyed ? DDBLTFAST_SRCCOLORKEY : 0);
    if (dst->format.bits == 16)
        StretchRows<std::uint16_t>(*dst, d, *src, s, keyed);
    else
        StretchRows<std::uint32_t>(*dst, d, *src, s, keyed);
    const RECT written{std::max(d.left, 0), std::max(d.top, 0), std::min(d.right, dst->width),
                       std::min(d.bottom, dst->height)};
    ShowIfPrimary(dst, &written);
    return DD_OK;
}

HRESULT Lock(Surface* surface, void** bits, int* pitch) {
    if (!surface) return DDERR_INVALIDPARAMS;
    if (surface->lost) return DDERR_SURFACELOST;
    ++surface->lockCount;
    *bits = surface->memory.data();
    *pitch = surface->pitch;
    return DD_OK;
}

HRESULT Unlock(Surface* surface) {
    if (!surface || surface->lockCount == 0) return DDERR_NOTLOCKED;
    --surface->lockCount;
    ShowIfPrimary(surface);
    return DD_OK;
}

HRESULT SetColorKey(Surface* surface, std::uint32_t low, std::uint32_t high) {
    if (!surface) return DDERR_INVALIDPARAMS;
    surface->hasKey = true;
    surface->keyLow = low;
    surface->keyHigh = high;
    return DD_OK;
}

HRESULT GetColorKey(Surface* surface, std::uint32_t* low, std::uint32_t* high) {
    if (!surface) return DDERR_INVALIDPARAMS;
    if (!surface->hasKey) return DDERR_NOCOLORKEY;
    *low = surface->keyLow;
    *high = surface->keyHigh;
    return DD_OK;
}

bool IsLost(Surface* surface) { return surface && surface->lost; }

HRESULT Restore(Surface* surface) {
    if (!surface) return DDERR_INVALIDPARAMS;
    // Memory given back by the display comes back empty; the screen shows it so
    // at its next present.
    if (surface->lost) {
        std::fill(surface->memory.begin(), surface->memory.end(), 0);
        if (surface == primary) AddUnshown(Whole(*surface));
    }
    surface->lost = false;
    return DD_OK;
}

void LoseAllSurfaces() {
    for (Surface* s : surfaces) s->lost = true;
}

void WaitForVerticalBlank() { backend::WaitForVerticalBlank(); }

} // namespace platform
