// Large zeroed blocks from the system's virtual memory.
#include "platform/files/memory.h"

#include <windows.h>

namespace platform {

void* ReserveZeroedMemory(std::size_t bytes, bool) {
    // Committed pages are zero, and take memory only once they are written.
    return VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void ReleaseReservedMemory(void* block, std::size_t) {
    if (block) VirtualFree(block, 0, MEM_RELEASE);
}

// Large pages need a privilege ordinary users lack; small ones serve.
void AdviseHugePages(void*, std::size_t) {}

} // namespace platform
