// A recovery copy of a map, kept in a folder of the program's own so that work
// not yet saved outlives a crash; never written into the map's own files.
//
// The copy is the map's three files, written as a save writes them under one
// of two names of the folder's ("copy-a", "copy-b"), and a record that names
// the map, its size, which of the two holds it, and whether it is on offer.
// A new copy is written under the name the record does not give, and the
// record is replaced only once that is whole on the disk: a copy cut short by
// a crash leaves the previous one as it was.
#pragma once

#include "map/map_model.h"

#include <string>

namespace tessera {

// What the record in a folder says of its copy.
struct RecoveryRecord {
    std::string name; // the map's name
    int width = 0, height = 0;
    char slot = 'a';     // which of the two names holds the files
    bool offered = true; // false once set aside
};

// Writes a copy of `map` and its `name` into `folder`, a private folder of
// this user's, in place of the copy there, flushed; the copy is on offer.
// Starts no threads when run in a task on a snapshot of the program. 1 on
// success; 0 with the cause in errno.
int WriteRecoveryCopy(const MapLayers& map, const std::string& name, const std::string& folder);

// Reads the record of the copy in `folder`. 0 when there is none, or none
// that this code wrote.
int ReadRecoveryRecord(const std::string& folder, RecoveryRecord& record);

// Reads the copy that `record` tells of into `map`, in place of what it held,
// as a load does (the files give the size). 1 on success; 0 with `map`
// unchanged.
int ReadRecoveryCopy(const std::string& folder, const RecoveryRecord& record, MapLayers& map);

// Sets the copy in `folder` aside: it stays, but is no longer on offer, until
// the next copy written there replaces it. 1 on success.
int SetRecoveryCopyAside(const std::string& folder);

// Removes the copy in `folder`, set aside or not: its record first, so that a
// removal cut short leaves nothing on offer. 1 when nothing of it is left.
int RemoveRecoveryCopy(const std::string& folder);

} // namespace tessera
