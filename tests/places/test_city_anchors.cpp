// City anchors on the world map, city fields on the play grid, and shore points for cities at sea.
#include "places/city_anchors.hpp"
#include "geo_fixtures.hpp"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

using namespace korvan;
using namespace korvan::geo_test;

namespace {

// 20 x 10 fields of 18 degrees: row r lies at latitude 81 - 18 r.
constexpr int W = 20;
constexpr int H = 10;

Map worldWith(std::map<int, std::string> rows) {
    std::vector<std::string> all(H, "p20");
    for (auto& [r, row] : rows) {
        all[std::size_t(r)] = row;
    }
    return loadMap(worldDocument(W, all));
}

json centre(const std::string& id, double longitude, double latitude) {
    return {{"id", id}, {"name", "Zentrum"}, {"longitude", longitude}, {"latitude", latitude}, {"capital", false}};
}

UrbanAreas urban(json centres, json fields, int width = W, int height = H) {
    std::istringstream input(
        json{{"schema_version", 1}, {"width", width}, {"height", height}, {"cities", centres}, {"fields", fields}}
            .dump());
    return UrbanAreas::load(input);
}

} // namespace

TEST(CityTileAnchors, NearestCityFieldWinsAndTiesGoToTheLowerCell) {
    // The centre's own field (10, 4) is a city field of no named centre; (10, 3) and (10, 5) lie
    // mirrored above and below its point, (12, 4) further east.
    const Map map = worldWith({{3, "p10c1p9"}, {4, "p10c1p1c1p7"}, {5, "p10c1p9"}});
    const UrbanAreas areas = urban({centre("a", 0, 9)}, {{5, 10, 0}, {4, 12, 0}, {3, 10, 0}, {4, 10, -1}});
    const auto anchors = cityTileAnchors(map, areas);
    ASSERT_EQ(anchors.size(), 1u);
    EXPECT_EQ(anchors[0], map.hexAt(10, 3));
}

TEST(CityTileAnchors, ReachIsTwoFieldsOnLandAndFourOnWater) {
    // Centre 0 stands on land 3 fields from its only city field; centres 1 and 2 stand on water,
    // 3 and 5 fields from theirs.
    const Map map = worldWith({{4, "p13c1p6"}, {5, "p10w1p2c1p6"}, {7, "p10w1p4c1p4"}});
    const UrbanAreas areas = urban({centre("land", 0, 9), centre("water", 0, -9), centre("far", 0, -45)},
                                   {{4, 13, 0}, {5, 13, 1}, {7, 15, 2}});
    const auto anchors = cityTileAnchors(map, areas);
    EXPECT_EQ(anchors[0], std::nullopt);
    EXPECT_EQ(anchors[1], map.hexAt(13, 5));
    EXPECT_EQ(anchors[2], std::nullopt);
}

TEST(CityTileAnchors, MeasureAcrossTheSeamAndNeedAMatchingWorld) {
    const Map map = worldWith({{2, "p19c1"}});
    // The point lies just east of the seam; its city field is the last column, one field west.
    const UrbanAreas areas = urban({centre("seam", -179, 45)}, {{2, 19, 0}});
    EXPECT_EQ(cityTileAnchors(map, areas)[0], map.hexAt(19, 2));

    const UrbanAreas smaller = urban({centre("seam", -179, 45)}, {{2, 18, 0}}, W - 1, H);
    const auto none = cityTileAnchors(map, smaller);
    ASSERT_EQ(none.size(), 1u);
    EXPECT_EQ(none[0], std::nullopt);
}

TEST(CityPlacement, AnchoredCitiesTakeOneFieldEach) {
    const Map map = worldWith({});
    const auto placed = placeAnchoredCities(map, {map.hexAt(3, 1), std::nullopt, map.hexAt(5, 2)});
    ASSERT_EQ(placed.centers.size(), 3u);
    EXPECT_EQ(placed.fields.at(1 * W + 3), 0u);
    EXPECT_EQ(placed.fields.at(2 * W + 5), 2u);
    EXPECT_EQ(placed.fields.size(), 2u);
    EXPECT_EQ(placed.centers[0], hexCenter(map.hexAt(3, 1)));
    EXPECT_EQ(placed.centers[1], (Point{}));

    // The same field reached across the seam, or a field off the grid, is refused.
    EXPECT_EQ(errorOf([&] {
                  placeAnchoredCities(map, {map.hexAt(3, 1), map.hexAt(3 + W, 1)});
              }),
              "Mehrere Staedte auf einem Stadtfeld");
    EXPECT_EQ(errorOf([&] { placeAnchoredCities(map, {Hex{0, -3}}); }), "Mehrere Staedte auf einem Stadtfeld");
}

TEST(CityPlacement, ShorePointPrefersOrdinaryLandWithinTwoFields) {
    // Row 4: a city field at column 8, water 9 to 11, plain from 12; every other row is water.
    std::map<int, std::string> rows;
    for (int r = 0; r < H; ++r) {
        rows[r] = "w20";
    }
    rows[4] = "p8c1w3p8";
    const Map map = worldWith(rows);
    EXPECT_EQ(shorePoint(map, hexCenter(map.hexAt(10, 4))), hexCenter(map.hexAt(12, 4)));
    EXPECT_EQ(shorePoint(map, hexCenter(map.hexAt(10, 1))), std::nullopt); // no land within reach
    EXPECT_EQ(shorePoint(map, hexCenter(map.hexAt(14, 4))), std::nullopt); // already on land
}
