// Cities, urban areas and city parameters: the three city files and the merge of urban centres.
#pragma once

#include "core/hex.hpp"

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <string>
#include <unordered_map>
#include <vector>

namespace korvan {

struct City {
    std::string id;
    std::string name;
    Point geography; // x = longitude, y = latitude
    bool capital = false;
    int tier = 0; // 0..2 from cities.json, 3 for an urban centre of its own
    std::int64_t population = 0;
    int sizeClass = 1;
    int industry = 1;
    int infrastructure = 1;
    int fortification = 0;
};

inline constexpr int urbanCentreTier = 3;

std::vector<City> loadCities(const std::filesystem::path& file);
std::vector<City> loadCities(std::istream& input);

// Applies city-parameters.json by id; on any error the list is left as it was.
void applyCityParameters(std::vector<City>& cities, const std::filesystem::path& file);
void applyCityParameters(std::vector<City>& cities, std::istream& input);

// The built-up raster of the world map and its named centres.
class UrbanAreas {
public:
    static UrbanAreas load(const std::filesystem::path& file);
    static UrbanAreas load(std::istream& input);

    const std::vector<City>& cities() const { return centers_; }
    // Cell key (row * width + stored column) to centre index, -1 for a cell of no named centre.
    const std::unordered_map<int, int>& cells() const { return fields_; }
    int gridWidth() const { return width_; }
    int gridHeight() const { return height_; }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<City> centers_;
    std::unordered_map<int, int> fields_;
};

// Merges the urban centres into the city list: a new id is appended (tier 3), a known id
// overwrites that city but keeps its tier. Returns, per centre, its index in the list.
std::vector<std::size_t> mergeUrbanCenters(std::vector<City>& cities, const UrbanAreas& urban);

} // namespace korvan
