#include "editor/editor_state.h"

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
