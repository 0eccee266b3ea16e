// The overview: Tab shows the whole map scaled into the view area, each cell
// group as the average colour of its chip with enemies marked in red, the game
// screens' grid and the view as a rectangle. A left click there centres the
// view on that cell, within the view's limits, and closes it; Tab or Esc
// closes it. The picture is kept between showings and redrawn only where the
// map changed, so that it opens at once even on a 64 x 64-screen map.
#pragma once

extern int OverviewOpen; // 1 while the overview covers the view

// Once per frame, before anything acts on the mouse: Tab and Esc, and a click
// in the overview. While it is open the view area's clicks go to it alone.
// Keys do nothing while a prompt takes a name or a drag runs.
void OverviewInput();
// Once per frame, just before the pointer: the overview over the view area.
void DrawOverview();

// Marks map cells as changed, so that the picture is redrawn there before it
// is shown next.
void OverviewTouch(int left, int top, int width, int height);
// The whole map changed (a load): the picture is redrawn whole.
void OverviewTouchAll();
