// Moving boxes against the solid cells of the map: the one rule of collision
// that the player and the enemies share.
#pragma once

#include "run/run_state.h"

// 1 when the cell stops a body: attribute 1 inside the map, and every cell
// left of it (the map's left edge is a wall). Cells above, below and right of
// the map are open: a body can jump above the top, fall out of the bottom and
// leave by the right edge.
int IsSolidCell(int row, int column);

// 1 when the box, in pixels, overlaps a solid cell.
int BoxHitsSolid(int left, int top, int width, int height);

// Moves the body by its velocity, horizontally first, one pixel at a time, so
// that no wall or floor is passed at any speed. A move stopped by a solid
// cell ends against it with that velocity 0 (hitWall set for a horizontal
// stop); onGround is found again after the move.
void MoveBody(Body& body);

// Gravity for one step: `pull` subpixels a step, falling no faster than
// MAX_FALL_SPEED.
constexpr int MAX_FALL_SPEED = 12 * SUBPIXELS;
void Fall(Body& body, int pull);

// 1 when the two boxes overlap.
int BodiesTouch(const Body& a, const Body& b);
