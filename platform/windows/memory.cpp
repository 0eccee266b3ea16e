// Large zeroed blocks from the system's virtual memory.
#include "platform/memory.h"

#include "platform/windows/win32.h"

namespace platform {

void* ReserveZeroedMemory(std::size_t bytes, bool) {
    // Committed pages are zero, and take memory only once they are written.
    return VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

// Large pages need a privilege ordinary users lack; small ones serve.
void AdviseHugePages(void*, std::size_t) {}

} // namespace platform
