// River sides: crossing queries, bridges, and the bridge link between a play grid and its source.
#include "map/map.hpp"

#include <stdexcept>

namespace korvan {

std::optional<std::size_t> Map::riverEdgeIndex(Hex a, Hex b) const {
    if (!contains(a) || !contains(b)) {
        return std::nullopt;
    }
    if (const auto found = riverIndex_.find(edgeKey(a, b))) {
        return *found;
    }
    return std::nullopt;
}

void Map::prefetchRiverEdge(Hex a, Hex b) const {
    if (contains(a) && contains(b)) {
        riverIndex_.prefetch(edgeKey(a, b));
    }
}

const RiverEdge* Map::riverEdge(Hex a, Hex b) const {
    const auto index = riverEdgeIndex(a, b);
    return index ? &rivers_[*index] : nullptr;
}

bool Map::bridgeBetween(Hex a, Hex b) const {
    const RiverEdge* edge = riverEdge(a, b);
    return edge != nullptr && edge->bridge;
}

bool Map::riverCrossingOpen(Hex a, Hex b) const {
    const RiverEdge* edge = riverEdge(a, b);
    return edge == nullptr || edge->bridge || edge->cityCrossing;
}

bool Map::setBridge(Hex a, Hex b, bool enabled) {
    const auto index = riverEdgeIndex(a, b);
    if (!index) {
        return false;
    }
    RiverEdge& edge = rivers_[*index];
    if (enabled) {
        if (edge.bridge || at(edge.a).terrain == Terrain::Water || at(edge.b).terrain == Terrain::Water) {
            return false;
        }
    } else if (!edge.bridge) {
        return false;
    }
    edge.bridge = enabled;
    return true;
}

void Map::syncSourceBridge(const Map& source, std::size_t sourceEdge) {
    if (sourceEdge >= sourceRiverEdges_.size() || source.rivers_.size() != sourceRiverEdges_.size()) {
        throw std::invalid_argument("Flussquelle passt nicht zum Spielraster");
    }
    const std::size_t target = bridgeEdge_[sourceEdge];
    if (target == noEdge) {
        return;
    }
    // A grid edge stays bridged while any source edge whose bridge it carries is bridged.
    bool open = false;
    for (const std::size_t i : riverSources(target)) {
        if (open) {
            break;
        }
        if (bridgeEdge_[i] == target) {
            const RiverEdge& edge = source.rivers_[i];
            open = source.bridgeBetween(edge.a, edge.b);
        }
    }
    rivers_[target].bridge = open;
}

} // namespace korvan
