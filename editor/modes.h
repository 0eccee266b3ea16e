// The three edit modes: chips, attributes and enemies. In attribute and enemy
// editing a left click raises the value of the cell under the pointer, a right
// click lowers it, and a held button repeats.
#pragma once

#include "editor/editor_state.h"

extern int RepeatOn;   // 1 once a held button repeats every frame
extern float HoldTime; // seconds counted towards the repeat

// The mode buttons' effect, then the editing of the current mode.
void ModeStep();
// The attribute a cell gets from its chip: a solid chip's cell keeps a
// non-zero attribute and gets SOLID_ATTRIBUTE for none; any other chip's cell
// gets 0.
inline int PassedAttribute(int chip, int attribute) {
    return IsSolidChip(chip) ? (attribute != 0 ? attribute : SOLID_ATTRIBUTE) : 0;
}
// Sets each cell's attribute inside the map from its chip (PassedAttribute).
// Entering attribute editing runs it, and so does every save, so that a map is
// never saved with solids out of step with its chips.
void SolidPass();
// Raises or lowers the cell under the pointer in `layer`, with auto-repeat.
void EditLayerCell(LayerRow* layer);
