// Frame time from the millisecond clock.
#include "platform/backend.h"
#include "system/system.h"

namespace elSystem {

void ResetTimer() {
    FrameSeconds = 0.0f;
    LastFrameTime = platform::timeGetTime();
}

void MeasureFrame() {
    // Unsigned difference: a wrap of the clock still gives the small true value.
    std::uint32_t elapsed = platform::timeGetTime() - LastFrameTime;
    FrameSeconds = static_cast<float>(static_cast<std::uint64_t>(elapsed) / 1000.0);
    LastFrameTime = platform::timeGetTime();
}

} // namespace elSystem
