#include "editor/editor_state.h"

int PaletteDrag = 0;
int Stamping = 0;
