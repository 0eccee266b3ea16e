// Panel state, the momentary release, the chip-frame step and the animation.
#include "editor/panel.h"

#include "editor/map_model.h"
#include "system/system.h"

#include <cstring>

namespace {
constexpr float FRAME_INTERVAL = 0.08f; // seconds per animation frame
} // namespace

// Chip editing starts selected.
static_assert(MODE_CHIPS == 0);
unsigned char ButtonLit[CONTROL_COUNT] = {1};
unsigned char ViewScrolled = 0;
int AnimOn = 0;
float AnimTimer = FRAME_INTERVAL;

void ReleaseMomentaryButtons() {
    std::memset(ButtonLit + FIRST_MOMENTARY, 0, CONTROL_COUNT - FIRST_MOMENTARY);
}

void StepChipFrame(int direction) {
    ChipFrame += direction;
    if (ChipFrame > 1) ChipFrame = 0;
    if (ChipFrame < 0) ChipFrame = 1;
}

// The timer carries over while the animation is off, so switching it back on
// resumes the interval where it stopped.
void AnimationTick() {
    if (AnimOn == 1) {
        AnimTimer -= FrameSeconds;
        if (AnimTimer < 0) {
            ChipFrame += 1;
            AnimTimer = FRAME_INTERVAL;
        }
    }
    if (ChipFrame > 1) ChipFrame = 0;
}
