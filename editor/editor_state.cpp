#include "editor/editor_state.h"

int EditMode = EDIT_CHIPS;
int PaletteDrag = 0;
int Stamping = 0;
