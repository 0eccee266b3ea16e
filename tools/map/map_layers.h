// The map layers for one run of a map tool.
#pragma once

// Reserves the editor's layer arrays (AllocateLayers) and asks for huge pages
// on them: a tool's load writes every cell of the map, and small pages would
// cost a page fault for every 4 KB of it. 1 on success.
int AllocateToolLayers();
