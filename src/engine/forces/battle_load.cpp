// Reading the scenario file: round limit, seed and objectives of the map's kind.
#include "core/files/data_file.hpp"
#include "core/files/file_caps.hpp"
#include "core/json_values.hpp"
#include "forces/battle.hpp"
#include "map/map.hpp"

#include <limits>
#include <stdexcept>

namespace korvan {

namespace {

Hex objectivePosition(const Map& map, JsonValue object) {
    if (map.isWorld()) {
        return map.hexAtGeography(
            {asNumber(member(object, "longitude"), "longitude"), asNumber(member(object, "latitude"), "latitude")});
    }
    // Beyond 32 bits a coordinate cannot name a field; truncating it could land on one.
    constexpr std::int64_t low = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t high = std::numeric_limits<std::int32_t>::max();
    const auto q = boundedInteger(member(object, "q"), low, high);
    const auto r = boundedInteger(member(object, "r"), low, high);
    if (!q || !r) {
        throw std::runtime_error("Ungueltige Zielkoordinaten");
    }
    return {static_cast<std::int32_t>(*q), static_cast<std::int32_t>(*r)};
}

} // namespace

Battle Battle::load(const Map& map, const Army& army, std::istream& input) {
    const JsonDocument parsed(input);
    const JsonValue document = parsed.root();
    if (!boundedInteger(member(document, "schema_version"), 1, 1)) {
        throw std::runtime_error("Unbekanntes Szenarioschema");
    }
    const JsonValue scenario = member(document, map.isWorld() ? "world" : "operation");
    const auto invalid = [] { throw std::runtime_error("Ungueltige Szenariowerte"); };
    const auto limit = boundedInteger(member(scenario, "round_limit"), 1, maxRoundLimit);
    if (!limit) {
        invalid();
    }
    const auto seed = boundedInteger(member(scenario, "seed"), 0, std::numeric_limits<std::uint32_t>::max());
    if (!seed) {
        invalid();
    }
    JsonArray list;
    if (member(scenario, "objectives").get_array().get(list) || elementCount(list) > maxObjectives) {
        invalid();
    }
    std::vector<Objective> objectives;
    for (const JsonValue object : list) {
        const Hex position = objectivePosition(map, object);
        objectives.push_back({std::string(asString(member(object, "name"), "name")), position, redSide});
    }
    return Battle(map, army, std::move(objectives), static_cast<int>(*limit), static_cast<std::uint32_t>(*seed));
}

Battle Battle::load(const Map& map, const Army& army, const std::filesystem::path& path) {
    return loadDataFile(path, fileCaps::small, "Szenariodaten fehlen: " + path.string(), [&](std::istream& input) { return load(map, army, input); });
}

} // namespace korvan
