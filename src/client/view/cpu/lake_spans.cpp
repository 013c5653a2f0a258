// Scanline spans of lake polygons.
#include "cpu/lake_spans.hpp"

#include <algorithm>
#include <cmath>

namespace korvan {

Point lakeWorldPoint(Point lonLat, int mapWidth, int mapHeight, int copy) {
    return {(lonLat.x + 180) * sqrt3 * mapWidth / 360 + copy * mapWidth * sqrt3,
            (mapHeight * (90 - lonLat.y) / 180 - 0.5) * 1.5};
}

void lakeSpans(const std::vector<std::vector<Point>>& rings, int firstRow, int lastRow, int columnLimit,
               std::vector<double>& crossings, std::vector<LakeSpan>& spans) {
    for (int row = firstRow; row <= lastRow; ++row) {
        const double y = row + 0.5;
        crossings.clear();
        for (const auto& ring : rings) {
            const std::size_t count = ring.size();
            for (std::size_t i = 0; i < count; ++i) {
                const Point u = ring[i];
                const Point v = ring[(i + 1) % count];
                if ((u.y > y) != (v.y > y)) {
                    crossings.push_back(u.x + (y - u.y) * (v.x - u.x) / (v.y - u.y));
                }
            }
        }
        std::sort(crossings.begin(), crossings.end());
        for (std::size_t k = 0; k + 1 < crossings.size(); k += 2) {
            // Clamped as doubles first: far outside the view a crossing may not fit an int.
            const double limit = columnLimit;
            const int first = std::max(static_cast<int>(std::ceil(std::clamp(crossings[k] - 0.5, -1.0, limit))), 0);
            const int last = std::min(static_cast<int>(std::floor(std::clamp(crossings[k + 1] - 0.5, -1.0, limit))),
                                      columnLimit - 1);
            if (first <= last) {
                spans.push_back({row, first, last});
            }
        }
    }
}

} // namespace korvan
