#include "platform/files/memory.h"

#include <sys/mman.h>

#include <cstdint>

namespace platform {

void* ReserveZeroedMemory(std::size_t bytes, bool hugePages) {
    // An anonymous mapping: zeroed pages come on first write, and nothing is
    // set aside for pages that never are.
    void* block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (block == MAP_FAILED) return nullptr;
    if (hugePages) madvise(block, bytes, MADV_HUGEPAGE);
    return block;
}

void ReleaseReservedMemory(void* block, std::size_t bytes) {
    if (block) munmap(block, bytes);
}

void AdviseHugePages(void* start, std::size_t bytes) {
    constexpr std::uintptr_t HUGE_PAGE = std::uintptr_t{2} << 20;
    const auto begin = reinterpret_cast<std::uintptr_t>(start);
    const std::uintptr_t first = (begin + HUGE_PAGE - 1) & ~(HUGE_PAGE - 1);
    const std::uintptr_t last = (begin + bytes) & ~(HUGE_PAGE - 1);
    if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

} // namespace platform
