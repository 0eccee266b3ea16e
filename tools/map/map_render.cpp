#include "tools/map/map_render.h"

#include <cstdio>

int RunRender(int, char**) {
    std::fprintf(stderr, "tessera-map render: not available yet\n");
    return 1;
}
