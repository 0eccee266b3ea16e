#include "map/map_model.h"

#include "platform/files/memory.h"

#include <cstddef>

LayerRow* ChipLayer = nullptr;
LayerRow* AttrLayer = nullptr;
LayerRow* EnemyLayer = nullptr;

int MapWidth = 1;
int MapHeight = 1;

namespace {

// One block for all three layers, so that an untouched map costs no memory.
int Allocate(bool hugePages) {
    if (ChipLayer) return 1;
    const std::size_t layerBytes = sizeof(LayerRow) * LAYER_ROWS;
    void* block = platform::ReserveZeroedMemory(3 * layerBytes, hugePages);
    if (!block) return 0;
    ChipLayer = static_cast<LayerRow*>(block);
    AttrLayer = ChipLayer + LAYER_ROWS;
    EnemyLayer = AttrLayer + LAYER_ROWS;
    return 1;
}

} // namespace

int AllocateLayers() { return Allocate(false); }

int AllocateLayersOnHugePages() { return Allocate(true); }
