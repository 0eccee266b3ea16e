// libFuzzer entry for the TMX reader behind import: every input is either read
// into the layers or refused with a message, never read or written out of bounds.
#include "tools/map/tmx_read.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    // One map for every input, as one import would read one after another.
    static tessera::MapLayers map;
    ReadTmx(map, reinterpret_cast<const char*>(data), size, "input.tmx");
    return 0;
}
