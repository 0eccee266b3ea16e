#include "platform/desktop/present_pacing.h"

namespace platform {

void PresentPacing::Presented(std::int64_t nowNs, std::int64_t periodNs) {
    if (RunsFree()) return;
    // Synced presents return a refresh apart on average: only while a driver
    // fills its short queue of frames can a few come back sooner.
    if (measuring) quickInARow = nowNs - lastNs < periodNs * 3 / 4 ? quickInARow + 1 : 0;
    lastNs = nowNs;
    measuring = true;
}

} // namespace platform
