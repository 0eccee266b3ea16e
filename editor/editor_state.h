// The edit mode, and the drag states of the palette selection and of
// stamping, which the control panel reads to hold its controls still while
// either drag runs.
#pragma once

enum EditModeNo { EDIT_CHIPS, EDIT_ATTRIBUTES, EDIT_ENEMIES };
extern int EditMode; // an EditModeNo

extern int PaletteDrag; // 1 while a palette rectangle is being selected
extern int Stamping;    // 1 while a stamp is being dragged over the map
