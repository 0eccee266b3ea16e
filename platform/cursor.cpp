#include "platform/cursor.h"

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

} // namespace platform
