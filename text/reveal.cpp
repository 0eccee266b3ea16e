// Typewriter reveal of the last composed text: one more character per interval.
#include "draw/draw.h"
#include "system/system.h"
#include "text/text.h"

namespace elText {

namespace {

void Show(const platform::RECT& r) {
    elDraw::Draw(r.left, r.top, FONT_SPRITE, r.left, r.top, r.right, r.bottom);
}

} // namespace

int Reveal(float interval) {
    const int n = CharCount;
    if (interval == 0 || RevealCount > n + 1) {
        Show(CharRects[0]);
        RevealCount = n + 2;
    } else {
        for (int i = 1; i < RevealCount; ++i) Show(CharRects[i]);
    }
    if (RevealCount > n + 1) return 1;
    RevealTimer += FrameSeconds;
    if (interval <= RevealTimer) {
        ++RevealCount;
        RevealTimer = 0;
    }
    return 0;
}

} // namespace elText
