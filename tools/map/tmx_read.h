// The TMX reader behind import: a document to a map's layers, read as a
// stream, its layer data decoded straight into the layers.
#pragma once

#include "map/map_model.h"

#include <cstddef>

// Parses the TMX document text[0..size), checks it and fills the map's three
// layers, reserving them first, and its size. On a fault, reports it on
// standard error naming `file` and returns 0; the layers may then be partly
// written. 1 on success.
int ReadTmx(tessera::MapLayers& map, const char* text, std::size_t size, const char* file);

// The same for the document in the open file `fd`, read a block at a time.
int ReadTmxFile(tessera::MapLayers& map, int fd, const char* file);
