// Clipping a polygon to a convex mask, for the pieces of source fields inside one play-grid field.
#pragma once

#include "core/hex.hpp"

#include <span>
#include <vector>

namespace korvan {

// Sutherland-Hodgman against a convex mask whose corners run clockwise on screen (y down): a point
// is inside where it lies right of or on every mask edge. The result may be empty.
std::vector<Point> clipCityPolygon(const std::vector<Point>& polygon, const std::vector<Point>& mask);

// The same clip into caller-owned buffers, so hot loops reuse their memory: the result is left in
// `result`; `scratch` is working space.
void clipConvex(std::span<const Point> polygon, std::span<const Point> mask, std::vector<Point>& result,
                std::vector<Point>& scratch);

} // namespace korvan
