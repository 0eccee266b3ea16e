#include "editor/snapshot.h"

#include "draw/draw.h"
#include "editor/editor_state.h"
#include "editor/map_model.h"
#include "editor/panel.h"
#include "editor/panel_layout.h"

namespace {

constexpr float DIMMING_ALPHA = 0.7f; // the dimming image's share of each channel

bool DimmingLoaded = false;
ObjectNo DimmingImage = 0;

} // namespace

void TakeSnapshot() {
    // A failed load is not retried: its error box would come back every time.
    if (!DimmingLoaded) {
        DimmingImage = elDraw::LoadObject("bmp\\kurowaku.bmp", 2);
        DimmingLoaded = true;
    }
    elDraw::BlendDraw(0, 0, DIMMING_ALPHA, DimmingImage, 0, 0, VIEW_AREA.width, VIEW_AREA.height);
    elDraw::Capture(0, 0, 0, VIEW_AREA.width, VIEW_AREA.height);
}

void RetakeSnapshotAfterScroll() {
    if (ViewScrolled && EditMode != EDIT_CHIPS) TakeSnapshot();
    ViewScrolled = 0;
}
