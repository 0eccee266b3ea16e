// Shapes on surface contexts. Every shape is cut to the surface before pixels
// are touched, and coordinates are widened to 64 bits (128 where products of
// two coordinates must be exact), so any int input stays inside the surface
// memory and the pixel loops walk only the part inside the surface.
#include "platform/win/gdi_shapes.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

namespace platform {

namespace {

using Long = long long;

// Shapes draw on display surfaces only.
bool Drawable(HDC dc) { return dc && dc->surface; }

template <typename Pixel> Pixel* RowOf(Surface& s, Long y) {
    return reinterpret_cast<Pixel*>(s.memory.data() + static_cast<std::size_t>(y) * s.pitch);
}

// A colour packed once for the surface it is painted on.
struct Ink {
    Surface* surface;
    std::uint32_t value;
};

Ink InkOf(HDC dc, COLORREF color) { return {dc->surface, PackColor(dc->surface->format, color)}; }

// Paints pixels x0 to x1 - 1 of row y, the part inside the surface.
void Paint(const Ink& ink, Long y, Long x0, Long x1) {
    Surface& s = *ink.surface;
    x0 = std::max<Long>(x0, 0);
    x1 = std::min<Long>(x1, s.width);
    if (y < 0 || y >= s.height || x0 >= x1) return;
    if (s.format.bits == 16) {
        std::uint16_t* row = RowOf<std::uint16_t>(s, y);
        std::fill(row + x0, row + x1, static_cast<std::uint16_t>(ink.value));
    } else {
        std::uint32_t* row = RowOf<std::uint32_t>(s, y);
        std::fill(row + x0, row + x1, ink.value);
    }
}

// Flips the given bits of every pixel from `from` up to `to`.
template <typename Pixel> void Invert(Pixel* from, Pixel* to, std::uint32_t bits) {
    for (Pixel* p = from; p < to; ++p) *p ^= static_cast<Pixel>(bits);
}

// Whether a hatch draws at surface pixel (x, y); the 8 x 8 pattern is anchored
// at the surface origin.
bool HatchAt(std::uintptr_t hatch, Long x, Long y) {
    const Long u = x & 7, v = y & 7;
    switch (hatch) {
    case HS_HORIZONTAL:
        return v == 0;
    case HS_VERTICAL:
        return u == 0;
    case HS_FDIAGONAL:
        return u == v;
    case HS_BDIAGONAL:
        return u + v == 7;
    case HS_CROSS:
        return u == 0 || v == 0;
    default:
        return u == v || u + v == 7;
    }
}

// Fills pixels x0 to x1 - 1 of row y with the selected brush. A hatch's gaps
// take the back colour in opaque mode and keep what lies below otherwise.
void BrushRow(HDC dc, Long y, Long x0, Long x1) {
    const LOGBRUSH& brush = BrushOf(dc).log;
    if (brush.lbStyle == BS_HOLLOW) return;
    const Ink fore = InkOf(dc, brush.lbColor);
    if (brush.lbStyle != BS_HATCHED) return Paint(fore, y, x0, x1);
    const Ink back = InkOf(dc, dc->backColor);
    x0 = std::max<Long>(x0, 0);
    x1 = std::min<Long>(x1, dc->surface->width);
    for (Long x = x0; x < x1; ++x) {
        if (HatchAt(brush.lbHatch, x, y))
            Paint(fore, y, x, x + 1);
        else if (dc->backMode == OPAQUE)
            Paint(back, y, x, x + 1);
    }
}

// Rounds num / den up; den is positive.
Long CeilDiv(__int128 num, Long den) {
    __int128 q = num / den;
    if (num % den != 0 && num > 0) ++q;
    return static_cast<Long>(q);
}

// One-pixel line from (x1, y1) to (x2, y2) without the end point. Each step
// along the longer axis lights the pixel nearest the ideal line, a tie going to
// the smaller coordinate. Only the steps inside the surface are walked; the
// first of them is found directly.
void ThinLine(const Ink& ink, Long x1, Long y1, Long x2, Long y2) {
    const bool xMajor = std::llabs(x2 - x1) >= std::llabs(y2 - y1);
    const Long a1 = xMajor ? x1 : y1, b1 = xMajor ? y1 : x1;
    const Long da = xMajor ? x2 - x1 : y2 - y1, db = xMajor ? y2 - y1 : x2 - x1;
    if (da == 0) return;
    const Long length = std::llabs(da), step = da > 0 ? 1 : -1;
    const Long limit = xMajor ? ink.surface->width : ink.surface->height;
    // Steps whose major coordinate a1 + step * i lies in [0, limit).
    const Long first = std::max<Long>(0, step > 0 ? -a1 : a1 - limit + 1);
    const Long last = std::min<Long>(length, step > 0 ? limit - a1 : a1 + 1);
    if (first >= last) return;
    // The minor offset at step i is ceil((2 i db - length) / (2 length)); q is
    // that quotient and r = q * den - numerator, kept in [0, den).
    const Long den = 2 * length;
    const __int128 num = static_cast<__int128>(2) * first * db - length;
    Long q = CeilDiv(num, den);
    Long r = static_cast<Long>(static_cast<__int128>(q) * den - num);
    for (Long i = first; i < last; ++i) {
        const Long a = a1 + step * i, b = b1 + q;
        if (xMajor)
            Paint(ink, b, a, a + 1);
        else
            Paint(ink, a, b, b + 1);
        r -= 2 * db;
        if (r < 0) {
            ++q;
            r += den;
        } else if (r >= den) {
            --q;
            r -= den;
        }
    }
}

// Narrows [lo, hi] to the x with low <= k x + m <= high; false when none is left.
bool Solve(double k, double m, double low, double high, double& lo, double& hi) {
    if (k == 0) return m >= low && m <= high;
    double a = (low - m) / k, b = (high - m) / k;
    if (a > b) std::swap(a, b);
    lo = std::max(lo, a);
    hi = std::min(hi, b);
    return lo <= hi;
}

// Wide line: the pixels whose centres lie within width / 2 of the segment,
// both ends rounded. For an even width the segment moves half a pixel up and
// left, so that a straight line covers exactly `width` rows or columns.
void WideLine(const Ink& ink, double ax, double ay, double bx, double by, int width) {
    const double shift = width % 2 == 0 ? 0.5 : 0.0;
    ax -= shift;
    ay -= shift;
    bx -= shift;
    by -= shift;
    const double r = width / 2.0, dx = bx - ax, dy = by - ay;
    const double length2 = dx * dx + dy * dy, reach = r * std::sqrt(length2);
    const double ends[2][2] = {{ax, ay}, {bx, by}};
    const double surfaceWidth = ink.surface->width;
    const Long top = static_cast<Long>(std::max(0.0, std::ceil(std::min(ay, by) - r)));
    const Long bottom = static_cast<Long>(
        std::min<double>(ink.surface->height - 1, std::floor(std::max(ay, by) + r)));
    for (Long y = top; y <= bottom; ++y) {
        double lo = HUGE_VAL, hi = -HUGE_VAL;
        for (const auto& end : ends) {
            const double h = y - end[1];
            if (h * h > r * r) continue;
            const double s = std::sqrt(r * r - h * h);
            lo = std::min(lo, end[0] - s);
            hi = std::max(hi, end[0] + s);
        }
        double bodyLo = -HUGE_VAL, bodyHi = HUGE_VAL;
        if (length2 > 0 && Solve(dx, (y - ay) * dy - ax * dx, 0, length2, bodyLo, bodyHi) &&
            Solve(dy, -(y - ay) * dx - ax * dy, -reach, reach, bodyLo, bodyHi)) {
            lo = std::min(lo, bodyLo);
            hi = std::max(hi, bodyHi);
        }
        if (lo > hi) continue;
        lo = std::clamp(std::ceil(lo), -1.0, surfaceWidth);
        hi = std::clamp(std::floor(hi), -1.0, surfaceWidth);
        Paint(ink, y, static_cast<Long>(lo), static_cast<Long>(hi) + 1);
    }
}

// A segment with the selected pen.
void Segment(HDC dc, Long x1, Long y1, Long x2, Long y2) {
    const Pen& pen = PenOf(dc);
    const Ink ink = InkOf(dc, pen.color);
    if (pen.width <= 1)
        ThinLine(ink, x1, y1, x2, y2);
    else
        WideLine(ink, static_cast<double>(x1), static_cast<double>(y1), static_cast<double>(x2),
                 static_cast<double>(y2), pen.width);
}

struct Edge {
    Long x0, y0, x1, y1; // y0 < y1
};

// First pixel column at or right of where the edge crosses row y.
Long Crossing(const Edge& e, Long y) {
    const __int128 num = static_cast<__int128>(y - e.y0) * (e.x1 - e.x0);
    return e.x0 + CeilDiv(num, e.y1 - e.y0);
}

// Fills the inside of a closed outline by the alternate rule: a pixel centre
// is inside when a ray from it crosses the outline an odd number of times. An
// edge covers rows y0 to y1 - 1, so right and bottom boundaries stay unfilled.
void FillAlternate(HDC dc, const POINT* points, int count) {
    const Long height = dc->surface->height;
    std::vector<Edge> edges;
    for (int i = 0; i < count; ++i) {
        const POINT& p = points[i];
        const POINT& q = points[(i + 1) % count];
        if (p.y == q.y) continue;
        Edge e = p.y < q.y ? Edge{p.x, p.y, q.x, q.y} : Edge{q.x, q.y, p.x, p.y};
        if (e.y1 > 0 && e.y0 < height) edges.push_back(e);
    }
    std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.y0 < b.y0; });
    std::vector<const Edge*> active;
    std::vector<Long> crossings;
    std::size_t next = 0;
    for (Long y = edges.empty() ? height : std::max<Long>(edges[0].y0, 0); y < height; ++y) {
        while (next < edges.size() && edges[next].y0 <= y) active.push_back(&edges[next++]);
        std::erase_if(active, [y](const Edge* e) { return e->y1 <= y; });
        if (active.empty()) {
            if (next == edges.size()) break;
            y = edges[next].y0 - 1;
            continue;
        }
        crossings.clear();
        for (const Edge* e : active) crossings.push_back(Crossing(*e, y));
        std::sort(crossings.begin(), crossings.end());
        for (std::size_t i = 0; i + 1 < crossings.size(); i += 2)
            BrushRow(dc, y, crossings[i], crossings[i + 1]);
    }
}

// A cubic curve piece cut into straight segments fine enough that no point
// strays more than about a quarter pixel from the curve.
void BezierPiece(HDC dc, const POINT* p, Long& lastX, Long& lastY) {
    auto second = [](const POINT& a, const POINT& b, const POINT& c) {
        return std::hypot(static_cast<double>(a.x) - 2.0 * b.x + c.x,
                          static_cast<double>(a.y) - 2.0 * b.y + c.y);
    };
    const double bend = std::max(second(p[0], p[1], p[2]), second(p[1], p[2], p[3]));
    const int pieces = static_cast<int>(std::clamp(std::ceil(std::sqrt(3 * bend)), 1.0, 1024.0));
    for (int k = 1; k <= pieces; ++k) {
        const double t = static_cast<double>(k) / pieces, u = 1 - t;
        const double w0 = u * u * u, w1 = 3 * u * u * t, w2 = 3 * u * t * t, w3 = t * t * t;
        const Long x = std::llround(w0 * p[0].x + w1 * p[1].x + w2 * p[2].x + w3 * p[3].x);
        const Long y = std::llround(w0 * p[0].y + w1 * p[1].y + w2 * p[2].y + w3 * p[3].y);
        if (x == lastX && y == lastY) continue;
        Segment(dc, lastX, lastY, x, y);
        lastX = x;
        lastY = y;
    }
}

} // namespace

BOOL LineTo(HDC dc, int x, int y) {
    if (!Drawable(dc)) return 0;
    Segment(dc, dc->currentX, dc->currentY, x, y);
    dc->currentX = x;
    dc->currentY = y;
    return 1;
}

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom) {
    if (!Drawable(dc)) return 0;
    const Long l = std::min(left, right), r = std::max(left, right);
    const Long t = std::min(top, bottom), b = std::max(top, bottom);
    const Long rows = std::min<Long>(b - 1, dc->surface->height);
    for (Long y = std::max<Long>(t + 1, 0); y < rows; ++y) BrushRow(dc, y, l + 1, r - 1);
    if (r == l || b == t) return 1;
    const Pen& pen = PenOf(dc);
    if (pen.width > 1) {
        Segment(dc, l, t, r - 1, t);
        Segment(dc, r - 1, t, r - 1, b - 1);
        Segment(dc, r - 1, b - 1, l, b - 1);
        Segment(dc, l, b - 1, l, t);
        return 1;
    }
    const Ink ink = InkOf(dc, pen.color);
    Paint(ink, t, l, r);
    Paint(ink, b - 1, l, r);
    const Long sides = std::min<Long>(b, dc->surface->height);
    for (Long y = std::max<Long>(t, 0); y < sides; ++y) {
        Paint(ink, y, l, l + 1);
        Paint(ink, y, r - 1, r);
    }
    return 1;
}

BOOL Polygon(HDC dc, const POINT* points, int count) {
    if (!Drawable(dc) || !points || count < 2) return 0;
    FillAlternate(dc, points, count);
    for (int i = 0; i < count; ++i) {
        const POINT& p = points[i];
        const POINT& q = points[(i + 1) % count];
        Segment(dc, p.x, p.y, q.x, q.y);
    }
    return 1;
}

BOOL PolyBezier(HDC dc, const POINT* points, int count) {
    if (!Drawable(dc) || !points || count < 4 || (count - 1) % 3 != 0) return 0;
    Long x = points[0].x, y = points[0].y;
    for (int i = 0; i + 3 < count; i += 3) BezierPiece(dc, points + i, x, y);
    return 1;
}

BOOL InvertRect(HDC dc, const RECT* rect) {
    if (!Drawable(dc) || !rect) return 0;
    Surface& s = *dc->surface;
    const std::uint32_t bits = s.format.redMask | s.format.greenMask | s.format.blueMask;
    const int x0 = std::max(rect->left, 0), x1 = std::min(rect->right, s.width);
    const int y0 = std::max(rect->top, 0), y1 = std::min(rect->bottom, s.height);
    for (int y = y0; y < y1; ++y) {
        if (s.format.bits == 16)
            Invert(RowOf<std::uint16_t>(s, y) + x0, RowOf<std::uint16_t>(s, y) + x1, bits);
        else
            Invert(RowOf<std::uint32_t>(s, y) + x0, RowOf<std::uint32_t>(s, y) + x1, bits);
    }
    return 1;
}

} // namespace platform
