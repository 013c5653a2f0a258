// Building blocks of the movement searches: neighbour lists, closed river sides, the bounded reach search.
#pragma once

#include "forces/army.hpp"
#include "map/map.hpp"
#include "forces/movement_queues.hpp"
#include "forces/movement_tables.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace korvan {

// The neighbours Map::adjacent gives, in the same order, without allocating.
struct NeighbourList {
    std::array<Hex, 6> hexes;
    int count = 0;

    const Hex* begin() const { return hexes.data(); }
    const Hex* end() const { return hexes.data() + count; }
};

// h must be on the map. Wrapping maps are odd-r, and a neighbour's column differs from h's by at
// most one, so one correction by the width gives the canonical hex.
inline NeighbourList neighboursOf(const Map& map, Hex h) {
    NeighbourList list;
    const int width = map.width();
    for (const Hex step : neighbourSteps) {
        const Hex raw = h + step;
        if (raw.r < 0 || raw.r >= map.height()) {
            continue;
        }
        int column = map.column(raw);
        if (map.wraps()) {
            column += column < 0 ? width : (column >= width ? -width : 0);
        } else if (column < 0 || column >= width) {
            continue;
        }
        const Hex n = map.hexAt(column, raw.r);
        if (n == h || std::find(list.begin(), list.end(), n) != list.end()) {
            continue;
        }
        list.hexes[list.count++] = n;
    }
    return list;
}

// Tile of a field on the map, read straight from the field bytes.
inline Tile tileOf(const Map& map, Hex h) { return unpackTile(map.tileBytes()[map.storageIndex(h)]); }

// The fields that touch a closed river side, one bit each. A crossing between two fields can only
// be closed where both carry the bit, so a search asks the map's edge table only there. Built once
// for many searches on an unchanging map (a bridge built later is not seen).
class RiverBarriers {
public:
    explicit RiverBarriers(const Map& map);

    // Same answer as Map::riverCrossingOpen for two fields on the map.
    bool crossingOpen(Hex a, Hex b) const {
        return !marked(a) || !marked(b) || map_->riverCrossingOpen(a, b);
    }

private:
    bool marked(Hex h) const {
        const std::size_t i = map_->storageIndex(h);
        return (bits_[i / 64] >> (i % 64)) & 1u;
    }

    const Map* map_;
    std::vector<std::uint64_t> bits_;
};

// Uniform-cost search from start over fields whose total cost stays within budget.
// enterCost(to) is the cost of entering a field, negative when it is closed; crossable(from, to)
// tells whether the side between two neighbours may be crossed. Each field keeps the first
// predecessor that reached it at its lowest cost, and the queue pops ties by (q, r), so the
// recorded ways are deterministic. The side check runs last, only for steps that would improve a
// field: it is the expensive one (a hash look-up in the map's river index).
template <typename EnterCost, typename Crossable>
MovementRange boundedSearch(const Map& map, Hex start, int budget, EnterCost&& enterCost, Crossable&& crossable) {
    // A hexagon of radius b holds 3b(b+1)+1 fields; beyond a few thousand the table grows as needed.
    const std::size_t radius = std::size_t(std::clamp(budget, 0, 36));
    HexTable<PathNode> nodes(3 * radius * (radius + 1) + 1);
    SearchQueue queue;
    nodes.insert(start, {0, start});
    queue.push({0, start});
    while (!queue.empty()) {
        const SearchEntry top = queue.pop();
        if (nodes.find(top.hex)->cost != top.cost) {
            continue; // outdated
        }
        for (const Hex n : neighboursOf(map, top.hex)) {
            const int step = enterCost(n);
            if (step < 0 || top.cost + step > budget) {
                continue;
            }
            const int total = top.cost + step;
            PathNode* node = nodes.find(n);
            if ((node != nullptr && node->cost <= total) || !crossable(top.hex, n)) {
                continue;
            }
            if (node != nullptr) {
                *node = {total, top.hex};
            } else {
                nodes.insert(n, {total, top.hex});
            }
            queue.push({total, n});
        }
    }

    // Sorted first, so the ordered map is filled by appending.
    std::vector<std::pair<Hex, PathNode>> entries;
    entries.reserve(nodes.size());
    nodes.forEach([&](Hex h, const PathNode& node) { entries.emplace_back(h, node); });
    std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return HexLess{}(a.first, b.first); });
    MovementRange range;
    for (const auto& entry : entries) {
        range.emplace_hint(range.end(), entry);
    }
    return range;
}

} // namespace korvan
