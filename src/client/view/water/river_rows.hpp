// The river sides of a map grouped by row and sorted along it, so a view visits only its own sides.
#pragma once

#include "map/map.hpp"
#include "water/river_segments.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace korvan {

class RiverRows {
public:
    // The sides and copies riverSegments gives, without scanning every side of the map: a view
    // close in shows a few hundred of the play grid's two hundred thousand sides. Sides come row
    // by row, from west to east within a row.
    template <typename Action>
    void forSegments(const Map& map, unsigned generation, Point lo, Point hi, Action&& action);

private:
    struct Entry {
        double middle; // x of the side's midpoint
        std::uint32_t index;
    };
    void index(const Map& map, unsigned generation);

    const Map* map_ = nullptr;
    const RiverEdge* data_ = nullptr;
    std::size_t count_ = 0;
    unsigned generation_ = 0;
    int firstRow_ = 0;
    double westmost_ = 0;
    double eastmost_ = 0;
    std::vector<std::uint32_t> rowStart_; // per lower row from firstRow_ into entries_, one extra at the end
    std::vector<Entry> entries_;          // by lower row, then by midpoint
};

template <typename Action>
void RiverRows::forSegments(const Map& map, unsigned generation, Point lo, Point hi, Action&& action) {
    const auto& rivers = map.rivers();
    if (&map != map_ || rivers.data() != data_ || rivers.size() != count_ || generation != generation_) {
        index(map, generation);
    }
    if (entries_.empty()) {
        return;
    }
    // A side's upper row is at most one below its lower one.
    const double rows = double(rowStart_.size() - 1);
    const auto firstRow = std::size_t(std::clamp(std::ceil((lo.y - 1) / 1.5) - 1 - firstRow_, 0.0, rows));
    const auto endRow = std::size_t(std::clamp(std::floor((hi.y + 1) / 1.5) + 1 - firstRow_, 0.0, rows));
    const double period = map.period();
    int firstCopy = 0;
    int lastCopy = 0;
    if (map.wraps()) {
        firstCopy = static_cast<int>(std::ceil((lo.x - eastmost_ - 1) / period));
        lastCopy = static_cast<int>(std::floor((hi.x - westmost_ + 1) / period));
    }
    const auto before = [](const Entry& e, double x) { return e.middle < x; };
    for (std::size_t row = firstRow; row < endRow; ++row) {
        const auto begin = entries_.begin() + rowStart_[row];
        const auto end = entries_.begin() + rowStart_[row + 1];
        for (int copy = firstCopy; copy <= lastCopy; ++copy) {
            const double shift = copy * period;
            for (auto e = std::lower_bound(begin, end, lo.x - 1 - shift, before);
                 e != end && e->middle + shift <= hi.x + 1; ++e) {
                const RiverEdge& edge = rivers[e->index];
                if (lo.y > std::max(edge.a.r, edge.b.r) * 1.5 + 1 ||
                    hi.y < std::min(edge.a.r, edge.b.r) * 1.5 - 1) {
                    continue;
                }
                const RiverSegment s = riverBoundary(map, edge);
                action(Point{s.a.x + shift, s.a.y}, Point{s.b.x + shift, s.b.y}, edge, std::size_t(e->index));
            }
        }
    }
}

} // namespace korvan
