// Frame shared by the image effects: the source rectangle is clipped to
// ClipRect, the object and the back buffer are locked, and the effect visits
// the 16-bit pixels that both surfaces hold. Source value 0 is transparent.
#pragma once

#include "draw/draw_state.h"

#include <algorithm>
#include <cstdint>

namespace elDraw::effects {

// The object's and the back buffer's pixels while both are locked.
struct Locked {
    platform::Surface* source;
    const std::uint8_t* from;
    int fromPitch;
    std::uint8_t* to;
    int toPitch;

    const std::uint16_t* SourceRow(std::int64_t y) const {
        return reinterpret_cast<const std::uint16_t*>(from + y * fromPitch);
    }
    std::uint16_t* TargetRow(std::int64_t y) const {
        return reinterpret_cast<std::uint16_t*>(to + y * toPitch);
    }
};

// Locks the object, then the back buffer; false (nothing left locked) when a
// lock fails or either surface is not 16 bits deep.
bool LockPair(ObjectNo no, Locked& locked);
// Unlocks the object, then the back buffer.
void UnlockPair(const Locked& locked);

// The clipped rectangle: `width` x `height` pixels from (left, top) of the
// object onto (x, y) of the back buffer, all inside both surfaces.
struct Area {
    Locked locked;
    std::int64_t x, y, left, top;
    int width, height;

    const std::uint16_t* SourceRow(int j) const { return locked.SourceRow(top + j) + left; }
    std::uint16_t* TargetRow(int j) const { return locked.TargetRow(y + j) + x; }
};

// What Open returns when the surfaces are locked and `area` is ready.
constexpr int OPEN = -1;
// Clips and locks. Otherwise returns the effect's result: 1 when the clip
// leaves nothing (no lock taken), 0 when the surfaces cannot be locked.
int Open(int x, int y, ObjectNo no, int left, int top, int right, int bottom, Area& area);
// Unlocks; the effect's result, 1.
int Close(const Area& area);

// Replaces each destination pixel under a non-zero source pixel s by rule(s, d).
template <typename Rule>
int Mix(int x, int y, ObjectNo no, int left, int top, int right, int bottom, Rule rule) {
    Area area;
    if (const int result = Open(x, y, no, left, top, right, bottom, area); result != OPEN)
        return result;
    for (int j = 0; j < area.height; ++j) {
        const std::uint16_t* s = area.SourceRow(j);
        std::uint16_t* d = area.TargetRow(j);
        for (int i = 0; i < area.width; ++i)
            if (s[i] != 0) d[i] = static_cast<std::uint16_t>(rule(s[i], d[i]));
    }
    return Close(area);
}

// A channel value computed in floating point, truncated toward zero and kept
// inside 0..max: factors outside 0..1 (or not a number) cannot spill into the
// neighbouring channel.
inline std::uint32_t Truncated(long double value, std::uint32_t max) {
    if (!(value > 0)) return 0;
    if (value >= max) return max;
    return static_cast<std::uint32_t>(value);
}

// A level of the 5-bit tables, held to 0..31.
inline int Level(int level) { return std::clamp(level, 0, 31); }

} // namespace elDraw::effects
