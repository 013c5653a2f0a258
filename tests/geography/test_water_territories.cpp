// Water territories: owner translation, span validation per list, interior water, hex queries.
#include "geo_fixtures.hpp"
#include "geography/water_territories.hpp"

#include <gtest/gtest.h>

#include <sstream>

using namespace korvan;
using namespace korvan::geo_test;

namespace {

Countries twoCountries() {
    Countries countries;
    for (const char* id : {"DEU", "AUT"}) {
        Country c;
        c.id = c.name = c.sovereignId = id;
        countries.entries.push_back(c);
    }
    return countries;
}

// File owner 0 is AUT (list index 1), owner 1 is DEU (list index 0).
json waterDocument() {
    return {{"schema_version", 1},
            {"width", 8},
            {"height", 4},
            {"countries", {"AUT", "DEU"}},
            {"spans", {{1, 0, 3, 0}, {1, 5, 3, 1}, {3, 6, 2, 0}}},
            {"marine_spans", {{1, 1, 1, 0}}},
            {"land_spans", {{2, 2, 2, 1}}},
            {"interior_water_spans", {{1, 5, 2, 1}}}};
}

WaterTerritories readWater(const Map& map, const json& document) {
    std::istringstream input(document.dump());
    return WaterTerritories::load(map, twoCountries(), input);
}

std::string waterError(const json& document) {
    const Map map = uniformWorld(8, 4, 'w');
    return errorOf([&] { readWater(map, document); });
}

json withList(const char* key, json spans) {
    json document = waterDocument();
    document[key] = std::move(spans);
    if (std::string(key) != "interior_water_spans") {
        document.erase("interior_water_spans"); // keep the interior check out of the way
    }
    return document;
}

} // namespace

TEST(WaterTerritoriesLoad, TranslatesOwnersAndAnswersHexQueries) {
    const Map map = uniformWorld(8, 4, 'w');
    const WaterTerritories water = readWater(map, waterDocument());
    EXPECT_EQ(water.width(), 8);
    EXPECT_EQ(water.height(), 4);
    EXPECT_EQ(water.codes(), (std::vector<std::string>{"DEU", "AUT"}));
    ASSERT_EQ(water.waterSpans(1).size(), 2u);
    EXPECT_EQ(water.waterSpans(1)[0], (WaterTerritories::Span{0, 3, 1}));
    EXPECT_EQ(water.landSpans(2).at(0), (WaterTerritories::Span{2, 4, 0}));

    // Row 1 is odd: stored column c is the hex (c, 1) shifted by 0.
    EXPECT_EQ(water.atHex(map.hexAt(0, 1), 8, 4), 1u);
    EXPECT_EQ(water.atHex(map.hexAt(2, 1), 8, 4), 1u);
    EXPECT_EQ(water.atHex(map.hexAt(3, 1), 8, 4), std::nullopt);
    EXPECT_EQ(water.atHex(map.hexAt(7, 1), 8, 4), 0u);
    // Hexes outside the stored range wrap onto their column.
    EXPECT_EQ(water.atHex(map.hexAt(7 - 8, 1), 8, 4), 0u);
    EXPECT_EQ(water.atHex(map.hexAt(6 + 16, 3), 8, 4), 1u);
    EXPECT_EQ(water.atHex(map.hexAt(6 - 80, 3), 8, 4), 1u);

    EXPECT_TRUE(water.isMarineAtHex(map.hexAt(1, 1), 8, 4));
    EXPECT_FALSE(water.isMarineAtHex(map.hexAt(0, 1), 8, 4));
    EXPECT_TRUE(water.isInteriorAtHex(map.hexAt(6, 1), 8, 4));
    EXPECT_FALSE(water.isInteriorAtHex(map.hexAt(7, 1), 8, 4));

    // Another raster size or a row off the raster answers nothing.
    EXPECT_EQ(water.atHex(map.hexAt(0, 1), 9, 4), std::nullopt);
    EXPECT_EQ(water.atHex(map.hexAt(0, 1), 8, 5), std::nullopt);
    EXPECT_EQ(water.atHex({0, -1}, 8, 4), std::nullopt);
    EXPECT_EQ(water.atHex({0, 4}, 8, 4), std::nullopt);
    EXPECT_FALSE(water.isMarineAtHex(map.hexAt(1, 1), 8, 3));

    const TempFile file(waterDocument());
    EXPECT_EQ(WaterTerritories::load(map, twoCountries(), file.path()).atHex(map.hexAt(0, 1), 8, 4), 1u);
    EXPECT_EQ(errorOf([&] { WaterTerritories::load(map, twoCountries(), missingFile()); }),
              "Gewaesser-Laenderdatei nicht lesbar: " + missingFile().string());
}

TEST(WaterTerritoriesLoad, RefusesForeignSizesAndUnknownCodes) {
    json document = waterDocument();
    document["height"] = 5;
    EXPECT_EQ(waterError(document), "Gewaesser-Laender passen nicht zur Karte");
    document = waterDocument();
    document["schema_version"] = 2;
    EXPECT_EQ(waterError(document), "Gewaesser-Laender passen nicht zur Karte");
    document = waterDocument();
    document["countries"] = {"AUT", "deu"};
    EXPECT_EQ(waterError(document), "Unbekanntes Gewaesserland");
    document = waterDocument();
    document.erase("spans");
    EXPECT_NE(waterError(document), "");
    document = waterDocument();
    document.erase("marine_spans");
    document.erase("land_spans");
    EXPECT_EQ(waterError(document), "");
}

TEST(WaterTerritoriesLoad, EachListNamesItsOwnShapeRangeAndOverlapFaults) {
    struct List {
        const char* key;
        const char* shape;
        const char* range;
        const char* overlap;
    };
    const List lists[] = {
        {"spans", "Ungueltige Gewaesser-Laenderzeile", "Ungueltige Gewaesser-Laenderzuordnung",
         "Ueberlappende Gewaesser-Laenderzuordnung"},
        {"marine_spans", "Ungueltige marine Laenderzeile", "Ungueltige marine Laenderzuordnung",
         "Ueberlappende marine Laenderzuordnung"},
        {"land_spans", "Ungueltige Land-Ergaenzungszeile", "Ungueltige Land-Ergaenzungszuordnung",
         "Ueberlappende Land-Ergaenzungszuordnung"},
        {"interior_water_spans", "Ungueltige Binnenwasser-Ergaenzung", "Ungueltige Binnenwasser-Zuordnung",
         "Ueberlappende Binnenwasser-Zuordnung"},
    };
    for (const List& list : lists) {
        SCOPED_TRACE(list.key);
        EXPECT_EQ(waterError(withList(list.key, {{0, 1, 2}})), list.shape);
        EXPECT_EQ(waterError(withList(list.key, {{0, 1, 2, 0, 0}})), list.shape);
        EXPECT_EQ(waterError(withList(list.key, {5})), list.shape);
        for (const json& span :
             {json{4, 0, 1, 0}, json{-1, 0, 1, 0}, json{0, -1, 1, 0}, json{0, 0, 0, 0}, json{0, 6, 3, 0},
              json{0, 8, 1, 0}, json{0, 0, 1, 2}, json{0, 0, 1, -1}, json{0, 0.0, 1, 0}}) {
            EXPECT_EQ(waterError(withList(list.key, {span})), list.range) << span.dump();
        }
        // Descending starts count as overlaps, as does a start inside the previous span.
        EXPECT_EQ(waterError(withList(list.key, {{0, 4, 1, 0}, {0, 1, 1, 0}})), list.overlap);
        EXPECT_EQ(waterError(withList(list.key, {{0, 1, 3, 0}, {0, 3, 1, 0}})), list.overlap);
    }
    // Spans that only touch are fine, and rows may come in any order.
    EXPECT_EQ(waterError(withList("spans", {{2, 4, 1, 0}, {0, 1, 3, 0}, {0, 4, 1, 1}})), "");
}

TEST(WaterTerritoriesLoad, InteriorWaterMustBeNationalWaterOfTheSameCountry) {
    const auto interior = [](json spans) {
        json document = waterDocument();
        document["interior_water_spans"] = std::move(spans);
        return waterError(document);
    };
    const std::string conflict = "Binnenwasser widerspricht der Laenderzuordnung";
    EXPECT_EQ(interior({{1, 0, 1, 0}, {1, 2, 1, 0}, {1, 5, 3, 1}}), "");
    EXPECT_EQ(interior({{1, 0, 2, 0}}), conflict); // column 1 is marine
    EXPECT_EQ(interior({{1, 5, 1, 0}}), conflict); // DEU's water, not AUT's
    EXPECT_EQ(interior({{1, 2, 2, 0}}), conflict); // column 3 is no national water
    EXPECT_EQ(interior({{0, 0, 1, 0}}), conflict); // row 0 has none at all
}
