// The play-grid fields within a radius of a centre, addressed by their offset from it so that the
// world's east-west seam does not split the area, with the land joined to the centre.
#pragma once

#include "map/map.hpp"

#include <cstddef>
#include <optional>
#include <vector>

namespace korvan {

class OperationArea {
public:
    OperationArea(const Map& map, Hex centre, int radius);

    int radius() const { return radius_; }
    // The map field at an offset; none off the map's rows or beyond the radius.
    std::optional<Hex> field(Hex offset) const;
    // The offset of a map field from the centre, across the seam where that way is shorter.
    Hex offsetOf(Hex field) const;
    // Land reachable from the centre over land within the area; rivers do not part it.
    bool joined(Hex offset) const;
    int fieldCount() const { return fields_; }
    int joinedCount() const { return joinedCount_; }
    // Every offset within the radius, row by row.
    std::vector<Hex> offsets() const;

private:
    std::optional<std::size_t> slot(Hex offset) const;

    const Map& map_;
    Hex centre_;
    int radius_;
    int side_;
    std::vector<unsigned char> joined_;
    int fields_ = 0;
    int joinedCount_ = 0;
};

} // namespace korvan
