#include "run/bodies.h"

#include <algorithm>

int IsSolidCell(int row, int column) {
    if (column < 0) return 1;
    if (column >= RunMap->width * SCREEN_COLUMNS || row < 0 || row >= RunMap->height * SCREEN_ROWS)
        return 0;
    return RunMap->attributes[row][column] == SOLID_ATTRIBUTE;
}

int BoxHitsSolid(int left, int top, int width, int height) {
    // Arithmetic shifts round towards minus infinity, also left of and above the map.
    const int firstColumn = left >> 3, lastColumn = (left + width - 1) >> 3;
    const int firstRow = top >> 3, lastRow = (top + height - 1) >> 3;
    for (int row = firstRow; row <= lastRow; ++row)
        for (int column = firstColumn; column <= lastColumn; ++column)
            if (IsSolidCell(row, column)) return 1;
    return 0;
}

namespace {

// 1 when the body stands on a solid cell: the row of pixels under it.
int IsOnGround(const Body& body) {
    return BoxHitsSolid(PixelX(body), PixelY(body) + body.height, body.width, 1);
}

// Moves `position` (subpixels) by `velocity`, a pixel at a time while `free`
// accepts the next pixel. Returns 0 when a pixel was refused: the position
// then rests on the last free pixel.
template <typename Free> int Travel(int& position, int velocity, Free free) {
    const int target = position + velocity;
    const int step = velocity > 0 ? 1 : -1;
    for (int pixel = position >> 8; pixel != target >> 8; pixel += step) {
        if (!free(pixel + step)) {
            // Flush against the cell: the far edge of the last free pixel.
            position = velocity > 0 ? (pixel << 8) + SUBPIXELS - 1 : pixel << 8;
            return 0;
        }
    }
    position = target;
    return 1;
}

} // namespace

void MoveBody(Body& body) {
    body.hitWall = 0;
    if (body.vx != 0 && !Travel(body.x, body.vx, [&](int x) {
            return !BoxHitsSolid(x, PixelY(body), body.width, body.height);
        })) {
        body.vx = 0;
        body.hitWall = 1;
    }
    if (body.vy != 0 && !Travel(body.y, body.vy, [&](int y) {
            return !BoxHitsSolid(PixelX(body), y, body.width, body.height);
        }))
        body.vy = 0;
    body.onGround = IsOnGround(body);
}

void Fall(Body& body, int pull) { body.vy = std::min(body.vy + pull, MAX_FALL_SPEED); }

int BodiesTouch(const Body& a, const Body& b) {
    return PixelX(a) < PixelX(b) + b.width && PixelX(b) < PixelX(a) + a.width &&
           PixelY(a) < PixelY(b) + b.height && PixelY(b) < PixelY(a) + a.height;
}
