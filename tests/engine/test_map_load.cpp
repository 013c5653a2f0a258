// Map file loading: every refusal with its exact message, and what a valid file yields.
#include "map_fixtures.hpp"
#include "map/map_file.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace korvan;
using namespace korvan::testing;
using nlohmann::json;

namespace {

const std::string prefix = "Ungueltige Kartendaten: ";

json tileMap(int width, int height) {
    json tiles = json::array();
    for (int r = 0; r < height; ++r) {
        for (int q = 0; q < width; ++q) {
            tiles.push_back({{"q", q}, {"r", r}, {"terrain", "plain"}});
        }
    }
    return {{"schema_version", 1}, {"width", width}, {"height", height}, {"name", "Feld"},
            {"tiles", tiles},      {"river_edges", json::array()}};
}

json edge(Hex a, Hex b) { return {{"a", {{"q", a.q}, {"r", a.r}}}, {"b", {{"q", b.q}, {"r", b.r}}}}; }

} // namespace

TEST(MapLoad, HeaderChecksInOrder) {
    const json base = uniformWorld(8, 4);
    const auto with = [&](const char* key, json value) {
        json d = base;
        d[key] = std::move(value);
        return loadError(d);
    };
    EXPECT_EQ(with("schema_version", 0), prefix + "Nicht unterstuetzte Karten-Schemaversion (erwartet: 1 bis 3)");
    EXPECT_EQ(with("schema_version", 4), prefix + "Nicht unterstuetzte Karten-Schemaversion (erwartet: 1 bis 3)");
    EXPECT_EQ(with("schema_version", 2.0), prefix + "Ganzzahl im gueltigen Bereich erwartet");
    EXPECT_EQ(with("width", 100001), prefix + "Ganzzahl im gueltigen Bereich erwartet");
    EXPECT_EQ(with("width", 8193), prefix + "Karte zu gross: maximal 8192 je Achse und 32 Millionen Felder");
    EXPECT_EQ(with("height", 0), prefix + "Karte zu gross: maximal 8192 je Achse und 32 Millionen Felder");
    EXPECT_EQ(with("name", ""), prefix + "Kartenname muss 1 bis 100 Zeichen enthalten");
    EXPECT_EQ(with("name", std::string(101, 'x')), prefix + "Kartenname muss 1 bis 100 Zeichen enthalten");
    // Bytes count, not letters: 50 umlauts are 100 bytes, 51 are too many.
    std::string umlauts;
    for (int i = 0; i < 51; ++i) umlauts += "\xc3\xa4";
    EXPECT_EQ(with("name", umlauts), prefix + "Kartenname muss 1 bis 100 Zeichen enthalten");
    EXPECT_EQ(with("name", umlauts.substr(2)), "");
    EXPECT_EQ(with("layout", "hex"), prefix + "Unbekanntes Kartenlayout");
    EXPECT_EQ(with("kind", "globe"), prefix + "Unbekannter Kartentyp");
    EXPECT_EQ(with("wrap_horizontal", false), prefix + "Weltkarte benoetigt horizontalen Uebergang");
    json axialWrap = base;
    axialWrap.erase("layout");
    EXPECT_EQ(loadError(axialWrap), prefix + "Horizontaler Uebergang benoetigt odd-r-Layout");
    // Library errors pass through the same wrapping.
    json noName = base;
    noName.erase("name");
    EXPECT_EQ(loadError(noName).rfind(prefix, 0), 0u);
    EXPECT_EQ(with("name", 5), prefix + "JSON-Wert hat den falschen Typ: name (Zeichenkette erwartet)");
}

TEST(MapLoad, FieldCountLimitIsExact) {
    // Only the header is checked before the rows, so an empty row list shows which check fails.
    json d = uniformWorld(8, 1);
    d["width"] = 8192;
    d["height"] = 3907;
    EXPECT_EQ(loadError(d), prefix + "Karte zu gross: maximal 8192 je Achse und 32 Millionen Felder");
    d["height"] = 3906;
    EXPECT_EQ(loadError(d), prefix + "Ungueltige Anzahl Gelaendereihen");
}

TEST(MapLoad, IntegerRule) {
    const JsonDocument document(R"([100000, -100000, 7, 100001, 9223372036854775808, 1.0, "1", true])");
    std::vector<JsonValue> values;
    for (const JsonValue value : asArray(document.root(), "Liste")) {
        values.push_back(value);
    }
    EXPECT_EQ(integer(values[0]), 100000);
    EXPECT_EQ(integer(values[1]), -100000);
    EXPECT_EQ(integer(values[2]), 7);
    for (std::size_t k = 3; k < values.size(); ++k) {
        EXPECT_EQ(errorOf([&] { integer(values[k]); }), "Ganzzahl im gueltigen Bereich erwartet") << k;
    }
}

TEST(MapLoad, CompactRowDecoding) {
    const auto error = [](std::string row) {
        try {
            decodeRuns(row, terrainCodes, 8, [](int, int, int) {});
        } catch (const std::exception& e) {
            return std::string(e.what());
        }
        return std::string();
    };
    EXPECT_EQ(error("p5w"), "Ungueltige RLE-Laenge");
    EXPECT_EQ(error("p0w8"), "Ungueltige RLE-Laenge");
    EXPECT_EQ(error("p-3w11"), "Ungueltige RLE-Laenge");
    EXPECT_EQ(error("p+3w5"), "Ungueltige RLE-Laenge");
    EXPECT_EQ(error("p99999999999"), "Ungueltige RLE-Laenge");
    EXPECT_EQ(error("p9"), "Ungueltige RLE-Laenge");
    EXPECT_EQ(error("x8"), "Unbekannter RLE-Code");
    EXPECT_EQ(error("p3"), "RLE-Reihe muss genau width Felder abdecken");
    EXPECT_EQ(error(""), "RLE-Reihe muss genau width Felder abdecken");
    std::vector<std::tuple<int, int, int>> runs;
    decodeRuns("p3b2w3", terrainCodes, 8,
               [&](int start, int count, int value) { runs.emplace_back(start, count, value); });
    EXPECT_EQ(runs, (std::vector<std::tuple<int, int, int>>{{0, 3, 0}, {3, 2, 10}, {5, 3, 5}}));
}

TEST(MapLoad, SchemaThreeTerrain) {
    const Map map = mapFromJson(compactWorld(4, {"p1f1h1m1", "c1w1a1s1", "d1i1b2"}));
    EXPECT_EQ(map.at(map.hexAt(3, 0)).terrain, Terrain::Mountain);
    EXPECT_EQ(map.at(map.hexAt(1, 1)).terrain, Terrain::Water);
    EXPECT_EQ(map.at(map.hexAt(3, 2)).terrain, Terrain::Scrub);
    EXPECT_TRUE(map.isWorld());
    EXPECT_TRUE(map.wraps());
    EXPECT_FALSE(map.hasRoads());
    json wrongCount = compactWorld(4, {"p4"});
    wrongCount["height"] = 2;
    EXPECT_EQ(loadError(wrongCount), prefix + "Ungueltige Anzahl Gelaendereihen");
    json operational = compactWorld(4, {"p4"});
    operational["kind"] = "operational";
    EXPECT_EQ(loadError(operational), prefix + "Schema 3 erwartet eine kompakte Weltkarte");
    json withTiles = compactWorld(4, {"p4"});
    withTiles["tiles"] = json::array();
    EXPECT_EQ(loadError(withTiles), prefix + "Schema 3 erwartet eine kompakte Weltkarte");
    EXPECT_EQ(loadError(compactWorld(4, {"p3"})), prefix + "RLE-Reihe muss genau width Felder abdecken");
}

TEST(MapLoad, SchemaTwoLandSeaRows) {
    json d = compactWorld(8, {});
    d["schema_version"] = 2;
    d["height"] = 1;
    d["terrain_rows"] = json::array({json::array({0, 5, 3})});
    const Map map = mapFromJson(d);
    EXPECT_EQ(map.at(map.hexAt(0, 0)).terrain, Terrain::Plain);
    EXPECT_EQ(map.at(map.hexAt(4, 0)).terrain, Terrain::Plain);
    EXPECT_EQ(map.at(map.hexAt(5, 0)).terrain, Terrain::Water);
    const auto rowError = [&](json row) {
        json e = d;
        e["terrain_rows"] = json::array({row});
        return loadError(e);
    };
    EXPECT_EQ(rowError(json::array({3, 0, 5})), prefix + "Ungueltige RLE-Laenge");
    EXPECT_EQ(rowError(json::array({3, 6})), prefix + "Ungueltige RLE-Laenge");
    EXPECT_EQ(rowError(json::array({-1, 9})), prefix + "Ungueltige RLE-Laenge");
    EXPECT_EQ(rowError(json::array({3, 4})), prefix + "RLE-Reihe muss genau width Felder abdecken");
    EXPECT_EQ(rowError(json::array()), prefix + "Leere oder ungueltige RLE-Reihe");
    EXPECT_EQ(rowError("w8"), prefix + "Leere oder ungueltige RLE-Reihe");
    json twoRows = d;
    twoRows["height"] = 2;
    EXPECT_EQ(loadError(twoRows), prefix + "terrain_rows muss genau height Reihen enthalten");
    json operational = d;
    operational["kind"] = "operational";
    EXPECT_EQ(loadError(operational), prefix + "Schema 2 erwartet eine Land-Meer-Weltkarte ohne tiles");
}

TEST(MapLoad, SchemaOneTiles) {
    json d = tileMap(3, 2);
    d["tiles"][4]["road"] = true;
    d["tiles"][4]["bridge"] = true;
    d["tiles"][5]["terrain"] = "forest";
    const Map map = mapFromJson(d);
    EXPECT_TRUE(map.hasRoads());
    EXPECT_FALSE(map.offsetRows());
    EXPECT_TRUE(map.at({1, 1}).bridge);
    EXPECT_EQ(map.at({2, 1}).terrain, Terrain::Forest);

    const auto tileError = [&](int index, const char* key, json value) {
        json e = tileMap(3, 2);
        e["tiles"][index][key] = std::move(value);
        return loadError(e);
    };
    EXPECT_EQ(tileError(0, "q", 3), prefix + "Ungueltige Hexkoordinate in tiles");
    EXPECT_EQ(tileError(1, "q", 0), prefix + "Doppeltes Hexfeld in tiles");
    EXPECT_EQ(tileError(0, "terrain", "lava"), prefix + "Unbekanntes Gelaende: lava");
    EXPECT_EQ(tileError(0, "bridge", true), prefix + "Eine Bruecke benoetigt eine Strasse");
    json missing = tileMap(3, 2);
    missing["tiles"].erase(5);
    EXPECT_EQ(loadError(missing), prefix + "Fuer jedes Hexfeld muss genau ein Eintrag in tiles existieren");
    json rows = tileMap(3, 2);
    rows["terrain_rows"] = json::array();
    EXPECT_EQ(loadError(rows), prefix + "terrain_rows benoetigt Schema 2");
}

TEST(MapLoad, RiverEdgeChecks) {
    const auto edgeError = [](json e) {
        json d = compactWorld(4, {"p4", "p2w2", "p4"});
        d["river_edges"] = json::array({std::move(e)});
        return loadError(d);
    };
    EXPECT_EQ(edgeError(edge({0, 0}, {0, 3})), prefix + "Flusskante ausserhalb der Karte");
    EXPECT_EQ(edgeError(edge({4, 0}, {0, 0})), prefix + "Flusskante ausserhalb der Karte");
    EXPECT_EQ(edgeError(edge({0, 0}, {2, 0})), prefix + "Flusskante muss benachbarte Felder verbinden");
    json wide = edge({0, 0}, {1, 0});
    wide["width_class"] = 4;
    EXPECT_EQ(edgeError(wide), prefix + "Flussbreite muss Klasse 1 bis 3 sein");
    json bridgeToWater = edge({1, 1}, {2, 1}); // column 2 of row 1 is water
    bridgeToWater["bridge"] = true;
    EXPECT_EQ(edgeError(bridgeToWater), prefix + "Kantenbruecke benoetigt zwei Landfelder");

    json twice = compactWorld(4, {"p4", "p4"});
    twice["river_edges"] = json::array({edge({0, 0}, {1, 0}), edge({1, 0}, {0, 0})});
    EXPECT_EQ(loadError(twice), prefix + "Doppelte Flusskante");
    json notArray = compactWorld(4, {"p4"});
    notArray["river_edges"] = json::object();
    EXPECT_EQ(loadError(notArray), prefix + "river_edges muss ein Array sein");
    // Across the seam: column 3 and column 0 of one row are neighbours.
    json seam = compactWorld(4, {"p4", "p4"});
    seam["river_edges"] = json::array({edge({3, 0}, {0, 0})});
    EXPECT_EQ(mapFromJson(seam).rivers().size(), 1u);
}

TEST(MapLoad, RiverRowsWidthsAndBridges) {
    json d = compactWorld(4, {"p4", "p3w1", "c4"});
    // Row 0: field 3 has an east edge (wraps to column 0), field 1 a below-right edge.
    d["river_rows"] = {"a1g1a1b1", "a4", "b2a2"};
    d["river_width_rows"] = {"A1M1A1D1", "A4", "A4"};
    d["bridge_rows"] = {"a3b1", "a4", "a4"};
    const Map map = mapFromJson(d);
    ASSERT_EQ(map.rivers().size(), 5u);
    const Hex last = map.hexAt(3, 0);
    const Hex first = map.hexAt(0, 0);
    ASSERT_TRUE(map.riverBetween(last, first));
    EXPECT_EQ(map.riverEdge(last, first)->widthClass, 3);
    EXPECT_TRUE(map.bridgeBetween(first, last));
    // "g" = directions 1 and 2 of field 1; "M" = 0b001100 widens direction 1 only.
    EXPECT_EQ(map.riverEdge(map.hexAt(1, 0), map.hexAt(1, 1))->widthClass, 3);
    EXPECT_EQ(map.riverEdge(map.hexAt(1, 0), map.hexAt(0, 1))->widthClass, 1);
    // Row 2 is all city: its two east edges are city crossings, open without a bridge.
    EXPECT_TRUE(map.riverEdge(map.hexAt(0, 2), map.hexAt(1, 2))->cityCrossing);
    EXPECT_TRUE(map.riverCrossingOpen(map.hexAt(0, 2), map.hexAt(1, 2)));
    EXPECT_FALSE(map.riverCrossingOpen(map.hexAt(1, 0), map.hexAt(1, 1)));

    const auto rowsError = [&](const char* key, json rows) {
        json e = compactWorld(4, {"p4", "p3w1", "c4"});
        e["river_rows"] = {"a2b1a1", "a4", "a4"};
        e[key] = std::move(rows);
        return loadError(e);
    };
    EXPECT_EQ(rowsError("river_width_rows", json{"A4", "B4", "A4"}), prefix + "Breitenklasse ohne Flusskante");
    EXPECT_EQ(rowsError("bridge_rows", json{"a3b1", "a4", "a4"}), prefix + "Bruecke ohne zugehoerigen Fluss");
    EXPECT_EQ(rowsError("bridge_rows", json{"a4", "a4"}), prefix + "Ungueltige Anzahl Brueckenreihen");
    EXPECT_EQ(rowsError("river_width_rows", json{"A4"}), prefix + "Ungueltige Anzahl Flussbreitenreihen");
    EXPECT_EQ(rowsError("river_rows", json{"a4"}), prefix + "Ungueltige Anzahl Flussreihen");
    EXPECT_EQ(rowsError("river_rows", json{"z4", "a4", "a4"}), prefix + "Unbekannter RLE-Code");
    // Field 2 of row 1 borders the water field 3 to its east.
    json toWater = compactWorld(4, {"p4", "p3w1", "c4"});
    toWater["river_rows"] = {"a4", "a2b1a1", "a4"};
    toWater["bridge_rows"] = {"a4", "a2b1a1", "a4"};
    EXPECT_EQ(loadError(toWater), prefix + "Bruecke benoetigt zwei Landufer");
    // The same edge from both sources is refused.
    json both = compactWorld(4, {"p4", "p4"});
    both["river_edges"] = json::array({edge({0, 0}, {1, 0})});
    both["river_rows"] = {"b1a3", "a4"};
    EXPECT_EQ(loadError(both), prefix + "Doppelte Flusskante");
    // Edges are added a few behind their decoding: an edge's fault still comes before a later
    // edge's, here one that leaves the map below its last row.
    both["river_rows"] = {"b1a3", "c1a3"};
    EXPECT_EQ(loadError(both), prefix + "Doppelte Flusskante");
    // Rows belong to schema 3 only.
    json schemaTwo = d;
    schemaTwo["schema_version"] = 2;
    schemaTwo["terrain_rows"] = json::array({json::array({0, 4}), json::array({0, 4}), json::array({0, 4})});
    EXPECT_EQ(loadError(schemaTwo), prefix + "river_rows benoetigt Schema 3");
}

TEST(MapLoad, FileErrorsNameThePath) {
    const auto dir = std::filesystem::temp_directory_path() / "korvan_map_load_test";
    std::filesystem::create_directories(dir);
    const auto missing = dir / "fehlt.json";
    try {
        Map::load(missing);
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "Karte kann nicht geoeffnet werden: " + missing.string());
    }
    const auto broken = dir / "kaputt.json";
    std::ofstream(broken) << "{\"schema_version\": 1, // no comments\n}";
    try {
        Map::load(broken);
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()).rfind(broken.string() + ": " + prefix + "Ungueltiges JSON: ", 0), 0u);
    }
    std::filesystem::remove_all(dir);
}
