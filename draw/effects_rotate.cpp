// A source rectangle turned about the centre of a destination rectangle,
// unscaled, with the integer sine table (values scaled by 360).
#include "draw/effects_frame.h"

#include <algorithm>
#include <cstdint>

namespace elDraw {

int RotateDraw(int destinationLeft, int destinationTop, int destinationRight, int destinationBottom,
               int angle, ObjectNo no, int sourceLeft, int sourceTop, int sourceRight,
               int sourceBottom) {
    using I64 = std::int64_t;
    const I64 dl = destinationLeft, dt = destinationTop;
    const I64 dw = destinationRight - dl, dh = destinationBottom - dt;
    // Destination columns [i0, i1) and rows [j0, j1) inside ClipRect.
    I64 i0 = std::max<I64>(0, ClipRect.left - dl), i1 = std::min<I64>(dw, ClipRect.right - dl);
    I64 j0 = std::max<I64>(0, ClipRect.top - dt), j1 = std::min<I64>(dh, ClipRect.bottom - dt);
    if (i1 <= i0 || j1 <= j0) return 1;
    effects::Locked locked;
    if (!effects::LockPair(no, locked)) return 0;
    // ClipRect may reach beyond the back buffer.
    i0 = std::max(i0, -dl);
    i1 = std::min(i1, BackBuffer->width - dl);
    j0 = std::max(j0, -dt);
    j1 = std::min(j1, BackBuffer->height - dt);

    // Any angle is taken as its turn within 0..359 degrees.
    const int turn = (angle % 360 + 360) % 360;
    const I64 sine = SineTable[turn], cosine = SineTable[turn + 90];
    const I64 sw = I64{sourceRight} - sourceLeft, sh = I64{sourceBottom} - sourceTop;
    const I64 hw = dw >> 1, hh = dh >> 1;
    const I64 ox = (dw - sw) >> 1, oy = (dh - sh) >> 1;
    const I64 u0 = 360 * hw - hw * cosine + hh * sine;
    const I64 v0 = 360 * hh - hw * sine - hh * cosine;
    // Source offsets inside the rectangle whose pixels the object holds.
    const platform::Surface& source = *locked.source;
    const I64 xLow = std::max<I64>(0, -I64{sourceLeft});
    const I64 xHigh = std::min<I64>(sw, source.width - I64{sourceLeft});
    const I64 yLow = std::max<I64>(0, -I64{sourceTop});
    const I64 yHigh = std::min<I64>(sh, source.height - I64{sourceTop});

    for (I64 j = j0; j < j1; ++j) {
        std::uint16_t* row = locked.TargetRow(dt + j);
        I64 u = u0 - j * sine + i0 * cosine;
        I64 v = v0 + j * cosine + i0 * sine;
        for (I64 i = i0; i < i1; ++i, u += cosine, v += sine) {
            const I64 sx = u / 360 - ox, sy = v / 360 - oy;
            if (sx < xLow || sx >= xHigh || sy < yLow || sy >= yHigh) continue;
            const std::uint16_t p = locked.SourceRow(sourceTop + sy)[sourceLeft + sx];
            if (p != 0) row[dl + i] = p;
        }
    }
    effects::UnlockPair(locked);
    return 1;
}

} // namespace elDraw
