// Country grid build: scan-line claiming, enclosure of gaps, water, land and city passes, queries.
#include "geography/country_grid.hpp"
#include "geo_fixtures.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <sstream>

using namespace korvan;
using namespace korvan::geo_test;

namespace {

// 36 x 18 fields of 10 degrees: row r lies at latitude 85 - 10 r, column c of an even row at
// longitude 10 c - 180, of an odd row 5 degrees further east.
constexpr int W = 36;
constexpr int H = 18;

CountryPolygon polygon(std::vector<std::vector<Point>> rings) {
    CountryPolygon p;
    for (const auto& ring : rings) {
        for (const Point q : ring) {
            p.minimum = {std::min(p.minimum.x, q.x), std::min(p.minimum.y, q.y)};
            p.maximum = {std::max(p.maximum.x, q.x), std::max(p.maximum.y, q.y)};
        }
    }
    p.rings = std::move(rings);
    return p;
}

std::vector<Point> box(double west, double south, double east, double north) {
    return {{west, south}, {east, south}, {east, north}, {west, north}};
}

Country country(const std::string& id, std::vector<CountryPolygon> polygons) {
    Country c;
    c.id = id;
    c.name = id;
    c.sovereignId = id;
    c.polygons = std::move(polygons);
    return c;
}

Countries list(std::vector<Country> entries) {
    Countries countries;
    countries.entries = std::move(entries);
    return countries;
}

CountryGrid buildPlain(const Map& map, const Countries& countries) {
    return CountryGrid::build(map, countries, nullptr, {});
}

std::optional<std::size_t> territoryAt(const CountryGrid& grid, const Map& map, int column, int row) {
    return grid.territory(map, map.hexAt(column, row));
}

} // namespace

TEST(CountryGridBuild, ScanLinesClaimCentresFromTheWesternCrossingUpToTheEasternOne) {
    const Map map = uniformWorld(W, H);
    // Row 0 (even) has centres at -170 .. -140 inside [-170, -130); row 1 (odd) at -165 .. -135.
    const Countries countries =
        list({country("A", {polygon({box(-170, 80, -130, 90)})}), country("B", {polygon({box(-165, 70, -125, 80)})})});
    const CountryGrid grid = buildPlain(map, countries);
    for (int c = 0; c < 8; ++c) {
        const bool inA = c >= 1 && c <= 4;
        EXPECT_EQ(territoryAt(grid, map, c, 0), inA ? std::optional<std::size_t>(0) : std::nullopt) << c;
        EXPECT_EQ(territoryAt(grid, map, c, 1), inA ? std::optional<std::size_t>(1) : std::nullopt) << c;
    }
    EXPECT_EQ(grid.statistics().polygonFields, 8u);
    EXPECT_EQ(grid.rows(0), (std::pair{0, 0}));
    EXPECT_EQ(grid.rows(1), (std::pair{1, 1}));
}

TEST(CountryGridBuild, TheFirstListedCountryKeepsAContestedCell) {
    const Map map = uniformWorld(W, H);
    const Countries countries =
        list({country("A", {polygon({box(-180, 0, 0, 90)})}), country("B", {polygon({box(-90, -90, 90, 90)})})});
    const CountryGrid grid = buildPlain(map, countries);
    EXPECT_EQ(territoryAt(grid, map, 10, 2), 0u);  // -80, 65: both claim it
    EXPECT_EQ(territoryAt(grid, map, 10, 12), 1u); // -80, -35: only B
}

TEST(CountryGridBuild, ALakeHoleIsFilledByTheEnclosurePass) {
    const Map map = uniformWorld(W, H);
    // Rows 7 to 10 have four hole centres each: -20 .. 10 on even rows, -15 .. 15 on odd rows.
    const Countries countries = list({country("A", {polygon({box(-100, -60, 100, 60), box(-20, -20, 20, 20)})})});
    const CountryGrid grid = buildPlain(map, countries);
    const auto& stats = grid.statistics();
    EXPECT_EQ(stats.enclosedComponents, 1u);
    EXPECT_EQ(stats.enclosedFields, 16u);
    EXPECT_EQ(stats.openComponents, 1u); // the rest of the world
    EXPECT_EQ(stats.openFields, std::size_t(W * H) - stats.polygonFields - 16);
    EXPECT_EQ(territoryAt(grid, map, 18, 8), 0u); // longitude 0, latitude 5: in the hole
    EXPECT_TRUE(grid.holes(map).empty());
}

TEST(CountryGridBuild, GapsBetweenTwoCountriesOrAtThePoleStayOpen) {
    const Map map = uniformWorld(W, H);
    // A ring of gap between A's hole edge and B inside it borders two countries.
    const Countries ring = list({country("A", {polygon({box(-100, -60, 100, 60), box(-40, -40, 40, 40)})}),
                                 country("B", {polygon({box(-20, -20, 20, 20)})})});
    const CountryGrid between = buildPlain(map, ring);
    EXPECT_EQ(between.statistics().enclosedComponents, 0u);
    EXPECT_EQ(between.statistics().openComponents, 2u);
    EXPECT_EQ(territoryAt(between, map, 14, 5), std::nullopt); // -35, 35
    EXPECT_EQ(territoryAt(between, map, 18, 8), 1u);

    // A hole in the top rows touches the outside above row 0.
    const Countries polar = list({country("A", {polygon({box(-180, -90, 180, 90), box(-20, 70, 20, 90)})})});
    const CountryGrid top = buildPlain(map, polar);
    EXPECT_EQ(top.statistics().enclosedComponents, 0u);
    EXPECT_EQ(top.statistics().openComponents, 1u);
    EXPECT_EQ(top.statistics().openFields, 8u);
    EXPECT_EQ(territoryAt(top, map, 18, 0), std::nullopt);
    EXPECT_EQ(territoryAt(top, map, 18, 2), 0u);
}

TEST(CountryGridBuild, AGapAcrossTheSeamIsOneComponent) {
    const Map map = uniformWorld(W, H);
    // Only row 7 (latitude 15, odd) is cut: its first and last fields (-175 and 175) stay free.
    const Countries countries =
        list({country("A", {polygon({box(-180, -90, 180, 90), box(170, 14, 180, 16), box(-180, 14, -170, 16)})})});
    const CountryGrid grid = buildPlain(map, countries);
    EXPECT_EQ(grid.statistics().polygonFields, std::size_t(W * H - 2));
    EXPECT_EQ(grid.statistics().enclosedComponents, 1u);
    EXPECT_EQ(grid.statistics().enclosedFields, 2u);
    EXPECT_EQ(grid.statistics().openComponents, 0u);
    EXPECT_EQ(territoryAt(grid, map, 0, 7), 0u);
    EXPECT_EQ(territoryAt(grid, map, W - 1, 7), 0u);
}

namespace {

// Land in columns 0-17 and 30-35, water in 18-29. B owns a patch (row 5, columns 12-13) and
// listed first; A owns everything west of longitude 4.
struct CoastWorld {
    Map map = loadMap(worldDocument(W, std::vector<std::string>(H, "p18w12p6")));
    Countries countries =
        list({country("B", {polygon({box(-60, 30, -42, 40)})}), country("A", {polygon({box(-180, -90, 4, 90)})})});
    WaterTerritories water;

    CoastWorld() {
        const json document = {{"schema_version", 1},
                               {"width", W},
                               {"height", H},
                               {"countries", {"B", "A"}},
                               // Row 1: A's own water, the eastern field marine. Row 3: B's marine water.
                               // Row 7: B's national water. Row 9: a water span over land is ignored.
                               {"spans", {{1, 18, 2, 1}, {3, 18, 4, 0}, {7, 20, 3, 0}, {9, 30, 2, 0}}},
                               {"marine_spans", {{1, 19, 1, 1}, {3, 18, 4, 0}}},
                               // Row 9: land spans give land only, never water.
                               {"land_spans", {{9, 20, 2, 0}, {9, 32, 2, 0}}}};
        std::istringstream input(document.dump());
        water = WaterTerritories::load(map, countries, input);
    }
};

City cityAt(double longitude, double latitude) {
    City city;
    city.id = city.name = "Stadt";
    city.geography = {longitude, latitude};
    return city;
}

} // namespace

TEST(CountryGridBuild, WaterLandAndCityPassesAndMarineOwnership) {
    const CoastWorld world;
    const Map& map = world.map;
    // The first city lies in A's polygon on B's marine field (18, 3); the second lies in A's
    // polygon but on B's land field (13, 5), which B keeps.
    const std::vector<City> cities{cityAt(2, 55), cityAt(-41, 35), cityAt(100, -80)};
    const CountryGrid grid = CountryGrid::build(map, world.countries, &world.water, cities);
    const std::size_t B = 0;
    const std::size_t A = 1;

    EXPECT_EQ(grid.owner(map, map.hexAt(19, 3)), B);
    EXPECT_EQ(grid.territory(map, map.hexAt(19, 3)), std::nullopt);
    EXPECT_EQ(grid.owner(map, map.hexAt(18, 3)), A);
    EXPECT_EQ(grid.territory(map, map.hexAt(18, 3)), A);
    EXPECT_EQ(grid.territory(map, map.hexAt(13, 5)), B);
    EXPECT_EQ(grid.territory(map, map.hexAt(21, 7)), B);
    EXPECT_EQ(grid.territory(map, map.hexAt(18, 1)), A);
    EXPECT_EQ(grid.owner(map, map.hexAt(19, 1)), A);
    EXPECT_EQ(grid.territory(map, map.hexAt(19, 1)), std::nullopt);
    EXPECT_EQ(grid.owner(map, map.hexAt(30, 9)), std::nullopt); // water span over land
    EXPECT_EQ(grid.owner(map, map.hexAt(20, 9)), std::nullopt); // land span over water
    EXPECT_EQ(grid.territory(map, map.hexAt(32, 9)), B);

    const auto& stats = grid.statistics();
    EXPECT_EQ(stats.waterFields, 4u);
    EXPECT_EQ(stats.marineFields, 5u);
    EXPECT_EQ(stats.landFields, 2u);
    EXPECT_EQ(stats.settlementFields, 1u);
    // Marine water is not territory: B's rows run from its land patch to its land span.
    EXPECT_EQ(grid.rows(B), (std::pair{5, 9}));

    // A's coast runs between its national field (18, 1) and its own marine field east of it,
    // but not between (17, 1) and (18, 1).
    const auto edges = grid.outline(map, A);
    const auto corner = corners(map.hexAt(18, 1));
    const auto has = [&](Point from, Point to) {
        return std::find(edges.begin(), edges.end(), std::pair{from, to}) != edges.end();
    };
    EXPECT_TRUE(has(corner[1], corner[2]));
    EXPECT_FALSE(has(corner[4], corner[5]));
}

TEST(CountryGridBuild, RefusesForeignMapsOversizedListsAndMismatchedWater) {
    const Map map = uniformWorld(W, H);
    // An operational map, read from a tile list.
    json tiles = json::array();
    for (int r = 0; r < 2; ++r) {
        for (int q = 0; q < 4; ++q) {
            tiles.push_back({{"q", q}, {"r", r}, {"terrain", "plain"}});
        }
    }
    const Map small = loadMap({{"schema_version", 1},
                               {"width", 4},
                               {"height", 2},
                               {"name", "Op"},
                               {"tiles", tiles},
                               {"river_edges", json::array()}});
    EXPECT_EQ(errorOf([&] { buildPlain(small, {}); }), "Laenderraster nur fuer Weltkarten");
    EXPECT_THROW(buildPlain(small, {}), std::invalid_argument);

    Countries many;
    many.entries.resize(CountryGrid::maxCountries);
    EXPECT_EQ(buildPlain(map, many).rows(CountryGrid::maxCountries - 1), std::nullopt);
    many.entries.emplace_back();
    EXPECT_EQ(errorOf([&] { buildPlain(map, many); }), "Zu viele Laender fuer das Laenderraster");

    const CoastWorld world;
    const Map other = uniformWorld(W, H + 2);
    EXPECT_EQ(errorOf([&] { CountryGrid::build(other, world.countries, &world.water, {}); }),
              "Gewaesser-Laender passen nicht zum Laenderraster");
    // Water loaded against a longer country list than the grid's names owners it cannot hold.
    const Countries onlyB = list({world.countries.entries[0]});
    EXPECT_EQ(errorOf([&] { CountryGrid::build(world.map, onlyB, &world.water, {}); }),
              "Gewaesser-Laender passen nicht zum Laenderraster");
}

TEST(CountryGridQueries, WrapCanonicaliseAndAnswerNothingForForeignInput) {
    const Map map = uniformWorld(W, H);
    const Countries countries = list({country("A", {polygon({box(-170, 80, -130, 90)})}), country("Leer", {})});
    const CountryGrid grid = buildPlain(map, countries);
    EXPECT_EQ(grid.owner(map, map.hexAt(1, 0)), 0u);
    EXPECT_EQ(grid.owner(map, map.hexAt(1 + W, 0)), 0u);
    EXPECT_EQ(grid.owner(map, map.hexAt(1 - W, 0)), 0u);
    EXPECT_EQ(grid.owner(map, {1, -1}), std::nullopt);
    EXPECT_EQ(grid.owner(map, {1, H}), std::nullopt);
    const Map other = uniformWorld(W + 1, H);
    EXPECT_EQ(grid.owner(other, other.hexAt(1, 0)), std::nullopt);
    EXPECT_TRUE(grid.outline(other, 0).empty());

    EXPECT_EQ(grid.rows(1), std::nullopt);
    EXPECT_EQ(grid.rows(2), std::nullopt);
    EXPECT_TRUE(grid.outline(map, 1).empty());
    EXPECT_TRUE(grid.outlineLines(map, 1, 512).empty());
    EXPECT_TRUE(grid.outline(map, 7).empty());

    const CountryGrid none;
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(none.owner(map, map.hexAt(1, 0)), std::nullopt);
    EXPECT_EQ(none.territory(map, map.hexAt(1, 0)), std::nullopt);
    EXPECT_TRUE(none.holes(map).empty());
}

TEST(CountryGridNeighbours, FollowTheOffsetRowsAndWrapTheSeam) {
    const Map map = uniformWorld(W, H);
    // Even row 2, column 0: east, north-east, north-west, west, south-west, south-east.
    EXPECT_EQ(adjacentCells(map, 0, 2),
              (std::array<int, 6>{2 * W + 1, 1 * W + 0, 1 * W + W - 1, 2 * W + W - 1, 3 * W + W - 1, 3 * W + 0}));
    // Odd row 1, last column: the eastern neighbours wrap to column 0.
    EXPECT_EQ(adjacentCells(map, W - 1, 1), (std::array<int, 6>{W + 0, 0, W - 1, W + W - 2, 2 * W + W - 1, 2 * W + 0}));
    const auto top = adjacentCells(map, 5, 0);
    EXPECT_EQ(top[1], -1);
    EXPECT_EQ(top[2], -1);
    const auto bottom = adjacentCells(map, 5, H - 1);
    EXPECT_EQ(bottom[4], -1);
    EXPECT_EQ(bottom[5], -1);
}

TEST(CountryGridOutline, EdgesRunClockwiseAndSkipTheSeam) {
    const Map map = uniformWorld(W, H);
    // One field: (18, 4) at longitude 0, latitude 45.
    const CountryGrid single = buildPlain(map, list({country("A", {polygon({box(-5, 40, 5, 50)})})}));
    const auto edges = single.outline(map, 0);
    ASSERT_EQ(edges.size(), 6u);
    // Directions run counter-clockwise (east, north-east, ...), each edge clockwise: every edge
    // starts where the next direction's edge ends.
    for (std::size_t k = 0; k < edges.size(); ++k) {
        EXPECT_EQ(edges[k].first, edges[(k + 1) % 6].second);
        EXPECT_NEAR(std::hypot(edges[k].second.x - edges[k].first.x, edges[k].second.y - edges[k].first.y), 1.0, 1e-9);
    }
    // The east edge comes first and runs downward on screen (clockwise).
    EXPECT_GT(edges[0].first.x, hexCenter(map.hexAt(18, 4)).x);
    EXPECT_LT(edges[0].first.y, edges[0].second.y);
    const auto lines = single.outlineLines(map, 0, 512);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].size(), 7u);
    EXPECT_EQ(lines[0].front(), lines[0].back());

    // Fields on both sides of the seam (columns 0 and 35 of row 4) share no border edge.
    const CountryGrid seam =
        buildPlain(map, list({country("A", {polygon({box(-180, 40, -175, 50)}), polygon({box(170, 40, 180, 50)})})}));
    EXPECT_EQ(seam.outline(map, 0).size(), 10u);
}

// The outline skips rows in blocks and inner fields without looking at their neighbours: it must
// give every edge a walk over every field gives, in the same order, at the poles and the seam too.
TEST(CountryGridOutline, SkippingAheadKeepsEveryEdgeInOrder) {
    const Map map = uniformWorld(240, 120);
    std::mt19937 random(11);
    std::uniform_real_distribution<double> longitude(-180, 170), latitude(-85, 80), size(1, 40);
    std::vector<CountryPolygon> a{polygon({box(-180, 60, -150, 90)}), polygon({box(160, 60, 180, 90)})};
    std::vector<CountryPolygon> b{polygon({box(-20, -90, 30, -70)})};
    for (int k = 0; k < 16; ++k) {
        // Boxes and diamonds, whose slanting sides meet the offset rows at every phase.
        const double west = longitude(random), south = latitude(random);
        const double east = std::min(180.0, west + size(random)), north = std::min(90.0, south + size(random) / 2);
        const double x = (west + east) / 2, y = (south + north) / 2;
        (k % 2 ? a : b).push_back(polygon({k % 4 < 2 ? box(west, south, east, north)
                                                     : std::vector<Point>{{x, south}, {east, y}, {x, north}, {west, y}}}));
    }
    const CountryGrid grid = buildPlain(map, list({country("A", a), country("B", b)}));
    for (const std::size_t own : {std::size_t(0), std::size_t(1)}) {
        std::vector<std::pair<Point, Point>> walked;
        for (int r = 0; r < map.height(); ++r) {
            for (int c = 0; c < map.width(); ++c) {
                if (grid.cells()[std::size_t(r * map.width() + c)] != own) continue;
                const auto neighbours = adjacentCells(map, c, r);
                const auto points = corners(map.hexAt(c, r));
                for (std::size_t i = 0; i < 6; ++i) {
                    if (neighbours[i] < 0 || grid.cells()[std::size_t(neighbours[i])] != own) {
                        walked.push_back({points[(7 - i) % 6], points[(8 - i) % 6]});
                    }
                }
            }
        }
        ASSERT_GT(walked.size(), 100u);
        EXPECT_EQ(grid.outline(map, own), walked) << own;
    }
}

TEST(CountryGridOutline, LongBoundariesSplitIntoPolylinesOfAtMostTheLimit) {
    // 1.5 degree fields: the country spans 120 x 60 fields, a boundary of several hundred edges.
    const Map map = uniformWorld(240, 120);
    const CountryGrid grid = buildPlain(map, list({country("A", {polygon({box(-90, -45, 90, 45)})})}));
    const auto edges = grid.outline(map, 0);
    const auto lines = grid.outlineLines(map, 0, 512);
    ASSERT_GT(edges.size(), 512u);
    ASSERT_GE(lines.size(), 2u);
    std::size_t joined = 0;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        EXPECT_LE(lines[k].size(), 512u);
        EXPECT_GE(lines[k].size(), 2u);
        joined += lines[k].size() - 1;
        if (k > 0) {
            EXPECT_EQ(lines[k].front(), lines[k - 1].back());
        }
    }
    EXPECT_EQ(joined, edges.size());
    EXPECT_EQ(lines.front().size(), 512u);
    EXPECT_EQ(lines.back().back(), lines.front().front()); // one closed boundary

    // The smallest useful limit gives one polyline per edge.
    EXPECT_EQ(grid.outlineLines(map, 0, 2).size(), edges.size());
    EXPECT_EQ(grid.outlineLines(map, 0, 0).size(), edges.size());
}

TEST(CountryGridBuild, AgreesWithThePointTestAndLeavesNoEnclosedHole) {
    // Random star-shaped countries, some with a hole, on 5 degree fields; a fixed seed keeps it repeatable.
    std::mt19937 random(20240611);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const auto star = [&](Point centre, double inner, double outer, int points) {
        std::vector<Point> ring;
        for (int k = 0; k < points; ++k) {
            const double angle = 2 * 3.141592653589793 * k / points;
            const double radius = inner + (outer - inner) * unit(random);
            ring.push_back({std::clamp(centre.x + radius * std::cos(angle), -180.0, 180.0),
                            std::clamp(centre.y + radius * std::sin(angle) * 0.6, -90.0, 90.0)});
        }
        return ring;
    };
    std::vector<Country> entries;
    for (int n = 0; n < 12; ++n) {
        const Point centre{-160 + 320 * unit(random), -70 + 140 * unit(random)};
        const double size = 8 + 30 * unit(random);
        std::vector<std::vector<Point>> rings{star(centre, size * 0.6, size, 9 + n * 3)};
        if (n % 3 == 0) {
            rings.push_back(star(centre, size * 0.15, size * 0.4, 7));
        }
        std::string id = "C";
        id += std::to_string(n);
        entries.push_back(country(id, {polygon(rings)}));
    }
    const Countries countries = list(std::move(entries));
    const Map map = uniformWorld(72, 36);
    const CountryGrid grid = buildPlain(map, countries);
    std::size_t owned = 0;
    for (int r = 0; r < map.height(); ++r) {
        for (int c = 0; c < map.width(); ++c) {
            const Hex h = map.hexAt(c, r);
            const auto expected = countries.at(map.geography(h));
            const auto got = grid.territory(map, h);
            if (expected) {
                EXPECT_EQ(got, expected) << c << "," << r;
            }
            owned += got ? 1 : 0;
        }
    }
    EXPECT_EQ(owned, grid.statistics().polygonFields + grid.statistics().enclosedFields);
    EXPECT_TRUE(grid.holes(map).empty());
}
