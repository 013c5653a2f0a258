// Convex polygon clipping.
#include "cities/city_footprint.hpp"

#include <algorithm>
#include <utility>

namespace korvan {

void clipConvex(std::span<const Point> polygon, std::span<const Point> mask, std::vector<Point>& result,
                std::vector<Point>& scratch) {
    result.assign(polygon.begin(), polygon.end());
    const std::size_t n = mask.size();
    for (std::size_t i = 0; i < n && !result.empty(); ++i) {
        const Point a = mask[i];
        const Point b = mask[(i + 1) % n];
        const auto side = [a, b](Point p) { return (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x); };
        if (std::all_of(result.begin(), result.end(), [&](Point p) { return side(p) >= 0; })) {
            continue; // the usual case for a piece inside the mask: nothing to cut
        }
        scratch.clear();
        for (std::size_t k = 0; k < result.size(); ++k) {
            const Point p = result[k];
            const Point q = result[(k + 1) % result.size()];
            const double sp = side(p);
            const double sq = side(q);
            if (sp >= 0) {
                scratch.push_back(p);
            }
            if ((sp >= 0) != (sq >= 0)) {
                scratch.push_back(p + (q - p) * (sp / (sp - sq)));
            }
        }
        std::swap(result, scratch);
    }
}

std::vector<Point> clipCityPolygon(const std::vector<Point>& polygon, const std::vector<Point>& mask) {
    std::vector<Point> result;
    std::vector<Point> scratch;
    clipConvex(polygon, mask, result, scratch);
    return result;
}

} // namespace korvan
