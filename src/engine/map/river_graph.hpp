// The source river network as a graph of hexagon sides, used to re-trace rivers on the play grid.
#pragma once

#include "core/containers/flat_key_map.hpp"
#include "core/containers/index_lists.hpp"
#include "map/map.hpp"

#include <cmath>
#include <cstdint>
#include <span>
#include <vector>

namespace korvan {

// One river side's geometry in source units; its ends are resampled onto the new grid when asked
// for, which keeps a side at 32 bytes for the hundreds of thousands held while rivers are traced.
struct SideGeometry {
    Point middle;
    Point halfSide; // from the middle to the side's end

    // The side's ends in the units of the grid whose fields measure scale source units.
    Point start(Point scale) const { return inGrid(middle - halfSide, scale); }
    Point end(Point scale) const { return inGrid(middle + halfSide, scale); }

private:
    static Point inGrid(Point p, Point scale) { return {p.x / scale.x, p.y / scale.y}; }
};

inline SideGeometry sideGeometry(const Map& source, const RiverEdge& edge) {
    const Point a = hexCenter(edge.a);
    Point b = hexCenter(edge.b);
    const double sourcePeriod = source.width() * sqrt3;
    b.x += sourcePeriod * std::round((a.x - b.x) / sourcePeriod);
    return {(a + b) * 0.5, {(b.y - a.y) / -sqrt3 * 0.5, (b.x - a.x) / sqrt3 * 0.5}};
}

// The source river network as a graph of hexagon sides, in new-grid units. Vertices are matched
// through keys of their coordinates rounded to 1/1024, so east-west copies share a key.
class RiverGraph {
public:
    using Arms = std::span<const Point>;

    // The sides with their ends on the grid whose fields measure scale source units.
    RiverGraph(double period, const std::vector<SideGeometry>& sides, Point scale)
        : period_(period), vertexIds_(sides.size() + 16) {
        // A river network has about one vertex per side; the table grows if needed. The table is far
        // larger than the caches: the slots of a side a few places on start loading meanwhile.
        constexpr std::size_t ahead = 8;
        sideEnds_.reserve(sides.size() * 2);
        for (std::size_t i = 0; i < sides.size(); ++i) {
            if (i + ahead < sides.size()) {
                vertexIds_.prefetch(key(sides[i + ahead].start(scale)));
                vertexIds_.prefetch(key(sides[i + ahead].end(scale)));
            }
            sideEnds_.push_back(vertexId(sides[i].start(scale)));
            sideEnds_.push_back(vertexId(sides[i].end(scale)));
        }
        wet_.assign(vertexIds_.size(), false);
        // Each vertex's arms in the order the sides were given: a side's start reaches its end, and
        // its end its start.
        arms_ = FlatLists<Point>::gather(
            vertexIds_.size(), sideEnds_.size(), [&](std::size_t k) { return sideEnds_[k]; },
            [&](std::size_t k) { return k % 2 == 0 ? sides[k / 2].end(scale) : sides[k / 2].start(scale); });
    }

    std::uint64_t key(Point p) const {
        const double x = p.x - std::floor(p.x / period_) * period_;
        return (static_cast<std::uint64_t>(std::llround(1024.0 * x)) << 32) ^
               static_cast<std::uint64_t>(std::llround(1024.0 * p.y));
    }

    bool sameVertex(Point u, Point v) const {
        const double dx = u.x - v.x;
        return std::abs(dx - period_ * std::round(dx / period_)) < 1e-6 && std::abs(u.y - v.y) < 1e-6;
    }

    // The vertex at the start (end false) or the end of a side as given to the constructor: the
    // side's own ends need no lookup by coordinates.
    std::uint32_t sideEnd(std::size_t side, bool end) const { return sideEnds_[2 * side + (end ? 1 : 0)]; }

    void markWet(std::uint32_t vertex) { wet_[vertex] = true; }

    // The far ends of the sides that touch v; empty where no side does.
    Arms arms(Point v) const {
        const auto id = vertexIds_.find(key(v));
        if (!id) {
            return {};
        }
        return arms_[*id];
    }

    bool isWet(Point v) const {
        const auto id = vertexIds_.find(key(v));
        return id && wet_[*id];
    }

    // A river end that touches water.
    bool mouth(std::uint32_t vertex) const { return arms_[vertex].size() == 1 && wet_[vertex]; }

    // Walking from v over w ends within four sides at a dry river end.
    bool deadEnd(Point v, Point w) const {
        for (int step = 0; step < 4; ++step) {
            const Arms list = arms(w);
            if (list.size() == 0) {
                return true;
            }
            if (list.size() == 1) {
                return !isWet(w);
            }
            if (list.size() != 2) {
                return false;
            }
            const std::uint64_t back = key(v);
            const Point next = key(list[0]) != back ? list[0] : list[1];
            v = w;
            w = next;
        }
        return false;
    }

    double period() const { return period_; }

private:
    std::uint32_t vertexId(Point p) {
        return vertexIds_.tryEmplace(key(p), static_cast<std::uint32_t>(vertexIds_.size())).first;
    }

    double period_;
    FlatKeyMap vertexIds_;
    std::vector<std::uint32_t> sideEnds_; // start and end vertex of every side
    std::vector<bool> wet_;               // per vertex
    FlatLists<Point> arms_;               // per vertex
};

} // namespace korvan
