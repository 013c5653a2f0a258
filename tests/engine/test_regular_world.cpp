// Deriving the regular play grid: size, terrain, cities, re-traced rivers and carried bridges.
#include "map_fixtures.hpp"

#include "map/sampled_rows.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <random>
#include <set>

using namespace korvan;
using namespace korvan::testing;

namespace {

// Vertex keys of a river side's two ends, reduced by the map's period.
std::pair<std::pair<long, long>, std::pair<long, long>> sideEnds(const Map& map, const RiverEdge& edge) {
    const Point a = hexCenter(edge.a);
    Point b = hexCenter(edge.b);
    b.x += map.period() * std::round((a.x - b.x) / map.period());
    const Point m = (a + b) * 0.5;
    const Point s{(b.y - a.y) / -sqrt3 * 0.5, (b.x - a.x) / sqrt3 * 0.5};
    const auto key = [&](Point p) {
        const double x = p.x - std::floor(p.x / map.period() + 1e-9) * map.period();
        return std::make_pair(std::lround(x * 1000), std::lround(p.y * 1000));
    };
    return {key(m - s), key(m + s)};
}

// Number of connected pieces the river sides of a map form.
int riverPieces(const Map& map) {
    const auto& rivers = map.rivers();
    std::vector<std::size_t> parent(rivers.size());
    std::iota(parent.begin(), parent.end(), 0);
    const auto find = [&](std::size_t i) {
        while (parent[i] != i) i = parent[i] = parent[parent[i]];
        return i;
    };
    std::map<std::pair<long, long>, std::size_t> firstAt;
    for (std::size_t i = 0; i < rivers.size(); ++i) {
        const auto [u, v] = sideEnds(map, rivers[i]);
        for (const auto& key : {u, v}) {
            const auto [slot, added] = firstAt.emplace(key, i);
            if (!added) parent[find(i)] = find(slot->second);
        }
    }
    int pieces = 0;
    for (std::size_t i = 0; i < rivers.size(); ++i) pieces += find(i) == i;
    return pieces;
}

int countTerrain(const Map& map, Terrain terrain) {
    int count = 0;
    for (const std::uint8_t byte : map.tileBytes()) count += unpackTile(byte).terrain == terrain;
    return count;
}

std::string regularError(const Map& source, double ratio) {
    try {
        Map::regularWorld(source, ratio);
    } catch (const std::invalid_argument& e) {
        return e.what();
    }
    return "";
}

} // namespace

TEST(RegularWorld, SizeAndScales) {
    const Map source = mapFromJson(uniformWorld(360, 180));
    const Map grid = Map::regularWorld(source, 1.0);
    EXPECT_EQ(grid.width(), 361);
    EXPECT_DOUBLE_EQ(grid.sourceScaleX(), 360.0 / 361.0);
    EXPECT_DOUBLE_EQ(grid.sourceScaleY(), 360.0 / 361.0);
    EXPECT_EQ(grid.height(), static_cast<int>(std::ceil(179 / (360.0 / 361.0))) + 1);
    EXPECT_TRUE(grid.isWorld());
    EXPECT_TRUE(grid.wraps());
    EXPECT_TRUE(grid.offsetRows());
    EXPECT_EQ(grid.name(), "Testwelt");
    EXPECT_EQ(grid.sourceWidth(), 360);
    EXPECT_EQ(grid.sourceHeight(), 180);
    // A stretched grid has more rows, each covering less of the source.
    const Map tall = Map::regularWorld(source, 2.0);
    EXPECT_NEAR(tall.sourceScaleY(), 180.0 / 361.0, 1e-12);
    EXPECT_GT(tall.height(), 2 * 179);

    const Map wide = mapFromJson(uniformWorld(8191, 1));
    EXPECT_EQ(Map::regularWorld(wide, 1.0).width(), 8192);
    EXPECT_EQ(Map::regularWorld(mapFromJson(uniformWorld(8192, 1)), 1.0).width(), 8192);
}

TEST(RegularWorld, RefusesBadSourcesAndRatios) {
    const Map source = mapFromJson(uniformWorld(12, 6));
    const std::string bad = "Ungueltige Quelle fuer regelmaessiges Weltraster";
    EXPECT_EQ(regularError(source, 0), bad);
    EXPECT_EQ(regularError(source, -1), bad);
    EXPECT_EQ(regularError(source, INFINITY), bad);
    EXPECT_EQ(regularError(source, NAN), bad);
    EXPECT_EQ(regularError(source, 10.5), bad);
    EXPECT_EQ(regularError(source, 10), "");
    EXPECT_EQ(regularError(Map::regularWorld(source, 1), 1), bad);
    nlohmann::json operational = uniformWorld(12, 6);
    operational["kind"] = "operational";
    operational["schema_version"] = 2;
    operational["terrain_rows"] = std::vector<std::vector<int>>(6, {0, 12});
    EXPECT_EQ(loadError(operational), "Ungueltige Kartendaten: Schema 2 erwartet eine Land-Meer-Weltkarte ohne tiles");
    nlohmann::json tiles = nlohmann::json::array();
    for (int q = 0; q < 3; ++q) tiles.push_back({{"q", q}, {"r", 0}, {"terrain", "plain"}});
    const Map local = mapFromJson({{"schema_version", 1}, {"width", 3}, {"height", 1}, {"name", "Gebiet"},
                                   {"tiles", tiles}, {"river_edges", nlohmann::json::array()}});
    EXPECT_EQ(regularError(local, 1), bad);
    // 8192 rows stretched tenfold cannot fit.
    EXPECT_EQ(regularError(mapFromJson(uniformWorld(2, 4000)), 10), "Regelmaessiges Weltraster zu gross");
}

TEST(RegularWorld, TerrainIsSampledAndEveryCitySurvives) {
    std::vector<std::string> rows(20, "w30");
    rows[5] = "w10f10h10";
    rows[5] = "w10f10m10";
    rows[6] = "w10c1f9m10"; // a column of three cities
    rows[7] = "w10c1f9d10";
    rows[8] = "w10c1f9d10";
    rows[12] = "p15c1p14";
    const Map source = mapFromJson(compactWorld(30, rows));
    for (const double ratio : {0.1, 0.5, 1.0, 1.7}) {
        const Map grid = Map::regularWorld(source, ratio);
        // Every source city lands on a city field, and only those are cities.
        std::set<std::size_t> expected;
        for (int r = 0; r < source.height(); ++r) {
            for (int c = 0; c < source.width(); ++c) {
                if (source.at(source.hexAt(c, r)).terrain != Terrain::City) continue;
                const Point centre = hexCenter(source.hexAt(c, r));
                const auto h = grid.canonical(worldToHex(grid.gridPoint(centre)));
                ASSERT_TRUE(h);
                EXPECT_EQ(grid.at(*h).terrain, Terrain::City);
                expected.insert(grid.storageIndex(*h));
            }
        }
        EXPECT_EQ(countTerrain(grid, Terrain::City), static_cast<int>(expected.size())) << ratio;
        if (ratio >= 0.5) {
            EXPECT_GT(countTerrain(grid, Terrain::Mountain), 0) << ratio;
        }
        EXPECT_GT(countTerrain(grid, Terrain::Water), countTerrain(grid, Terrain::Forest));
    }
    // Squeezed to a tenth of the rows, the column of cities merges.
    EXPECT_LT(countTerrain(Map::regularWorld(source, 0.1), Terrain::City), 4);
}

// The vectorised row lookup is the scalar one, bit for bit: rows clamped at both poles, columns
// wrapped at both ends, a run starting mid-row, scales that put centres on source centres and edges.
TEST(RegularWorld, SampledRowsAreWorldToHexClampedAndWrapped) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> scale(0.05, 3.0);
    std::vector<std::pair<double, double>> scales{{1.0, 1.0}, {0.5, 0.5}, {2.0, 1.0}, {360.0 / 361.0, 0.25}};
    for (int k = 0; k < 12; ++k) scales.emplace_back(scale(random), scale(random));
    for (const auto& [sourceWidth, sourceHeight] : {std::pair{37, 11}, std::pair{360, 180}, std::pair{5, 2}}) {
        for (const auto& [scaleX, scaleY] : scales) {
            const SourceSampling sampling{scaleX, scaleY, sourceWidth, sourceHeight};
            const int columns = static_cast<int>(sourceWidth / scaleX) + 3;
            const int rows = static_cast<int>(sourceHeight / scaleY) + 4; // past the last source row
            std::vector<std::int32_t> row(static_cast<std::size_t>(columns));
            for (int r = 0; r < rows; ++r) {
                sampledSourceIndices(sampling, r, 0, columns, row.data());
                for (int c = 0; c < columns; ++c) {
                    const Point centre = hexCenter({c - r / 2, r});
                    Hex s = worldToHex({centre.x * scaleX, centre.y * scaleY});
                    s.r = std::clamp(s.r, 0, sourceHeight - 1);
                    ASSERT_EQ(row[std::size_t(c)], s.r * sourceWidth + wrappedColumn(s, sourceWidth))
                        << sourceWidth << " " << scaleX << " " << scaleY << " at " << c << "," << r;
                }
                const int from = columns / 3;
                std::vector<std::int32_t> run(static_cast<std::size_t>(columns - from));
                sampledSourceIndices(sampling, r, from, columns - from, run.data());
                ASSERT_TRUE(std::equal(run.begin(), run.end(), row.begin() + from));
            }
        }
    }
}

TEST(RegularWorld, StraightRiverStaysOneChain) {
    std::vector<std::string> rows(16, "p40");
    nlohmann::json d = compactWorld(40, rows);
    // The whole boundary between rows 7 and 8: a river that circles the world.
    std::vector<std::string> river(16, "a40");
    river[7] = "g40";
    d["river_rows"] = river;
    const Map source = mapFromJson(d);
    ASSERT_EQ(source.rivers().size(), 80u);
    // Stretched far beyond the game's own ratio (about 1.73) a river that runs exactly along a row of
    // grid centres is dropped where it changes rows, so only realistic ratios are checked.
    for (const double ratio : {1.0, 1.3, 1.7327}) {
        const Map grid = Map::regularWorld(source, ratio);
        EXPECT_EQ(riverPieces(grid), 1) << ratio;
        EXPECT_GE(grid.rivers().size(), 80u) << ratio;
        EXPECT_LE(grid.rivers().size(), 84u) << ratio;
        // Every source side is carried by some new edge, and the links agree both ways.
        for (std::size_t j = 0; j < source.rivers().size(); ++j) {
            ASSERT_FALSE(grid.sourceRiverEdges()[j].empty()) << j;
            for (const std::size_t t : grid.sourceRiverEdges()[j]) {
                const auto& back = grid.riverSources(t);
                EXPECT_NE(std::find(back.begin(), back.end(), j), back.end());
            }
        }
    }
}

// Vertex degrees of the river network; a river circling the world has degree 2 everywhere.
std::map<std::pair<long, long>, int> vertexDegrees(const Map& map) {
    std::map<std::pair<long, long>, int> degrees;
    for (const RiverEdge& edge : map.rivers()) {
        const auto [u, v] = sideEnds(map, edge);
        ++degrees[u];
        ++degrees[v];
    }
    return degrees;
}

// The boundary between rows 7 and 8 of a 40 x 16 world as river rows; each listed column of row 8
// is bypassed below, so the river makes a sharp U-bend around that field.
nlohmann::json ringRiverWorld(const std::vector<int>& bumps) {
    std::string upper(40, 'g');
    std::string lower(40, 'a');
    for (const int c : bumps) {
        upper[c - 1] = 'e'; // no below-right side towards the bypassed field
        upper[c] = 'c';     // no below-left side towards it
        lower[c - 1] = 'b'; // its west side
        lower[c] = 'h';     // its east and both lower sides
    }
    const auto runs = [](const std::string& codes) {
        std::string out;
        for (const char code : codes) out += std::string(1, code) + "1";
        return out;
    };
    nlohmann::json d = compactWorld(40, std::vector<std::string>(16, "p40"));
    std::vector<std::string> river(16, "a40");
    river[7] = runs(upper);
    river[8] = runs(lower);
    d["river_rows"] = river;
    return d;
}

TEST(RegularWorld, SharpBendsMakeNoSpurs) {
    const Map source = mapFromJson(ringRiverWorld({5, 12, 13 + 7, 30}));
    for (const auto& [vertex, degree] : vertexDegrees(source)) ASSERT_EQ(degree, 2);
    for (const double ratio : {1.0, 1.3, 1.7327, 2.0}) {
        const Map grid = Map::regularWorld(source, ratio);
        EXPECT_EQ(riverPieces(grid), 1) << ratio;
        int odd = 0;
        for (const auto& [vertex, degree] : vertexDegrees(grid)) odd += degree != 2;
        EXPECT_EQ(odd, 0) << ratio;
    }
}

TEST(RegularWorld, RiverMouthReachesTheCoast) {
    // Sea on the east half; a river along the boundary between rows 5 and 6 runs into it.
    std::vector<std::string> rows(12, "p15w15");
    nlohmann::json d = compactWorld(30, rows);
    std::vector<std::string> river(12, "a30");
    river[5] = "a3g12a15"; // fields 3..14 of row 5: the last touches the sea
    d["river_rows"] = river;
    const Map source = mapFromJson(d);
    const Map grid = Map::regularWorld(source, 1.7);
    bool touchesSea = false;
    for (const RiverEdge& edge : grid.rivers()) {
        const bool aWet = grid.at(edge.a).terrain == Terrain::Water;
        const bool bWet = grid.at(edge.b).terrain == Terrain::Water;
        EXPECT_FALSE(aWet && bWet);
        for (const Hex side : {edge.a, edge.b}) {
            for (const Hex n : grid.adjacent(side)) {
                touchesSea = touchesSea || grid.at(n).terrain == Terrain::Water;
            }
        }
    }
    EXPECT_TRUE(touchesSea);
    EXPECT_EQ(riverPieces(grid), 1);
}

TEST(RegularWorld, BridgesAreCarriedToTheNearestCarrier) {
    std::vector<std::string> rows(16, "p40");
    nlohmann::json d = compactWorld(40, rows);
    std::vector<std::string> river(16, "a40");
    river[7] = "g40";
    std::vector<std::string> bridges(16, "a40");
    bridges[7] = "a10c1a9e1a19"; // two bridged sides
    d["river_rows"] = river;
    d["bridge_rows"] = bridges;
    Map source = mapFromJson(d);
    Map grid = Map::regularWorld(source, 1.7);
    int bridged = 0;
    for (const RiverEdge& edge : grid.rivers()) bridged += edge.bridge;
    EXPECT_EQ(bridged, 2);
    for (std::size_t j = 0; j < source.rivers().size(); ++j) {
        const std::size_t t = grid.bridgeEdges()[j];
        ASSERT_NE(t, Map::noEdge);
        const auto& carriers = grid.sourceRiverEdges()[j];
        EXPECT_NE(std::find(carriers.begin(), carriers.end(), t), carriers.end());
        EXPECT_EQ(grid.rivers()[t].bridge && source.rivers()[j].bridge, bool(source.rivers()[j].bridge));
    }

    // Building a bridge on the world map reaches the play grid; removing it takes it away again,
    // unless another bridged source side still maps to the same grid edge.
    const std::size_t j = 30;
    const RiverEdge sourceEdge = source.rivers()[j];
    ASSERT_FALSE(sourceEdge.bridge);
    const std::size_t t = grid.bridgeEdges()[j];
    ASSERT_TRUE(source.setBridge(sourceEdge.a, sourceEdge.b, true));
    grid.syncSourceBridge(source, j);
    EXPECT_TRUE(grid.rivers()[t].bridge);
    ASSERT_TRUE(source.setBridge(sourceEdge.a, sourceEdge.b, false));
    grid.syncSourceBridge(source, j);
    bool otherBridged = false;
    for (const std::size_t i : grid.riverSources(t)) {
        otherBridged = otherBridged || (grid.bridgeEdges()[i] == t && source.rivers()[i].bridge);
    }
    EXPECT_EQ(grid.rivers()[t].bridge, otherBridged);

    EXPECT_THROW(grid.syncSourceBridge(source, source.rivers().size()), std::invalid_argument);
    const Map other = mapFromJson(uniformWorld(40, 16));
    EXPECT_THROW(grid.syncSourceBridge(other, 0), std::invalid_argument);
}
