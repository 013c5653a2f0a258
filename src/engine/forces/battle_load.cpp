// Reading the scenario file: round limit, seed and objectives of the map's kind.
#include "core/data_file.hpp"
#include "forces/battle.hpp"
#include "map/map.hpp"

#include <nlohmann/json.hpp>

#include <fstream>
#include <limits>
#include <stdexcept>

namespace korvan {

using nlohmann::json;

namespace {

bool isIntegerIn(const json& value, std::int64_t low, std::int64_t high) {
    if (value.is_number_unsigned()) {
        const auto u = value.get<std::uint64_t>();
        return high >= 0 && u <= std::uint64_t(high) && std::int64_t(u) >= low;
    }
    if (value.is_number_integer()) {
        const auto v = value.get<std::int64_t>();
        return v >= low && v <= high;
    }
    return false;
}

Hex objectivePosition(const Map& map, const json& object) {
    if (map.isWorld()) {
        return map.hexAtGeography({object.at("longitude").get<double>(), object.at("latitude").get<double>()});
    }
    const json& q = object.at("q");
    const json& r = object.at("r");
    // Beyond 32 bits a coordinate cannot name a field; truncating it could land on one.
    constexpr std::int64_t low = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t high = std::numeric_limits<std::int32_t>::max();
    if (!isIntegerIn(q, low, high) || !isIntegerIn(r, low, high)) {
        throw std::runtime_error("Ungueltige Zielkoordinaten");
    }
    return {static_cast<std::int32_t>(q.get<std::int64_t>()), static_cast<std::int32_t>(r.get<std::int64_t>())};
}

} // namespace

Battle Battle::load(const Map& map, const Army& army, std::istream& input) {
    const json document = json::parse(input, nullptr, true, false);
    const json& schema = document.at("schema_version");
    if (!schema.is_number_integer() || schema.get<std::int64_t>() != 1) {
        throw std::runtime_error("Unbekanntes Szenarioschema");
    }
    const json& scenario = document.at(map.isWorld() ? "world" : "operation");
    const auto invalid = [] { throw std::runtime_error("Ungueltige Szenariowerte"); };
    const json& limit = scenario.at("round_limit");
    if (!isIntegerIn(limit, 1, maxRoundLimit)) {
        invalid();
    }
    const json& seed = scenario.at("seed");
    if (!seed.is_number_unsigned() || seed.get<std::uint64_t>() > std::numeric_limits<std::uint32_t>::max()) {
        invalid();
    }
    const json& list = scenario.at("objectives");
    if (!list.is_array() || list.size() > maxObjectives) {
        invalid();
    }
    std::vector<Objective> objectives;
    for (const json& object : list) {
        const Hex position = objectivePosition(map, object);
        objectives.push_back({object.at("name").get<std::string>(), position, redSide});
    }
    return Battle(map, army, std::move(objectives), static_cast<int>(limit.get<std::int64_t>()),
                  static_cast<std::uint32_t>(seed.get<std::uint64_t>()));
}

Battle Battle::load(const Map& map, const Army& army, const std::filesystem::path& path) {
    std::ifstream input = openDataFile(path, "Szenariodaten fehlen");
    return load(map, army, input);
}

} // namespace korvan
