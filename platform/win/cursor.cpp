#include "platform/win/cursor.h"

#include "platform/backend.h"

#include <algorithm>

namespace platform {

namespace {

bool clipped = false;
RECT clipRect{};

} // namespace

void ClipCursor(const RECT* rect) {
    clipped = rect != nullptr;
    if (rect) clipRect = *rect;
    backend::ConfineNativePointer(rect);
}

bool CursorClip(RECT* out) {
    if (!clipped) return false;
    *out = clipRect;
    return true;
}

BOOL SetCursorPos(int x, int y) {
    if (clipped) {
        x = std::clamp(x, clipRect.left, std::max(clipRect.left, clipRect.right - 1));
        y = std::clamp(y, clipRect.top, std::max(clipRect.top, clipRect.bottom - 1));
    }
    backend::MoveNativePointer(x, y);
    return 1;
}

} // namespace platform
