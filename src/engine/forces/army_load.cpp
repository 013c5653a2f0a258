// Reading and validating the army file: unit types, then the units of the map's kind.
#include "core/files/data_file.hpp"
#include "core/files/file_caps.hpp"
#include "core/json_values.hpp"
#include "forces/army.hpp"
#include "map/map.hpp"

#include <cmath>
#include <limits>
#include <unordered_map>

namespace korvan {

namespace {

// A JSON integer (signed or unsigned, never floating) within low..high.
int number(JsonValue value, int low, int high) {
    const auto v = boundedInteger(value, low, high);
    if (!v) {
        failLoad("Ungueltiger Einheiten-Zahlenwert");
    }
    return static_cast<int>(*v);
}

// Optional keys keep their default when absent.
void optionalNumber(JsonValue object, const char* key, int low, int high, int& field) {
    if (const auto value = findMember(object, key)) {
        field = number(*value, low, high);
    }
}

std::string name(JsonValue value) {
    std::string text(asString(value, "name"));
    if (!isPlainName(text, 48)) {
        failLoad("Einheitenname muss 1 bis 48 darstellbare Zeichen enthalten");
    }
    return text;
}

UnitClass unitClass(const std::string& text) {
    for (const UnitClass kind : {UnitClass::Tank, UnitClass::Infantry, UnitClass::Recon}) {
        if (text == unitClassId(kind)) {
            return kind;
        }
    }
    failLoad("Unbekannte Einheitenklasse");
}

UnitType readType(JsonValue object, std::unordered_map<std::string, int>& ids) {
    UnitType type;
    type.id = asString(member(object, "id"), "id");
    type.name = name(member(object, "name"));
    if (type.id.empty() || ids.contains(type.id)) {
        failLoad("Doppelter oder leerer Einheitentyp");
    }
    ids.emplace(type.id, static_cast<int>(ids.size()));
    type.kind = unitClass(std::string(asString(member(object, "class"), "class")));
    type.movement = number(member(object, "movement"), 1, 20);
    type.roadCost = number(member(object, "road_cost"), 1, 20);
    optionalNumber(object, "attack_soft", 1, 50, type.attackSoft);
    optionalNumber(object, "attack_hard", 1, 50, type.attackHard);
    optionalNumber(object, "defense", 1, 50, type.defense);
    optionalNumber(object, "range", 1, 8, type.range);
    optionalNumber(object, "ammo", 1, 100, type.maxAmmo);
    const JsonValue costs = member(object, "costs");
    for (int t = 0; t < terrainCount; ++t) {
        const JsonValue cost = member(costs, terrainId(static_cast<Terrain>(t)));
        type.costs[std::size_t(t)] = cost.is_null() ? -1 : number(cost, 1, 20);
    }
    if (type.costs[static_cast<std::size_t>(Terrain::Water)] != -1) {
        failLoad("M2-Bodeneinheiten koennen nicht ueber Wasser fahren");
    }
    return type;
}

Hex readPosition(const Map& map, JsonValue object) {
    if (!map.isWorld()) {
        return {number(member(object, "q"), -100000, 100000), number(member(object, "r"), 0, 100000)};
    }
    const JsonValue longitude = member(object, "longitude");
    if (!isNumber(longitude)) {
        failLoad("Geokoordinaten muessen Zahlen sein");
    }
    const JsonValue latitude = member(object, "latitude");
    if (!isNumber(latitude)) {
        failLoad("Geokoordinaten muessen Zahlen sein");
    }
    const double lon = asNumber(longitude, "longitude");
    const double lat = asNumber(latitude, "latitude");
    if (!std::isfinite(lon) || lon < -180.0 || lon > 180.0) {
        failLoad("Ungueltige Einheiten-Geokoordinate");
    }
    return map.hexAtGeography({lon, lat});
}

void parseArmy(const Map& map, JsonValue document, std::vector<UnitType>& types, std::vector<Unit>& units) {
    number(member(document, "schema_version"), 1, 1);
    JsonArray typeList;
    if (member(document, "types").get_array().get(typeList) || typeList.size() == 0 ||
        elementCount(typeList) > Army::maxTypes) {
        failLoad("Ungueltige Einheitentypen");
    }
    std::unordered_map<std::string, int> typeIds;
    for (const JsonValue object : typeList) {
        types.push_back(readType(object, typeIds));
    }

    JsonArray unitList;
    if (member(document, map.isWorld() ? "world_units" : "operation_units").get_array().get(unitList) ||
        elementCount(unitList) > Army::maxUnits) {
        failLoad("Ungueltige Einheitenliste");
    }
    for (const JsonValue object : unitList) {
        Unit unit;
        unit.id = number(member(object, "id"), 1, 100000);
        unit.side = number(member(object, "side"), 0, 1);
        unit.name = name(member(object, "name"));
        for (const Unit& other : units) {
            if (other.id == unit.id) {
                failLoad("Doppelte Einheiten-ID");
            }
        }
        const std::string typeName(asString(member(object, "type"), "type"));
        const auto found = typeIds.find(typeName);
        if (found == typeIds.end()) {
            failLoad("Unbekannter Einheitentyp: " + typeName);
        }
        unit.type = found->second;
        const UnitType& type = types[std::size_t(unit.type)];
        unit.remaining = type.movement;
        unit.ammo = type.maxAmmo;
        optionalNumber(object, "strength", 1, 10, unit.strength);
        optionalNumber(object, "ammo", 0, type.maxAmmo, unit.ammo);
        unit.position = readPosition(map, object);
        if (!map.contains(unit.position) || Army::terrainCost(type, map.at(unit.position)) < 0) {
            failLoad("Einheit auf unzugaenglichem Startfeld");
        }
        for (const Unit& other : units) {
            if (other.position == unit.position) {
                failLoad("Mehrere Einheiten auf einem Feld");
            }
        }
        units.push_back(std::move(unit));
    }
}

} // namespace

const char* unitClassId(UnitClass kind) {
    switch (kind) {
    case UnitClass::Tank:
        return "tank";
    case UnitClass::Infantry:
        return "infantry";
    case UnitClass::Recon:
        return "recon";
    }
    return "tank";
}

Army Army::load(const Map& map, std::istream& input) {
    return withErrorPrefix("Ungueltige Einheitendaten: ", [&] {
        Army army;
        const JsonDocument document(input);
        parseArmy(map, document.root(), army.types_, army.units_);
        return army;
    });
}

Army Army::load(const Map& map, const std::filesystem::path& path) {
    return loadDataFile(path, fileCaps::small, "Einheitendaten fehlen: " + path.string(),
                        [&](std::istream& input) { return load(map, input); });
}

} // namespace korvan
