// Seas and lakes: area look-up with longitude reduction, raster cells, kinds and loader messages.
#include "geo_fixtures.hpp"
#include "geography/seas.hpp"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <sstream>

using namespace korvan;
using namespace korvan::geo_test;

namespace {

json area(const std::string& name, json ring, const std::string& kind = "") {
    json a = {{"id", name + "-id"}, {"name", name}, {"polygons", json::array({json::array({std::move(ring)})})}};
    if (!kind.empty()) {
        a["kind"] = kind;
    }
    return a;
}

json seasDocument() {
    json north = area("Nordsee", boxRing(-170, 10, -150, 20), "sea");
    north["hex_spans"] = {{0, 0, 3}};
    json bay = area("Bucht", boxRing(0, 0, 10, 10), "bay");
    bay["hex_spans"] = {{0, 2, 2}};
    bay["detail"] = true;
    return {{"schema_version", 1},
            {"width", 8},
            {"height", 4},
            {"areas",
             {north, bay, area("Donauarm", boxRing(20, 40, 30, 50), "river_arm"), area("Ohne", boxRing(40, 0, 50, 10)),
              area("Bucht", boxRing(60, 0, 70, 10), "sea"), area("Weit", boxRing(80, 0, 90, 10), "generic")}},
            {"water_hex_spans", {{3, 6, 2}}}};
}

Seas readSeas(const json& document) {
    std::istringstream input(document.dump());
    return Seas::load(input);
}

std::string seasError(const json& document) {
    return errorOf([&] { readSeas(document); });
}

} // namespace

TEST(SeasLookup, AtReducesTheLongitudeIntoTheMap) {
    const Seas seas = readSeas(seasDocument());
    EXPECT_EQ(seas.at({-160, 15}), "Nordsee");
    EXPECT_EQ(seas.at({200, 15}), "Nordsee");
    EXPECT_EQ(seas.at({-160 + 720, 15}), "Nordsee");
    EXPECT_EQ(seas.at({-160 - 360, 15}), "Nordsee");
    EXPECT_EQ(seas.at({365, 5}), "Bucht");
    EXPECT_EQ(seas.at({-160, 25}), std::nullopt);
    EXPECT_EQ(seas.at({160, 15}), std::nullopt);
}

TEST(SeasLookup, RasterCellsKindsAndDetailAreas) {
    const Map map = uniformWorld(8, 4, 'w');
    const Seas seas = readSeas(seasDocument());
    EXPECT_EQ(seas.gridWidth(), 8);
    EXPECT_EQ(seas.gridHeight(), 4);
    EXPECT_EQ(seas.atHex(map.hexAt(0, 0), 8, 4), "Nordsee");
    EXPECT_EQ(seas.atHex(map.hexAt(2, 0), 8, 4), "Nordsee"); // listed by both: the earlier area keeps it
    EXPECT_EQ(seas.atHex(map.hexAt(3, 0), 8, 4), "Bucht");
    EXPECT_EQ(seas.atHex(map.hexAt(3 + 8, 0), 8, 4), "Bucht");
    EXPECT_EQ(seas.atHex(map.hexAt(4, 0), 8, 4), std::nullopt);
    EXPECT_EQ(seas.atHex(map.hexAt(0, 0), 8, 5), std::nullopt);
    EXPECT_EQ(seas.atHex({0, -1}, 8, 4), std::nullopt);

    EXPECT_TRUE(seas.containsHex(map.hexAt(7, 3), 8, 4));  // unnamed inland water
    EXPECT_TRUE(seas.containsHex(map.hexAt(-1, 3), 8, 4)); // the same field across the seam
    EXPECT_TRUE(seas.containsHex(map.hexAt(1, 0), 8, 4));  // a named lake cell
    EXPECT_FALSE(seas.containsHex(map.hexAt(5, 3), 8, 4));
    EXPECT_FALSE(seas.containsHex(map.hexAt(7, 3), 7, 4));
    EXPECT_FALSE(seas.containsHex({0, 4}, 8, 4));

    EXPECT_TRUE(seas.isLocalMarine("Bucht")); // the first kind of a name counts
    EXPECT_TRUE(seas.isLocalMarine("Donauarm"));
    EXPECT_FALSE(seas.isLocalMarine("Nordsee"));
    EXPECT_FALSE(seas.isLocalMarine("Weit"));
    EXPECT_FALSE(seas.isLocalMarine("Ohne"));
    EXPECT_FALSE(seas.isLocalMarine("Unbekannt"));
    EXPECT_TRUE(seas.isRiverArm("Donauarm"));
    EXPECT_FALSE(seas.isRiverArm("Bucht"));

    ASSERT_EQ(seas.detailAreas().size(), 1u);
    EXPECT_EQ(seas.detailAreas()[0].name, "Bucht");
    EXPECT_EQ(seas.areas().size(), 6u);
    EXPECT_EQ(seas.areas()[0].status, "country");
    EXPECT_EQ(seas.areas()[0].sovereignId, "");
}

TEST(SeasLoad, RefusesWithTheDocumentedMessages) {
    const auto changed = [](const std::string& key, json value) {
        json document = seasDocument();
        document[key] = std::move(value);
        return seasError(document);
    };
    EXPECT_EQ(seasError(seasDocument()), "");
    EXPECT_EQ(changed("schema_version", 2), "Unbekanntes Gewaesserschema");
    EXPECT_EQ(changed("width", -1), "Ungueltige Gewaesserrastergroesse");
    EXPECT_EQ(changed("height", 8193), "Ungueltige Gewaesserrastergroesse");
    EXPECT_EQ(changed("width", 1.5), "Ungueltige Gewaesserrastergroesse");
    json huge = seasDocument();
    huge["width"] = 8192;
    huge["height"] = 3907;
    EXPECT_EQ(seasError(huge), "Ungueltige Gewaesserrastergroesse");

    // Without a raster size the areas still load, but no raster cells can be given.
    json plain = {{"schema_version", 1}, {"areas", {area("Ohne", boxRing(40, 0, 50, 10))}}};
    EXPECT_EQ(readSeas(plain).at({45, 5}), "Ohne");
    json lakeCells = plain;
    lakeCells["areas"][0]["hex_spans"] = {{0, 0, 1}};
    EXPECT_EQ(seasError(lakeCells), "Fehlendes Gewaesserraster");
    json inland = plain;
    inland["water_hex_spans"] = json::array();
    EXPECT_EQ(seasError(inland), "Fehlendes Binnengewaesserraster");

    for (const json& span :
         {json{4, 0, 1}, json{0, 8, 1}, json{0, 6, 3}, json{0, 0, 0}, json{0, 0}, json{0, 0, 1, 1}}) {
        json document = seasDocument();
        document["areas"][0]["hex_spans"] = {span};
        EXPECT_EQ(seasError(document), "Ungueltige Seerasterzeile") << span.dump();
        EXPECT_EQ(changed("water_hex_spans", {span}), "Ungueltige Binnengewaesserrasterzeile") << span.dump();
    }

    const auto withRing = [&](json ring) {
        json document = seasDocument();
        document["areas"][1]["polygons"] = json::array({json::array({std::move(ring)})});
        return seasError(document);
    };
    EXPECT_EQ(withRing({{0, 0}, {1, 0}, {1, 91}, {0, 1}}), "Ungueltige Gewaesserkoordinate");
    EXPECT_EQ(withRing({{0, 0}, {1, 0}, {1, 1}}), "Ungueltiger Gewaesserring");
    json empty = seasDocument();
    empty["areas"][1]["polygons"] = json::array({json::array()});
    EXPECT_EQ(seasError(empty), "Leeres Gewaesserpolygon");

    EXPECT_EQ(errorOf([] { Seas::load(missingFile()); }), "Gewaesserdatei nicht lesbar: " + missingFile().string());
    const TempFile file(seasDocument());
    EXPECT_EQ(Seas::load(file.path()).at({5, 5}), "Bucht");
}

// Overlapping spans of several areas, in any order: every cell answers as if the cells had been
// entered one by one, the first area listing a cell keeping it.
TEST(SeasLookup, OverlappingSpansAnswerLikeSingleCells) {
    constexpr int width = 40;
    constexpr int height = 3;
    std::mt19937 random(12);
    std::uniform_int_distribution<int> row(0, height - 1);
    std::uniform_int_distribution<int> start(0, width - 1);
    json document = {{"schema_version", 1}, {"width", width}, {"height", height}, {"areas", json::array()}};
    std::map<std::pair<int, int>, std::string> owner;
    std::map<std::pair<int, int>, bool> inland;
    const auto randomSpans = [&](auto&& onCell) {
        json spans = json::array();
        for (int k = 0; k < 6; ++k) {
            const int r = row(random);
            const int s = start(random);
            const int count = std::uniform_int_distribution<int>(1, width - s)(random);
            spans.push_back({r, s, count});
            for (int c = s; c < s + count; ++c) {
                onCell(r, c);
            }
        }
        return spans;
    };
    for (int n = 0; n < 5; ++n) {
        const std::string name = "See " + std::to_string(n);
        json lake = area(name, boxRing(0, 0, 1, 1));
        lake["hex_spans"] = randomSpans([&](int r, int c) { owner.try_emplace({r, c}, name); });
        document["areas"].push_back(lake);
    }
    document["water_hex_spans"] = randomSpans([&](int r, int c) { inland[{r, c}] = true; });
    const Seas seas = readSeas(document);
    const Map map = uniformWorld(width, height, 'w');
    for (int r = 0; r < height; ++r) {
        for (int c = 0; c < width; ++c) {
            const auto found = owner.find({r, c});
            const Hex h = map.hexAt(c, r);
            EXPECT_EQ(seas.atHex(h, width, height),
                      found == owner.end() ? std::nullopt : std::optional<std::string>(found->second))
                << r << ", " << c;
            EXPECT_EQ(seas.containsHex(h, width, height), found != owner.end() || inland.contains({r, c}))
                << r << ", " << c;
        }
    }
}
