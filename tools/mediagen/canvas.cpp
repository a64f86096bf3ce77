// Canvas and mask drawing: supersampled polygon scan conversion, compositing and conversion to
// straight-alpha 8-bit pixels with colour bled into transparent texels for clean filtering.
#include "tools/mediagen/canvas.h"

#include <algorithm>
#include <cmath>

namespace mediagen {

void RasterPolygon(const std::vector<Point> &pts, int width, int height,
                   const std::function<void(int, int, float)> &plot) {
    if (pts.size() < 3) {
        return;
    }
    float minY = pts[0][1], maxY = pts[0][1];
    for (const auto &p : pts) {
        minY = std::min(minY, p[1]);
        maxY = std::max(maxY, p[1]);
    }
    int y0 = std::max(0, static_cast<int>(std::floor(minY)));
    int y1 = std::min(height - 1, static_cast<int>(std::ceil(maxY)));
    constexpr int kSub = 4;
    std::vector<float> row(static_cast<std::size_t>(width));
    std::vector<float> xs;
    for (int y = y0; y <= y1; ++y) {
        std::fill(row.begin(), row.end(), 0.0f);
        bool any = false;
        for (int sy = 0; sy < kSub; ++sy) {
            float fy = y + (sy + 0.5f) / kSub;
            xs.clear();
            for (std::size_t i = 0; i < pts.size(); ++i) {
                const auto &a = pts[i];
                const auto &b = pts[(i + 1) % pts.size()];
                if ((a[1] <= fy && b[1] > fy) || (b[1] <= fy && a[1] > fy)) {
                    xs.push_back(a[0] + (fy - a[1]) / (b[1] - a[1]) * (b[0] - a[0]));
                }
            }
            std::sort(xs.begin(), xs.end());
            for (std::size_t i = 0; i + 1 < xs.size(); i += 2) {
                // Even-odd spans; each sub-row adds horizontal coverage exactly.
                float xa = std::max(0.0f, xs[i]),
                      xb = std::min(static_cast<float>(width), xs[i + 1]);
                if (xb <= xa) {
                    continue;
                }
                any = true;
                int ia = static_cast<int>(xa), ib = static_cast<int>(xb);
                if (ia == ib) {
                    row[ia] += (xb - xa) / kSub;
                    continue;
                }
                row[ia] += (ia + 1 - xa) / kSub;
                for (int x = ia + 1; x < ib && x < width; ++x) {
                    row[x] += 1.0f / kSub;
                }
                if (ib < width) {
                    row[ib] += (xb - ib) / kSub;
                }
            }
        }
        if (!any) {
            continue;
        }
        for (int x = 0; x < width; ++x) {
            if (row[x] > 0) {
                plot(x, y, std::min(1.0f, row[x]));
            }
        }
    }
}

namespace {

std::vector<Point> circlePoints(float cx, float cy, float r) {
    int n = std::max(16, static_cast<int>(r * 4));
    std::vector<Point> pts;
    for (int i = 0; i < n; ++i) {
        float a = 2 * kPi * i / n;
        pts.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
    }
    return pts;
}

} // namespace

void Mask::fillPolygon(const std::vector<Point> &pts, float value) {
    RasterPolygon(pts, width, height,
                  [&](int x, int y, float c) { at(x, y) = std::max(at(x, y), c * value); });
}

Mask Mask::dilated(float radius) const {
    Mask out(width, height);
    int r = static_cast<int>(std::ceil(radius));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            float best = 0;
            for (int dy = -r; dy <= r; ++dy) {
                for (int dx = -r; dx <= r; ++dx) {
                    float d = std::sqrt(static_cast<float>(dx * dx + dy * dy));
                    float w = clamp01(radius + 0.5f - d);
                    if (w > 0) {
                        best = std::max(best, get(x + dx, y + dy) * w);
                    }
                }
            }
            out.at(x, y) = best;
        }
    }
    return out;
}

Mask Mask::blurred(float radius) const {
    // Separable Gaussian with sigma = radius / 2.
    float sigma = std::max(0.3f, radius * 0.5f);
    int r = static_cast<int>(std::ceil(sigma * 3));
    std::vector<float> k(2 * r + 1);
    float sum = 0;
    for (int i = -r; i <= r; ++i) {
        k[i + r] = std::exp(-(i * i) / (2 * sigma * sigma));
        sum += k[i + r];
    }
    for (auto &v : k) {
        v /= sum;
    }
    Mask tmp(width, height), out(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            float s = 0;
            for (int i = -r; i <= r; ++i) {
                s += get(x + i, y) * k[i + r];
            }
            tmp.at(x, y) = s;
        }
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            float s = 0;
            for (int i = -r; i <= r; ++i) {
                s += tmp.get(x, y + i) * k[i + r];
            }
            out.at(x, y) = s;
        }
    }
    return out;
}

Canvas::Canvas(int w, int h, Color fill) : m_width(w), m_height(h) {
    Color p{fill.r * fill.a, fill.g * fill.a, fill.b * fill.a, fill.a};
    m_pixels.assign(static_cast<std::size_t>(w) * h, p);
}

Color Canvas::get(int x, int y) const {
    x = std::clamp(x, 0, m_width - 1);
    y = std::clamp(y, 0, m_height - 1);
    Color p = m_pixels[static_cast<std::size_t>(y) * m_width + x];
    if (p.a <= 0) {
        return {0, 0, 0, 0};
    }
    return {p.r / p.a, p.g / p.a, p.b / p.a, p.a};
}

void Canvas::set(int x, int y, Color c) {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) {
        return;
    }
    m_pixels[static_cast<std::size_t>(y) * m_width + x] = {c.r * c.a, c.g * c.a, c.b * c.a, c.a};
}

void Canvas::blend(int x, int y, Color c, float coverage) {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) {
        return;
    }
    Color &d = m_pixels[static_cast<std::size_t>(y) * m_width + x];
    float a = clamp01(c.a * coverage);
    d.r = c.r * a + d.r * (1 - a);
    d.g = c.g * a + d.g * (1 - a);
    d.b = c.b * a + d.b * (1 - a);
    d.a = a + d.a * (1 - a);
}

void Canvas::shade(const std::function<Color(float, float)> &f) {
    for (int y = 0; y < m_height; ++y) {
        for (int x = 0; x < m_width; ++x) {
            set(x, y, f(x + 0.5f, y + 0.5f));
        }
    }
}

void Canvas::fillPolygon(const std::vector<Point> &pts, Color c) {
    RasterPolygon(pts, m_width, m_height, [&](int x, int y, float cov) { blend(x, y, c, cov); });
}

void Canvas::fillPolygon(const std::vector<Point> &pts,
                         const std::function<Color(float, float)> &f) {
    RasterPolygon(pts, m_width, m_height,
                  [&](int x, int y, float cov) { blend(x, y, f(x + 0.5f, y + 0.5f), cov); });
}

void Canvas::fillCircle(float cx, float cy, float r, Color c) {
    fillPolygon(circlePoints(cx, cy, r), c);
}

void Canvas::strokeCircle(float cx, float cy, float r, float width, Color c) {
    // Analytic ring coverage: smooth at any radius.
    int x0 = std::max(0, static_cast<int>(cx - r - width - 2));
    int x1 = std::min(m_width - 1, static_cast<int>(cx + r + width + 2));
    int y0 = std::max(0, static_cast<int>(cy - r - width - 2));
    int y1 = std::min(m_height - 1, static_cast<int>(cy + r + width + 2));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy);
            float cov = clamp01(width * 0.5f + 0.5f - std::fabs(d - r));
            if (cov > 0) {
                blend(x, y, c, cov);
            }
        }
    }
}

void Canvas::line(float x0, float y0, float x1, float y1, float width, Color c) {
    float dx = x1 - x0, dy = y1 - y0;
    float len = std::hypot(dx, dy);
    if (len < 1e-6f) {
        return;
    }
    float nx = -dy / len * width * 0.5f, ny = dx / len * width * 0.5f;
    fillPolygon({{x0 + nx, y0 + ny}, {x1 + nx, y1 + ny}, {x1 - nx, y1 - ny}, {x0 - nx, y0 - ny}},
                c);
}

void Canvas::fillRect(float x0, float y0, float x1, float y1, Color c) {
    fillPolygon({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}, c);
}

void Canvas::drawMask(const Mask &mask, int dx, int dy, Color c) {
    for (int y = 0; y < mask.height; ++y) {
        for (int x = 0; x < mask.width; ++x) {
            float v = mask.get(x, y);
            if (v > 0) {
                blend(x + dx, y + dy, c, v);
            }
        }
    }
}

void Canvas::drawMask(const Mask &mask, int dx, int dy,
                      const std::function<Color(float, float)> &f) {
    for (int y = 0; y < mask.height; ++y) {
        for (int x = 0; x < mask.width; ++x) {
            float v = mask.get(x, y);
            if (v > 0) {
                blend(x + dx, y + dy, f(x + dx + 0.5f, y + dy + 0.5f), v);
            }
        }
    }
}

void Canvas::composite(const Canvas &src, int dx, int dy) {
    for (int y = 0; y < src.m_height; ++y) {
        for (int x = 0; x < src.m_width; ++x) {
            blend(x + dx, y + dy, src.get(x, y));
        }
    }
}

Canvas Canvas::resized(int w, int h) const {
    Canvas out(w, h);
    float sx = static_cast<float>(m_width) / w, sy = static_cast<float>(m_height) / h;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            // Box filter over the source footprint (premultiplied, so edges stay clean).
            int xa = static_cast<int>(x * sx),
                xb = std::max(xa + 1, static_cast<int>((x + 1) * sx));
            int ya = static_cast<int>(y * sy),
                yb = std::max(ya + 1, static_cast<int>((y + 1) * sy));
            Color s{0, 0, 0, 0};
            int n = 0;
            for (int yy = ya; yy < yb && yy < m_height; ++yy) {
                for (int xx = xa; xx < xb && xx < m_width; ++xx) {
                    const Color &p = m_pixels[static_cast<std::size_t>(yy) * m_width + xx];
                    s.r += p.r;
                    s.g += p.g;
                    s.b += p.b;
                    s.a += p.a;
                    ++n;
                }
            }
            float k = n ? 1.0f / n : 0;
            out.m_pixels[static_cast<std::size_t>(y) * w + x] = {s.r * k, s.g * k, s.b * k,
                                                                 s.a * k};
        }
    }
    return out;
}

image::Rgba8Image Canvas::toImage() const {
    const int w = m_width, h = m_height;
    std::vector<Color> straight(m_pixels.size());
    std::vector<char> known(m_pixels.size());
    for (std::size_t i = 0; i < m_pixels.size(); ++i) {
        const Color &p = m_pixels[i];
        if (p.a > 1.0f / 512) {
            straight[i] = {p.r / p.a, p.g / p.a, p.b / p.a, p.a};
            known[i] = 1;
        } else {
            straight[i] = {0, 0, 0, 0};
        }
    }
    // Bleed colour outward into transparent texels so filtering never pulls in black fringes.
    for (int pass = 0; pass < 8; ++pass) {
        std::vector<char> next = known;
        bool changed = false;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                std::size_t i = static_cast<std::size_t>(y) * w + x;
                if (known[i]) {
                    continue;
                }
                Color s{0, 0, 0, 0};
                int n = 0;
                for (int dy = -1; dy <= 1; ++dy) {
                    for (int dx = -1; dx <= 1; ++dx) {
                        int xx = x + dx, yy = y + dy;
                        if (xx < 0 || yy < 0 || xx >= w || yy >= h) {
                            continue;
                        }
                        std::size_t j = static_cast<std::size_t>(yy) * w + xx;
                        if (known[j]) {
                            s.r += straight[j].r;
                            s.g += straight[j].g;
                            s.b += straight[j].b;
                            ++n;
                        }
                    }
                }
                if (n) {
                    straight[i] = {s.r / n, s.g / n, s.b / n, m_pixels[i].a};
                    next[i] = 1;
                    changed = true;
                }
            }
        }
        known.swap(next);
        if (!changed) {
            break;
        }
    }
    image::Rgba8Image img;
    img.width = static_cast<std::uint32_t>(w);
    img.height = static_cast<std::uint32_t>(h);
    img.hasAlpha = true;
    img.pixels.resize(static_cast<std::size_t>(w) * h * 4);
    auto byte = [](float v) { return static_cast<std::uint8_t>(std::lround(clamp01(v) * 255.0f)); };
    for (std::size_t i = 0; i < straight.size(); ++i) {
        img.pixels[i * 4 + 0] = byte(straight[i].r);
        img.pixels[i * 4 + 1] = byte(straight[i].g);
        img.pixels[i * 4 + 2] = byte(straight[i].b);
        img.pixels[i * 4 + 3] = byte(m_pixels[i].a);
    }
    return img;
}

} // namespace mediagen
