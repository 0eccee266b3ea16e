#include "platform/backend.h"

#include <thread>

namespace platform {

void BusyWaitTurn() { std::this_thread::yield(); }

} // namespace platform
