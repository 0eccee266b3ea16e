// Clipping and locking shared by the image effects.
#include "draw/effects_frame.h"

#include <algorithm>
#include <cstdint>

namespace elDraw::effects {

bool LockPair(ObjectNo no, Locked& locked) {
    locked.source = SurfaceOf(no);
    void* from = nullptr;
    void* to = nullptr;
    if (platform::Lock(locked.source, &from, &locked.fromPitch) != platform::DD_OK) return false;
    if (platform::Lock(BackBuffer, &to, &locked.toPitch) != platform::DD_OK) {
        platform::Unlock(locked.source);
        return false;
    }
    locked.from = static_cast<const std::uint8_t*>(from);
    locked.to = static_cast<std::uint8_t*>(to);
    // The effects read and write 5:6:5 or 5:5:5 pixels only.
    if (locked.source->format.bits != 16 || BackBuffer->format.bits != 16) {
        UnlockPair(locked);
        return false;
    }
    return true;
}

void UnlockPair(const Locked& locked) {
    platform::Unlock(locked.source);
    platform::Unlock(BackBuffer);
}

int Open(int x, int y, ObjectNo no, int left, int top, int right, int bottom, Area& area) {
    platform::RECT r{left, top, right, bottom};
    if (!Clip(x, y, r)) return 1;
    if (!LockPair(no, area.locked)) return 0;
    // ClipRect may reach beyond the back buffer and the rectangle beyond the
    // object: keep the offsets whose pixels both surfaces hold.
    const platform::Surface& source = *area.locked.source;
    const std::int64_t width = std::int64_t{r.right} - r.left;
    const std::int64_t height = std::int64_t{r.bottom} - r.top;
    const std::int64_t i0 = std::max<std::int64_t>({0, -std::int64_t{x}, -std::int64_t{r.left}});
    const std::int64_t j0 = std::max<std::int64_t>({0, -std::int64_t{y}, -std::int64_t{r.top}});
    const std::int64_t i1 = std::min<std::int64_t>(
        {width, std::int64_t{BackBuffer->width} - x, std::int64_t{source.width} - r.left});
    const std::int64_t j1 = std::min<std::int64_t>(
        {height, std::int64_t{BackBuffer->height} - y, std::int64_t{source.height} - r.top});
    area.x = x + i0;
    area.y = y + j0;
    area.left = r.left + i0;
    area.top = r.top + j0;
    area.width = static_cast<int>(std::max<std::int64_t>(0, i1 - i0));
    area.height = static_cast<int>(std::max<std::int64_t>(0, j1 - j0));
    return OPEN;
}

int Close(const Area& area) {
    UnlockPair(area.locked);
    return 1;
}

} // namespace elDraw::effects
