// The per-hex country raster of the world map: ownership, territory, rows and outlines.
#pragma once

#include "places/cities.hpp"
#include "geography/countries.hpp"
#include "map/map.hpp"
#include "geography/water_territories.hpp"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace korvan {

class ByteReader;
class ByteWriter;

class CountryGrid {
public:
    // Cell: bits 0-14 the owner's country index, bit 15 "national marine water of that owner".
    static constexpr std::uint16_t ownerMask = 0x7FFF;
    static constexpr std::uint16_t marineBit = 0x8000;
    static constexpr std::uint16_t noOwner = 0x7FFF;
    static constexpr std::size_t maxCountries = 32766; // 0x7FFF itself means "no owner"

    struct Statistics {
        std::size_t polygonFields = 0;
        std::size_t waterFields = 0;
        std::size_t landFields = 0;
        std::size_t marineFields = 0;
        std::size_t settlementFields = 0;
        std::size_t enclosedComponents = 0;
        std::size_t enclosedFields = 0;
        std::size_t openComponents = 0;
        std::size_t openFields = 0;
        double polygonMilliseconds = 0;
        double waterMilliseconds = 0;
        double enclosedMilliseconds = 0;
    };

    struct Hole {
        std::size_t country = 0;
        Hex first;
        std::size_t fields = 0;
    };

    // Owned and marine cells never reach 0x7FFF, so one comparison tells territory apart.
    static constexpr bool inTerritory(std::uint16_t cell) { return cell < noOwner; }

    static CountryGrid build(const Map& map, const Countries& countries, const WaterTerritories* water,
                             std::span<const City> settlements);

    // For the derived-data cache; reading checks the raster against the map and the country count.
    void writeCache(ByteWriter& out) const;
    static CountryGrid readCache(ByteReader& in, const Map& map, std::size_t countries);

    // The owner including national marine water; nothing for a foreign map, an empty grid or no cell.
    std::optional<std::size_t> owner(const Map& map, Hex h) const;
    // As owner, but nothing on marine water.
    std::optional<std::size_t> territory(const Map& map, Hex h) const;
    // First and last row holding territory of the country.
    std::optional<std::pair<int, int>> rows(std::size_t country) const;
    // Border edges in world units, each cell's edges in the same rotational sense.
    std::vector<std::pair<Point, Point>> outline(const Map& map, std::size_t country) const;
    // The outline joined into polylines of at most maximumPoints points (at least 2).
    std::vector<std::vector<Point>> outlineLines(const Map& map, std::size_t country, std::size_t maximumPoints) const;
    // Gaps enclosed by one country that the build left open (a diagnostic).
    std::vector<Hole> holes(const Map& map) const;

    const Statistics& statistics() const { return statistics_; }
    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return cells_.empty(); }
    // Row-major cells, for renderers that walk the whole raster.
    const std::vector<std::uint16_t>& cells() const { return cells_; }

private:
    bool matches(const Map& map) const { return !cells_.empty() && map.width() == width_ && map.height() == height_; }
    std::optional<std::size_t> cellIndex(const Map& map, Hex h) const;

    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint16_t> cells_;
    std::vector<std::pair<int, int>> rows_;
    Statistics statistics_;
};

// The six neighbour cells of a stored cell of an offset-row map (east, north-east, north-west,
// west, south-west, south-east) as row-major indices; -1 off the map. Columns wrap on wrapping maps.
std::array<int, 6> adjacentCells(const Map& map, int column, int row);

} // namespace korvan
