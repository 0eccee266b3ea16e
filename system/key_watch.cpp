// Counting the releases of one chosen key (the window procedure counts them).
#include "system/input_state.h"
#include "system/system.h"

namespace elSystem {

void WatchKey(int code) {
    WatchedKey = code;
    WatchedKeyCount = 0;
}

int WatchCount() { return WatchedKeyCount; }

} // namespace elSystem
