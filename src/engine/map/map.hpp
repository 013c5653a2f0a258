// The hex map: fields, layout, wrap, river sides, and the play grid derived from a world map.
#pragma once

#include "core/containers/flat_key_map.hpp"
#include "core/containers/index_lists.hpp"
#include "core/hex.hpp"

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace korvan {

struct SideGeometry;
class ByteReader;
class ByteWriter;

// A river side between two neighbouring fields.
struct RiverEdge {
    Hex a;
    Hex b;
    std::uint8_t widthClass = 1; // 1 narrow .. 3 wide
    bool bridge = false;
    bool cityCrossing = false; // both fields belong to a city: crossable without a bridge
};

class Map {
public:
    static constexpr int maxDimension = 8192;
    static constexpr std::int64_t maxFields = 32'000'000;
    // River sides a file may add (the shipped world has about 165 000): compact rows can claim three
    // per field, which on the largest map is gigabytes of edges and index from a few kilobytes.
    static constexpr std::size_t maxRiverEdges = 1'000'000;
    static constexpr std::size_t noEdge = std::numeric_limits<std::size_t>::max();

    Map() = default;
    Map(Map&&) noexcept = default;
    Map& operator=(Map&&) noexcept = default;
    // Copying a whole world is expensive and never needed implicitly.
    Map(const Map&) = delete;
    Map& operator=(const Map&) = delete;

    static Map load(const std::filesystem::path& path);
    static Map load(std::istream& input);

    // The whole map as bytes for the derived-data cache, and back; reading checks every size and
    // index and throws on any that does not fit.
    void writeCache(ByteWriter& out) const;
    static Map readCache(ByteReader& in);

    // Derives the regular play grid from a world map read from a file.
    static Map regularWorld(const Map& source, double ratio);

    int width() const { return width_; }
    int height() const { return height_; }
    std::string_view name() const { return name_; }
    bool offsetRows() const { return offsetRows_; }
    bool wraps() const { return wrapHorizontal_; }
    bool isWorld() const { return world_; }
    bool hasRoads() const { return hasRoads_; }
    double period() const { return width_ * sqrt3; }

    // The stored column of a hex on the map (contains(h) first for any other hex).
    int column(Hex h) const { return offsetRows_ ? h.q + h.r / 2 : h.q; }
    Hex hexAt(int column, int row) const { return {column - (offsetRows_ ? row / 2 : 0), row}; }
    // Any hex may be asked, whatever its coordinates.
    bool contains(Hex h) const { return onGrid(h, width_, height_, offsetRows_); }
    // The stored representative of a hex: wrapped east-west on wrapping maps, none off the map.
    std::optional<Hex> canonical(Hex h) const {
        if (h.r < 0 || h.r >= height_) {
            return std::nullopt;
        }
        if (wrapHorizontal_) {
            // Wrapping maps are always odd-r, so every row holds one representative of every q.
            return Hex{wrappedColumn(h, width_) - h.r / 2, h.r};
        }
        return contains(h) ? std::optional<Hex>(h) : std::nullopt;
    }
    std::vector<Hex> adjacent(Hex h) const;
    Tile at(Hex h) const;
    Terrain terrainAt(Hex h) const { return at(h).terrain; }
    std::uint64_t edgeKey(Hex a, Hex b) const;
    Point worldExtent() const;
    Point geography(Hex h) const;
    Hex hexAtGeography(Point lonLat) const;

    double sourceScaleX() const { return sourceScaleX_; }
    double sourceScaleY() const { return sourceScaleY_; }
    int sourceWidth() const { return sourceWidth_; }
    int sourceHeight() const { return sourceHeight_; }
    Point sourcePoint(Point p) const { return {p.x * sourceScaleX_, p.y * sourceScaleY_}; }
    Point gridPoint(Point p) const { return {p.x / sourceScaleX_, p.y / sourceScaleY_}; }

    // River sides.
    const std::vector<RiverEdge>& rivers() const { return rivers_; }
    const RiverEdge* riverEdge(Hex a, Hex b) const;
    std::optional<std::size_t> riverEdgeIndex(Hex a, Hex b) const;
    // Starts loading the index slot of the edge between a and b, to be looked up a little later.
    void prefetchRiverEdge(Hex a, Hex b) const;
    bool riverBetween(Hex a, Hex b) const { return riverEdge(a, b) != nullptr; }
    bool bridgeBetween(Hex a, Hex b) const;
    bool riverCrossingOpen(Hex a, Hex b) const;
    bool setBridge(Hex a, Hex b, bool enabled);
    // The source sides a play-grid edge carries (empty on other maps and beyond the last edge).
    std::span<const std::uint32_t> riverSources(std::size_t edge) const { return riverSources_[edge]; }
    // Per source side, the play-grid edges that carry it.
    const IndexLists& sourceRiverEdges() const { return sourceRiverEdges_; }
    const std::vector<std::size_t>& bridgeEdges() const { return bridgeEdge_; }
    void syncSourceBridge(const Map& source, std::size_t sourceEdge);

    // Raw field bytes in storage order (row * width + column), for renderers and benchmarks.
    const std::vector<std::uint8_t>& tileBytes() const { return tiles_; }
    std::size_t storageIndex(Hex h) const { return std::size_t(h.r) * std::size_t(width_) + std::size_t(column(h)); }

private:
    friend class MapFileReader;

    std::optional<std::size_t> forwardEdge(Hex field, int direction) const;
    bool areNeighbours(Hex a, Hex b) const;
    std::uint8_t sampledByte(const Map& source, int column, int row) const;
    std::vector<std::size_t> cityFieldsOf(const Map& source) const;
    void sampleTerrain(const Map& source, const std::vector<std::size_t>& cityFields);
    void traceRivers(const Map& source, const std::vector<std::size_t>& cityFields);
    void attachOrphans(const Map& source, const std::vector<SideGeometry>& sides,
                       std::vector<IndexLists::Pair>& carried);
    void carryBridges(const Map& source, const std::vector<SideGeometry>& sides);
    void addRiverEdge(RiverEdge edge);

    int width_ = 0;
    int height_ = 0;
    std::string name_;
    bool offsetRows_ = false;
    bool wrapHorizontal_ = false;
    bool world_ = false;
    bool hasRoads_ = false;
    std::vector<std::uint8_t> tiles_;
    std::vector<RiverEdge> rivers_;
    FlatKeyMap riverIndex_; // edge key -> index in rivers_
    int sourceWidth_ = 0;
    int sourceHeight_ = 0;
    double sourceScaleX_ = 1.0;
    double sourceScaleY_ = 1.0;
    IndexLists sourceRiverEdges_;
    IndexLists riverSources_;
    std::vector<std::size_t> bridgeEdge_;
};

// The land terrain shown for a field: cities show as plain, water as its most common land neighbour.
Terrain fieldLandTerrain(const Map& map, Hex h);

} // namespace korvan
