#include "platform/backend.h"
#include "platform/headless/headless.h"
#include "platform/win/cursor.h"

namespace platform {

namespace {

int moves = 0;
int lastX = 0, lastY = 0;

} // namespace

namespace backend {

// There is no real pointer; the confinement is only kept (see CursorClip).
void ConfineNativePointer(const RECT*) {}

// Moves are recorded for tests.
void MoveNativePointer(int x, int y) {
    ++moves;
    lastX = x;
    lastY = y;
}

} // namespace backend

namespace headless {

int PointerMoveCount() { return moves; }

void LastPointerMove(int* x, int* y) {
    *x = lastX;
    *y = lastY;
}

} // namespace headless
} // namespace platform
