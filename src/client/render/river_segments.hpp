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
// to a, so a side on the seam is one unit long like every other. Inline: the far overview asks for
// every side of the world in each frame.
inline RiverSegment riverBoundary(const Map& map, const RiverEdge& edge) {
    const Point a = hexCenter(edge.a);
    Point b = hexCenter(edge.b);
    // Neighbours lie well within half a period of each other except across the seam.
    if (map.wraps() && !(std::abs(a.x - b.x) < 0.25 * map.period())) {
        b.x += roundHalfAway((a.x - b.x) / map.period()) * map.period();
    }
    const Point middle = (a + b) * 0.5;
    const Point half{(b.y - a.y) / -sqrt3 * 0.5, (b.x - a.x) / sqrt3 * 0.5};
    return {middle - half, middle + half};
}

namespace detail {

// ceil (up) or floor of v / period through the reciprocal; the division decides only near a whole
// number, where the two could differ.
inline int wholePeriods(double v, double period, double reciprocal, bool up) {
    const double t = v * reciprocal;
    const double whole = up ? std::ceil(t) : std::floor(t);
    const double gap = std::abs(whole - t);
    if (gap > 1e-9 && gap < 1 - 1e-9 && std::abs(t) < 1e6) {
        return static_cast<int>(whole);
    }
    return static_cast<int>(up ? std::ceil(v / period) : std::floor(v / period));
}

} // namespace detail

// Calls action(a, b, edge, edgeIndex) for every copy of every river side whose midpoint lies within
// the world rectangle lo..hi widened by one unit; a and b are shifted by whole periods to that copy.
template <typename Action>
void riverSegments(const Map& map, Point lo, Point hi, Action&& action) {
    const double period = map.period();
    const double reciprocal = 1 / period;
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
            first = detail::wholePeriods(lo.x - middle - 1, period, reciprocal, true);
            last = detail::wholePeriods(hi.x - middle + 1, period, reciprocal, false);
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
