#include "tools/map/map_layers.h"

#include "editor/map_model.h"

#include <sys/mman.h>

int AllocateToolLayers() {
    if (!AllocateLayers()) return 0;
    // Advice only: without huge pages the tools are slower, not wrong.
    madvise(ChipLayer, 3 * sizeof(LayerRow) * LAYER_ROWS, MADV_HUGEPAGE);
    return 1;
}
