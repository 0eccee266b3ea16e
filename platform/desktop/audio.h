// The desktop's sound output, beyond what the mixer asks of every backend.
#pragma once

namespace platform::desktop {

// Waits while the device plays out what the mixer has already given it.
void DrainSoundOutput();

} // namespace platform::desktop
