#include "tools/assets/panel_pieces.h"

#include <algorithm>

namespace assets {

namespace {

constexpr Rgb kSegmentOn{150, 232, 255}, kSegmentOff{32, 48, 70}, kWell{18, 24, 38};

// A horizontal or vertical segment with pointed ends, from a to b along the
// middle, `half` pixels thick on each side.
void Segment(Canvas& c, Point a, Point b, double half, Rgb colour) {
    if (a.y == b.y)
        c.FillPolygon({{a.x, a.y},
                       {a.x + half, a.y - half},
                       {b.x - half, b.y - half},
                       {b.x, b.y},
                       {b.x - half, b.y + half},
                       {a.x + half, a.y + half}},
                      colour);
    else
        c.FillPolygon({{a.x, a.y},
                       {a.x + half, a.y + half},
                       {b.x + half, b.y - half},
                       {b.x, b.y},
                       {b.x - half, b.y - half},
                       {a.x - half, a.y + half}},
                      colour);
}

} // namespace

void ButtonFace(Canvas& c, Box b, FaceColours face, bool lit) {
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x) {
            const double t = static_cast<double>(y) / std::max(1, b.height - 1);
            Rgb col = Mix(face.top, face.bottom, lit ? 0.3 + 0.7 * t : t);
            const int right = b.width - 1 - x, bottom = b.height - 1 - y;
            const int edge = std::min({x, y, right, bottom});
            if (edge == 0)
                col = Mix(face.bottom, kNearBlack, 0.6); // the rim
            else if (edge == 1 && (x == 1 || y == 1))
                col = lit ? Shade(face.bottom, 0.6) : Mix(face.top, kWhite, 0.45);
            else if (edge == 1)
                col = lit ? Mix(face.top, kWhite, 0.3) : Shade(face.bottom, 0.6);
            else if (edge == 2 && (x == 2 || y == 2) && !lit)
                col = Mix(col, kWhite, 0.15);
            c.Put(b.x + x, b.y + y, col);
        }
}

void ArrowButton(Canvas& c, Box b, Arrow direction, bool lit) {
    ButtonFace(c, b, lit ? kAmber : kSteel, lit);
    const Rgb glyph = lit ? Rgb{255, 250, 230} : Rgb{226, 234, 248};
    const Rgb shadow = Shade(lit ? kAmber.bottom : kSteel.bottom, 0.55);
    // A triangle three pixels deep, one, three and five pixels wide, in the
    // middle of the face; a pressed button shows it one pixel lower.
    const int cx = b.x + (b.width - 1) / 2 + (lit ? 1 : 0);
    const int cy = b.y + (b.height - 1) / 2 + (lit ? 1 : 0);
    for (int pass = 0; pass < 2; ++pass) {
        const int o = pass == 0 ? 1 : 0;
        const Rgb col = pass == 0 ? shadow : glyph;
        for (int step = 0; step < 3; ++step)
            for (int across = -step; across <= step; ++across) {
                const int along = step - 1; // -1 at the tip .. 1 at the base
                switch (direction) {
                case Arrow::Up:
                    c.Put(cx + across + o, cy + along + o, col);
                    break;
                case Arrow::Down:
                    c.Put(cx + across + o, cy - along - 1 + o, col);
                    break;
                case Arrow::Left:
                    c.Put(cx + along + o, cy + across + o, col);
                    break;
                case Arrow::Right:
                    c.Put(cx - along - 1 + o, cy + across + o, col);
                    break;
                }
            }
    }
}

void TrackPiece(Canvas& c, Box b) {
    const Rgb groove{38, 44, 58};
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x) {
            Rgb col = groove;
            // A small sunken stud in the middle of every piece.
            if (x >= 3 && x <= 6 && y >= 3 && y <= 6)
                col = (x == 3 || y == 3)   ? Rgb{26, 30, 40}
                      : (x == 6 || y == 6) ? Rgb{72, 80, 100}
                                           : Rgb{50, 56, 72};
            c.Put(b.x + x, b.y + y, col);
        }
}

void DigitWell(Canvas& c, Box b) {
    ButtonFace(c, b, kSteel, false);
    for (int y = 4; y < b.height - 4; ++y)
        for (int x = 3; x < b.width - 3; ++x) {
            const bool shadow = y == 4 || x == 3;
            c.Put(b.x + x, b.y + y, shadow ? Shade(kWell, 0.7) : kWell);
        }
}

void Digit(Canvas& c, Box b, int digit) {
    // Segments a (top), b, c (right), d (bottom), e, f (left), g (middle).
    static constexpr unsigned char kSegments[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66,
                                                    0x6D, 0x7D, 0x07, 0x7F, 0x6F};
    const double left = b.x + 9, right = b.x + 31, top = b.y + 11, middle = b.y + 39,
                 bottom = b.y + 67;
    const double half = 3, gap = 1.5;
    const Point ends[7][2] = {{{left + gap, top}, {right - gap, top}},
                              {{right, top + gap}, {right, middle - gap}},
                              {{right, middle + gap}, {right, bottom - gap}},
                              {{left + gap, bottom}, {right - gap, bottom}},
                              {{left, middle + gap}, {left, bottom - gap}},
                              {{left, top + gap}, {left, middle - gap}},
                              {{left + gap, middle}, {right - gap, middle}}};
    for (int s = 0; s < 7; ++s) {
        const bool on = kSegments[digit] >> s & 1;
        Segment(c, ends[s][0], ends[s][1], half, on ? kSegmentOn : kSegmentOff);
        if (on) { // a bright core line
            const Point a = ends[s][0], e = ends[s][1];
            for (double t = 0.2; t <= 0.8; t += 0.02)
                c.Put(static_cast<int>(a.x + (e.x - a.x) * t),
                      static_cast<int>(a.y + (e.y - a.y) * t), Mix(kSegmentOn, kWhite, 0.6));
        }
    }
}

void TimesSign(Canvas& c, Box b) {
    for (int i = 3; i < 17; ++i)
        for (int w = -1; w <= 1; ++w) {
            const Rgb col = w == 0 ? Mix(kSegmentOn, kWhite, 0.4) : kSegmentOn;
            c.Put(b.x + i + w, b.y + i, col), c.Put(b.x + 19 - i + w, b.y + i, col);
        }
}

void SignButton(Canvas& c, Box b, bool plus, bool lit) {
    ButtonFace(c, b, lit ? kAmber : kSteel, lit);
    const int cx = b.x + b.width / 2 + (lit ? 1 : 0), cy = b.y + b.height / 2 + (lit ? 1 : 0);
    const Rgb glyph = lit ? Rgb{255, 250, 230} : Rgb{226, 234, 248},
              shadow = Shade(lit ? kAmber.bottom : kSteel.bottom, 0.55);
    for (int pass = 0; pass < 2; ++pass) {
        const int o = pass == 0 ? 1 : 0; // a shadow first, then the sign
        const Rgb col = pass == 0 ? shadow : glyph;
        c.FillRect(cx - 9 + o, cy - 2 + o, 18, 4, col);
        if (plus) c.FillRect(cx - 2 + o, cy - 9 + o, 4, 18, col);
    }
}

void Lamp(Canvas& c, int cx, int cy, bool on) {
    const Rgb glow = on ? Rgb{120, 255, 120} : Rgb{40, 70, 48};
    c.FillEllipse(cx, cy, 4.5, 4.5, Shade(glow, 0.5));
    c.FillEllipse(cx, cy, 3.5, 3.5, glow);
    c.Put(static_cast<int>(cx) - 1, static_cast<int>(cy) - 2, on ? kWhite : Shade(glow, 1.5));
}

void Pointer(Canvas& c, Box b) {
    // 'o' outline, 'w' body; the rest stays transparent.
    static constexpr const char* kArrow[] = {
        "o",           "oo",          "owo",         "owwo",      "owwwo",
        "owwwwo",      "owwwwwo",     "owwwwwwo",    "owwwwwwwo", "owwwwwwwwo",
        "owwwwwwwwwo", "owwwwwwoooo", "owwwowwo",    "owwo owwo", "owo  owwo",
        "oo    owwo",  "o     owwo",  "       owwo", "        oo"};
    int y = 0;
    for (const char* row : kArrow) {
        for (int x = 0; row[x]; ++x) {
            if (row[x] == 'o') c.Put(b.x + x, b.y + y, Rgb{20, 20, 28});
            if (row[x] == 'w') c.Put(b.x + x, b.y + y, Mix(kWhite, Rgb{200, 214, 236}, y / 19.0));
        }
        ++y;
    }
}

} // namespace assets
