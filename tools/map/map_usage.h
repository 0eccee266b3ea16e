// tessera-map's usage, shared by its commands for their argument errors, and
// the words of a failed load or save of a map.
#pragma once

#include "command_line/command_line.h"
#include "map/map_files.h"

#include <string>

extern const CommandUsage MapUsage;

// Reports a NAME that no map can have as a wrong argument: the status to end
// with, 2; 0 when it may be a map's.
int RefuseMapName(const char* name);

// "cannot DOING the map "NAME": WHY", the name printable.
std::string MapFailure(const char* doing, const char* name, const tessera::MapError& error);
