// A turn of a busy wait on the millisecond clock.
#pragma once

namespace platform {

// Called on each turn of a loop that waits for the clock to pass a time. The
// desktop lets other threads run; the headless clock, which nothing else moves,
// lets one millisecond pass.
void BusyWaitTurn();

} // namespace platform
