// River and bridge names: look-ups by edge index in either hex order, and every loader message.
#include "geo_fixtures.hpp"
#include "geography/river_names.hpp"

#include <gtest/gtest.h>

#include <sstream>

using namespace korvan;
using namespace korvan::geo_test;

namespace {

json edge(Hex a, Hex b, bool bridge = false) {
    return {{"a", {{"q", a.q}, {"r", a.r}}}, {"b", {{"q", b.q}, {"r", b.r}}}, {"bridge", bridge}};
}

// Edge 0 is bridged, edge 1 is not, edge 2 crosses the seam between columns 5 and 0 of row 0.
json mapDocument() {
    return worldDocument(6, {"p6", "p6", "p6", "p6"},
                         {edge({0, 0}, {1, 0}, true), edge({1, 0}, {1, 1}), edge({5, 0}, {0, 0})});
}

json namesDocument(json edges) {
    return {{"schema_version", 1},
            {"width", 6},
            {"height", 4},
            {"names", {"Donau", "Inn", "", "Unbenutzt"}},
            {"edges", std::move(edges)}};
}

RiverNames readNames(const Map& map, const json& document) {
    std::istringstream input(document.dump());
    return RiverNames::load(map, input);
}

BridgeNames readBridges(const Map& map, const json& document) {
    std::istringstream input(document.dump());
    return BridgeNames::load(map, input);
}

} // namespace

TEST(RiverNames, FindTheEdgeInEitherHexOrder) {
    const Map map = loadMap(mapDocument());
    const RiverNames names = readNames(map, namesDocument({{1, 0, 0, 0, 0}, {1, 1, 1, 0, 1}, {0, 0, 5, 0, 1}}));
    EXPECT_EQ(names.at(0), "Donau");
    EXPECT_EQ(names.at(1), "Inn");
    EXPECT_EQ(names.at(2), "Inn");
    EXPECT_EQ(names.at(3), std::nullopt);
    EXPECT_EQ(names.at(std::size_t(-1)), std::nullopt);
    EXPECT_EQ(readNames(map, namesDocument(json::array())).at(0), std::nullopt);

    const TempFile file(namesDocument({{0, 0, 1, 0, 1}}));
    EXPECT_EQ(RiverNames::load(map, file.path()).at(0), "Inn");
}

TEST(RiverNames, RefuseWithTheDocumentedMessages) {
    const Map map = loadMap(mapDocument());
    const auto error = [&](const json& document) { return errorOf([&] { readNames(map, document); }); };
    const std::string badEdge = "Ungueltige Flussnamenskante";
    const std::string badAssignment = "Ungueltige Flussnamenszuordnung";
    EXPECT_EQ(error(namesDocument({{0, 0, 1, 0}})), badEdge);
    EXPECT_EQ(error(namesDocument({{0, 0, 1, 0, 0, 0}})), badEdge);
    EXPECT_EQ(error(namesDocument({{0, 0, 1, 0, "Donau"}})), badEdge);
    EXPECT_EQ(error(namesDocument({{0, 0, 2, 0, 0}})), badAssignment); // no river there
    EXPECT_EQ(error(namesDocument({{5, 0, 6, 0, 0}})), badAssignment); // (6, 0) lies outside the stored map
    EXPECT_EQ(error(namesDocument({{0, 0, 1, 0, 4}})), badAssignment); // one past the names
    EXPECT_EQ(error(namesDocument({{0, 0, 1, 0, -1}})), badAssignment);
    EXPECT_EQ(error(namesDocument({{0, 0, 1, 0, 2}})), badAssignment); // an empty name
    EXPECT_EQ(error(namesDocument({{0, 0, 1, 0, 0}, {1, 0, 0, 0, 1}})), "Doppelte Flussnamenszuordnung");
    json document = namesDocument(json::array());
    document["width"] = 7;
    EXPECT_EQ(error(document), "Flussnamen passen nicht zur Weltkarte");
    document = namesDocument(json::array());
    document["schema_version"] = 2;
    EXPECT_EQ(error(document), "Flussnamen passen nicht zur Weltkarte");
    EXPECT_EQ(errorOf([&] { RiverNames::load(map, missingFile()); }),
              "Flussnamen nicht lesbar: " + missingFile().string());
}

TEST(BridgeNames, ReadFromTheMapFileItself) {
    json document = mapDocument();
    const Map map = loadMap(document);
    EXPECT_EQ(readBridges(map, document).size(), 0u);
    EXPECT_TRUE(readBridges(map, document).at(0).empty());

    document["bridge_names"] = {{1, 0, 0, 0, {"Reichsbruecke", "Steg"}}};
    const TempFile file(document);
    const BridgeNames bridges = BridgeNames::load(map, file.path());
    EXPECT_EQ(bridges.at(0), (std::vector<std::string>{"Reichsbruecke", "Steg"}));
    EXPECT_TRUE(bridges.at(1).empty());
    EXPECT_TRUE(bridges.at(12345).empty());
}

TEST(BridgeNames, RefuseWithTheDocumentedMessages) {
    const Map map = loadMap(mapDocument());
    const auto error = [&](json entries) {
        json document = mapDocument();
        document["bridge_names"] = std::move(entries);
        return errorOf([&] { readBridges(map, document); });
    };
    EXPECT_EQ(error({{0, 0, 1, 0}}), "Ungueltiger Brueckenname");
    EXPECT_EQ(error({{0, 0, 1, 0, {"A"}, 0}}), "Ungueltiger Brueckenname");
    EXPECT_EQ(error({{0, 0, 1, 0.5, {"A"}}}), "Ungueltiger Brueckenname");
    EXPECT_EQ(error({{1, 0, 1, 1, {"A"}}}), "Brueckenname ohne Bruecke"); // a river, but no bridge
    EXPECT_EQ(error({{0, 0, 0, 1, {"A"}}}), "Brueckenname ohne Bruecke"); // no river at all
    EXPECT_EQ(error({{0, 0, 1, 0, json::array()}}), "Leerer Brueckenname");
    EXPECT_EQ(error({{0, 0, 1, 0, {"A", ""}}}), "Leerer Brueckenname");
    EXPECT_NE(error({{0, 0, 1, 0, "A"}}), ""); // not a list: the JSON library's error
    EXPECT_EQ(error({{0, 0, 1, 0, {"A"}}, {1, 0, 0, 0, {"B"}}}), "Doppelte Brueckennamenskante");

    json resized = mapDocument();
    resized["height"] = 5;
    resized["bridge_names"] = json::array();
    EXPECT_EQ(errorOf([&] { readBridges(map, resized); }), "Brueckennamen passen nicht zur Karte");
    EXPECT_EQ(errorOf([&] { BridgeNames::load(map, missingFile()); }),
              "Brueckennamen nicht lesbar: " + missingFile().string());
}
