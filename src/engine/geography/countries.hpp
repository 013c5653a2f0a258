// Countries and disputed areas as geographic polygons, with the file loader and point look-ups.
#pragma once

#include "core/hex.hpp"

#include <cstddef>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace korvan {

// Even-odd crossing rule; the ring is implicitly closed. A point exactly on a crossing counts
// only when the crossing lies strictly to its right, so a shared edge belongs to one side.
bool inside(const std::vector<Point>& ring, Point p);

// One polygon in degrees (x = longitude, y = latitude): ring 0 is the outline, further rings are holes.
struct CountryPolygon {
    std::vector<std::vector<Point>> rings;
    Point minimum{180.0, 90.0};
    Point maximum{-180.0, -90.0};

    bool contains(Point geography) const;
};

struct Country {
    std::string id;
    std::string name;
    std::vector<CountryPolygon> polygons;
    std::string status = "country";
    std::string sovereignId;
};

struct Countries {
    std::vector<Country> entries;
    std::vector<Country> disputedAreas;

    static Countries load(const std::filesystem::path& file);
    static Countries load(std::istream& input);

    // The first entry in list order with a polygon containing the point.
    std::optional<std::size_t> at(Point geography) const;
    std::optional<std::size_t> disputedAt(Point geography) const;
};

// The first index of a list whose polygons contain the point.
std::optional<std::size_t> firstContaining(const std::vector<Country>& list, Point geography);

} // namespace korvan
