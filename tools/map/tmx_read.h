// The TMX reader behind import: a document to the map layers.
#pragma once

#include <cstddef>
#include <cstdio>

// Parses the TMX document text[0..size), checks it and fills the three layers
// and the map size. On a fault, reports it on standard error naming `file` and
// returns 0; the layers may then be partly written. 1 on success.
int ReadTmx(const char* text, std::size_t size, const char* file);

// The same for the document read from the open file `in`, held only once in
// memory, by the XML library.
int ReadTmxFile(std::FILE* in, const char* file);
