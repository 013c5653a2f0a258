// Where cities sit on the hex grids: urban anchor fields, play-grid city fields and shore points.
#pragma once

#include "places/cities.hpp"
#include "map/map.hpp"

#include <cstddef>
#include <optional>
#include <unordered_map>
#include <vector>

namespace korvan {

// Per urban centre, the world-map City field nearest to its geographic point, if one lies close
// enough (2 fields, 4 when the point itself falls on water). Empty entries for any map that is
// not the world map the raster was made for.
std::vector<std::optional<Hex>> cityTileAnchors(const Map& map, const UrbanAreas& areas);

// The anchored cities carried over to the play grid.
struct CityFieldPlacement {
    std::vector<Point> centers;                  // per city: its play-grid field centre in world-map units
    std::unordered_map<int, std::size_t> fields; // play-grid field key -> city index
};

// Places every city with an anchor (a world-map hex) on the play-grid field under it. Throws
// "Mehrere Staedte auf einem Stadtfeld" when two cities meet on one field or a field is missing.
CityFieldPlacement placeAnchoredCities(const Map& game, const std::vector<std::optional<Hex>>& anchors);

// For a city whose world point (world-map units) lies on play-grid water: the world point of the
// nearest land field within two steps, a non-city field preferred.
std::optional<Point> shorePoint(const Map& game, Point world);

} // namespace korvan
