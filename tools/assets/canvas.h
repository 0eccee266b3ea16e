// An image being drawn: pure black pixels are transparent (not drawn yet),
// everything drawn is kept clear of that key.
#pragma once

#include "platform/formats/bmp.h"
#include "tools/assets/shading.h"

#include <functional>
#include <vector>

namespace assets {

struct Point {
    double x, y;
};

class Canvas {
  public:
    Canvas(int width, int height);

    int Width() const { return image_.width; }
    int Height() const { return image_.height; }
    const platform::DecodedImage& Image() const { return image_; }

    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < Width() && y < Height(); }
    // Outside pixels read as transparent and ignore writes.
    Rgb Get(int x, int y) const;
    bool Clear(int x, int y) const;
    void Put(int x, int y, Rgb c);
    void Erase(int x, int y);

    void FillRect(int x, int y, int width, int height, Rgb c);
    // Calls `paint` for every pixel whose centre lies inside the shape.
    void Ellipse(double cx, double cy, double rx, double ry,
                 const std::function<void(int, int)>& paint);
    void Polygon(const std::vector<Point>& points, const std::function<void(int, int)>& paint);
    void FillEllipse(double cx, double cy, double rx, double ry, Rgb c);
    void FillPolygon(const std::vector<Point>& points, Rgb c);
    void Line(int x0, int y0, int x1, int y1, Rgb c);
    // Draws `c` on every transparent pixel next to (4-neighbourhood) a drawn one.
    void Outline(Rgb c);
    // Replaces every transparent pixel by `key`.
    void FillTransparent(Rgb key);

  private:
    platform::DecodedImage image_;
};

} // namespace assets
