// The selection and stamping. The selection is a rectangle of sheet chips
// picked in the palette, or of map cells picked in the view, with the left
// button. In chip editing the right button stamps it: a right click on a map
// cell stamps the selection there once; a right-button drag tiles it over the
// dragged rectangle, shown while the button is held and written, with one undo
// record, on release.
#pragma once

struct SelectionArea {
    int startColumn, startRow; // the cell where the left button went down
    int endColumn, endRow;     // the cell under the pointer while it was last held
};

// At start the single sheet chip 0.
extern SelectionArea Selection;
// 0 the cells are sheet chips (number row * 80 + column), 1 cells of ChipLayer.
extern unsigned char SelectFromMap;

// Once per frame: follows the left button over the palette or the view, draws
// the palette grid, the outline and the corner labels, then runs stamping in
// chip editing unless a palette drag is in progress.
void SelectionStep();
