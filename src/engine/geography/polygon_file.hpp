// Reading the polygon lists of countries.json, seas.json and lakes.json.
#pragma once

#include "core/json_values.hpp"
#include "geography/countries.hpp"

#include <vector>

namespace korvan {

// The messages a polygon reader raises; countries and named waters word them differently.
struct PolygonMessages {
    const char* coordinate;
    const char* ring;
    const char* emptyPolygon;
};

inline constexpr PolygonMessages countryPolygonMessages{"Ungueltige Laenderkoordinate", "Ungueltiger Laenderring",
                                                        "Leeres Laenderpolygon"};

// An array of polygons, each an array of rings of [longitude, latitude, ...] points, with the
// bounding box of every polygon. Further point elements (a height, say) are ignored.
std::vector<CountryPolygon> readPolygons(JsonValue polygons, const PolygonMessages& messages);

} // namespace korvan
