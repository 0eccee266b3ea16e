#include "editor/snapshot.h"

#include "draw/draw.h"
#include "editor/map_model.h"
#include "editor/panel.h"

namespace {

constexpr float DIMMING_ALPHA = 0.7f; // the dimming image's share of each channel
constexpr int VIEW_WIDTH = VIEW_COLUMNS * CELL_SIZE;
constexpr int VIEW_HEIGHT = VIEW_ROWS * CELL_SIZE;

bool DimmingLoaded = false;
ObjectNo DimmingImage = 0;

} // namespace

void TakeSnapshot() {
    // A failed load is not retried: its error box would come back every time.
    if (!DimmingLoaded) {
        DimmingImage = elDraw::LoadObject("bmp\\kurowaku.bmp", 2);
        DimmingLoaded = true;
    }
    elDraw::BlendDraw(0, 0, DIMMING_ALPHA, DimmingImage, 0, 0, VIEW_WIDTH, VIEW_HEIGHT);
    elDraw::Capture(0, 0, 0, VIEW_WIDTH, VIEW_HEIGHT);
}

void RetakeSnapshotAfterScroll() {
    if (ViewScrolled && EditMode != 0) TakeSnapshot();
    ViewScrolled = 0;
}
