// Large blocks of memory for the map layers and images of their areas.
#pragma once

#include <cstddef>

namespace platform {

// Reserves `bytes` of zeroed memory: the system hands out pages on first
// write, so pages never written take no memory. With `hugePages`, asks for
// huge pages on it (advice only). Null when it cannot be had.
void* ReserveZeroedMemory(std::size_t bytes, bool hugePages);
// Gives back a block ReserveZeroedMemory reserved, of the same size.
void ReleaseReservedMemory(void* block, std::size_t bytes);

// Asks for huge pages on the whole huge pages within [start, start + bytes),
// before anything touches them: on small pages the first-touch faults of a
// large block cost more than filling it. Advice only: without it programs are
// slower, not wrong.
void AdviseHugePages(void* start, std::size_t bytes);

} // namespace platform
