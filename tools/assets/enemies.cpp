#include "tools/assets/enemies.h"

#include <cmath>
#include <numbers>

namespace assets {

namespace {

// Fills an ellipse shaded as a lit round body, light from the upper left.
void Ball(Canvas& c, double cx, double cy, double rx, double ry, Rgb base, double shine = 0.35) {
    c.Ellipse(cx, cy, rx, ry, [&](int x, int y) {
        const double nx = (x + 0.5 - cx) / rx, ny = (y + 0.5 - cy) / ry;
        const double nz = std::sqrt(std::max(0.0, 1 - nx * nx - ny * ny));
        const double light = -0.45 * nx - 0.55 * ny + 0.7 * nz;
        Rgb col = Shade(base, 0.55 + 0.55 * light);
        if (shine > 0 && std::hypot(nx + 0.4, ny + 0.45) < 0.22)
            col = Mix(col, kWhite, shine + 0.3);
        c.Put(x, y, col);
    });
}

void Eye(Canvas& c, double x, double y, double r, double lookX = -0.4) {
    c.FillEllipse(x, y, r, r * 1.2, Rgb{250, 250, 245});
    c.FillEllipse(x + lookX * r, y + 0.15 * r, r * 0.5, r * 0.65, kInk);
    c.Put(static_cast<int>(x + lookX * r - r * 0.2), static_cast<int>(y - r * 0.2), kWhite);
}

Canvas Slime() {
    Canvas c(48, 48);
    const Rgb green{90, 200, 90};
    Ball(c, 24, 30, 19, 15, green);
    for (int y = 42; y < 48; ++y)
        for (int x = 0; x < 48; ++x) c.Erase(x, y);
    for (int x = 7; x < 41; ++x) c.Put(x, 41, Shade(green, 0.5));
    c.FillEllipse(34, 43, 2, 2.5, Shade(green, 0.7)); // a drip
    Eye(c, 17, 27, 3.6), Eye(c, 29, 27, 3.6);
    for (int x = 19; x < 27; ++x) c.Put(x, 35 + (x == 19 || x == 26 ? -1 : 0), Shade(green, 0.35));
    return c;
}

Canvas Golem() {
    Canvas c(56, 56);
    const Rgb rock{150, 132, 112}, moss{92, 150, 70};
    Ball(c, 18, 50, 6, 5, Shade(rock, 0.9), 0), Ball(c, 38, 50, 6, 5, Shade(rock, 0.9), 0);
    Ball(c, 28, 28, 19, 19, rock, 0.15);
    Ball(c, 8, 32, 7, 9, Shade(rock, 0.95), 0.1), Ball(c, 48, 32, 7, 9, Shade(rock, 0.95), 0.1);
    // Cracks between the stones of the body.
    for (int i = 0; i < 9; ++i) c.Put(20 + i, 18 + i / 2, Shade(rock, 0.45));
    for (int i = 0; i < 7; ++i) c.Put(33 - i / 3, 33 + i, Shade(rock, 0.45));
    for (int i = 0; i < 6; ++i) c.Put(14 + i, 36 - i / 2, Shade(rock, 0.45));
    c.Ellipse(28, 12, 13, 4, [&](int x, int y) {
        if (!c.Clear(x, y)) c.Put(x, y, Pick(3, x, y) ? moss : Shade(moss, 1.3));
    });
    for (int x : {19, 20, 21, 22, 33, 34, 35, 36})
        c.Put(x, 24, Rgb{255, 170, 40}), c.Put(x, 25, Rgb{250, 100, 20});
    return c;
}

Canvas Beetle() {
    Canvas c(56, 56);
    const Rgb shell{80, 70, 170}, leg{60, 50, 90};
    for (int i = 0; i < 3; ++i) { // legs
        const int x = 20 + i * 10;
        c.Line(x, 38, x - 4, 50, leg), c.Line(x + 1, 38, x - 3, 50, leg),
            c.Line(x - 4, 50, x - 7, 50, leg);
    }
    Ball(c, 32, 30, 20, 14, shell, 0.45);
    for (int y = 18; y < 44; ++y) c.Put(32 + (y - 30) / 6, y, Shade(shell, 0.5)); // wing split
    Ball(c, 11, 33, 8, 7, Rgb{110, 90, 140}, 0.2);
    c.FillPolygon({{7, 29}, {10, 29}, {6, 12}, {3, 16}}, Rgb{230, 220, 190}); // horn
    c.FillPolygon({{3, 16}, {6, 12}, {10, 13}}, Rgb{250, 245, 225});
    Eye(c, 8, 33, 2.2, -0.5);
    return c;
}

Canvas Ghost() {
    Canvas c(56, 56);
    const Rgb sheet{214, 226, 246};
    c.Ellipse(28, 22, 18, 18,
              [&](int x, int y) { c.Put(x, y, Shade(sheet, 1.0 - (x - 10) * 0.006)); });
    for (int y = 22; y < 52; ++y)
        for (int x = 10; x < 46; ++x) {
            const double hem = 46 + 3 * std::sin((x - 10) * 2 * std::numbers::pi / 12);
            if (y < hem)
                c.Put(x, y, Shade(sheet, x < 16 ? 1.03 : x > 40 ? 0.8 : 0.95 - (x - 16) * 0.004));
        }
    c.FillEllipse(8, 32, 4, 3, Shade(sheet, 0.9)), c.FillEllipse(48, 30, 4, 3, Shade(sheet, 0.85));
    c.FillEllipse(21, 21, 3.5, 5, kInk), c.FillEllipse(34, 21, 3.5, 5, kInk);
    c.Put(20, 18, kWhite), c.Put(33, 18, kWhite);
    c.FillEllipse(27.5, 33, 4, 3, Rgb{90, 40, 70});
    c.FillEllipse(15, 28, 3, 1.5, Rgb{250, 190, 210}),
        c.FillEllipse(40, 28, 3, 1.5, Rgb{250, 190, 210});
    return c;
}

Canvas Bat() {
    Canvas c(48, 48);
    const Rgb wing{110, 70, 130}, body{140, 90, 150};
    for (int side : {-1, 1}) {
        std::vector<Point> w{{24, 20}, {24 + side * 22.0, 12}, {24 + side * 23.0, 30}};
        for (int k = 3; k >= 0; --k) // scalloped lower edge
            w.push_back({24 + side * (5.0 + k * 4.5), k % 2 ? 27.0 : 31.0});
        c.FillPolygon(w, side < 0 ? wing : Shade(wing, 0.85));
        for (int k = 1; k < 4; ++k)
            c.Line(24, 21, 24 + side * (5 + k * 5), 28 - (k == 3 ? 10 : 0), Shade(wing, 0.6));
    }
    c.FillPolygon({{18, 16}, {20, 8}, {23, 15}}, body),
        c.FillPolygon({{25, 15}, {28, 8}, {30, 16}}, body);
    Ball(c, 24, 24, 7, 9, body, 0.25);
    c.FillEllipse(21, 22, 1.6, 1.6, Rgb{250, 60, 60}),
        c.FillEllipse(27, 22, 1.6, 1.6, Rgb{250, 60, 60});
    c.Put(21, 21, kWhite), c.Put(27, 21, kWhite);
    c.Put(22, 28, kWhite), c.Put(26, 28, kWhite), c.Put(22, 29, kWhite), c.Put(26, 29, kWhite);
    return c;
}

Canvas Mushroom() {
    Canvas c(48, 48);
    const Rgb cap{220, 60, 50}, stem{240, 224, 190};
    c.FillEllipse(17, 44, 5, 3, Rgb{140, 90, 60}), c.FillEllipse(31, 44, 5, 3, Rgb{140, 90, 60});
    Ball(c, 24, 33, 11, 10, stem, 0.1);
    Ball(c, 24, 18, 21, 13, cap, 0.4);
    for (int x = 3; x < 46; ++x) c.Put(x, 26 + (x < 8 || x > 40 ? -1 : 0), Shade(cap, 0.5));
    for (const auto& s : {Point{14, 12}, Point{27, 9}, Point{36, 17}, Point{20, 20}})
        c.FillEllipse(s.x, s.y, 3, 2.4, Rgb{252, 246, 236});
    Eye(c, 20, 33, 2.4), Eye(c, 28, 33, 2.4);
    c.Line(21, 38, 27, 38, Shade(stem, 0.45));
    return c;
}

Canvas FireSpirit() {
    Canvas c(48, 48);
    const Rgb outer{236, 80, 30}, middle{252, 170, 40}, core{255, 246, 200};
    auto flame = [&](double cx, double base, double half, double height, Rgb col) {
        std::vector<Point> p;
        for (int i = 0; i <= 16; ++i) {
            const double a = std::numbers::pi * i / 16;
            p.push_back({cx - half * std::cos(a), base - half * 0.8 * std::sin(a)});
        }
        p.push_back({cx + half * 0.5, base - height * 0.7});
        p.push_back({cx + half * 0.1, base - height * 0.5});
        p.push_back({cx - half * 0.2, base - height});
        p.push_back({cx - half * 0.5, base - height * 0.55});
        p.push_back({cx - half * 0.8, base - height * 0.75});
        c.FillPolygon(p, col);
    };
    flame(24, 40, 17, 38, outer);
    flame(24, 40, 12, 28, middle);
    flame(24, 40, 7, 16, core);
    c.FillEllipse(19, 31, 2.2, 3.4, kInk), c.FillEllipse(29, 31, 2.2, 3.4, kInk);
    c.Put(19, 30, kWhite), c.Put(29, 30, kWhite);
    c.FillEllipse(11, 44, 2, 2, middle), c.FillEllipse(38, 45, 1.5, 1.5, outer);
    return c;
}

Canvas Crab() {
    Canvas c(48, 48);
    const Rgb shell{230, 100, 60};
    for (int i = 0; i < 3; ++i)
        for (int side : {-1, 1})
            c.Line(24 + side * (8 + i * 3), 34, 24 + side * (15 + i * 3), 44, Shade(shell, 0.7));
    Ball(c, 24, 31, 16, 10, shell, 0.35);
    for (int side : {-1, 1}) {
        c.Line(24 + side * 8, 26, 24 + side * 12, 20, Shade(shell, 0.8));
        Ball(c, 24 + side * 16.5, 16, 6.5, 6, shell, 0.3);
        c.FillPolygon({{24 + side * 15.0, 10}, {24 + side * 19.0, 9}, {24 + side * 16.5, 16}},
                      kInk);
        c.Line(24 + side * 4, 24, 24 + side * 5, 17, Shade(shell, 0.7));
        Eye(c, 24 + side * 5, 15, 2.4, 0);
    }
    c.Line(20, 35, 28, 35, Shade(shell, 0.45));
    return c;
}

} // namespace

Canvas DrawEnemy(int index) {
    Canvas (*const kDrawers[kEnemyCount])() = {Slime, Golem,    Beetle,     Ghost,
                                               Bat,   Mushroom, FireSpirit, Crab};
    Canvas sprite = kDrawers[index]();
    sprite.Outline(kInk);
    sprite.FillTransparent(kEnemyKey);
    return sprite;
}

} // namespace assets
