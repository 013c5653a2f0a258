// Army file: accepted values and defaults, every refusal with its exact message, the path wrapping.
#include "forces_fixtures.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>

using namespace korvan;
using nlohmann::json;

namespace {

// m: mountain at (2, 0); '=': water under a road bridge at (2, 1); w: open water at (1, 2).
Map smallMap() { return forces::makeMap({"ppmp", "pp=p", "pwpp"}); }

json baseDocument() {
    return {{"schema_version", 1},
            {"types", json::parse(forces::defaultTypes)},
            {"operation_units", json::parse(forces::unitsJson({{1, 0, "tank", {0, 0}}, {2, 1, "inf", {3, 1}}}))}};
}

std::string loadError(const Map& map, const json& document) {
    return forces::errorOf([&] {
        std::istringstream in(document.dump());
        Army::load(map, in);
    });
}

Army loadArmy(const Map& map, const json& document) {
    std::istringstream in(document.dump());
    return Army::load(map, in);
}

} // namespace

TEST(ArmyLoad, ReadsTypesUnitsAndDefaults) {
    const Map map = smallMap();
    json document = baseDocument();
    document["operation_units"][1]["ammo"] = 0;
    const Army army = loadArmy(map, document);

    ASSERT_EQ(army.units().size(), 2u);
    const UnitType& tank = army.type(army.units()[0]);
    EXPECT_EQ(tank.id, "tank");
    EXPECT_EQ(tank.name, "Panzer");
    EXPECT_EQ(tank.kind, UnitClass::Tank);
    EXPECT_EQ(tank.movement, 4);
    // Keys left out take the documented defaults.
    EXPECT_EQ(tank.attackSoft, 7);
    EXPECT_EQ(tank.attackHard, 6);
    EXPECT_EQ(tank.defense, 6);
    EXPECT_EQ(tank.range, 1);
    EXPECT_EQ(tank.maxAmmo, 8);
    EXPECT_EQ(tank.costs[std::size_t(Terrain::Mountain)], -1);
    EXPECT_EQ(tank.costs[std::size_t(Terrain::Water)], -1);
    EXPECT_EQ(tank.costs[std::size_t(Terrain::Wetland)], 3);

    const Unit& first = army.units()[0];
    EXPECT_EQ(first.id, 1);
    EXPECT_EQ(first.side, 0);
    EXPECT_EQ(first.name, "U1");
    EXPECT_EQ(first.position, (Hex{0, 0}));
    EXPECT_EQ(first.remaining, 4);
    EXPECT_EQ(first.ammo, 8);
    EXPECT_EQ(first.strength, 10);
    EXPECT_FALSE(first.moved);
    EXPECT_FALSE(first.attacked);

    const Unit& second = army.units()[1];
    EXPECT_EQ(army.type(second).kind, UnitClass::Infantry);
    EXPECT_EQ(second.remaining, 3);
    EXPECT_EQ(second.ammo, 0); // an empty magazine is a valid start

    EXPECT_EQ(army.find(2), &second);
    EXPECT_EQ(army.find(3), nullptr);
    EXPECT_EQ(army.at({3, 1}), &second);
    EXPECT_EQ(army.at({3, 0}), nullptr);
}

TEST(ArmyLoad, AcceptsEdgeValues) {
    const Map map = smallMap();
    json document = baseDocument();
    document["operation_units"] = json::array();
    EXPECT_TRUE(loadArmy(map, document).units().empty()); // an army without units is valid

    document = baseDocument();
    document["operation_units"][0]["name"] = "   ";                                   // blanks only
    document["operation_units"][1]["name"] = std::string(48, 'x');                  // longest name
    document["operation_units"].push_back({{"id", 100000}, {"side", 1}, {"name", "Brueckenwache"},
                                           {"type", "inf"}, {"q", 2}, {"r", 1}}); // water under a road bridge
    const Army army = loadArmy(map, document);
    EXPECT_EQ(army.units().size(), 3u);
    EXPECT_EQ(army.units()[2].position, (Hex{2, 1}));
}

TEST(ArmyLoad, RefusesEachBadValueWithItsMessage) {
    const Map map = smallMap();
    struct Case {
        const char* what;
        void (*edit)(json&);
        std::string message;
    };
    const Case cases[] = {
        {"schema 2", [](json& d) { d["schema_version"] = 2; }, "Ungueltiger Einheiten-Zahlenwert"},
        {"schema 1.0", [](json& d) { d["schema_version"] = 1.0; }, "Ungueltiger Einheiten-Zahlenwert"},
        {"no types", [](json& d) { d["types"] = json::array(); }, "Ungueltige Einheitentypen"},
        {"types object", [](json& d) { d["types"] = json::object(); }, "Ungueltige Einheitentypen"},
        {"33 types",
         [](json& d) {
             for (int i = 0; i < 30; ++i) {
                 json extra = d["types"][0];
                 extra["id"] = "extra" + std::to_string(i);
                 d["types"].push_back(extra);
             }
         },
         "Ungueltige Einheitentypen"},
        {"type name umlaut", [](json& d) { d["types"][0]["name"] = "K\xc3\xb6nig"; },
         "Einheitenname muss 1 bis 48 darstellbare Zeichen enthalten"},
        {"empty type id", [](json& d) { d["types"][0]["id"] = ""; }, "Doppelter oder leerer Einheitentyp"},
        {"repeated type id", [](json& d) { d["types"][1]["id"] = "tank"; }, "Doppelter oder leerer Einheitentyp"},
        {"class", [](json& d) { d["types"][0]["class"] = "Tank"; }, "Unbekannte Einheitenklasse"},
        {"movement 0", [](json& d) { d["types"][0]["movement"] = 0; }, "Ungueltiger Einheiten-Zahlenwert"},
        {"road cost 21", [](json& d) { d["types"][0]["road_cost"] = 21; }, "Ungueltiger Einheiten-Zahlenwert"},
        {"range 0", [](json& d) { d["types"][0]["range"] = 0; }, "Ungueltiger Einheiten-Zahlenwert"},
        {"ammo 101", [](json& d) { d["types"][0]["ammo"] = 101; }, "Ungueltiger Einheiten-Zahlenwert"},
        {"cost 2.0", [](json& d) { d["types"][0]["costs"]["forest"] = 2.0; }, "Ungueltiger Einheiten-Zahlenwert"},
        {"water cost", [](json& d) { d["types"][0]["costs"]["water"] = 5; },
         "M2-Bodeneinheiten koennen nicht ueber Wasser fahren"},
        {"unit list object", [](json& d) { d["operation_units"] = json::object(); }, "Ungueltige Einheitenliste"},
        {"257 units",
         [](json& d) {
             for (int i = 0; i < 255; ++i) {
                 d["operation_units"].push_back(d["operation_units"][0]);
             }
         },
         "Ungueltige Einheitenliste"},
        {"unit id 0", [](json& d) { d["operation_units"][0]["id"] = 0; }, "Ungueltiger Einheiten-Zahlenwert"},
        {"side 2", [](json& d) { d["operation_units"][0]["side"] = 2; }, "Ungueltiger Einheiten-Zahlenwert"},
        {"unit name apostrophe", [](json& d) { d["operation_units"][0]["name"] = "O'Neill"; },
         "Einheitenname muss 1 bis 48 darstellbare Zeichen enthalten"},
        {"unit name 49", [](json& d) { d["operation_units"][0]["name"] = std::string(49, 'a'); },
         "Einheitenname muss 1 bis 48 darstellbare Zeichen enthalten"},
        {"repeated unit id", [](json& d) { d["operation_units"][1]["id"] = 1; }, "Doppelte Einheiten-ID"},
        {"unknown type", [](json& d) { d["operation_units"][1]["type"] = "jet"; }, "Unbekannter Einheitentyp: jet"},
        {"strength 11", [](json& d) { d["operation_units"][0]["strength"] = 11; }, "Ungueltiger Einheiten-Zahlenwert"},
        {"ammo above type", [](json& d) { d["operation_units"][0]["ammo"] = 9; }, "Ungueltiger Einheiten-Zahlenwert"},
        {"r negative", [](json& d) { d["operation_units"][0]["r"] = -1; }, "Ungueltiger Einheiten-Zahlenwert"},
        {"off the map", [](json& d) { d["operation_units"][0]["q"] = 4; }, "Einheit auf unzugaenglichem Startfeld"},
        {"tank on mountain", [](json& d) { d["operation_units"][0]["q"] = 2; },
         "Einheit auf unzugaenglichem Startfeld"},
        {"on open water",
         [](json& d) {
             d["operation_units"][0]["q"] = 1;
             d["operation_units"][0]["r"] = 2;
         },
         "Einheit auf unzugaenglichem Startfeld"},
        {"shared field",
         [](json& d) {
             d["operation_units"][1]["q"] = 0;
             d["operation_units"][1]["r"] = 0;
         },
         "Mehrere Einheiten auf einem Feld"},
        // Earlier checks win when a record breaks several rules.
        {"name before id", [](json& d) { d["types"][0] = {{"id", ""}, {"name", ""}}; },
         "Einheitenname muss 1 bis 48 darstellbare Zeichen enthalten"},
        {"repeated id before type",
         [](json& d) {
             d["operation_units"][1]["id"] = 1;
             d["operation_units"][1]["type"] = "jet";
         },
         "Doppelte Einheiten-ID"},
        {"field before sharing",
         [](json& d) {
             d["operation_units"][1]["q"] = 0;
             d["operation_units"][1]["r"] = 0;
             d["operation_units"][1]["type"] = "tank";
             d["operation_units"][1]["strength"] = 0;
         },
         "Ungueltiger Einheiten-Zahlenwert"},
    };
    for (const Case& c : cases) {
        json document = baseDocument();
        c.edit(document);
        EXPECT_EQ(loadError(map, document), "Ungueltige Einheitendaten: " + c.message) << c.what;
    }
}

TEST(ArmyLoad, LibraryErrorsAreWrappedToo) {
    const Map map = smallMap();
    json document = baseDocument();
    document["types"][0]["costs"].erase("scrub");
    const std::string missing = loadError(map, document);
    EXPECT_EQ(missing.rfind("Ungueltige Einheitendaten: ", 0), 0u) << missing;
    EXPECT_NE(missing.find("scrub"), std::string::npos) << missing;

    const std::string syntax = forces::errorOf([&] {
        std::istringstream in(R"({"schema_version": 1, // no comments
        })");
        Army::load(map, in);
    });
    EXPECT_EQ(syntax.rfind("Ungueltige Einheitendaten: ", 0), 0u) << syntax;
}

TEST(ArmyLoad, WorldMapsReadGeographicPositions) {
    const Map world = forces::makeWorld(36, 18);
    json document = baseDocument();
    const Point spot = world.geography({5, 3});
    document["world_units"] = {{{"id", 7}, {"side", 0}, {"name", "Nord"}, {"type", "inf"},
                                {"longitude", spot.x}, {"latitude", spot.y}}};
    document["operation_units"] = "ignored on a world map";
    const Army army = loadArmy(world, document);
    ASSERT_EQ(army.units().size(), 1u);
    EXPECT_EQ(army.units()[0].position, (Hex{5, 3}));
    // Integer degrees are numbers too.
    document["world_units"][0]["longitude"] = 180;
    EXPECT_EQ(loadArmy(world, document).units()[0].position, world.hexAtGeography({180, spot.y}));

    const auto withUnit = [&](json longitude, json latitude) {
        json d = baseDocument();
        d["world_units"] = {{{"id", 7}, {"side", 0}, {"name", "Nord"}, {"type", "inf"},
                             {"longitude", longitude}, {"latitude", latitude}}};
        return loadError(world, d);
    };
    EXPECT_EQ(withUnit("10", 5.0), "Ungueltige Einheitendaten: Geokoordinaten muessen Zahlen sein");
    EXPECT_EQ(withUnit(10.0, nullptr), "Ungueltige Einheitendaten: Geokoordinaten muessen Zahlen sein");
    EXPECT_EQ(withUnit(180.5, 5.0), "Ungueltige Einheitendaten: Ungueltige Einheiten-Geokoordinate");
    EXPECT_EQ(withUnit(-181, 5.0), "Ungueltige Einheitendaten: Ungueltige Einheiten-Geokoordinate");
    // A latitude beyond the pole names no field: the map's own check refuses it.
    EXPECT_EQ(withUnit(10.0, 95.0), "Ungueltige Einheitendaten: Ungueltige Geokoordinaten");
}

TEST(ArmyLoad, FileErrorsNameThePath) {
    const Map map = smallMap();
    const auto dir = std::filesystem::temp_directory_path() / "korvan_army_load";
    std::filesystem::create_directories(dir);
    const auto missing = dir / "fehlt.json";
    EXPECT_EQ(forces::errorOf([&] { Army::load(map, missing); }), "Einheitendaten fehlen: " + missing.string());

    json document = baseDocument();
    document["operation_units"][1]["id"] = 1;
    const auto bad = dir / "units.json";
    std::ofstream(bad) << document.dump();
    EXPECT_EQ(forces::errorOf([&] { Army::load(map, bad); }),
              bad.string() + ": Ungueltige Einheitendaten: Doppelte Einheiten-ID");

    std::ofstream(bad) << baseDocument().dump();
    EXPECT_EQ(Army::load(map, bad).units().size(), 2u);
    std::filesystem::remove_all(dir);
}
