// The source river network as a graph of hexagon sides, used to re-trace rivers on the play grid.
#pragma once

#include "core/flat_key_map.hpp"
#include "core/index_lists.hpp"
#include "map/map.hpp"

#include <cmath>
#include <cstdint>
#include <span>
#include <vector>

namespace korvan {

// Resamples one river side's geometry between the source map and the new grid.
struct SideGeometry {
    Point start;
    Point end;
    Point middle; // source units
    Point halfSide; // source units
};

inline SideGeometry sideGeometry(const Map& source, const RiverEdge& edge, Point scale) {
    const Point a = hexCenter(edge.a);
    Point b = hexCenter(edge.b);
    const double sourcePeriod = source.width() * sqrt3;
    b.x += sourcePeriod * std::round((a.x - b.x) / sourcePeriod);
    const Point m = (a + b) * 0.5;
    const Point s{(b.y - a.y) / -sqrt3 * 0.5, (b.x - a.x) / sqrt3 * 0.5};
    const Point start = m - s;
    const Point end = m + s;
    return {{start.x / scale.x, start.y / scale.y}, {end.x / scale.x, end.y / scale.y}, m, s};
}

// The source river network as a graph of hexagon sides, in new-grid units. Vertices are matched
// through keys of their coordinates rounded to 1/1024, so east-west copies share a key.
class RiverGraph {
public:
    using Arms = std::span<const Point>;

    RiverGraph(double period, const std::vector<SideGeometry>& sides)
        : period_(period), vertexIds_(sides.size() + 16) {
        // A river network has about one vertex per side; the table grows if needed.
        // Each vertex's arms in the order the sides were given.
        std::vector<FlatLists<Point>::Pair> ends;
        ends.reserve(sides.size() * 2);
        sideEnds_.reserve(sides.size() * 2);
        for (const SideGeometry& side : sides) {
            sideEnds_.push_back(vertexId(side.start));
            sideEnds_.push_back(vertexId(side.end));
            ends.emplace_back(sideEnds_[sideEnds_.size() - 2], side.end);
            ends.emplace_back(sideEnds_.back(), side.start);
        }
        wet_.assign(vertexIds_.size(), false);
        arms_ = FlatLists<Point>(vertexIds_.size(), ends);
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
