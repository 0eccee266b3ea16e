// The state every editor part shares: the map as the editor shows it (the map
// model, the view and palette positions, the chip frame), the edit mode, the
// drag states of the palette selection and of stamping, and the images.
#pragma once

#include "draw/draw.h"
#include "map/map_model.h"
#include "map/undo_history.h"

// The map being edited and its stamp history: the editor's one instance of
// each. The map's layers and size go by the names the editor's code reads.
extern tessera::MapLayers EditorMap;
extern tessera::UndoHistory EditorHistory;
extern LayerRow*& ChipLayer;
extern LayerRow*& AttrLayer;
extern LayerRow*& EnemyLayer;
extern int& MapWidth;  // in screens, 1 to 64
extern int& MapHeight; // in screens, 1 to 64

constexpr int VIEW_COLUMNS = 100; // map view on the editor screen, in cells
constexpr int VIEW_ROWS = 75;

extern int ViewX; // map cell at the view's top-left corner
extern int ViewY;
// The view's last position: across by view widths of 100 columns, down by
// screens of 72 rows. Never negative: maps are a screen at least.
inline int ViewXMax() { return (MapWidth - 1) * VIEW_COLUMNS; }
inline int ViewYMax() { return (MapHeight - 1) * SCREEN_ROWS; }
extern int PaletteX; // sheet pixel at the palette's top-left corner
extern int PaletteY;
extern int ChipFrame; // which of the two chip sheets draws the chips

enum EditModeNo { EDIT_CHIPS, EDIT_ATTRIBUTES, EDIT_ENEMIES };
extern int EditMode; // an EditModeNo

// The control panel reads both to hold its controls still while either drag runs.
extern int PaletteDrag; // 1 while a palette rectangle is being selected
extern int Stamping;    // 1 while a stamp is being dragged over the map

// The editor's images, loaded once at start-up.
extern ObjectNo PanelImage;     // pointer, buttons, digits, scroll-bar pieces
extern ObjectNo ChipSheets[2];  // the two animation frames of the chip set
extern ObjectNo CharSprites[8]; // enemy types 1 to 8
