// The multimedia clock, at its finest resolution for the whole run.
#include "platform/backend.h"

#include "platform/win/win32.h"

namespace platform {

std::uint32_t timeGetTime() {
    // One millisecond steps, for the clock and for every wait the program makes.
    static const bool fine = timeBeginPeriod(1) == TIMERR_NOERROR;
    (void)fine;
    return ::timeGetTime();
}

void BusyWaitTurn() { SwitchToThread(); }

} // namespace platform
