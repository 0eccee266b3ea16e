// The map on disk: three text files named after the map, "_data.txt" for the
// chip layer, "_zk.txt" for attributes and "_teki.txt" for enemies. Each holds
// height * 72 lines of width * 96 decimal values (the map's size in screens),
// every value followed by a space and every line ended by CR LF; the game
// reads them as they are.
#pragma once

#include "map/map_model.h"

#include <string>

// The three files of a map, in this order in every table of them.
constexpr int MAP_FILE_COUNT = 3;
constexpr int CHIP_FILE = 0;
constexpr int ATTR_FILE = 1;
constexpr int ENEMY_FILE = 2;

namespace tessera {

// The name of one of the files of the map `name`: the name and the file's
// suffix, before any path resolution.
std::string MapFileName(const std::string& name, int file);

// Writes the three files of `name` from the map's layers and size. The old
// files are replaced only once all three new ones are complete, and then all
// three or none. Files that the user may not write are refused, existing files
// keep their permissions, and symbolic links are written through. Holds the
// map's lock, the file `name` + ".lock" beside it, exclusively meanwhile,
// waiting a while for other programs' saves and loads of it to end. 1 on
// success; 0 with the cause in errno.
int SaveMap(const MapLayers& map, const char* name);

// Reads the three files of `name` into the map's layers, reserving them
// first, and takes the map's size from the "_teki.txt" file, leaving out
// trailing lines that hold no number. Fails without changing anything when a file cannot be read or
// holds no number at all; a file changed while it is read can still fail it half-way. Holds no more
// than a block of text per file, whatever the map's size. Holds the map's lock shared meanwhile, so
// that it reads a set that one save wrote whole. 1 on success.
int LoadMap(MapLayers& map, const char* name);

// 1 when `path`, links followed, is one of the files of the map `name`: its
// three files or its lock file.
int IsMapFile(const char* name, const std::string& path);

} // namespace tessera
