// The derived-data cache: what start-up derives from the data files at some cost (the parsed world
// map, its play grid, the river names on its edges, the country grid), kept in one file in the
// user's cache folder and used when it was made from the same data by the same program.
#pragma once

#include "geography/country_grid.hpp"
#include "geography/river_names.hpp"
#include "map/map.hpp"

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvan {

// $XDG_CACHE_HOME/korvan when that is an absolute path, else ~/.cache/korvan; empty without HOME.
std::filesystem::path userCacheDirectory();

// The cache file's key: the program's identity and the content of every data file the derived
// parts depend on (the map's text is passed, as start-up has read it already). None when a file
// cannot be read: start-up then derives and reports that file's error as usual.
std::optional<std::uint64_t> worldCacheKey(std::string_view programIdentity, std::string_view mapText,
                                           const std::filesystem::path& dataDirectory);

// A cache file read whole and verified: made for this key, of the size its header gives, its
// checksum right. Its parts are decoded when asked for, each checking every size and index in it;
// a part that does not fit throws, and the caller derives it instead.
class WorldCache {
public:
    // Nothing when the file is missing, unreadable, truncated, corrupt or made for another key.
    static std::optional<WorldCache> open(const std::filesystem::path& file, std::uint64_t key);

    Map map() const;
    Map playGrid() const;
    RiverNames riverNames(const Map& map) const;
    // Throws too when the grid was built for another number of countries.
    CountryGrid countryGrid(const Map& map, std::size_t countries) const;

private:
    enum Part { MapPart, PlayGridPart, NamesPart, CountryGridPart, partCount };
    std::string bytes_;
    std::array<std::string_view, partCount> parts_;
};

// The cache file's parts, made in two steps: the parts ready early, then the play grid.
class WorldCacheParts {
public:
    WorldCacheParts(const Map& map, const RiverNames& names, std::size_t countryCount, const CountryGrid& grid);
    // All four parts, in the file's order.
    std::vector<std::string> finish(const Map& playGrid);

private:
    std::string map_;
    std::string names_;
    std::string countryGrid_;
};

// The file's header for these parts: the key, their sizes and the checksum over them.
std::string worldCacheHeader(std::uint64_t key, const std::vector<std::string>& parts);

// Writes the header and the parts atomically, creating the folder; false on any failure (a
// read-only or full disk), which leaves no partial file behind.
bool writeWorldCache(const std::filesystem::path& file, std::uint64_t key, const std::vector<std::string>& parts);

} // namespace korvan
