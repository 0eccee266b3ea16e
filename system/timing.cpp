// Frame time from the millisecond clock.
#include "platform/backend.h"
#include "system/system.h"

namespace elSystem {

void ResetTimer() {
    FrameSeconds = 0.0f;
    LastFrameTime = platform::timeGetTime();
}

std::uint32_t Elapsed(std::uint32_t since) {
    // Unsigned difference: a wrap of the clock still gives the small true value.
    return platform::timeGetTime() - since;
}

void MeasureFrame() {
    FrameSeconds = static_cast<float>(static_cast<std::uint64_t>(Elapsed(LastFrameTime)) / 1000.0);
    LastFrameTime = platform::timeGetTime();
}

} // namespace elSystem
