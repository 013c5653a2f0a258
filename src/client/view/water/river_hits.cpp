// What river or bridge lies under a screen point.
#include "water/river_graphics.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace korvan {

namespace {

// Squared distance from c to the segment a-b.
double squaredDistanceToSegment(Point c, Point a, Point b) {
    const Point d = b - a;
    const double t = std::clamp(((c.x - a.x) * d.x + (c.y - a.y) * d.y) / (d.x * d.x + d.y * d.y), 0.0, 1.0);
    const Point nearest = a + d * t;
    return (c.x - nearest.x) * (c.x - nearest.x) + (c.y - nearest.y) * (c.y - nearest.y);
}

// Whether c lies farther than reach from the bounding box of a-b on either axis: most segments of a
// view fail this cheap test, and hover asks on every mouse motion.
bool outsideBox(Point c, Point a, Point b, double reach) {
    return c.x < std::min(a.x, b.x) - reach || c.x > std::max(a.x, b.x) + reach ||
           c.y < std::min(a.y, b.y) - reach || c.y > std::max(a.y, b.y) + reach;
}

} // namespace

std::optional<RiverGraphics::Choice> RiverGraphics::hit(Point c, bool precise) const {
    const Scene& scene = geometry();
    std::optional<Choice> result;
    double best = std::numeric_limits<double>::infinity();
    for (const Path& path : scene.paths) {
        for (std::size_t k = 0; k + 1 < path.points.size(); ++k) {
            const Point a = path.points[k];
            const Point b = path.points[k + 1];
            const Point d = b - a;
            if (d.x * d.x + d.y * d.y < 1e-8) {
                continue;
            }
            const Edge& edge = edges_[path.edges[k]];
            // Thin rivers get a generous target unless the caller wants the drawn band itself.
            const double tolerance = precise ? 0.5 * std::max(path.widths[k], path.widths[k + 1]) + 2
                                             : std::max(0.7 * edge.width + 6, 12.0);
            if (outsideBox(c, a, b, tolerance)) {
                continue;
            }
            const double distance = squaredDistanceToSegment(c, a, b);
            if (distance <= tolerance * tolerance && distance < best) {
                best = distance;
                const Placement& placement = scene.placements[path.edges[k]];
                result = Choice{edge.source, placement.center, placement.tangent, edge.width};
            }
        }
    }
    return result;
}

std::optional<RiverGraphics::Choice> RiverGraphics::hitBridge(Point c, double physicalScale) const {
    const Scene& scene = geometry();
    std::optional<Choice> result;
    double best = std::numeric_limits<double>::infinity();
    for (std::size_t e = 0; e < edges_.size(); ++e) {
        if (!edges_[e].bridge) {
            continue;
        }
        const Placement& placement = scene.placements[e];
        const auto t = bridgeTangent(e, placement);
        if (!t) {
            continue;
        }
        const double length = std::hypot(t->x, t->y);
        const Point r = c - placement.center;
        const double acrossRiver = std::abs(-t->y * r.x + t->x * r.y) / length;
        const double alongRiver = std::abs(t->x * r.x + t->y * r.y) / length;
        if (acrossRiver > bridgeHalfLength(edges_[e].width, physicalScale) + 4 ||
            alongRiver > bridgeHalfWidth(physicalScale) + 4) {
            continue;
        }
        const double distance = std::hypot(r.x, r.y);
        if (distance < best) {
            best = distance;
            result = Choice{edges_[e].source, placement.center, *t, edges_[e].width};
        }
    }
    return result;
}

std::optional<Point> RiverGraphics::bridgeCenter(std::size_t id) const {
    for (std::size_t e = 0; e < edges_.size(); ++e) {
        if (edges_[e].bridge && edges_[e].id == id) {
            return geometry().placements[e].center;
        }
    }
    return std::nullopt;
}

} // namespace korvan
