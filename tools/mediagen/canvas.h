// A floating-point RGBA raster with supersampled shapes and alpha compositing; converted to 8-bit
// straight alpha (transparent texels take their neighbours' colour) when written.
#pragma once

#include "tools/mediagen/vec.h"

#include "platform/image/image.h"

#include <array>
#include <functional>
#include <vector>

namespace mediagen {

using Point = std::array<float, 2>;

// A single-channel coverage map: text, shapes to be outlined or blurred.
struct Mask {
    int width = 0, height = 0;
    std::vector<float> values;

    Mask() = default;
    Mask(int w, int h) : width(w), height(h), values(static_cast<std::size_t>(w) * h, 0.0f) {}
    float &at(int x, int y) { return values[static_cast<std::size_t>(y) * width + x]; }
    float get(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) {
            return 0;
        }
        return values[static_cast<std::size_t>(y) * width + x];
    }
    void fillPolygon(const std::vector<Point> &pts, float value = 1.0f);
    Mask dilated(float radius) const;
    Mask blurred(float radius) const;
};

class Canvas {
public:
    Canvas(int w, int h, Color fill = {0, 0, 0, 0});

    int width() const { return m_width; }
    int height() const { return m_height; }

    Color get(int x, int y) const; // straight alpha
    void set(int x, int y, Color c);
    // Source-over compositing of `c` scaled by `coverage`.
    void blend(int x, int y, Color c, float coverage = 1.0f);

    // Every pixel from a function of its centre in pixels.
    void shade(const std::function<Color(float x, float y)> &f);
    // Source-over of a function-coloured polygon / mask.
    void fillPolygon(const std::vector<Point> &pts, Color c);
    void fillPolygon(const std::vector<Point> &pts, const std::function<Color(float, float)> &f);
    void fillCircle(float cx, float cy, float r, Color c);
    void strokeCircle(float cx, float cy, float r, float width, Color c);
    void line(float x0, float y0, float x1, float y1, float width, Color c);
    void fillRect(float x0, float y0, float x1, float y1, Color c);
    void drawMask(const Mask &mask, int dx, int dy, Color c);
    void drawMask(const Mask &mask, int dx, int dy, const std::function<Color(float, float)> &f);
    // Straight-alpha copy of another canvas composited at (dx, dy).
    void composite(const Canvas &src, int dx, int dy);
    Canvas resized(int w, int h) const; // box/bilinear resample

    image::Rgba8Image toImage() const;

private:
    int m_width, m_height;
    std::vector<Color> m_pixels; // premultiplied
};

// Coverage of a polygon sampled 4 x 4 per pixel, accumulated by `plot`.
void RasterPolygon(const std::vector<Point> &pts, int width, int height,
                   const std::function<void(int, int, float)> &plot);

} // namespace mediagen
