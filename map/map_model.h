// The map: three layers of cells, and its size in game screens. The geometry,
// the layer row and the cell and chip helpers are the vocabulary every program
// shares and stand outside any namespace, as the framework's constants do; the
// map itself is a value, tessera::MapLayers, that each program owns.
#pragma once

#include <cstdint>

// Geometry. Sizes are in cells unless named otherwise.
constexpr int CELL_SIZE = 8;       // pixels along each side of a cell
constexpr int SCREEN_COLUMNS = 96; // one game screen
constexpr int SCREEN_ROWS = 72;
constexpr int MAP_SIZE_MIN = 1; // map size in screens, each way
constexpr int MAP_SIZE_MAX = 64;
constexpr int LAYER_COLUMNS = MAP_SIZE_MAX * SCREEN_COLUMNS; // 6144
constexpr int LAYER_ROWS = MAP_SIZE_MAX * SCREEN_ROWS;       // 4608
constexpr int SHEET_COLUMNS = 80;                            // chips across a chip sheet
constexpr int SHEET_ROWS = 250;
constexpr int CHIP_COUNT = SHEET_COLUMNS * SHEET_ROWS; // chip numbers 0 to 19999

// A layer is LAYER_ROWS of these, addressed layer[row][column], row 0 at the top.
using LayerRow = std::int32_t[LAYER_COLUMNS];

// 1 when the cell lies inside the layer arrays. The view can reach past them
// (row 4610, column 6399 at most): such cells read as 0 and ignore writes.
inline int IsInsideLayer(int row, int column) {
    return static_cast<unsigned>(row) < static_cast<unsigned>(LAYER_ROWS) &&
           static_cast<unsigned>(column) < static_cast<unsigned>(LAYER_COLUMNS);
}

// A layer not yet reserved (null) reads as 0 and ignores writes too.
inline int GetCell(const LayerRow* layer, int row, int column) {
    return layer && IsInsideLayer(row, column) ? layer[row][column] : 0;
}

inline void SetCell(LayerRow* layer, int row, int column, int value) {
    if (layer && IsInsideLayer(row, column)) layer[row][column] = value;
}

// Width and height of the part of each enemy sprite that is drawn, from its
// top-left corner; type t uses entry t - 1.
struct SpriteSize {
    int Width, Height;
};
inline constexpr SpriteSize EnemySize[8] = {{48, 48}, {56, 56}, {56, 56}, {56, 56},
                                            {48, 48}, {48, 48}, {48, 48}, {48, 48}};
// An enemy's sprite is drawn this many pixels right of and below its cell's
// top-left corner, in the editor and in map pictures, and the game starts the
// enemy there.
constexpr int ENEMY_SPRITE_OFFSET = 2;

// The images of the map, in the program's folder: the chip sheets (the two
// animation frames, each shown CHIP_FRAME_SECONDS in turn) and the enemy
// sprites of types 1 to 8.
inline constexpr const char* CHIP_SHEET_FILES[2] = {"bmp\\m_cp00.BMP", "bmp\\m_cp01.BMP"};
inline constexpr const char* ENEMY_SPRITE_FILES[8] = {
    "char\\char00.BMP", "char\\char01.BMP", "char\\char02.BMP", "char\\char03.BMP",
    "char\\char04.BMP", "char\\char05.BMP", "char\\char06.BMP", "char\\char07.BMP"};
constexpr float CHIP_FRAME_SECONDS = 0.08f;

// The attribute of a solid cell: the game stops bodies at cells of this
// value and at no other.
constexpr int SOLID_ATTRIBUTE = 1;
// A chip is solid when its sheet column is 32 to 63.
inline int IsSolidChip(int n) { return ((n % SHEET_COLUMNS) & 0x20) != 0; }

// Top-left pixel of chip n on the chip sheet; the chip is CELL_SIZE square.
inline int ChipLeft(int n) { return (n % SHEET_COLUMNS) * CELL_SIZE; }
inline int ChipTop(int n) { return (n / SHEET_COLUMNS) * CELL_SIZE; }

namespace tessera {

// A map: its size in game screens and its three layers. The layers are
// reserved by AllocateLayers, all zero, and given back when the map goes; pages
// that are never written take no memory. A map is moved, never copied: its
// layers are hundreds of megabytes.
struct MapLayers {
    int width = 1;  // in screens, 1 to 64
    int height = 1; // in screens, 1 to 64
    // Chip numbers, attribute values and enemy types. Null until AllocateLayers.
    LayerRow* chips = nullptr;
    LayerRow* attributes = nullptr;
    LayerRow* enemies = nullptr;

    MapLayers() = default;
    MapLayers(MapLayers&& other) noexcept;
    MapLayers& operator=(MapLayers&& other) noexcept;
    MapLayers(const MapLayers&) = delete;
    MapLayers& operator=(const MapLayers&) = delete;
    ~MapLayers();
};

// Reserves the three layers of `map`, all zero; does nothing when they are
// reserved already. 1 on success.
int AllocateLayers(MapLayers& map);
// The same with huge pages asked for, for programs whose load writes every cell
// of the map: small pages would cost a page fault for every 4 KB of it.
int AllocateLayersOnHugePages(MapLayers& map);

} // namespace tessera
