#include "editor/editor_state.h"

tessera::MapLayers EditorMap;
tessera::UndoHistory EditorHistory;
LayerRow*& ChipLayer = EditorMap.chips;
LayerRow*& AttrLayer = EditorMap.attributes;
LayerRow*& EnemyLayer = EditorMap.enemies;
int& MapWidth = EditorMap.width;
int& MapHeight = EditorMap.height;

int ViewX = 0;
int ViewY = 0;
int PaletteX = 0;
int PaletteY = 0;
int ChipFrame = 0;

int EditMode = EDIT_CHIPS;
int PaletteDrag = 0;
int Stamping = 0;

ObjectNo PanelImage;
ObjectNo ChipSheets[2];
ObjectNo CharSprites[8];
