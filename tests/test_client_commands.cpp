// Game commands behind the input: unit selection and turns, picking units, building bridges.
#include "client/client.hpp"
#include "forces_fixtures.hpp"
#include "headless_renderer.hpp"
#include "map_fixtures.hpp"
#include "render/river_raster.hpp"

#include <gtest/gtest.h>

#include <algorithm>

using namespace korvan;

TEST(ClientCommands, UnitsTurnsAndPicking) {
    Client client(forces::makeMap({"pppppp", "pppppp", "pppppp"}));
    client.army = forces::makeArmy(client.map, {{1, 0, "tank", {0, 0}}, {2, 1, "tank", {5, 2}}, {3, 0, "inf", {1, 2}}});
    client.battle = forces::makeBattle(client.map, client.army, {Hex{3, 1}});

    // U cycles through Blue's units only and wraps from the last to the first.
    client.nextUnit();
    EXPECT_EQ(client.selectedUnit, 1);
    EXPECT_FALSE(client.range.empty());
    client.nextUnit();
    EXPECT_EQ(client.selectedUnit, 3);
    client.nextUnit();
    EXPECT_EQ(client.selectedUnit, 1);

    // Red belongs to the computer: selecting shows no reach, moving it is refused.
    client.selectUnit(2, false);
    EXPECT_TRUE(client.range.empty());
    client.moveTo({4, 2});
    EXPECT_EQ(client.movementMessage, "Rot wird von der KI gesteuert");
    EXPECT_EQ(client.army.find(2)->position, (Hex{5, 2}));

    client.selectUnit(1, false);
    client.moveTo({2, 0});
    EXPECT_EQ(client.army.find(1)->position, (Hex{2, 0}));
    EXPECT_EQ(client.selected, (Hex{2, 0}));

    // Ending the turn plays the computer's whole turn and hands it back.
    client.renewMovement();
    EXPECT_EQ(client.movementMessage, "KI-Zug beendet. Blau am Zug.");
    EXPECT_FALSE(client.selectedUnit);
    EXPECT_EQ(client.battle->activeSide(), blueSide);

    // Units are picked only close in, the nearest icon centre winning.
    const Hex at = client.army.find(3)->position;
    client.centerOn(hexCenter(at), 13.9);
    EXPECT_FALSE(client.unitAt(client.camera.toScreen(hexCenter(at))));
    client.centerOn(hexCenter(at), 14);
    EXPECT_EQ(client.unitAt(client.camera.toScreen(hexCenter(at))), 3);
}

// A bridge built on the world map reaches the play grid and every picture of the rivers, the far
// overview's cached river index included.
TEST(ClientCommands, BuildingABridge) {
    nlohmann::json world = korvan::testing::compactWorld(24, std::vector<std::string>(12, "p24"));
    world["river_edges"] = nlohmann::json::array(
        {{{"a", {{"q", 6}, {"r", 6}}}, {"b", {{"q", 7}, {"r", 6}}}, {"width_class", 3}, {"bridge", false}}});
    Client client(korvan::testing::mapFromJson(world));
    korvan::testing::HeadlessRenderer screen(1280, 850);
    const auto bridgePixels = [&] {
        client.centerOn({10, 8}, 1);
        client.renderOverview(screen.get(), true);
        const auto& drawn = client.overviewCache.drawn;
        return std::count(drawn.begin(), drawn.end(), bridgePixel);
    };
    EXPECT_EQ(bridgePixels(), 0);

    const RiverEdge edge = client.map.rivers().front();
    const RiverSegment side = riverBoundary(client.map, edge);
    const Point middle = (side.a + side.b) * 0.5;
    client.bridgeMode = true;
    client.centerOn(middle, 6.9);
    client.mouse = client.camera.toScreen(middle);
    client.buildBridge();
    EXPECT_EQ(client.movementMessage, "Bitte naeher heranzoomen. B/ESC: Baumodus beenden");

    client.centerOn(middle, 10);
    client.mouse = client.camera.toScreen(middle);
    client.buildBridge();
    EXPECT_EQ(client.movementMessage, "Bruecke gebaut - Flusssperre aufgehoben. B/ESC: Beenden");
    EXPECT_TRUE(client.map.bridgeBetween(edge.a, edge.b));
    EXPECT_EQ(client.mapGeneration, 1u);
    const auto& gridRivers = client.regularMap->rivers();
    EXPECT_TRUE(std::any_of(gridRivers.begin(), gridRivers.end(), [](const RiverEdge& e) { return e.bridge; }));
    client.buildBridge();
    EXPECT_EQ(client.movementMessage, "Hier steht bereits eine Bruecke. B/ESC: Beenden");

    EXPECT_GT(bridgePixels(), 0); // at every world copy in view
}
