#include "map/map_model.h"

#include "platform/files/memory.h"

#include <cstddef>
#include <utility>

namespace tessera {

namespace {

// One block holds all three layers.
constexpr std::size_t LAYER_BYTES = sizeof(LayerRow) * LAYER_ROWS;
constexpr std::size_t BLOCK_BYTES = 3 * LAYER_BYTES;

int Allocate(MapLayers& map, bool hugePages) {
    if (map.chips) return 1;
    void* block = platform::ReserveZeroedMemory(BLOCK_BYTES, hugePages);
    if (!block) return 0;
    map.chips = static_cast<LayerRow*>(block);
    map.attributes = map.chips + LAYER_ROWS;
    map.enemies = map.attributes + LAYER_ROWS;
    return 1;
}

} // namespace

MapLayers::MapLayers(MapLayers&& other) noexcept
    : width(other.width), height(other.height), chips(std::exchange(other.chips, nullptr)),
      attributes(std::exchange(other.attributes, nullptr)),
      enemies(std::exchange(other.enemies, nullptr)) {}

MapLayers& MapLayers::operator=(MapLayers&& other) noexcept {
    if (this == &other) return *this;
    platform::ReleaseReservedMemory(chips, BLOCK_BYTES);
    width = other.width;
    height = other.height;
    chips = std::exchange(other.chips, nullptr);
    attributes = std::exchange(other.attributes, nullptr);
    enemies = std::exchange(other.enemies, nullptr);
    return *this;
}

MapLayers::~MapLayers() { platform::ReleaseReservedMemory(chips, BLOCK_BYTES); }

int AllocateLayers(MapLayers& map) { return Allocate(map, false); }

int AllocateLayersOnHugePages(MapLayers& map) { return Allocate(map, true); }

} // namespace tessera
