// The headless sound output, fed by the clock.
#pragma once

#include <cstdint>

namespace platform::headless {

// Renders `milliseconds` of sound into the output while a device is open.
void RenderSound(std::uint32_t milliseconds);

} // namespace platform::headless
