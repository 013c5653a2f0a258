// Coloured triangle meshes of the river layer: fans, discs and bands along a line.
#include "water/river_graphics.hpp"

#include "kit/primitives.hpp"
#include "kit/whole_pixels.hpp"

#include <algorithm>
#include <array>
#include <utility>
#include <cmath>
#include <numbers>

namespace korvan {

void Mesh::polygon(const std::vector<Point>& points, SDL_Color color) {
    const int base = static_cast<int>(vertices.size());
    for (const Point p : points) {
        vertices.push_back(vertex(p, color));
    }
    for (int k = 1; k + 1 < static_cast<int>(points.size()); ++k) {
        indices.insert(indices.end(), {base, base + k, base + k + 1});
    }
}

void Mesh::disc(Point center, double radius, SDL_Color color, int corners) {
    const int base = static_cast<int>(vertices.size());
    for (int k = 0; k < corners; ++k) {
        const double angle = k * 2 * std::numbers::pi / corners;
        vertices.push_back(vertex(center + Point{std::cos(angle), std::sin(angle)} * radius, color));
    }
    for (int k = 1; k + 1 < corners; ++k) {
        indices.insert(indices.end(), {base, base + k, base + k + 1});
    }
}

void Mesh::strip(const std::vector<Point>& points, const std::vector<double>& widths, SDL_Color color,
                 double offset) {
    stripWith(points, [&](std::size_t i) { return widths[i]; }, color, offset);
}


void Mesh::fill(std::uint32_t* pixels, int stride, SDL_Rect area) const {
    for (std::size_t t = 0; t + 2 < indices.size(); t += 3) {
        const SDL_Vertex& v0 = vertices[std::size_t(indices[t])];
        const SDL_Vertex& v1 = vertices[std::size_t(indices[t + 1])];
        const SDL_Vertex& v2 = vertices[std::size_t(indices[t + 2])];
        // Corners snap to whole pixels as in SDL; pixel (i, j) of the area has its centre at
        // (i + 0.5, j + 0.5), so the corners are shifted to put it at (i, j).
        const auto local = [&](SDL_FPoint p) {
            return Point{std::trunc(p.x) - area.x - 0.5, std::trunc(p.y) - area.y - 0.5};
        };
        const Point a = local(v0.position);
        Point b = local(v1.position);
        Point c = local(v2.position);
        const double twiceArea = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
        if (twiceArea == 0) {
            continue;
        }
        if (twiceArea < 0) {
            std::swap(b, c);
        }
        const int left = std::max(0, int(std::ceil(std::min({a.x, b.x, c.x}))));
        const int right = std::min(area.w - 1, int(std::floor(std::max({a.x, b.x, c.x}))));
        const int top = std::max(0, int(std::ceil(std::min({a.y, b.y, c.y}))));
        const int bottom = std::min(area.h - 1, int(std::floor(std::max({a.y, b.y, c.y}))));
        if (left > right || top > bottom) {
            continue;
        }
        const SDL_Color colour = v0.color;
        const std::uint32_t argb = std::uint32_t(colour.a) << 24 | std::uint32_t(colour.r) << 16 |
                                   std::uint32_t(colour.g) << 8 | colour.b;
        // Inside means on the left of every edge p -> q. An edge that runs up bounds a row's span from
        // the left, one that runs down from the right. A centre exactly on an edge counts for left and
        // top edges only, so triangles sharing an edge never both take its pixels.
        struct Bound {
            double x;    // where the edge crosses row 0
            double step; // its change per row
            bool fromLeft;
        };
        std::array<Bound, 3> bounds{};
        std::size_t count = 0;
        int lastRow = bottom;
        for (const auto& [p, q] : {std::pair{a, b}, std::pair{b, c}, std::pair{c, a}}) {
            if (q.y != p.y) {
                const double step = (q.x - p.x) / (q.y - p.y);
                bounds[count++] = {p.x - p.y * step, step, q.y < p.y};
            } else if (q.x < p.x) {
                lastRow = std::min(lastRow, int(std::ceil(p.y)) - 1); // a bottom edge
            }
        }
        for (int y = top; y <= lastRow; ++y) {
            int from = left;
            int to = right;
            for (std::size_t k = 0; k < count; ++k) {
                // Held just outside the columns first: a nearly level edge crosses far away.
                const int x = ceilToInt(std::clamp(bounds[k].x + y * bounds[k].step, left - 1.0, right + 1.0));
                if (bounds[k].fromLeft) {
                    from = std::max(from, x);
                } else {
                    to = std::min(to, x - 1);
                }
            }
            if (from <= to) {
                std::uint32_t* row = pixels + std::ptrdiff_t(y) * stride;
                std::fill(row + from, row + to + 1, argb);
            }
        }
    }
}

} // namespace korvan
