// An operation around any city of the world: objectives, forces and round limit generated from the
// ground, written as the two files every scenario is read from (units.json, battles.json) so that
// the ordinary loaders and rules take it from there.
#pragma once

#include "forces/army.hpp"
#include "world/world.hpp"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace korvan {

// Why no operation can be had here, in German for the status line.
class OperationRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct GeneratedOperation {
    std::string name;    // "Operation Donau"
    std::size_t city = 0; // the chosen city, an index into World::cities
    Point focus;         // longitude and latitude the view focuses on
    std::string units;   // the contents of units.json
    std::string battles; // the contents of battles.json
};

// The first city of that name, compared in upper case as the city search does.
std::optional<std::size_t> findCityByName(const World& world, std::string_view name);
// As findCityByName, but none throws "Stadt nicht gefunden: NAME".
std::size_t cityNamed(const World& world, std::string_view name);

// The operation around a city with the unit types given; the same city and data always give the same
// operation. Throws OperationRefused off a world map, where the land is too small, or where too few
// cities stand.
GeneratedOperation generateOperation(const World& world, const std::vector<UnitType>& types, std::size_t city);

// The army and battle of an operation, through the loaders the data files go through.
Scenario loadOperation(const World& world, const GeneratedOperation& operation);

// Writes units.json and battles.json into a folder (created if missing); throws with the path on failure.
void exportOperation(const GeneratedOperation& operation, const std::filesystem::path& folder);

} // namespace korvan
