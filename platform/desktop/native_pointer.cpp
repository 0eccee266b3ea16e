// Pointer confinement and moves on the real window. Rectangles and points are
// given on the logical screen; the window shows that screen scaled and
// letterboxed, so they are turned into window pixels the same way. SDL keeps the pointer inside
// while the window has the focus.
#include "platform/backend.h"
#include "platform/desktop/desktop.h"
#include "platform/win/display.h"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

// A point of the logical screen in window pixels: the window shows that
// screen scaled and centred.
SDL_Point InWindowPixels(SDL_Window* window, int x, int y) {
    int width = 0, height = 0;
    SDL_GetWindowSize(window, &width, &height);
    double logicalWidth = desktop::LogicalWidth(), logicalHeight = desktop::LogicalHeight();
    double scale = std::min(width / logicalWidth, height / logicalHeight);
    double originX = (width - logicalWidth * scale) / 2;
    double originY = (height - logicalHeight * scale) / 2;
    return {static_cast<int>(std::lround(originX + x * scale)),
            static_cast<int>(std::lround(originY + y * scale))};
}

SDL_Rect InWindowPixels(SDL_Window* window, const RECT& r) {
    SDL_Point topLeft = InWindowPixels(window, r.left, r.top);
    SDL_Point bottomRight = InWindowPixels(window, r.right, r.bottom);
    return {topLeft.x, topLeft.y, std::max(bottomRight.x - topLeft.x, 1),
            std::max(bottomRight.y - topLeft.y, 1)};
}

} // namespace

namespace backend {

void ConfineNativePointer(const RECT* rect) {
    SDL_Window* window = desktop::CurrentSdlWindow();
    if (!window) return;
    if (rect) {
        SDL_Rect area = InWindowPixels(window, *rect);
        SDL_SetWindowMouseRect(window, &area);
    } else {
        SDL_SetWindowMouseRect(window, nullptr);
    }
}

// The real pointer is warped through the same mapping; SDL reports the move
// as pointer motion, which arrives as WM_MOUSEMOVE.
void MoveNativePointer(int x, int y) {
    SDL_Window* window = desktop::CurrentSdlWindow();
    if (!window) return;
    SDL_Point at = InWindowPixels(window, x, y);
    SDL_WarpMouseInWindow(window, at.x, at.y);
}

} // namespace backend
} // namespace platform
