#include "tools/assets/canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace assets {

Canvas::Canvas(int width, int height) {
    image_.width = width;
    image_.height = height;
    image_.pixels.assign(static_cast<std::size_t>(width) * height, 0);
}

Rgb Canvas::Get(int x, int y) const {
    return Inside(x, y) ? Unpack(image_.pixels[y * Width() + x]) : Rgb{};
}

bool Canvas::Clear(int x, int y) const {
    return !Inside(x, y) || image_.pixels[y * Width() + x] == 0;
}

void Canvas::Put(int x, int y, Rgb c) {
    if (Inside(x, y)) image_.pixels[y * Width() + x] = Pack(Opaque(c));
}

void Canvas::Erase(int x, int y) {
    if (Inside(x, y)) image_.pixels[y * Width() + x] = 0;
}

void Canvas::FillRect(int x, int y, int width, int height, Rgb c) {
    for (int j = y; j < y + height; ++j)
        for (int i = x; i < x + width; ++i) Put(i, j, c);
}

void Canvas::Ellipse(double cx, double cy, double rx, double ry,
                     const std::function<void(int, int)>& paint) {
    for (int y = static_cast<int>(std::floor(cy - ry)); y <= cy + ry; ++y)
        for (int x = static_cast<int>(std::floor(cx - rx)); x <= cx + rx; ++x) {
            const double dx = (x + 0.5 - cx) / rx, dy = (y + 0.5 - cy) / ry;
            if (dx * dx + dy * dy <= 1.0) paint(x, y);
        }
}

void Canvas::Polygon(const std::vector<Point>& points, const std::function<void(int, int)>& paint) {
    double top = points[0].y, bottom = points[0].y;
    for (const Point& p : points) top = std::min(top, p.y), bottom = std::max(bottom, p.y);
    for (int y = static_cast<int>(std::floor(top)); y <= bottom; ++y) {
        // Even-odd crossings of the row through the pixel centres.
        const double yc = y + 0.5;
        std::vector<double> xs;
        for (std::size_t i = 0; i < points.size(); ++i) {
            const Point a = points[i], b = points[(i + 1) % points.size()];
            if ((a.y <= yc) != (b.y <= yc))
                xs.push_back(a.x + (yc - a.y) / (b.y - a.y) * (b.x - a.x));
        }
        std::sort(xs.begin(), xs.end());
        for (std::size_t i = 0; i + 1 < xs.size(); i += 2)
            for (int x = static_cast<int>(std::ceil(xs[i] - 0.5)); x + 0.5 <= xs[i + 1]; ++x)
                paint(x, y);
    }
}

void Canvas::FillEllipse(double cx, double cy, double rx, double ry, Rgb c) {
    Ellipse(cx, cy, rx, ry, [&](int x, int y) { Put(x, y, c); });
}

void Canvas::FillPolygon(const std::vector<Point>& points, Rgb c) {
    Polygon(points, [&](int x, int y) { Put(x, y, c); });
}

void Canvas::Line(int x0, int y0, int x1, int y1, Rgb c) {
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    for (int err = dx + dy;;) {
        Put(x0, y0, c);
        if (x0 == x1 && y0 == y1) break;
        const int e2 = 2 * err;
        if (e2 >= dy) err += dy, x0 += sx;
        if (e2 <= dx) err += dx, y0 += sy;
    }
}

void Canvas::Outline(Rgb c) {
    std::vector<std::pair<int, int>> edge;
    for (int y = 0; y < Height(); ++y)
        for (int x = 0; x < Width(); ++x)
            if (Clear(x, y) &&
                (!Clear(x - 1, y) || !Clear(x + 1, y) || !Clear(x, y - 1) || !Clear(x, y + 1)))
                edge.emplace_back(x, y);
    for (auto [x, y] : edge) Put(x, y, c);
}

void Canvas::FillTransparent(Rgb key) {
    for (std::uint32_t& p : image_.pixels)
        if (p == 0) p = Pack(key);
}

} // namespace assets
