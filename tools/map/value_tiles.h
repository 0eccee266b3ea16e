// Pictures for the attribute and enemy tilesets of an exported TMX document,
// so that general-purpose editors show those layers: tile v is the value v in
// two hexadecimal digits on a coloured ground, tile 0 all in the key colour
// that the tileset names as transparent.
#pragma once

constexpr int VALUE_TILE_COLUMNS = 16;
constexpr int VALUE_TILES_SIZE = VALUE_TILE_COLUMNS * 8; // 128 x 128 pixels
constexpr const char* VALUE_TILE_KEY = "ff00ff";

enum class ValueTiles { Attributes, Enemies };

// Writes the 256 tiles of the kind as a PNG into the open file `fd`, which it
// closes. False on failure, with the cause in errno.
bool WriteValueTiles(int fd, ValueTiles kind);
