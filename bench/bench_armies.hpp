// Armies for the benchmarks: the shipped unit types with units placed on chosen fields of a world play grid.
#pragma once

#include "forces/army.hpp"
#include "map/map.hpp"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace korvan::bench {

struct Placement {
    Hex field;
    int side = blueSide;
};

// Up to `count` units on the given fields, in their order: types cycle through the shipped list, and
// a field that the next unit's type cannot enter is passed over. Units are written like the shipped
// ones, by the geography of their field.
inline Army armyOn(const Map& grid, const std::vector<Placement>& placements, std::size_t count) {
    std::ifstream file(std::filesystem::path(KORVAN_SOURCE_DIR) / "data" / "units.json");
    nlohmann::json document = nlohmann::json::parse(file);
    std::vector<UnitType> types;
    {
        std::istringstream typesOnly(nlohmann::json{{"schema_version", 1},
                                                    {"types", document.at("types")},
                                                    {"world_units", nlohmann::json::array()}}
                                         .dump());
        types = Army::load(grid, typesOnly).types();
    }
    nlohmann::json units = nlohmann::json::array();
    std::vector<Hex> placed;
    for (const auto& [field, side] : placements) {
        if (placed.size() == count) {
            break;
        }
        const std::size_t k = placed.size();
        const UnitType& type = types[k % types.size()];
        if (Army::terrainCost(type, grid.at(field)) < 0) {
            continue;
        }
        const Point lonLat = grid.geography(field);
        units.push_back({{"id", k + 1},
                         {"side", side},
                         {"name", "Einheit " + std::to_string(k + 1)},
                         {"type", type.id},
                         {"longitude", lonLat.x},
                         {"latitude", lonLat.y}});
        placed.push_back(field);
    }
    document["world_units"] = units;
    std::istringstream text(document.dump());
    Army army = Army::load(grid, text);
    for (std::size_t k = 0; k < placed.size(); ++k) {
        if (!(army.units()[k].position == placed[k])) {
            throw std::logic_error("unit " + std::to_string(k + 1) + " did not land on its field");
        }
    }
    return army;
}

} // namespace korvan::bench
