// Pointer confinement on the real window. The rectangle is given on the logical
// screen; the window shows that screen scaled and letterboxed, so it is turned
// into window pixels the same way. SDL keeps the pointer inside while the
// window has the focus.
#include "platform/cursor.h"

#include "platform/desktop/desktop.h"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

SDL_Rect InWindowPixels(SDL_Window* window, const RECT& r) {
    int width = 0, height = 0;
    SDL_GetWindowSize(window, &width, &height);
    double logicalWidth = desktop::LogicalWidth(), logicalHeight = desktop::LogicalHeight();
    double scale = std::min(width / logicalWidth, height / logicalHeight);
    double originX = (width - logicalWidth * scale) / 2;
    double originY = (height - logicalHeight * scale) / 2;
    int left = static_cast<int>(std::lround(originX + r.left * scale));
    int top = static_cast<int>(std::lround(originY + r.top * scale));
    int right = static_cast<int>(std::lround(originX + r.right * scale));
    int bottom = static_cast<int>(std::lround(originY + r.bottom * scale));
    return {left, top, std::max(right - left, 1), std::max(bottom - top, 1)};
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

} // namespace backend
} // namespace platform
