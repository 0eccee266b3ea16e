// Stamping in chip editing: a right click on a map cell stamps the selection
// there once; a right-button drag tiles it over the dragged rectangle, shown
// while the button is held and written, with one undo record, on release.
#pragma once

struct MapCell {
    int column, row;
};

extern MapCell StampAnchor; // the cell where the right button went down

// Once per frame in chip editing, with the selection's start and end cells.
void StampStep(int startColumn, int startRow, int endColumn, int endRow);
