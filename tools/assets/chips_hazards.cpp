// Columns 68 to 71: spikes facing four ways, a saw blade that turns between
// the frames, stalactites, cobwebs and thorns.
#include "tools/assets/chip_tile.h"

#include <cmath>
#include <numbers>

namespace assets {

namespace {

// A spike standing on the bottom of an 8 x 8 picture; side by side they make
// a row of spikes.
Canvas Spikes(const Theme& t, int kind) {
    Canvas c(8, 8);
    const Rgb kinds[4] = {t.metal, t.wood, Mix(t.cloud, Rgb{230, 220, 190}, 0.6),
                          Mix(t.accent, Rgb{160, 230, 255}, 0.5)};
    const Rgb m = kinds[kind];
    c.Polygon({{0, 8}, {4, 0}, {8, 8}}, [&](int x, int y) {
        c.Put(x, y, x < 3 ? Shade(m, 1.25) : x == 3 ? Mix(m, kWhite, 0.5) : Shade(m, 0.78));
    });
    if (kind == 0)
        for (int x = 0; x < 8; ++x) c.Put(x, 7, Shade(m, 0.6));
    return c;
}

// Turns a square picture a quarter turn clockwise `quarters` times.
Canvas Turn(const Canvas& picture, int quarters) {
    Canvas turned = picture;
    for (int q = 0; q < quarters; ++q) {
        Canvas next(turned.Width(), turned.Height());
        const int n = turned.Width();
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x)
                if (!turned.Clear(x, y)) next.Put(n - 1 - y, x, turned.Get(x, y));
        turned = next;
    }
    return turned;
}

Canvas Saw(const Theme& t, int frame) {
    Canvas c(16, 16);
    const double turn = frame * std::numbers::pi / 8;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const double dx = x + 0.5 - 8, dy = y + 0.5 - 8, d = std::hypot(dx, dy);
            const double a = std::atan2(dy, dx) - turn;
            const double tooth = 6 + 1.6 * (std::fmod(a / (2 * std::numbers::pi) * 8 + 8, 1.0));
            if (d > tooth) continue;
            Rgb col = d < 2   ? Shade(t.metal, 0.6)
                      : d < 5 ? Mix(t.metal, kWhite, dx + dy < 0 ? 0.3 : 0.05)
                              : Shade(t.metal, 0.85);
            if (std::abs(d - 3.5) < 0.5 &&
                std::fmod(a + 8 * std::numbers::pi, std::numbers::pi / 2) < 0.4)
                col = Shade(t.metal, 0.55);
            c.Put(x, y, col);
        }
    return c;
}

Canvas Stalactites(const Theme& t) {
    Canvas c(16, 16);
    const Rgb rock = Mix(t.stone, t.earth, 0.3);
    const double points[4][2] = {{2.5, 11}, {6.5, 15}, {10.5, 8}, {13.5, 12}};
    for (const auto& p : points)
        c.Polygon({{p[0] - 2.5, 0}, {p[0] + 2.5, 0}, {p[0], p[1]}}, [&](int x, int y) {
            c.Put(x, y, x < p[0] ? Shade(rock, 1.1) : Shade(rock, 0.8));
        });
    for (int x = 0; x < 16; ++x) c.Put(x, 0, Shade(rock, 0.7)), c.Put(x, 1, Shade(rock, 0.9));
    return c;
}

// A web in a corner: threads from the corner, joined by straight strands.
Canvas Web(const Theme& t, bool mirrored) {
    Canvas c(16, 16);
    const Rgb silk = Mix(t.cloud, kWhite, 0.4), strand = Shade(silk, 0.78);
    auto put = [&](Canvas& target, int x, int y, Rgb col) {
        target.Put(mirrored ? 15 - x : x, y, col);
    };
    constexpr int kThreads = 5;
    auto point = [](int thread, double radius) {
        const double a = thread * std::numbers::pi / 2 / (kThreads - 1);
        return Point{std::cos(a) * radius, std::sin(a) * radius};
    };
    Canvas web(16, 16);
    for (double radius : {5.0, 10.0, 14.5})
        for (int k = 0; k + 1 < kThreads; ++k) {
            const Point a = point(k, radius), b = point(k + 1, radius - 1);
            web.Line(static_cast<int>(a.x), static_cast<int>(a.y), static_cast<int>(b.x),
                     static_cast<int>(b.y), strand);
        }
    for (int k = 0; k < kThreads; ++k) {
        const Point end = point(k, 16);
        web.Line(0, 0, static_cast<int>(end.x), static_cast<int>(end.y), silk);
    }
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if (!web.Clear(x, y)) put(c, x, y, web.Get(x, y));
    return c;
}

// Two thorny vines winding across 32 pixels; false where neither passes.
bool Thorns(const Theme& t, int fx, int fy, Rgb& out) {
    constexpr double kTau = 2 * std::numbers::pi;
    const Rgb vine = Mix(t.leaf, t.wood, 0.5);
    for (int k = 0; k < 2; ++k) {
        const double mid = 8 + 4 * std::sin(kTau * (fx + 16 * k) / 32);
        const int d = fy - static_cast<int>(std::lround(mid));
        if (d == 0) {
            out = k ? Shade(vine, 0.8) : vine;
            return true;
        }
        if ((fx + 5 * k) % 6 == 0 && (d == -1 || d == 1)) {
            out = Mix(vine, t.cloud, 0.3); // a thorn
            return true;
        }
    }
    return false;
}

} // namespace

void PaintHazards(const Tile& tile) {
    const Theme& t = tile.t;
    const int r = tile.r, lc = tile.lc, ox = (lc % 2) * kChip, oy = (r % 2) * kChip;
    static constexpr int kQuarters[4] = {0, 2, 3, 1}; // up, down, left, right
    if (r < 4)
        tile.From(Turn(Spikes(t, lc), kQuarters[r]), 0, 0);
    else if (r < 6)
        tile.From(lc < 2 ? Saw(t, tile.frame) : Stalactites(t), ox, oy);
    else if (r < 8)
        tile.From(Web(t, lc >= 2), ox, oy);
    else
        tile.Each([&](int x, int y) {
            Rgb c;
            if (Thorns(t, tile.Fx(x), tile.Fy(y) - 8 * kChip, c)) tile.Put(x, y, c);
        });
}

} // namespace assets
