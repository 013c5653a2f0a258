// The hexagon side between two fields.
#include "render/river_segments.hpp"

namespace korvan {

RiverSegment riverBoundary(const Map& map, const RiverEdge& edge) {
    const Point a = hexCenter(edge.a);
    Point b = hexCenter(edge.b);
    if (map.wraps()) {
        b.x += std::round((a.x - b.x) / map.period()) * map.period();
    }
    const Point middle = (a + b) * 0.5;
    const Point half{(b.y - a.y) / -sqrt3 * 0.5, (b.x - a.x) / sqrt3 * 0.5};
    return {middle - half, middle + half};
}

} // namespace korvan
