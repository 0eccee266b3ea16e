#include "tools/assets/player.h"

#include <cmath>

namespace assets {

namespace {

// A hooded wanderer with a pack: plum tunic, teal hood, slate trousers,
// brown boots, a tan pack on the back.
constexpr Rgb kShirt{214, 22, 172}, kTrousers{64, 74, 96}, kBoot{104, 66, 40}, kSkin{236, 186, 146},
    kHood{36, 158, 168}, kPack{196, 150, 92};

// A limb from its root through its bend to its end, in frame coordinates
// (pixel centres at half units).
struct Limb {
    Point root, bend, end;
};

// One frame: the legs and arms on the near (viewer's) side and the far side,
// and how far the upper body sits above the standing pose.
struct Pose {
    Limb nearLeg, farLeg, nearArm, farArm;
    double lift;
};

// Frames in sheet order. Feet end on the bottom edge (y 48) when they carry
// the figure; the body stays inside x 6..26, y 8..48.
const Pose kPoses[kPlayerFrames] = {
    // Standing.
    {{{17, 33}, {17.5, 40}, {18, 46}},
     {{14, 33}, {13.5, 40}, {13, 46}},
     {{15, 22}, {15, 27}, {16, 31}},
     {{19, 22}, {20, 27}, {20, 31}},
     0},
    // Running: near leg reaching forward, far leg pushing off behind.
    {{{17, 33}, {21, 38}, {22, 46}},
     {{14, 33}, {11, 39}, {8, 43}},
     {{15, 22}, {12, 26}, {10, 29}},
     {{19, 22}, {22, 25}, {24, 22}},
     1},
    // Running: far leg reaching forward, near leg kicking up behind.
    {{{15, 33}, {13, 40}, {8, 40}},
     {{17, 33}, {20, 39}, {21, 46}},
     {{16, 22}, {20, 26}, {23, 24}},
     {{16, 22}, {13, 26}, {11, 30}},
     1},
    // Jumping: near knee drawn up, far leg hanging, far arm reaching up
    // behind the head, near arm forward.
    {{{17, 32}, {22, 35}, {20, 41}},
     {{14, 33}, {13, 40}, {11, 46}},
     {{17, 22}, {21, 27}, {25, 25}},
     {{15, 22}, {10, 17}, {10, 10}},
     2},
};

Point Up(Point p, double lift) { return {p.x, p.y - lift}; }

// A thick stroke with round ends.
void Stroke(Canvas& c, Point a, Point b, double width, Rgb colour) {
    const double dx = b.x - a.x, dy = b.y - a.y, length = std::hypot(dx, dy);
    const double nx = -dy / length * width / 2, ny = dx / length * width / 2;
    c.FillPolygon(
        {{a.x + nx, a.y + ny}, {b.x + nx, b.y + ny}, {b.x - nx, b.y - ny}, {a.x - nx, a.y - ny}},
        colour);
    c.FillEllipse(a.x, a.y, width / 2, width / 2, colour);
    c.FillEllipse(b.x, b.y, width / 2, width / 2, colour);
}

// A leg in trousers with a boot whose toe points forward; the sole of a
// carrying foot lies on the bottom edge.
void Leg(Canvas& c, const Limb& leg, double lift, double shade) {
    const Point hip = Up(leg.root, lift);
    Stroke(c, hip, leg.bend, 4.5, Shade(kTrousers, shade));
    Stroke(c, leg.bend, leg.end, 4, Shade(kTrousers, shade));
    const double x = leg.end.x, sole = leg.end.y + 2;
    c.FillPolygon({{x - 2.5, sole - 4},
                   {x + 2, sole - 4},
                   {x + 4.5, sole - 2},
                   {x + 4.5, sole},
                   {x - 2.5, sole}},
                  Shade(kBoot, shade));
    c.FillRect(static_cast<int>(x - 2), static_cast<int>(sole) - 4, 4, 1,
               Shade(kBoot, shade * 1.3));
}

// A sleeved upper arm and a bare forearm ending in a hand, edged in dark red
// so that it shows over the shirt.
void Arm(Canvas& c, const Limb& arm, double lift, double shade) {
    const Point shoulder = Up(arm.root, lift), elbow = Up(arm.bend, lift), hand = Up(arm.end, lift);
    const Rgb edge = Shade(kShirt, 0.45 * shade);
    Stroke(c, shoulder, elbow, 6, edge);
    Stroke(c, elbow, hand, 5, edge);
    c.FillEllipse(hand.x, hand.y, 3, 3, edge);
    Stroke(c, shoulder, elbow, 4, Shade(kShirt, 0.9 * shade));
    Stroke(c, elbow, hand, 3, Shade(kSkin, shade));
    c.FillEllipse(hand.x, hand.y, 2, 2, Shade(kSkin, shade));
}

void Body(Canvas& c, double lift) {
    const int top = static_cast<int>(20 - lift);
    // The pack on the back, under its flap.
    c.Polygon(
        {{7, top + 2.0}, {12, top + 1.0}, {12, top + 12.0}, {8, top + 12.0}, {6.5, top + 9.0}},
        [&](int x, int y) { c.Put(x, y, Shade(kPack, 1.1 - 0.03 * (y - top))); });
    c.FillRect(7, top + 2, 5, 2, Shade(kPack, 0.7));
    // A tunic lit from the upper left that flares below the belt.
    c.Polygon({{11, top + 2.0},
               {13, top + 0.0},
               {21, top + 0.0},
               {23, top + 2.0},
               {22.5, top + 10.0},
               {24, top + 15.0},
               {10, top + 15.0},
               {11.5, top + 10.0}},
              [&](int x, int y) { c.Put(x, y, Shade(kShirt, 1.12 - 0.025 * (x - 11))); });
    for (int x = 12; x < 23; ++x) c.Put(x, top + 10, Shade(kPack, 0.6));          // belt
    c.Put(13, top + 3, Shade(kPack, 0.6)), c.Put(14, top + 4, Shade(kPack, 0.6)); // strap
    // Head: face to the right inside a round hood whose tip hangs behind.
    const double cy = 14.5 - lift;
    c.FillEllipse(16.5, cy, 7, 7, kHood);
    c.FillPolygon({{10, cy - 2}, {6, cy + 4}, {11, cy + 3}}, Shade(kHood, 0.8));
    c.FillEllipse(19, cy + 1, 4.5, 5, kSkin);
    c.FillRect(19, static_cast<int>(cy - 4), 5, 1, Shade(kHood, 0.75)); // hood's rim
    c.FillRect(20, static_cast<int>(cy), 1, 2, kInk);                   // eye
    c.Put(23, static_cast<int>(cy + 2), Shade(kSkin, 0.85));            // nose
}

Canvas DrawFrame(const Pose& pose) {
    Canvas c(kPlayerFrameWidth, kPlayerFrameHeight);
    Arm(c, pose.farArm, pose.lift, 0.72);
    Leg(c, pose.farLeg, pose.lift, 0.72);
    Leg(c, pose.nearLeg, pose.lift, 1.0);
    Body(c, pose.lift);
    Arm(c, pose.nearArm, pose.lift, 1.0);
    c.Outline(kInk);
    return c;
}

} // namespace

Canvas DrawPlayerSheet() {
    Canvas sheet(kPlayerFrameWidth * kPlayerFrames, kPlayerFrameHeight);
    for (int f = 0; f < kPlayerFrames; ++f) {
        const Canvas frame = DrawFrame(kPoses[f]);
        for (int y = 0; y < kPlayerFrameHeight; ++y)
            for (int x = 0; x < kPlayerFrameWidth; ++x)
                if (!frame.Clear(x, y)) sheet.Put(f * kPlayerFrameWidth + x, y, frame.Get(x, y));
    }
    return sheet;
}

} // namespace assets
