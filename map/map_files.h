// The map on disk: three text files named after the map, "_data.txt" for the
// chip layer, "_zk.txt" for attributes and "_teki.txt" for enemies. Each holds
// height * 72 lines of width * 96 decimal values (the map's size in screens),
// every value followed by a space and every line ended by CR LF; the game
// reads them as they are.
//
// Beside them lie the map's lock file, NAME.lock, which programs lock (never
// write) while they save or load the map, and, only while a save puts the
// files in place or after one was stopped half-way, its journal, NAME.journal,
// which the next save or load of the map follows to finish or undo it.
#pragma once

#include "map/map_model.h"
#include "platform/files/file_io.h"

#include <array>
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

// What is wrong with `name` as the name of a map, in words, or null when
// nothing is: a name the editor could make (letters and digits), and every
// path whose three files a folder can hold, are right; an empty one, "." or
// ".." (or a path that ends so), and one with control characters are not.
const char* MapNameFault(const char* name);

// Why a save or load of a map failed.
enum class MapFault {
    None,
    BadName,   // the name is none of a map's: MapNameFault says why
    System,    // the system refused something about `file`, for `cause`
    NoNumbers, // `file` holds no number
    Held,      // the map's lock file `file` stayed held, by the process `holder`
    Changed,   // the map's files changed since they were last read or written
};

struct MapError {
    MapFault fault = MapFault::None;
    int cause = 0;    // an errno value
    std::string file; // the file concerned, as found on disk
    long holder = 0;  // 0 when it could not be told
};

// The fault in words, for a message: the file concerned and what is wrong
// with it ("m.lock: held by process 1234"), or what is wrong with the name.
std::string DescribeMapError(const MapError& error);

// The map's three files as they were when a program last read or wrote them:
// equal identities mean files that nothing has changed since.
using MapFileIdentities = std::array<platform::FileIdentity, MAP_FILE_COUNT>;

// Writes the three files of `name` from the map's layers and size, as one set:
// all three new files in place, flushed to the disk, or (on failure, or when
// the program or the machine stops half-way) all three old ones. Files that a
// plain write would refuse are refused, existing files keep their owner,
// group, permissions, access lists and extended attributes, and symbolic links
// are written through. Holds the map's lock exclusively meanwhile, waiting a
// while for other programs' saves and loads of it to end, and first finishes
// what a save stopped half-way left. With `unchangedSince`, writes nothing
// (MapFault::Changed) when the files are no longer those. 1 on success, with
// the new files' identities in `written` when given; 0 with the cause in errno
// and `error`.
int SaveMap(const MapLayers& map, const char* name, MapError* error = nullptr,
            const MapFileIdentities* unchangedSince = nullptr,
            MapFileIdentities* written = nullptr);

// Reads the three files of `name` into the map's layers, reserving them
// first, and takes the map's size from the "_teki.txt" file, leaving out
// trailing lines that hold no number. Fails without changing anything when a
// file cannot be read or holds no number at all. Holds no more than a block of
// text per file, whatever the map's size. Reads a set that one save wrote
// whole: under the map's lock, shared (a lock file is never made for it), and
// where a save stopped half-way, finishing it first when this user may, or
// else reading the set its journal names. 1 on success, with the identities of
// the files read in `read` when given; 0 with the cause in errno and `error`.
int LoadMap(MapLayers& map, const char* name, MapError* error = nullptr,
            MapFileIdentities* read = nullptr);

// 1 when `path`, links followed, is one of the files of the map `name`: its
// three files, its lock file or its journal.
int IsMapFile(const char* name, const std::string& path);

// 1 when any of the files of the map `name` is there, as a file that a save
// would replace (links followed).
int MapExists(const char* name);

} // namespace tessera
