// The three edit modes: chips, attributes and enemies. In attribute and enemy
// editing a left click raises the value of the cell under the pointer, a right
// click lowers it, and a held button repeats.
#pragma once

#include "editor/editor_state.h"

extern int RepeatOn;   // 1 once a held button repeats every frame
extern float HoldTime; // seconds counted towards the repeat

// The mode buttons' effect, then the editing of the current mode.
void ModeStep();
// Sets each cell's attribute inside the map from its chip: solid chips without
// an attribute get 1, cells of other chips lose theirs.
void SolidPass();
// Raises or lowers the cell under the pointer in `layer`, with auto-repeat.
void EditLayerCell(LayerRow* layer);
