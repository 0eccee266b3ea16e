// Interchange of a map with TMX documents, the format general-purpose tile-map
// editors read and write. Three layers, chips, attributes and enemies, each
// with its own tileset so that every value survives a round trip.
#pragma once

// Tilesets: a layer value v is written as the gid first + v, but for the
// attribute and enemy layers, where 0 means nothing there, 0 is written as the
// empty gid 0. Import reads gid 0 as 0 in every layer.
constexpr int TMX_CHIP_FIRSTGID = 1;
constexpr int TMX_CHIP_COUNT = 20000;
constexpr int TMX_ATTR_FIRSTGID = TMX_CHIP_FIRSTGID + TMX_CHIP_COUNT; // 20001
constexpr int TMX_VALUE_COUNT = 256; // attribute and enemy tilesets
constexpr int TMX_ENEMY_FIRSTGID = TMX_ATTR_FIRSTGID + TMX_VALUE_COUNT; // 20257

// tessera-map export NAME OUT.tmx and tessera-map import IN.tmx NAME; the
// arguments after the command's name. Exit status 0, 1 or, after a wrong
// argument, 2.
int RunExport(int argc, char** argv);
int RunImport(int argc, char** argv);

// Writes the map NAME (its three files) as the TMX document `out`. Errors go to
// standard error naming the file and the fault; nothing is written then. 1 on
// success.
int ExportTmx(const char* name, const char* out);

// Reads the TMX document `in` (CSV, base64, base64 zlib or gzip layers) and
// writes the three files of map NAME. Errors as for ExportTmx. 1 on success.
int ImportTmx(const char* in, const char* name);
