// Reading and validating the army file: unit types, then the units of the map's kind.
#include "core/data_file.hpp"
#include "forces/army.hpp"
#include "map/map.hpp"

#include <nlohmann/json.hpp>

#include <cmath>
#include <fstream>
#include <limits>
#include <stdexcept>
#include <unordered_map>

namespace korvan {

using nlohmann::json;

namespace {

[[noreturn]] void fail(const std::string& message) { throw std::runtime_error(message); }

// A JSON integer (signed or unsigned, never floating) within low..high.
int number(const json& value, int low, int high) {
    std::int64_t v = 0;
    if (value.is_number_unsigned()) {
        const auto u = value.get<std::uint64_t>();
        if (u > std::uint64_t(std::numeric_limits<std::int64_t>::max())) {
            fail("Ungueltiger Einheiten-Zahlenwert");
        }
        v = static_cast<std::int64_t>(u);
    } else if (value.is_number_integer()) {
        v = value.get<std::int64_t>();
    } else {
        fail("Ungueltiger Einheiten-Zahlenwert");
    }
    if (v < low || v > high) {
        fail("Ungueltiger Einheiten-Zahlenwert");
    }
    return static_cast<int>(v);
}

// Optional keys keep their default when absent.
void optionalNumber(const json& object, const char* key, int low, int high, int& field) {
    if (object.contains(key)) {
        field = number(object.at(key), low, high);
    }
}

std::string name(const json& value) {
    std::string text = value.get<std::string>();
    if (!isPlainName(text, 48)) {
        fail("Einheitenname muss 1 bis 48 darstellbare Zeichen enthalten");
    }
    return text;
}

UnitClass unitClass(const std::string& text) {
    if (text == "tank") {
        return UnitClass::Tank;
    }
    if (text == "infantry") {
        return UnitClass::Infantry;
    }
    if (text == "recon") {
        return UnitClass::Recon;
    }
    fail("Unbekannte Einheitenklasse");
}

UnitType readType(const json& object, std::unordered_map<std::string, int>& ids) {
    UnitType type;
    type.id = object.at("id").get<std::string>();
    type.name = name(object.at("name"));
    if (type.id.empty() || ids.contains(type.id)) {
        fail("Doppelter oder leerer Einheitentyp");
    }
    ids.emplace(type.id, static_cast<int>(ids.size()));
    type.kind = unitClass(object.at("class").get<std::string>());
    type.movement = number(object.at("movement"), 1, 20);
    type.roadCost = number(object.at("road_cost"), 1, 20);
    optionalNumber(object, "attack_soft", 1, 50, type.attackSoft);
    optionalNumber(object, "attack_hard", 1, 50, type.attackHard);
    optionalNumber(object, "defense", 1, 50, type.defense);
    optionalNumber(object, "range", 1, 8, type.range);
    optionalNumber(object, "ammo", 1, 100, type.maxAmmo);
    const json& costs = object.at("costs");
    for (int t = 0; t < terrainCount; ++t) {
        const json& cost = costs.at(std::string(terrainId(static_cast<Terrain>(t))));
        type.costs[std::size_t(t)] = cost.is_null() ? -1 : number(cost, 1, 20);
    }
    if (type.costs[static_cast<std::size_t>(Terrain::Water)] != -1) {
        fail("M2-Bodeneinheiten koennen nicht ueber Wasser fahren");
    }
    return type;
}

Hex readPosition(const Map& map, const json& object) {
    if (!map.isWorld()) {
        return {number(object.at("q"), -100000, 100000), number(object.at("r"), 0, 100000)};
    }
    const json& longitude = object.at("longitude");
    if (!longitude.is_number()) {
        fail("Geokoordinaten muessen Zahlen sein");
    }
    const json& latitude = object.at("latitude");
    if (!latitude.is_number()) {
        fail("Geokoordinaten muessen Zahlen sein");
    }
    const auto lon = longitude.get<double>();
    const auto lat = latitude.get<double>();
    if (!std::isfinite(lon) || lon < -180.0 || lon > 180.0) {
        fail("Ungueltige Einheiten-Geokoordinate");
    }
    return map.hexAtGeography({lon, lat});
}

void parseArmy(const Map& map, const json& document, std::vector<UnitType>& types, std::vector<Unit>& units) {
    number(document.at("schema_version"), 1, 1);
    const json& typeList = document.at("types");
    if (!typeList.is_array() || typeList.empty() || typeList.size() > Army::maxTypes) {
        fail("Ungueltige Einheitentypen");
    }
    std::unordered_map<std::string, int> typeIds;
    for (const json& object : typeList) {
        types.push_back(readType(object, typeIds));
    }

    const json& unitList = document.at(map.isWorld() ? "world_units" : "operation_units");
    if (!unitList.is_array() || unitList.size() > Army::maxUnits) {
        fail("Ungueltige Einheitenliste");
    }
    for (const json& object : unitList) {
        Unit unit;
        unit.id = number(object.at("id"), 1, 100000);
        unit.side = number(object.at("side"), 0, 1);
        unit.name = name(object.at("name"));
        for (const Unit& other : units) {
            if (other.id == unit.id) {
                fail("Doppelte Einheiten-ID");
            }
        }
        const auto typeName = object.at("type").get<std::string>();
        const auto found = typeIds.find(typeName);
        if (found == typeIds.end()) {
            fail("Unbekannter Einheitentyp: " + typeName);
        }
        unit.type = found->second;
        const UnitType& type = types[std::size_t(unit.type)];
        unit.remaining = type.movement;
        unit.ammo = type.maxAmmo;
        optionalNumber(object, "strength", 1, 10, unit.strength);
        optionalNumber(object, "ammo", 0, type.maxAmmo, unit.ammo);
        unit.position = readPosition(map, object);
        if (!map.contains(unit.position) || Army::terrainCost(type, map.at(unit.position)) < 0) {
            fail("Einheit auf unzugaenglichem Startfeld");
        }
        for (const Unit& other : units) {
            if (other.position == unit.position) {
                fail("Mehrere Einheiten auf einem Feld");
            }
        }
        units.push_back(std::move(unit));
    }
}

} // namespace

Army Army::load(const Map& map, std::istream& input) {
    try {
        Army army;
        parseArmy(map, json::parse(input, nullptr, true, false), army.types_, army.units_);
        return army;
    } catch (const std::exception& error) {
        throw std::runtime_error(std::string("Ungueltige Einheitendaten: ") + error.what());
    }
}

Army Army::load(const Map& map, const std::filesystem::path& path) {
    std::ifstream input = openDataFile(path, "Einheitendaten fehlen: " + path.string());
    try {
        return load(map, input);
    } catch (const std::exception& error) {
        throw std::runtime_error(path.string() + ": " + error.what());
    }
}

} // namespace korvan
