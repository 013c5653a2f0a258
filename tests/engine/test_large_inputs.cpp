// The largest claims small files can make, loader by loader: full-size rasters, spans and river
// sides across whole rows, lists at and beyond their limits, long arrays. Each must end with a
// result or the loader's message within a memory budget; the inputs are sized so that time stays
// small as long as memory does.
#include "forces_fixtures.hpp"
#include "geo_fixtures.hpp"
#include "places/cities.hpp"
#include "geography/river_names.hpp"
#include "geography/seas.hpp"
#include "geography/water_territories.hpp"
#include "memory_budget.hpp"

#include <gtest/gtest.h>

#include <sstream>

using namespace korvan;
using korvan::testing::errorWithinBudget;

namespace {

// The largest map: Map::maxDimension columns and as many rows as Map::maxFields allows.
constexpr int fullWidth = 8192;
constexpr int fullHeight = 3906;
static_assert(std::int64_t(fullWidth) * fullHeight <= Map::maxFields &&
              std::int64_t(fullWidth) * (fullHeight + 1) > Map::maxFields);

// "[item,item,...]" with count items.
std::string repeated(const std::string& item, std::size_t count) {
    std::string text = "[";
    text.reserve(count * (item.size() + 1) + 2);
    for (std::size_t k = 0; k < count; ++k) {
        text += k ? "," : "";
        text += item;
    }
    return text + "]";
}

// A world map with the given terrain rows (JSON text), and further members given as JSON text.
std::string worldText(int width, int height, const std::string& terrainRows, const std::string& members = "",
                      int schema = 3) {
    return R"({"schema_version": )" + std::to_string(schema) + R"(, "name": "Gross", "width": )" +
           std::to_string(width) + R"(, "height": )" + std::to_string(height) +
           R"(, "layout": "odd-r", "wrap_horizontal": true, "kind": "world", "river_edges": [], "terrain_rows": )" +
           terrainRows + members + "}";
}

// Compact rows, all alike.
std::string sameRows(const std::string& row, int height) { return repeated('"' + row + '"', std::size_t(height)); }

// A plain world whose river rows set every side of the first `full` rows (mask h), then the east
// sides (mask b) of the first `east` fields of the next row; bridged, the bridge rows say the same.
std::string riverWorld(int width, int height, int full, int east, bool bridged = false) {
    std::string rows = "[";
    for (int r = 0; r < height; ++r) {
        std::string row = "a" + std::to_string(width);
        if (r < full) {
            row = "h" + std::to_string(width);
        } else if (r == full && east > 0) {
            row = "b" + std::to_string(east) + (east < width ? "a" + std::to_string(width - east) : "");
        }
        rows += (r ? ",\"" : "\"") + row + "\"";
    }
    rows += "]";
    return worldText(width, height, sameRows("p" + std::to_string(width), height),
                     R"(, "river_rows": )" + rows + (bridged ? R"(, "bridge_rows": )" + rows : ""));
}

template <typename Load>
auto loadText(const std::string& text, Load&& load) {
    std::istringstream input(text);
    return load(input);
}

Map mapOf(const std::string& text) {
    return loadText(text, [](std::istream& in) { return Map::load(in); });
}

void require(bool condition) {
    if (!condition) {
        throw std::runtime_error("wrong answer");
    }
}

} // namespace

// 30 KB of "every side is a river" on the largest map claims 96 million sides (gigabytes of edges
// and index); the map takes at most Map::maxRiverEdges, a few times what the shipped world holds.
TEST(LargeInputs, RiverSidesStopAtTheCap) {
    static_assert(Map::maxRiverEdges == 1'000'000); // the sizes below reach it exactly
    const auto load = [](const std::string& text) {
        return errorWithinBudget(256, [&] {
            const Map map = mapOf(text);
            require(map.rivers().size() == Map::maxRiverEdges);
        });
    };
    const std::string full = riverWorld(fullWidth, fullHeight, fullHeight, 0);
    ASSERT_LT(full.size(), 80'000u);
    EXPECT_EQ(load(full), "Ungueltige Kartendaten: Zu viele Flusskanten");

    // 333 rows of three sides per field and one row of 1000 east sides: exactly the cap.
    EXPECT_EQ(load(riverWorld(1000, 335, 333, 1000)), "");
    std::string oneMore = riverWorld(1000, 335, 333, 1000);
    EXPECT_EQ(load(oneMore.replace(oneMore.rfind("a1000"), 5, "b1a999")),
              "Ungueltige Kartendaten: Zu viele Flusskanten");
}

// Every terrain schema at the largest size: a byte per field, and a tile list that claims the
// whole raster is counted before the raster is filled.
TEST(LargeInputs, FullSizeTerrainCostsAByteAField) {
    const auto load = [](const std::string& text) {
        return errorWithinBudget(96, [&] {
            const Map map = mapOf(text);
            require(map.width() == fullWidth && map.height() == fullHeight &&
                    map.terrainAt(map.hexAt(fullWidth - 1, fullHeight - 1)) == Terrain::Water);
        });
    };
    EXPECT_EQ(load(worldText(fullWidth, fullHeight, sameRows("p4096w4096", fullHeight))), "");
    EXPECT_EQ(load(worldText(fullWidth, fullHeight, repeated("[0,4096,4096]", fullHeight), "", 2)), "");

    EXPECT_EQ(load(R"({"schema_version": 1, "name": "Liste", "width": 8192, "height": 3906, "river_edges": [],
                       "tiles": [{"q": 0, "r": 0, "terrain": "plain"}]})"),
              "Ungueltige Kartendaten: Fuer jedes Hexfeld muss genau ein Eintrag in tiles existieren");
}

// Lists with a limit are counted before any entry is read: a million entries end at once, however
// costly reading each would be (units are compared pairwise). At the limit, files still load.
TEST(LargeInputs, CappedListsAreCountedBeforeTheyAreRead) {
    const std::string million = repeated("{}", 1'000'000);
    const Map map = forces::makeMap(std::vector<std::string>(16, std::string(16, 'p')));
    const Army army = forces::makeArmy(map, {{1, 0, "inf", {0, 0}}});
    const auto within = [](auto&& action) { return errorWithinBudget(128, action); };

    EXPECT_EQ(within([&] { loadText(R"({"schema_version": 1, "types": )" + million + "}",
                                    [&](std::istream& in) { return Army::load(map, in); }); }),
              "Ungueltige Einheitendaten: Ungueltige Einheitentypen");
    EXPECT_EQ(within([&] {
                  loadText(R"({"schema_version": 1, "types": )" + forces::defaultTypes + R"(, "operation_units": )" +
                               million + "}",
                           [&](std::istream& in) { return Army::load(map, in); });
              }),
              "Ungueltige Einheitendaten: Ungueltige Einheitenliste");
    EXPECT_EQ(within([&] {
                  loadText(R"({"schema_version": 1, "operation": {"round_limit": 5, "seed": 1, "objectives": )" +
                               million + "}}",
                           [&](std::istream& in) { return Battle::load(map, army, in); });
              }),
              "Ungueltige Szenariowerte");
    EXPECT_EQ(within([&] { loadText(R"({"schema_version": 1, "cities": )" + repeated("{}", 100'001) + "}",
                                    [](std::istream& in) { return loadCities(in); }); }),
              "Ungueltige Staedtedaten: Ungueltige Staedteliste");

    // The largest army: every type and every unit the file may hold, each unit on a field of its own.
    std::string types = "[";
    for (std::size_t t = 0; t < Army::maxTypes; ++t) {
        types += (t ? R"(,{"id": "t)" : R"({"id": "t)") + std::to_string(t) +
                 R"(", "name": "Typ", "class": "infantry", "movement": 3, "road_cost": 1, "costs": {"plain": 1,
                 "forest": 1, "hills": 1, "mountain": 1, "city": 1, "water": null, "farmland": 1, "wetland": 1,
                 "desert": 1, "ice": 1, "scrub": 1}})";
    }
    types += "]";
    std::vector<forces::UnitEntry> units;
    for (int k = 0; k < int(Army::maxUnits); ++k) {
        units.push_back({k + 1, k % 2, "t" + std::to_string(k % int(Army::maxTypes)), map.hexAt(k % 16, k / 16)});
    }
    EXPECT_EQ(within([&] {
                  const Army full = loadText(forces::armyJson(units, types),
                                             [&](std::istream& in) { return Army::load(map, in); });
                  require(full.units().size() == Army::maxUnits && full.types().size() == Army::maxTypes);
              }),
              "");

    // The most cities a file may list: 8.5 MB of text, which the parser needs about ten times over.
    std::string cities = "[";
    for (int k = 0; k < 100'000; ++k) {
        cities += (k ? "," : "") + (R"({"id":"c)" + std::to_string(k)) +
                  R"(","name":"Stadt","longitude":1,"latitude":2,"capital":false,"tier":2})";
    }
    EXPECT_EQ(errorWithinBudget(256, [&] {
                  require(loadText(R"({"schema_version": 1, "cities": )" + cities + "]}",
                                   [](std::istream& in) { return loadCities(in); })
                              .size() == 100'000);
              }),
              "");
}

// 50 000 named waters over the largest raster, each claiming row 0 and one row of its own, all
// whole rows: one sweep per row resolves them, and the first area listing a cell keeps it.
TEST(LargeInputs, OverlappingWholeRowSpansResolveToTheFirstArea) {
    constexpr int areas = 50'000;
    std::string list = "[";
    for (int k = 0; k < areas; ++k) {
        list += (k ? "," : "") + (R"({"id":"s","name":"W)" + std::to_string(k)) +
                R"(","polygons":[],"hex_spans":[[0,0,8192],[)" + std::to_string(k % fullHeight) + ",0,8192]]}";
    }
    const std::string text = R"({"schema_version": 1, "width": 8192, "height": 3906, "areas": )" + list + "]}";
    EXPECT_EQ(errorWithinBudget(192,
                                [&] {
                                    const Seas seas = loadText(text, [](std::istream& in) { return Seas::load(in); });
                                    const auto name = [&](int column, int row) {
                                        return seas.atHex(Hex{column - row / 2, row}, fullWidth, fullHeight);
                                    };
                                    require(name(fullWidth - 1, 0) == "W0" && name(0, 1) == "W1" &&
                                            name(fullWidth - 1, fullHeight - 1) == "W3905");
                                    for (int r = 0; r < fullHeight; r += 977) {
                                        require(seas.containsHex(Hex{-r / 2, r}, fullWidth, fullHeight));
                                    }
                                }),
              "");
}

// A ring of 500 000 points costs its points, in countries and named waters alike.
TEST(LargeInputs, LongRingsCostWhatTheFileHolds) {
    std::string ring = "[[-10,-10],[10,-10]";
    for (int k = 0; k < 500'000; ++k) {
        ring += ",[10," + std::to_string(-10 + 20.0 * k / 500'000) + "]";
    }
    ring += ",[10,10],[-10,10]]";
    const std::string area = R"({"id": "X", "name": "Gross", "polygons": [[)" + ring + "]]}";
    EXPECT_EQ(errorWithinBudget(160,
                                [&] {
                                    const Countries countries =
                                        loadText(R"({"schema_version": 1, "countries": [)" + area + "]}",
                                                 [](std::istream& in) { return Countries::load(in); });
                                    require(countries.at({0.0, 0.0}) == 0u && !countries.at({11.0, 0.0}));
                                    const Seas seas = loadText(R"({"schema_version": 1, "areas": [)" + area + "]}",
                                                               [](std::istream& in) { return Seas::load(in); });
                                    require(seas.at({0.0, 0.0}) == "Gross");
                                }),
              "");
}

// Urban fields keyed up to the last cell of the largest raster, a whole row of them.
TEST(LargeInputs, UrbanFieldsReachTheLastCellOfTheLargestRaster) {
    std::string fields = "[[3905,8191,0]";
    for (int c = 0; c < fullWidth; ++c) {
        fields += ",[0," + std::to_string(c) + ",-1]";
    }
    const std::string text = R"({"schema_version": 1, "width": 8192, "height": 3906, "cities": [{"id": "z",
        "name": "Zentrum", "longitude": 0, "latitude": 0, "capital": false}], "fields": )" + fields + "]}";
    EXPECT_EQ(errorWithinBudget(64,
                                [&] {
                                    const UrbanAreas urban =
                                        loadText(text, [](std::istream& in) { return UrbanAreas::load(in); });
                                    require(urban.cells().size() == fullWidth + 1u &&
                                            urban.cells().at(fullHeight * fullWidth - 1) == 0);
                                }),
              "");
}

// All four span lists across every row of the largest map.
TEST(LargeInputs, WaterSpansAcrossEveryRowOfTheLargestMap) {
    const Map map = mapOf(worldText(fullWidth, fullHeight, sameRows("w8192", fullHeight)));
    Countries countries;
    countries.entries = {{"AA", "Aland", {}, "country", "AA"}, {"BB", "Beland", {}, "country", "BB"}};
    std::string spans, marine, land, interior;
    for (int r = 0; r < fullHeight; ++r) {
        const std::string row = (r ? ",[" : "[") + std::to_string(r);
        spans += row + ",0,4096,0],[" + std::to_string(r) + ",4096,4096,1]";
        marine += row + ",0,4096,0]";
        land += row + ",0,8192,1]";
        interior += row + ",4096,4096,1]";
    }
    const std::string text = R"({"schema_version": 1, "width": 8192, "height": 3906, "countries": ["AA", "BB"],
        "spans": [)" + spans + R"(], "marine_spans": [)" + marine + R"(], "land_spans": [)" + land +
                             R"(], "interior_water_spans": [)" + interior + "]}";
    EXPECT_EQ(errorWithinBudget(64,
                                [&] {
                                    const WaterTerritories waters = loadText(text, [&](std::istream& in) {
                                        return WaterTerritories::load(map, countries, in);
                                    });
                                    const Hex last = map.hexAt(fullWidth - 1, fullHeight - 1);
                                    require(waters.atHex(last, fullWidth, fullHeight) == 1u &&
                                            waters.isInteriorAtHex(last, fullWidth, fullHeight) &&
                                            waters.isMarineAtHex(map.hexAt(0, 0), fullWidth, fullHeight));
                                }),
              "");
}

// A name for every side of a map that is all rivers and bridges.
TEST(LargeInputs, RiverAndBridgeNamesForEverySide) {
    const std::string mapText = riverWorld(300, 100, 99, 300, true);
    const Map map = mapOf(mapText);
    ASSERT_EQ(map.rivers().size(), 99u * 900 + 300);
    std::string edges, bridges;
    for (const RiverEdge& edge : map.rivers()) {
        const std::string sides = std::to_string(edge.b.q) + "," + std::to_string(edge.b.r) + "," +
                                  std::to_string(edge.a.q) + "," + std::to_string(edge.a.r);
        edges += (edges.empty() ? "[" : ",[") + sides + ",0]";
        bridges += (bridges.empty() ? "[" : ",[") + sides + R"(,["Steg"]])";
    }
    const std::string names = R"({"schema_version": 1, "width": 300, "height": 100, "names": ["Fluss"], "edges": [)" +
                              edges + "]}";
    std::string withBridges = mapText;
    withBridges.insert(withBridges.size() - 1, R"(, "bridge_names": [)" + bridges + "]");
    EXPECT_EQ(errorWithinBudget(128,
                                [&] {
                                    const RiverNames river = loadText(
                                        names, [&](std::istream& in) { return RiverNames::load(map, in); });
                                    const BridgeNames bridge = loadText(
                                        withBridges, [&](std::istream& in) { return BridgeNames::load(map, in); });
                                    const std::size_t last = map.rivers().size() - 1;
                                    require(river.at(last) == "Fluss" && bridge.size() == map.rivers().size() &&
                                            bridge.at(last).front() == "Steg");
                                }),
              "");
}
