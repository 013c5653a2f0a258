// Small hand-made maps, armies and battles for the forces tests, all built from JSON text.
#pragma once

#include "error_of.hpp"

#include "forces/army.hpp"
#include "forces/battle.hpp"
#include "map/map.hpp"

#include <sstream>
#include <string>
#include <vector>

namespace forces {

using korvan::Hex;

struct RiverSide {
    Hex a;
    Hex b;
    bool bridge = false;
};

// One character per field: a terrain code of "pfhmcwasdib"; upper case adds a road;
// '=' is water carried by a road bridge. Unwrapped maps are axial (q = column), wrapping ones odd-r.
inline std::string mapJson(const std::vector<std::string>& rows, const std::vector<RiverSide>& rivers = {},
                           bool wrap = false) {
    const int width = static_cast<int>(rows.front().size());
    const int height = static_cast<int>(rows.size());
    std::ostringstream out;
    out << R"({"schema_version": 1, "name": "Test", "width": )" << width << R"(, "height": )" << height
        << R"(, "layout": ")" << (wrap ? "odd-r" : "axial") << R"(", "wrap_horizontal": )"
        << (wrap ? "true" : "false") << R"(, "tiles": [)";
    const std::string codes = "pfhmcwasdib";
    bool first = true;
    for (int r = 0; r < height; ++r) {
        for (int c = 0; c < width; ++c) {
            const char code = rows[std::size_t(r)][std::size_t(c)];
            const bool bridge = code == '=';
            const bool road = bridge || (code >= 'A' && code <= 'Z');
            const char lower = bridge ? 'w' : static_cast<char>(road ? code - 'A' + 'a' : code);
            const auto terrain = static_cast<korvan::Terrain>(codes.find(lower));
            const int q = wrap ? c - r / 2 : c;
            out << (first ? "" : ",") << R"({"q": )" << q << R"(, "r": )" << r << R"(, "terrain": ")"
                << korvan::terrainId(terrain) << R"(", "road": )" << (road ? "true" : "false") << R"(, "bridge": )"
                << (bridge ? "true" : "false") << "}";
            first = false;
        }
    }
    out << R"(], "river_edges": [)";
    first = true;
    for (const RiverSide& river : rivers) {
        out << (first ? "" : ",") << R"({"a": {"q": )" << river.a.q << R"(, "r": )" << river.a.r
            << R"(}, "b": {"q": )" << river.b.q << R"(, "r": )" << river.b.r << R"(}, "bridge": )"
            << (river.bridge ? "true" : "false") << "}";
        first = false;
    }
    out << "]}";
    return out.str();
}

inline korvan::Map makeMap(const std::vector<std::string>& rows, const std::vector<RiverSide>& rivers = {},
                           bool wrap = false) {
    std::istringstream in(mapJson(rows, rivers, wrap));
    return korvan::Map::load(in);
}

// A wrapping world map of plain land only.
inline korvan::Map makeWorld(int width, int height) {
    std::ostringstream out;
    out << R"({"schema_version": 3, "name": "Welt", "width": )" << width << R"(, "height": )" << height
        << R"(, "layout": "odd-r", "wrap_horizontal": true, "kind": "world", "river_edges": [], "terrain_rows": [)";
    for (int r = 0; r < height; ++r) {
        out << (r == 0 ? "" : ",") << "\"p" << width << "\"";
    }
    out << "]}";
    std::istringstream in(out.str());
    return korvan::Map::load(in);
}

// tank: 4 points, no mountains; inf: 3 points, everywhere but water; gun: long range, weak defence.
inline const std::string defaultTypes = R"([
  {"id": "tank", "name": "Panzer", "class": "tank", "movement": 4, "road_cost": 1,
   "costs": {"plain": 1, "forest": 2, "hills": 2, "mountain": null, "city": 1, "water": null,
             "farmland": 1, "wetland": 3, "desert": 1, "ice": 2, "scrub": 1}},
  {"id": "inf", "name": "Infanterie", "class": "infantry", "movement": 3, "road_cost": 1,
   "costs": {"plain": 1, "forest": 1, "hills": 2, "mountain": 3, "city": 1, "water": null,
             "farmland": 1, "wetland": 2, "desert": 1, "ice": 2, "scrub": 1}},
  {"id": "gun", "name": "Artillerie", "class": "infantry", "movement": 2, "road_cost": 1,
   "attack_soft": 9, "attack_hard": 9, "defense": 2, "range": 3,
   "costs": {"plain": 1, "forest": 2, "hills": 2, "mountain": null, "city": 1, "water": null,
             "farmland": 1, "wetland": 3, "desert": 1, "ice": 2, "scrub": 1}}
])";

struct UnitEntry {
    int id = 0;
    int side = 0;
    std::string type = "tank";
    Hex at;
    int strength = 10;
    int ammo = -1; // -1: the type's full load
};

inline std::string unitsJson(const std::vector<UnitEntry>& units) {
    std::ostringstream out;
    out << "[";
    for (std::size_t i = 0; i < units.size(); ++i) {
        const UnitEntry& u = units[i];
        out << (i == 0 ? "" : ",") << R"({"id": )" << u.id << R"(, "side": )" << u.side << R"(, "name": "U)"
            << u.id << R"(", "type": ")" << u.type << R"(", "q": )" << u.at.q << R"(, "r": )" << u.at.r
            << R"(, "strength": )" << u.strength;
        if (u.ammo >= 0) {
            out << R"(, "ammo": )" << u.ammo;
        }
        out << "}";
    }
    out << "]";
    return out.str();
}

// An army file with operation units: the units stand on (q, r) fields of an operational map.
inline std::string armyJson(const std::vector<UnitEntry>& units, const std::string& types = defaultTypes) {
    return R"({"schema_version": 1, "types": )" + types + R"(, "operation_units": )" + unitsJson(units) + "}";
}

inline korvan::Army makeArmy(const korvan::Map& map, const std::vector<UnitEntry>& units,
                             const std::string& types = defaultTypes) {
    std::istringstream in(armyJson(units, types));
    return korvan::Army::load(map, in);
}

inline korvan::Battle makeBattle(const korvan::Map& map, const korvan::Army& army, const std::vector<Hex>& objectives,
                                 int roundLimit = 10, std::uint32_t seed = 1) {
    std::vector<korvan::Objective> list;
    for (std::size_t i = 0; i < objectives.size(); ++i) {
        list.push_back({"Ziel " + std::to_string(i + 1), objectives[i], korvan::redSide});
    }
    return korvan::Battle(map, army, std::move(list), roundLimit, seed);
}

using korvan::testing::errorOf;

} // namespace forces
