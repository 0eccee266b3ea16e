#include "platform/backend.h"

#include "platform/headless/headless.h"

namespace platform {

void BusyWaitTurn() { headless::AdvanceClock(1); }

} // namespace platform
