// The TMX reader behind import: a document to the map layers, read as a
// stream, its layer data decoded straight into the layers.
#pragma once

#include <cstddef>

// Parses the TMX document text[0..size), checks it and fills the three layers
// and the map size. On a fault, reports it on standard error naming `file` and
// returns 0; the layers may then be partly written. 1 on success.
int ReadTmx(const char* text, std::size_t size, const char* file);

// The same for the document in the open file `fd`, read a block at a time.
int ReadTmxFile(int fd, const char* file);
