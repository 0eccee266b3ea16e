// The system's drawing context on a surface's own memory (Windows), so that
// the system's GDI draws on surfaces directly.
#pragma once

#include "platform/win/display.h"

#include "platform/win/win32.h"

namespace platform::windows {

// The system's memory context that draws on the surface's memory (rows start
// on 4-byte boundaries, as the system's bitmaps' do); null when the memory is
// not the system's to draw on. One context per surface, made when first asked.
::HDC SurfaceContext(Surface& surface);

// How the system reads a surface's rows: top-down, with its channel masks
// (a BITMAPINFO for the system's bitmap and stretch calls).
struct SurfaceBitmapInfo {
    BITMAPINFOHEADER header;
    ::DWORD masks[3];
};
SurfaceBitmapInfo SurfaceBitmapHeader(const Surface& surface);

} // namespace platform::windows
