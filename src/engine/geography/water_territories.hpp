// National waters, marine waters, land additions and interior waters as per-row column spans.
#pragma once

#include "geography/countries.hpp"
#include "map/map.hpp"

#include <cstddef>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace korvan {

class WaterTerritories {
public:
    struct Span {
        int start = 0;
        int end = 0;           // one past the last column
        std::size_t owner = 0; // index into Countries::entries

        friend bool operator==(const Span&, const Span&) = default;
    };
    using Row = std::vector<Span>;

    static WaterTerritories load(const Map& map, const Countries& countries, const std::filesystem::path& file);
    static WaterTerritories load(const Map& map, const Countries& countries, std::istream& input);

    // Hex queries for a raster of width x height; a different size or row answers nothing.
    std::optional<std::size_t> atHex(Hex h, int width, int height) const;
    bool isMarineAtHex(Hex h, int width, int height) const;
    bool isInteriorAtHex(Hex h, int width, int height) const;

    const Row& waterSpans(int row) const { return rows_[static_cast<std::size_t>(row)]; }
    const Row& marineSpans(int row) const { return marineRows_[static_cast<std::size_t>(row)]; }
    const Row& landSpans(int row) const { return landRows_[static_cast<std::size_t>(row)]; }
    const Row& interiorSpans(int row) const { return interiorRows_[static_cast<std::size_t>(row)]; }
    const std::vector<std::string>& codes() const { return codes_; }
    int width() const { return gridWidth_; }
    int height() const { return gridHeight_; }

private:
    const Span* spanAt(const std::vector<Row>& rows, Hex h, int width, int height) const;

    int gridWidth_ = 0;
    int gridHeight_ = 0;
    std::vector<Row> rows_;
    std::vector<Row> marineRows_;
    std::vector<Row> landRows_;
    std::vector<Row> interiorRows_;
    std::vector<std::string> codes_;
};

// The span of a sorted, non-overlapping row that holds the column, if any (binary search).
const WaterTerritories::Span* findSpan(const WaterTerritories::Row& row, int column);

} // namespace korvan
