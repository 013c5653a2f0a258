// A map as the derived-data cache holds it: the same fields, tables and river links, the river
// index rebuilt from the edges.
#include "core/byte_stream.hpp"
#include "map/map.hpp"

namespace korvan {

namespace {

void putLists(ByteWriter& out, const IndexLists& lists) {
    out.putVector(lists.starts());
    out.putVector(lists.values());
}

// Lists over `owners` owners whose values are below `valueLimit`.
IndexLists getLists(ByteReader& in, std::size_t owners, std::size_t valueLimit) {
    auto first = in.getVector<std::uint32_t>(owners + 1);
    auto values = in.getVector<std::uint32_t>(Map::maxRiverEdges * 8);
    IndexLists lists;
    if ((!first.empty() && first.size() != owners + 1) || !IndexLists::fromParts(std::move(first), std::move(values), lists)) {
        ByteReader::fail();
    }
    for (const std::uint32_t value : lists.values()) {
        if (value >= valueLimit) {
            ByteReader::fail();
        }
    }
    return lists;
}

} // namespace

void Map::writeCache(ByteWriter& out) const {
    // About what the parts take on the shipped world: the tiles in runs, 18 bytes an edge, the links.
    out.reserve(tiles_.size() / 4 + rivers_.size() * 18 +
                (sourceRiverEdges_.values().size() + riverSources_.values().size()) * 8 + bridgeEdge_.size() * 8 + 4096);
    out.put<std::int32_t>(width_);
    out.put<std::int32_t>(height_);
    out.putText(name_);
    out.put<std::uint8_t>(std::uint8_t(offsetRows_) | std::uint8_t(wrapHorizontal_) << 1 | std::uint8_t(world_) << 2 |
                          std::uint8_t(hasRoads_) << 3);
    out.putRuns(tiles_);
    out.put<std::uint64_t>(rivers_.size());
    for (const RiverEdge& edge : rivers_) {
        out.put<std::int32_t>(edge.a.q);
        out.put<std::int32_t>(edge.a.r);
        out.put<std::int32_t>(edge.b.q);
        out.put<std::int32_t>(edge.b.r);
        out.put<std::uint8_t>(edge.widthClass);
        out.put<std::uint8_t>(std::uint8_t(edge.bridge) | std::uint8_t(edge.cityCrossing) << 1);
    }
    out.put<std::int32_t>(sourceWidth_);
    out.put<std::int32_t>(sourceHeight_);
    out.put(sourceScaleX_);
    out.put(sourceScaleY_);
    out.put<std::uint64_t>(sourceRiverEdges_.size());
    putLists(out, sourceRiverEdges_);
    putLists(out, riverSources_);
    out.putVector(bridgeEdge_);
}

Map Map::readCache(ByteReader& in) {
    Map map;
    map.width_ = in.get<std::int32_t>();
    map.height_ = in.get<std::int32_t>();
    if (map.width_ < 1 || map.width_ > maxDimension || map.height_ < 1 || map.height_ > maxDimension) {
        ByteReader::fail();
    }
    map.name_ = in.getText(100);
    const auto flags = in.get<std::uint8_t>();
    if (flags > 15) {
        ByteReader::fail();
    }
    map.offsetRows_ = flags & 1;
    map.wrapHorizontal_ = flags & 2;
    map.world_ = flags & 4;
    map.hasRoads_ = flags & 8;
    // A terrain the program knows, a road only with a bridge, no other bits: as the loaders accept.
    map.tiles_ = in.getRuns<std::uint8_t>(std::size_t(map.width_) * std::size_t(map.height_), [](std::uint8_t tile) {
        return (tile & tileTerrainMask) < terrainCount && (tile & ~(tileTerrainMask | tileRoadBit | tileBridgeBit)) == 0 &&
               ((tile & tileBridgeBit) == 0 || (tile & tileRoadBit) != 0);
    });
    const auto riverCount = in.get<std::uint64_t>();
    if (riverCount > maxRiverEdges) {
        ByteReader::fail();
    }
    map.rivers_.reserve(riverCount);
    map.riverIndex_.reserve(riverCount);
    for (std::uint64_t k = 0; k < riverCount; ++k) {
        RiverEdge edge;
        edge.a.q = in.get<std::int32_t>();
        edge.a.r = in.get<std::int32_t>();
        edge.b.q = in.get<std::int32_t>();
        edge.b.r = in.get<std::int32_t>();
        edge.widthClass = in.get<std::uint8_t>();
        const auto edgeFlags = in.get<std::uint8_t>();
        if (!map.contains(edge.a) || !map.contains(edge.b) || edge.widthClass < 1 || edge.widthClass > 3 ||
            edgeFlags > 3) {
            ByteReader::fail();
        }
        edge.bridge = edgeFlags & 1;
        edge.cityCrossing = edgeFlags & 2;
        if (!map.riverIndex_.tryEmplace(map.edgeKey(edge.a, edge.b), static_cast<std::uint32_t>(k)).second) {
            ByteReader::fail();
        }
        map.rivers_.push_back(edge);
    }
    map.sourceWidth_ = in.get<std::int32_t>();
    map.sourceHeight_ = in.get<std::int32_t>();
    map.sourceScaleX_ = in.get<double>();
    map.sourceScaleY_ = in.get<double>();
    if (map.sourceWidth_ < 0 || map.sourceWidth_ > maxDimension || map.sourceHeight_ < 0 ||
        map.sourceHeight_ > maxDimension || !(map.sourceScaleX_ > 0) || !(map.sourceScaleY_ > 0)) {
        ByteReader::fail();
    }
    // A map read from a file links to no source sides.
    const auto sourceSides = in.get<std::uint64_t>();
    if (sourceSides > maxRiverEdges) {
        ByteReader::fail();
    }
    map.sourceRiverEdges_ = getLists(in, sourceSides, map.rivers_.size());
    map.riverSources_ = getLists(in, map.rivers_.size(), map.sourceRiverEdges_.size());
    map.bridgeEdge_ = in.getVector<std::size_t>(maxRiverEdges);
    for (const std::size_t edge : map.bridgeEdge_) {
        if (edge != noEdge && edge >= map.rivers_.size()) {
            ByteReader::fail();
        }
    }
    if (map.bridgeEdge_.size() != map.sourceRiverEdges_.size()) {
        ByteReader::fail();
    }
    return map;
}

} // namespace korvan
