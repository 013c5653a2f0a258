// Named waters (seas.json or lakes.json): polygons, hex rasters, kinds and unnamed inland water.
#pragma once

#include "core/row_runs.hpp"
#include "geography/countries.hpp"

#include <cstddef>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace korvan {

class Seas {
public:
    static Seas load(const std::filesystem::path& file);
    static Seas load(std::istream& input);

    // The first area whose polygons hold the point; any longitude is accepted and reduced first.
    std::optional<std::string> at(Point geography) const;
    // Raster queries; a raster of another size or a row outside it answers nothing.
    std::optional<std::string> atHex(Hex h, int width, int height) const;
    bool containsHex(Hex h, int width, int height) const;

    // Bays, fjords and other named water that is neither open sea nor unnamed.
    bool isLocalMarine(const std::string& name) const;
    bool isRiverArm(const std::string& name) const;

    const std::vector<Country>& areas() const { return areas_; }
    const std::vector<Country>& detailAreas() const { return details_; }
    int gridWidth() const { return gridWidth_; }
    int gridHeight() const { return gridHeight_; }

private:
    // The stored column of h, when the raster has the given size and holds h's row.
    std::optional<int> cellColumn(Hex h, int width, int height) const;

    std::vector<Country> areas_;
    std::vector<Country> details_;
    int gridWidth_ = 0;
    int gridHeight_ = 0;
    RowRuns lakeCells_;        // value: index of the first area that lists the cell
    RowRuns inlandWaterCells_; // unnamed inland water
    std::unordered_set<std::string> riverArms_;
    std::unordered_map<std::string, std::string> kinds_;
};

} // namespace korvan
