// Tiny worlds, polygons and temporary files for the geography layer tests.
#pragma once

#include "error_of.hpp"

#include "map/map.hpp"

#include <nlohmann/json.hpp>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h> // getpid: temporary names distinct between concurrent test runs

namespace korvan::geo_test {

using nlohmann::json;

// A schema-3 world map: one compact terrain row per string, plus optional river edges.
inline json worldDocument(int width, const std::vector<std::string>& rows, json riverEdges = json::array()) {
    return {{"schema_version", 3}, {"width", width},       {"height", int(rows.size())},
            {"name", "Geotest"},   {"layout", "odd-r"},    {"wrap_horizontal", true},
            {"kind", "world"},     {"terrain_rows", rows}, {"river_edges", std::move(riverEdges)}};
}

inline Map loadMap(const json& document) {
    std::istringstream input(document.dump());
    return Map::load(input);
}

// A world of width x height fields, all of one terrain code.
inline Map uniformWorld(int width, int height, char code = 'p') {
    return loadMap(worldDocument(width, std::vector<std::string>(std::size_t(height), code + std::to_string(width))));
}

// An axis-aligned ring in degrees, counter-clockwise from the south-west corner.
inline json boxRing(double west, double south, double east, double north) {
    return json::array({json::array({west, south}), json::array({east, south}), json::array({east, north}),
                        json::array({west, north})});
}

inline json countryObject(const std::string& id, json polygons) {
    return {{"id", id}, {"name", id + " Land"}, {"polygons", std::move(polygons)}};
}

using korvan::testing::errorOf;

// A file in the temporary directory that is removed again with the object.
class TempFile {
public:
    explicit TempFile(const std::string& content) {
        static std::atomic<int> counter{0};
        path_ = std::filesystem::temp_directory_path() /
                ("korvan_geo_" + std::to_string(::getpid()) + "_" + std::to_string(counter++) + ".json");
        std::ofstream(path_, std::ios::binary) << content;
    }
    explicit TempFile(const json& document) : TempFile(document.dump()) {}
    ~TempFile() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// A path that certainly names no file.
inline std::filesystem::path missingFile() {
    return std::filesystem::temp_directory_path() / "korvan_geo_missing" / "none.json";
}

} // namespace korvan::geo_test
