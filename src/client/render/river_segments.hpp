// River sides as line segments in world units, repeated across the wrap seam.
#pragma once

#include "map/map.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace korvan {

// A river side's two corner points in world units.
struct RiverSegment {
    Point a;
    Point b;
};

// The side shared by the edge's two fields; on a wrapping map field b is taken at the copy next
// to a, so a side on the seam is one unit long like every other.
RiverSegment riverBoundary(const Map& map, const RiverEdge& edge);

// Calls action(a, b, edge, edgeIndex) for every copy of every river side whose midpoint lies within
// the world rectangle lo..hi widened by one unit; a and b are shifted by whole periods to that copy.
template <typename Action>
void riverSegments(const Map& map, Point lo, Point hi, Action&& action) {
    const double period = map.period();
    const auto& rivers = map.rivers();
    for (std::size_t index = 0; index < rivers.size(); ++index) {
        const RiverEdge& edge = rivers[index];
        if (lo.y > std::max(edge.a.r, edge.b.r) * 1.5 + 1 || hi.y < std::min(edge.a.r, edge.b.r) * 1.5 - 1) {
            continue;
        }
        const RiverSegment s = riverBoundary(map, edge);
        const double middle = (s.a.x + s.b.x) * 0.5;
        int first = 0;
        int last = 0;
        if (map.wraps()) {
            first = static_cast<int>(std::ceil((lo.x - middle - 1) / period));
            last = static_cast<int>(std::floor((hi.x - middle + 1) / period));
        }
        for (int k = first; k <= last; ++k) {
            const double shift = k * period;
            if (lo.x > middle + shift + 1 || hi.x < middle + shift - 1) {
                continue;
            }
            action(Point{s.a.x + shift, s.a.y}, Point{s.b.x + shift, s.b.y}, edge, index);
        }
    }
}

} // namespace korvan
