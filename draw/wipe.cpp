// The clip-rectangle wipe: over several frames ClipRect opens from a collapsed
// line or band out to the rectangle saved at the start, or closes back to it.
#include "draw/draw.h"
#include "draw/draw_state.h"
#include "system/system.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace elDraw {

int WipeState;
ClipRectangle WipeSaved;
int WipeKind;
int WipeClosing;
float WipeSpeed;
int WipeBand;
int WipeOpened, WipeClosed;

namespace {

// Longest step taken in one frame; keeps absurd speeds within int range.
constexpr int MAX_STEP = 1 << 20;

int CentreX() { return WipeSaved.left + (WipeSaved.right - WipeSaved.left) / 2; }
int CentreY() { return WipeSaved.top + (WipeSaved.bottom - WipeSaved.top) / 2; }

// The band of kinds 8 and 9 across one axis, around its centre and never
// beyond the saved edges: a band wider than the rectangle is the whole side, a
// negative one is none.
std::pair<int, int> Band(int low, int high, int centre) {
    const long long half = std::max(0, WipeBand / 2);
    return {static_cast<int>(std::max<long long>(low, centre - half)),
            static_cast<int>(std::min<long long>(high, centre + half))};
}

// Where an opening starts and a closing ends.
ClipRectangle Collapsed() {
    const ClipRectangle& s = WipeSaved;
    const int cx = CentreX(), cy = CentreY();
    switch (WipeKind) {
    case 1:
        return {s.left, s.bottom, s.right, s.bottom};
    case 2:
        return {s.left, s.top, s.right, s.top};
    case 3:
        return {s.right, s.top, s.right, s.bottom};
    case 4:
        return {s.left, s.top, s.left, s.bottom};
    case 5:
        return {s.left, cy, s.right, cy};
    case 6:
        return {cx, s.top, cx, s.bottom};
    case 7:
        return {cx, cy, cx, cy};
    case 8: {
        const auto [left, right] = Band(s.left, s.right, cx);
        return {left, cy, right, cy};
    }
    default: {
        const auto [top, bottom] = Band(s.top, s.bottom, cy);
        return {cx, top, cx, bottom};
    }
    }
}

// Pixels every moving edge travels this frame: trunc(FrameSeconds x speed) + 1.
int StepSize() {
    const float pixels = FrameSeconds * WipeSpeed;
    if (!(pixels > 0)) return 1;
    if (pixels >= MAX_STEP) return MAX_STEP;
    return static_cast<int>(pixels) + 1;
}

// Moves one edge toward its target, stopping there. True once it is there.
bool Approach(int& edge, int target, int step) {
    edge = edge < target ? std::min(edge + step, target) : std::max(edge - step, target);
    return edge == target;
}

// Moves a pair of opposite edges apart; as soon as either reaches its target
// both are set to their targets. True then.
bool Spread(int& low, int& high, int lowTarget, int highTarget, int step) {
    low -= step;
    high += step;
    if (low > lowTarget && high < highTarget) return false;
    low = lowTarget;
    high = highTarget;
    return true;
}

// Moves a pair of opposite edges together; once they meet or cross both stop
// at the centre. True then.
bool Meet(int& low, int& high, int centre, int step) {
    low += step;
    high -= step;
    if (low < high) return false;
    low = high = centre;
    return true;
}

// Kinds 8 and 9 open one pair of edges completely before the other moves.
bool SpreadInTurn(int& firstLow, int& firstHigh, int firstLowTarget, int firstHighTarget,
                  int& thenLow, int& thenHigh, int thenLowTarget, int thenHighTarget, int step) {
    if (firstLow != firstLowTarget || firstHigh != firstHighTarget) {
        Spread(firstLow, firstHigh, firstLowTarget, firstHighTarget, step);
        return false;
    }
    return Spread(thenLow, thenHigh, thenLowTarget, thenHighTarget, step);
}

// Kinds 8 and 9 close one pair of edges in to the band before the other meets.
bool MeetInTurn(int& bandLow, int& bandHigh, std::pair<int, int> band, int& thenLow, int& thenHigh,
                int thenCentre, int step) {
    if (bandLow != band.first || bandHigh != band.second) {
        Approach(bandLow, band.first, step);
        Approach(bandHigh, band.second, step);
        return false;
    }
    return Meet(thenLow, thenHigh, thenCentre, step);
}

// One frame of an opening; true when ClipRect has reached the saved rectangle.
bool StepOpening(int step) {
    ClipRectangle& c = ClipRect;
    const ClipRectangle& s = WipeSaved;
    switch (WipeKind) {
    case 1:
        return Approach(c.top, s.top, step);
    case 2:
        return Approach(c.bottom, s.bottom, step);
    case 3:
        return Approach(c.left, s.left, step);
    case 4:
        return Approach(c.right, s.right, step);
    case 5:
        return Spread(c.top, c.bottom, s.top, s.bottom, step);
    case 6:
        return Spread(c.left, c.right, s.left, s.right, step);
    case 7: {
        const bool vertical = Spread(c.top, c.bottom, s.top, s.bottom, step);
        const bool horizontal = Spread(c.left, c.right, s.left, s.right, step);
        return vertical && horizontal;
    }
    case 8:
        return SpreadInTurn(c.top, c.bottom, s.top, s.bottom, c.left, c.right, s.left, s.right,
                            step);
    default:
        return SpreadInTurn(c.left, c.right, s.left, s.right, c.top, c.bottom, s.top, s.bottom,
                            step);
    }
}

// One frame of a closing; true when ClipRect has collapsed.
bool StepClosing(int step) {
    ClipRectangle& c = ClipRect;
    const ClipRectangle& s = WipeSaved;
    switch (WipeKind) {
    case 1:
        return Approach(c.top, s.bottom, step);
    case 2:
        return Approach(c.bottom, s.top, step);
    case 3:
        return Approach(c.left, s.right, step);
    case 4:
        return Approach(c.right, s.left, step);
    case 5:
        return Meet(c.top, c.bottom, CentreY(), step);
    case 6:
        return Meet(c.left, c.right, CentreX(), step);
    case 7: {
        const bool vertical = Meet(c.top, c.bottom, CentreY(), step);
        const bool horizontal = Meet(c.left, c.right, CentreX(), step);
        return vertical && horizontal;
    }
    case 8:
        return MeetInTurn(c.left, c.right, Band(s.left, s.right, CentreX()), c.top, c.bottom,
                          CentreY(), step);
    default:
        return MeetInTurn(c.top, c.bottom, Band(s.top, s.bottom, CentreY()), c.left, c.right,
                          CentreX(), step);
    }
}

} // namespace

int WipeStart(int closing, int kind, float speed, int band) {
    if (WipeState > 0) return 0;
    if (WipeState == -1) ClipRect = WipeSaved;
    WipeSaved = ClipRect;
    if (kind < 1 || kind > 9) kind = std::rand() % 9 + 1;
    WipeOpened = WipeClosed = 0;
    WipeClosing = closing;
    WipeKind = kind;
    WipeSpeed = speed;
    WipeBand = band;
    if (closing) {
        WipeState = 2;
        return 1;
    }
    WipeState = 1;
    ClipRect = Collapsed();
    return 1;
}

int WipeStep() {
    if (WipeState <= 0) return 0;
    const int step = StepSize();
    if (!WipeClosing) {
        if (StepOpening(step)) {
            WipeState = 0;
            WipeOpened = 1;
        }
    } else if (StepClosing(step)) {
        WipeState = -1;
        WipeClosed = 1;
    }
    return 1;
}

void WipeClose() {
    // A wipe under way keeps the rectangle it saved, so that it can be put back.
    if (WipeState == 0) WipeSaved = ClipRect;
    ClipRect.right = ClipRect.left;
    ClipRect.bottom = ClipRect.top;
    WipeState = -1;
}

void WipeCancel() {
    if (WipeState == 0) return;
    ClipRect = WipeSaved;
    WipeState = 0;
}

} // namespace elDraw
