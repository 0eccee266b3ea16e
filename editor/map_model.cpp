#include "editor/map_model.h"

#include <sys/mman.h>

#include <cstddef>

LayerRow* ChipLayer = nullptr;
LayerRow* AttrLayer = nullptr;
LayerRow* EnemyLayer = nullptr;

int MapWidth = 1;
int MapHeight = 1;
int ViewX = 0;
int ViewY = 0;
int PaletteX = 0;
int PaletteY = 0;
int ChipFrame = 0;
int EditMode = 0;

int AllocateLayers() {
    if (ChipLayer) return 1;
    // One anonymous mapping for all three layers: the kernel hands out zeroed
    // pages on first write, so an untouched map costs no resident memory.
    const std::size_t layerBytes = sizeof(LayerRow) * LAYER_ROWS;
    void* block = mmap(nullptr, 3 * layerBytes, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (block == MAP_FAILED) return 0;
    ChipLayer = static_cast<LayerRow*>(block);
    AttrLayer = ChipLayer + LAYER_ROWS;
    EnemyLayer = AttrLayer + LAYER_ROWS;
    return 1;
}
