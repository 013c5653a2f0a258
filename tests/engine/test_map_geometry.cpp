// Map layout, wrap, neighbours, extent and geographic coordinates.
#include "map_fixtures.hpp"

#include <gtest/gtest.h>

using namespace korvan;
using namespace korvan::testing;

namespace {

Map operationalMap(int width, int height, bool wrap, const std::string& layout = "odd-r") {
    nlohmann::json tiles = nlohmann::json::array();
    Map probe;
    for (int row = 0; row < height; ++row) {
        for (int col = 0; col < width; ++col) {
            const int q = col - (layout == "odd-r" ? row / 2 : 0);
            tiles.push_back({{"q", q}, {"r", row}, {"terrain", "plain"}});
        }
    }
    return mapFromJson({{"schema_version", 1},
                        {"width", width},
                        {"height", height},
                        {"name", "Test"},
                        {"layout", layout},
                        {"wrap_horizontal", wrap},
                        {"tiles", tiles},
                        {"river_edges", nlohmann::json::array()}});
}

} // namespace

TEST(MapGeometry, CanonicalWrapsColumnsAndRejectsRowsOutside) {
    const Map map = operationalMap(10, 6, true);
    EXPECT_EQ(map.canonical({-1, 0}), (Hex{9, 0}));
    EXPECT_EQ(map.canonical({0, 3}), map.canonical({10, 3}));
    EXPECT_EQ(map.canonical({9, 3}), (Hex{-1, 3})); // row 3 stores q from -1 to 8
    EXPECT_FALSE(map.canonical({0, -1}));
    EXPECT_FALSE(map.canonical({0, 6}));
    for (int r = 0; r < 6; ++r) {
        for (int q = -25; q < 25; ++q) {
            const auto c = map.canonical({q, r});
            ASSERT_TRUE(c);
            EXPECT_TRUE(map.contains(*c));
            EXPECT_EQ(map.canonical(*c), c);
        }
    }
}

TEST(MapGeometry, NonWrappingOddRowsContainTheirShiftedColumns) {
    const Map map = operationalMap(10, 6, false);
    EXPECT_FALSE(map.contains({10, 0}));
    EXPECT_TRUE(map.contains({8, 3})); // column 9 of row 3
    EXPECT_FALSE(map.contains({9, 3}));
    EXPECT_FALSE(map.canonical({10, 0}));
    EXPECT_EQ(map.hexAt(map.column({8, 3}), 3), (Hex{8, 3}));
}

TEST(MapGeometry, AdjacentAtCornersAndOnNarrowWrappingMaps) {
    const Map plain = operationalMap(5, 4, false);
    EXPECT_EQ(plain.adjacent({0, 0}).size(), 2u);
    EXPECT_EQ(plain.adjacent({4, 0}).size(), 3u);
    EXPECT_THROW(plain.adjacent({7, 0}), std::out_of_range);

    const Map narrow = operationalMap(1, 3, true);
    const auto around = narrow.adjacent({0, 1});
    // Neighbours to the east and west coincide with the field itself and with each other.
    EXPECT_EQ(around.size(), 2u);
    for (const Hex h : around) {
        EXPECT_NE(h, (Hex{0, 1}));
    }
}

TEST(MapGeometry, NeighbourhoodIsSymmetricAcrossTheSeam) {
    const Map map = operationalMap(7, 5, true);
    for (int r = 0; r < 5; ++r) {
        for (int c = 0; c < 7; ++c) {
            const Hex h = map.hexAt(c, r);
            for (const Hex n : map.adjacent(h)) {
                const auto back = map.adjacent(n);
                EXPECT_NE(std::find(back.begin(), back.end(), h), back.end());
                EXPECT_EQ(map.edgeKey(h, n), map.edgeKey(n, h));
            }
        }
    }
}

TEST(MapGeometry, AtRejectsHexesOffTheMap) {
    const Map map = operationalMap(4, 4, true);
    EXPECT_THROW(map.at({4, 0}), std::out_of_range);
    try {
        map.at({0, 9});
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), "Hexfeld ausserhalb der Karte");
    }
}

TEST(MapGeometry, WorldExtentCoversAllHexagons) {
    const Map odd = operationalMap(4, 3, false);
    EXPECT_NEAR(odd.worldExtent().x, 4.5 * sqrt3, 1e-12);
    EXPECT_NEAR(odd.worldExtent().y, 5.0, 1e-12);
    const Map single = operationalMap(4, 1, false);
    EXPECT_NEAR(single.worldExtent().x, 4 * sqrt3, 1e-12);
    const Map axial = operationalMap(4, 3, false, "axial");
    EXPECT_NEAR(axial.worldExtent().x, 5 * sqrt3, 1e-12);
}

TEST(MapGeography, CornerFieldRoundTripsAndLatitudeIsChecked) {
    const Map world = mapFromJson(uniformWorld(36, 18));
    const Point corner = world.geography({0, 0});
    EXPECT_DOUBLE_EQ(corner.x, -180.0);
    EXPECT_DOUBLE_EQ(corner.y, 90.0 - 90.0 / 18);
    EXPECT_EQ(world.hexAtGeography(corner), (Hex{0, 0}));
    EXPECT_THROW(world.hexAtGeography({0, 91}), std::invalid_argument);
    EXPECT_THROW(world.hexAtGeography({std::nan(""), 0}), std::invalid_argument);
    // Longitudes wrap: 540 degrees is 180.
    EXPECT_EQ(world.hexAtGeography({540, 0}), world.hexAtGeography({-180, 0}));
    // Every field centre maps back to its own field.
    for (int r = 0; r < 18; ++r) {
        for (int c = 0; c < 36; ++c) {
            const Hex h = world.hexAt(c, r);
            EXPECT_EQ(world.hexAtGeography(world.geography(h)), h);
        }
    }
    const Map local = operationalMap(4, 4, true);
    EXPECT_THROW(local.geography({0, 0}), std::invalid_argument);
    EXPECT_THROW(local.hexAtGeography({0, 0}), std::invalid_argument);
}

TEST(MapGeography, FieldLandTerrainLooksAtNeighbours) {
    // Row 1 holds the water field (column 1); forest above and hills below.
    const Map map = mapFromJson(compactWorld(3, {"f3", "h1w1f1", "h3"}));
    const Hex water = map.hexAt(1, 1);
    // Neighbours: 1 forest east + 2 forest above, 1 hills west + 2 hills below: the tie goes to forest.
    EXPECT_EQ(fieldLandTerrain(map, water), Terrain::Forest);
    const Map sea = mapFromJson(compactWorld(3, {"w3", "w1c1w1", "w3"}));
    EXPECT_EQ(fieldLandTerrain(sea, sea.hexAt(0, 1)), Terrain::Plain);
    EXPECT_EQ(fieldLandTerrain(sea, sea.hexAt(1, 1)), Terrain::Plain);
    EXPECT_EQ(fieldLandTerrain(map, map.hexAt(0, 0)), Terrain::Forest);
}
