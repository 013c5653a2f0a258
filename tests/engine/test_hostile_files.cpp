// Small files with extreme claims: coordinates at the ends of the int range, and counts or spans
// that describe far more than the file holds. Each must end in the loader's message, quickly and
// within a modest memory budget.
#include "forces_fixtures.hpp"
#include "geo_fixtures.hpp"
#include "geography/river_names.hpp"
#include "geography/seas.hpp"
#include "memory_budget.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <sstream>

using namespace korvan;
using namespace korvan::geo_test;
using korvan::testing::errorWithinBudget;

// The range check comes before the column arithmetic, so it holds in constant evaluation, where
// an overflow would not compile.
static_assert(!onGrid({INT_MAX, 3}, 8, 4, true));
static_assert(!onGrid({INT_MIN, 3}, 8, 4, true));
static_assert(!onGrid({INT_MAX, 0}, 8, 4, false));
static_assert(onGrid({-1, 3}, 8, 4, true) && !onGrid({-2, 3}, 8, 4, true));

TEST(HostileFiles, CoordinatesAtTheEndsOfTheIntRangeNameNoField) {
    const json edge = {{"a", {{"q", 0}, {"r", 0}}}, {"b", {{"q", 1}, {"r", 0}}}, {"bridge", true}};
    json document = worldDocument(6, {"p6", "p6", "p6", "p6"}, json::array({edge}));
    const Map world = loadMap(document);
    for (const Hex h : {Hex{INT_MAX, 3}, Hex{INT_MIN, 3}, Hex{INT_MAX, 0}, Hex{0, INT_MAX}, Hex{0, INT_MIN}}) {
        EXPECT_FALSE(world.contains(h)) << h;
        EXPECT_FALSE(world.riverBetween(h, {0, 0})) << h;
    }

    // River names, bridge names and operational objectives all name fields by file coordinates.
    const json names = {{"schema_version", 1},
                        {"width", 6},
                        {"height", 4},
                        {"names", {"Inn"}},
                        {"edges", {{INT_MAX, 3, 0, 0, 0}}}};
    EXPECT_EQ(errorOf([&] {
                  std::istringstream input(names.dump());
                  RiverNames::load(world, input);
              }),
              "Ungueltige Flussnamenszuordnung");
    document["bridge_names"] = {{0, 0, INT_MAX, 3, {"Steg"}}};
    EXPECT_EQ(errorOf([&] {
                  std::istringstream input(document.dump());
                  BridgeNames::load(world, input);
              }),
              "Brueckenname ohne Bruecke");

    const Map operational = forces::makeMap({"pppp", "pppp", "pppp", "pppp"}, {}, true); // odd-r
    const Army army = forces::makeArmy(operational, {});
    const std::string scenario =
        R"({"schema_version": 1, "operation": {"round_limit": 5, "seed": 1, "objectives": [{"name": "Fern", "q": )" +
        std::to_string(INT_MAX) + R"(, "r": 3}]}})";
    EXPECT_EQ(errorOf([&] {
                  std::istringstream input(scenario);
                  Battle::load(operational, army, input);
              }),
              "Ungueltiges Szenarioziel");
}

// 70 KB claiming 32 million river sides, with an unknown code in the first row.
TEST(HostileFiles, RiverRowsClaimOnlyWhatTheyAdd) {
    constexpr int width = 8192;
    constexpr int height = 3906;
    std::string text = R"({"schema_version": 3, "name": "Gross", "width": 8192, "height": 3906, "layout": "odd-r",
        "wrap_horizontal": true, "kind": "world", "river_edges": [], "terrain_rows": [)";
    for (int r = 0; r < height; ++r) {
        text += (r ? ",\"p" : "\"p") + std::to_string(width) + "\"";
    }
    text += R"(], "river_rows": ["x1b8191")";
    for (int r = 1; r < height; ++r) {
        text += ",\"b8191a1\"";
    }
    text += "]}";
    ASSERT_LT(text.size(), 80'000u);
    EXPECT_EQ(errorWithinBudget(256,
                                [&] {
                                    std::istringstream input(text);
                                    Map::load(input);
                                }),
              "Ungueltige Kartendaten: Unbekannter RLE-Code");
}

// 100 KB of spans across every row of the largest raster, for named lake cells and for inland water.
TEST(HostileFiles, SpansAcrossWholeRowsStayRuns) {
    constexpr int width = 8192;
    constexpr int height = 3906;
    std::string spans = "[";
    for (int r = 0; r < height; ++r) {
        spans += (r ? ",[" : "[") + std::to_string(r) + ",0," + std::to_string(width) + "]";
    }
    spans += "]";
    const std::string text = R"({"schema_version": 1, "width": 8192, "height": 3906, "areas": [{"id": "m", "name": "Meer",
        "polygons": [[[[0,0],[1,0],[1,1],[0,1]]]], "hex_spans": )" +
                             spans + R"(}], "water_hex_spans": )" + spans + "}";
    ASSERT_LT(text.size(), 120'000u);
    EXPECT_EQ(errorWithinBudget(256,
                                [&] {
                                    std::istringstream input(text);
                                    const Seas seas = Seas::load(input);
                                    const int shift = (height - 1) / 2; // odd-r: row r starts at q = -r / 2
                                    const Hex corners[] = {{0, 0}, {width - 1, 0}, {-shift, height - 1},
                                                           {width - 1 - shift, height - 1}};
                                    for (const Hex h : corners) {
                                        if (seas.atHex(h, width, height) != "Meer" ||
                                            !seas.containsHex(h, width, height)) {
                                            throw std::runtime_error("wrong answer");
                                        }
                                    }
                                }),
              "");
}
