// The display device: modes, surfaces in memory, blits, colour keys, locks and
// lost surfaces. The desktop backend shows the primary surface on the window.
#pragma once

#include "platform/formats/pixel_format.h"
#include "platform/win/win_defs.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

constexpr HRESULT DD_OK = 0;
constexpr HRESULT DDERR_GENERIC = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT DDERR_INVALIDPARAMS = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT DDERR_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT DDERR_INVALIDMODE = static_cast<HRESULT>(0x88760078u);
constexpr HRESULT DDERR_NOTLOCKED = static_cast<HRESULT>(0x887601AAu);
constexpr HRESULT DDERR_NOCOLORKEY = static_cast<HRESULT>(0x887600D7u);
constexpr HRESULT DDERR_SURFACELOST = static_cast<HRESULT>(0x887601C2u);
constexpr HRESULT DDERR_WASSTILLDRAWING = static_cast<HRESULT>(0x8876021Cu);
constexpr HRESULT DDERR_NODIRECTDRAWHW = static_cast<HRESULT>(0x88760219u);

// Surface capabilities.
constexpr DWORD DDSCAPS_OFFSCREENPLAIN = 0x40;
constexpr DWORD DDSCAPS_PRIMARYSURFACE = 0x200;
constexpr DWORD DDSCAPS_SYSTEMMEMORY = 0x800;
constexpr DWORD DDSCAPS_TEXTURE = 0x1000;
// Device capabilities.
constexpr DWORD DDCAPS_3D = 0x1;
constexpr DWORD DDCAPS_BLTSTRETCH = 0x200;
// Blit flags.
constexpr DWORD DDBLTFAST_SRCCOLORKEY = 0x1;
constexpr DWORD DDBLTFAST_WAIT = 0x10;
constexpr DWORD DDBLT_COLORFILL = 0x400;
constexpr DWORD DDBLT_KEYSRC = 0x8000;
constexpr DWORD DDBLT_WAIT = 0x1000000;
// Cooperative levels.
constexpr DWORD DDSCL_FULLSCREEN = 0x1;
constexpr DWORD DDSCL_ALLOWREBOOT = 0x2;
constexpr DWORD DDSCL_NORMAL = 0x8;
constexpr DWORD DDSCL_EXCLUSIVE = 0x10;

struct RECT {
    int left, top, right, bottom;
};

#ifdef _WIN32
// On Windows surface memory is memory the system's GDI can draw on as well
// (platform/win/surface_memory_windows.cpp).
void* AllocateSurfaceMemory(std::size_t bytes);
void FreeSurfaceMemory(void* memory);
template <typename T> struct SurfaceAllocator {
    using value_type = T;
    SurfaceAllocator() = default;
    template <typename U> SurfaceAllocator(const SurfaceAllocator<U>&) {}
    T* allocate(std::size_t count) {
        return static_cast<T*>(AllocateSurfaceMemory(count * sizeof(T)));
    }
    void deallocate(T* memory, std::size_t) { FreeSurfaceMemory(memory); }
    friend bool operator==(const SurfaceAllocator&, const SurfaceAllocator&) { return true; }
};
using SurfaceMemory = std::vector<std::uint8_t, SurfaceAllocator<std::uint8_t>>;
#else
using SurfaceMemory = std::vector<std::uint8_t>;
#endif

// A rectangle of pixels in memory. Rows are `pitch` bytes apart and start on
// 4-byte boundaries, as the rows of the system's bitmaps do.
struct Surface {
    int width = 0, height = 0, pitch = 0;
    DWORD caps = 0;
    PixelFormat format;
    SurfaceMemory memory;
    bool lost = false;
    bool hasKey = false;
    std::uint32_t keyLow = 0, keyHigh = 0;
    int lockCount = 0;
};

struct DeviceCaps {
    DWORD caps = 0;        // DDCAPS_* of the device
    DWORD surfaceCaps = 0; // DDSCAPS_* the device supports
};

// Devices the system offers; a device is identified by its index.
int DisplayDeviceCount();
// Opens a device (-1 for the default one). False when there is none.
bool OpenDisplay(int device);
bool DisplayOpen();
void CloseDisplay();
// Capabilities of the open device's hardware and of its emulation.
void GetDisplayCaps(DeviceCaps& driver, DeviceCaps& emulation);
DeviceCaps DeviceCapsOf(int device);

HRESULT SetCooperativeLevel(HWND window, DWORD flags);
// Takes the display in this mode: 16 bits (5:6:5, or 5:5:5 where chosen) or 32 bits.
HRESULT SetDisplayMode(int width, int height, int bits);
HRESULT RestoreDisplayMode();
PixelFormat DisplayFormat();
int DisplayBitsPerPixel();
// Shows the desktop's own surface so that a message box is visible.
HRESULT FlipToGDISurface();

HRESULT CreateSurface(DWORD caps, int width, int height, Surface** surface);
// The surface that is the screen; its contents are what the window shows.
HRESULT CreatePrimarySurface(DWORD caps, Surface** surface);
void ReleaseSurface(Surface* surface);
// The primary surface, or null.
Surface* PrimarySurface();
// Shows the primary surface again after pixels within `written` (the whole
// surface when null) were written; an empty rectangle says none changed.
void ShowIfPrimary(Surface* surface, const RECT* written = nullptr);

HRESULT BltFast(Surface* destination, int x, int y, Surface* source, const RECT* sourceRect,
                DWORD flags);
// Stretching copy, or a colour fill with DDBLT_COLORFILL (then `source` is null).
HRESULT Blt(Surface* destination, const RECT* destinationRect, Surface* source,
            const RECT* sourceRect, DWORD flags, std::uint32_t fillColor = 0);
HRESULT Lock(Surface* surface, void** bits, int* pitch);
HRESULT Unlock(Surface* surface);
HRESULT SetColorKey(Surface* surface, std::uint32_t low, std::uint32_t high);
HRESULT GetColorKey(Surface* surface, std::uint32_t* low, std::uint32_t* high);
bool IsLost(Surface* surface);
HRESULT Restore(Surface* surface);
// Marks every surface lost, as when another program takes the display.
void LoseAllSurfaces();
// Waits for the display's vertical blank.
void WaitForVerticalBlank();

} // namespace platform
