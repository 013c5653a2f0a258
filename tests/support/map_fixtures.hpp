// Small maps built from JSON text for the map and play-grid tests.
#pragma once

#include "error_of.hpp"
#include "map/map.hpp"

#include <nlohmann/json.hpp>

#include <sstream>
#include <string>
#include <vector>

namespace korvan::testing {

inline Map mapFromJson(const nlohmann::json& document) {
    std::istringstream input(document.dump());
    return Map::load(input);
}

// The message of the error a map document fails with, or "" when it loads.
inline std::string loadError(const nlohmann::json& document) {
    return errorOf([&] { mapFromJson(document); });
}

// A schema-3 world with the given terrain rows (compact strings) and no rivers.
inline nlohmann::json compactWorld(int width, const std::vector<std::string>& rows) {
    return {{"schema_version", 3},
            {"width", width},
            {"height", static_cast<int>(rows.size())},
            {"name", "Testwelt"},
            {"layout", "odd-r"},
            {"wrap_horizontal", true},
            {"kind", "world"},
            {"terrain_rows", rows},
            {"river_edges", nlohmann::json::array()}};
}

// A world of one terrain code everywhere.
inline nlohmann::json uniformWorld(int width, int height, char code = 'p') {
    return compactWorld(width, std::vector<std::string>(std::size_t(height), code + std::to_string(width)));
}

} // namespace korvan::testing
