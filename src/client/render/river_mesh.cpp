// Coloured triangle meshes of the river layer: fans, discs and bands along a line.
#include "render/river_graphics.hpp"

#include "render/primitives.hpp"

#include <algorithm>
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

void Mesh::disc(Point center, double radius, SDL_Color color) {
    const int base = static_cast<int>(vertices.size());
    for (int k = 0; k < 12; ++k) {
        const double angle = k * std::numbers::pi / 6;
        vertices.push_back(vertex(center + Point{std::cos(angle), std::sin(angle)} * radius, color));
    }
    for (int k = 1; k + 1 < 12; ++k) {
        indices.insert(indices.end(), {base, base + k, base + k + 1});
    }
}

void Mesh::strip(const std::vector<Point>& points, const std::vector<double>& widths, SDL_Color color,
                 double offset) {
    stripWith(points, [&](std::size_t i) { return widths[i]; }, color, offset);
}

void Mesh::draw(SDL_Renderer* renderer) const { drawGeometry(renderer, nullptr, vertices, indices); }

} // namespace korvan
