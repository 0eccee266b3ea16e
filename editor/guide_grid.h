// The guide grid every six cells and the edges of the game screens, over the
// map view; both move with the map.
#pragma once

// Positions on the screen of grid line k (vertical lines: k 0..15, horizontal
// lines: k 0..11) and of the screen boundaries, for a view position in cells.
int GridLineX(int viewX, int k);
int GridLineY(int viewY, int k);
int ScreenBoundaryX(int viewX);
int ScreenBoundaryY(int viewY);

void DrawGuideGrid();
