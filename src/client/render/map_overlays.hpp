// Geometry of the map overlays that tests check without a renderer.
#pragma once

#include "map/map.hpp"

#include <vector>

namespace korvan {

// A movement path as world points: repeated fields dropped, each point moved to the world copy next
// to the one before (so a path across the seam stays one line), then the whole line moved to the
// copy nearest the view's middle. fields[i] is the field of world[i].
struct PathPoints {
    std::vector<Hex> fields;
    std::vector<Point> world;
};
PathPoints pathWorldPoints(const Map& map, const std::vector<Hex>& path, double viewMiddleX);

} // namespace korvan
