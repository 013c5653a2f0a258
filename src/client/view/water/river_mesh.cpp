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


namespace {

// Inside means on the left of every edge p -> q. An edge that runs up bounds a row's span from the
// left, one that runs down from the right.
struct Bound {
    double x;    // where the edge crosses row 0
    double step; // its change per row
    bool fromLeft;
};

Bound boundOf(Point from, Point to) {
    const double step = (to.x - from.x) / (to.y - from.y);
    return {from.x - from.y * step, step, to.y < from.y};
}

// The diagonal of a quad seen from its two triangles, each working out its own crossing: where the
// two round apart, a pixel between them belongs to neither triangle and stays unpainted here too.
struct Split {
    Bound first;  // as the first triangle bounds itself by it
    Bound second; // as the second does
};

// Paints the pixels whose centres lie inside a convex polygon given counter-clockwise on screen
// (y down), in pixel-centre coordinates. A centre exactly on an edge counts for left and top edges
// only, so polygons sharing an edge never both take its pixels.
template <std::size_t corners>
void fillConvex(const std::array<Point, corners>& p, std::uint32_t argb, std::uint32_t* pixels, int stride,
                SDL_Rect area, const Split* split = nullptr) {
    double minX = p[0].x, maxX = p[0].x, minY = p[0].y, maxY = p[0].y;
    for (const Point q : p) {
        minX = std::min(minX, q.x);
        maxX = std::max(maxX, q.x);
        minY = std::min(minY, q.y);
        maxY = std::max(maxY, q.y);
    }
    const int left = std::max(0, int(std::ceil(minX)));
    const int right = std::min(area.w - 1, int(std::floor(maxX)));
    const int top = std::max(0, int(std::ceil(minY)));
    const int bottom = std::min(area.h - 1, int(std::floor(maxY)));
    if (left > right || top > bottom) {
        return;
    }
    std::array<Bound, corners> bounds{};
    std::size_t count = 0;
    int lastRow = bottom;
    for (std::size_t k = 0; k < corners; ++k) {
        const Point from = p[k];
        const Point to = p[(k + 1) % corners];
        if (to.y != from.y) {
            bounds[count++] = boundOf(from, to);
        } else if (to.x < from.x) {
            lastRow = std::min(lastRow, int(std::ceil(from.y)) - 1); // a bottom edge
        }
    }
    for (int y = top; y <= lastRow; ++y) {
        int first = left;
        int last = right;
        for (std::size_t k = 0; k < count; ++k) {
            // Held just outside the columns first: a nearly level edge crosses far away.
            const int x = ceilToInt(std::clamp(bounds[k].x + y * bounds[k].step, left - 1.0, right + 1.0));
            if (bounds[k].fromLeft) {
                first = std::max(first, x);
            } else {
                last = std::min(last, x - 1);
            }
        }
        if (first > last) {
            continue;
        }
        std::uint32_t* row = pixels + std::ptrdiff_t(y) * stride;
        if (split) {
            const auto cut = [&](const Bound& b) {
                return ceilToInt(std::clamp(b.x + y * b.step, left - 1.0, right + 1.0));
            };
            // The columns from gapFrom to gapTo lie right of one triangle's span and left of the other's.
            const Bound& leftOne = split->first.fromLeft ? split->second : split->first;
            const Bound& rightOne = split->first.fromLeft ? split->first : split->second;
            const int gapFrom = cut(leftOne);
            const int gapTo = cut(rightOne) - 1;
            if (gapFrom <= gapTo) {
                std::fill(row + first, row + std::max(first, std::min(last + 1, gapFrom)), argb);
                std::fill(row + std::min(last + 1, std::max(first, gapTo + 1)), row + last + 1, argb);
                continue;
            }
        }
        std::fill(row + first, row + last + 1, argb);
    }
}

double twiceArea(Point a, Point b, Point c) { return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x); }

} // namespace

void Mesh::fill(std::uint32_t* pixels, int stride, SDL_Rect area) const {
    // Corners snap to whole pixels as in SDL; pixel (i, j) of the area has its centre at
    // (i + 0.5, j + 0.5), so the corners are shifted to put it at (i, j).
    const auto local = [&](int index) {
        const SDL_FPoint p = vertices[std::size_t(index)].position;
        return Point{std::trunc(p.x) - area.x - 0.5, std::trunc(p.y) - area.y - 0.5};
    };
    const auto argbOf = [&](int index) {
        const SDL_Color c = vertices[std::size_t(index)].color;
        return std::uint32_t(c.a) << 24 | std::uint32_t(c.r) << 16 | std::uint32_t(c.g) << 8 | c.b;
    };
    for (std::size_t t = 0; t + 2 < indices.size(); t += 3) {
        const Point a = local(indices[t]);
        Point b = local(indices[t + 1]);
        Point c = local(indices[t + 2]);
        const double area2 = twiceArea(a, b, c);
        if (area2 == 0) {
            continue;
        }
        const std::uint32_t argb = argbOf(indices[t]);
        // A band's quad comes as triangles (a, b, c) and (b, d, c) of one colour. Where it is convex
        // it is filled in one go, with the pixels of its two triangles: their outer edges are the
        // quad's, no corner lies on a pixel centre, and the diagonal is worked out as each of them does.
        if (t + 5 < indices.size() && indices[t + 3] == indices[t + 1] && indices[t + 5] == indices[t + 2] &&
            argbOf(indices[t + 3]) == argb) {
            const Point d = local(indices[t + 4]);
            const double turns[] = {area2, twiceArea(b, d, c), twiceArea(a, b, d), twiceArea(d, c, a)};
            const bool sameWay = std::all_of(std::begin(turns), std::end(turns), [&](double turn) {
                return area2 > 0 ? turn > 0 : turn < 0;
            });
            if (sameWay) {
                // Each triangle runs along the diagonal the other way: (b, c) and (c, b) on the left turn.
                const Point from = area2 > 0 ? b : c;
                const Point to = area2 > 0 ? c : b;
                const bool level = from.y == to.y; // a level diagonal splits rows, not columns
                const Split split = level ? Split{} : Split{boundOf(from, to), boundOf(to, from)};
                fillConvex<4>(area2 > 0 ? std::array{a, b, d, c} : std::array{a, c, d, b}, argb, pixels, stride, area,
                              level ? nullptr : &split);
                t += 3;
                continue;
            }
        }
        if (area2 < 0) {
            std::swap(b, c);
        }
        fillConvex<3>({a, b, c}, argb, pixels, stride, area);
    }
}

} // namespace korvan
