// Game commands behind the input: unit selection and turns, picking units, building bridges.
#include "shell/client.hpp"
#include "forces_fixtures.hpp"
#include "headless_renderer.hpp"
#include "map_fixtures.hpp"
#include "cpu/river_raster.hpp"

#include <gtest/gtest.h>

#include <algorithm>

using namespace korvan;

TEST(ClientCommands, UnitsTurnsAndPicking) {
    Client client(forces::makeMap({"pppppp", "pppppp", "pppppp"}));
    client.game.army =
        forces::makeArmy(client.world.map, {{1, 0, "tank", {0, 0}}, {2, 1, "tank", {5, 2}}, {3, 0, "inf", {1, 2}}});
    client.game.battle = forces::makeBattle(client.world.map, client.game.army, {Hex{3, 1}});

    // U cycles through Blue's units only and wraps from the last to the first.
    client.nextUnit();
    EXPECT_EQ(client.game.selectedUnit, 1);
    EXPECT_FALSE(client.game.range.empty());
    client.nextUnit();
    EXPECT_EQ(client.game.selectedUnit, 3);
    client.nextUnit();
    EXPECT_EQ(client.game.selectedUnit, 1);

    // Red belongs to the computer: selecting shows no reach, moving it is refused.
    client.selectUnit(2, false);
    EXPECT_TRUE(client.game.range.empty());
    client.moveTo({4, 2});
    EXPECT_EQ(client.game.movementMessage, "Rot wird von der KI gesteuert");
    EXPECT_EQ(client.game.army.find(2)->position, (Hex{5, 2}));

    client.selectUnit(1, false);
    client.moveTo({2, 0});
    EXPECT_EQ(client.game.army.find(1)->position, (Hex{2, 0}));
    EXPECT_EQ(client.game.selected, (Hex{2, 0}));

    // Ending the turn plays the computer's whole turn and hands it back.
    client.endTurn();
    EXPECT_EQ(client.game.movementMessage.rfind("KI-Zug beendet: ", 0), 0u) << client.game.movementMessage;
    EXPECT_NE(client.game.movementMessage.find(" Blau am Zug."), std::string::npos);
    EXPECT_FALSE(client.game.selectedUnit);
    EXPECT_EQ(client.game.battle->activeSide(), blueSide);

    // Units are picked only close in, the nearest icon centre winning.
    const Hex at = client.game.army.find(3)->position;
    client.view.centerOn(hexCenter(at), 13.9);
    EXPECT_FALSE(client.view.unitAt(client.game.army, client.view.camera.toScreen(hexCenter(at))));
    client.view.centerOn(hexCenter(at), 14);
    EXPECT_EQ(client.view.unitAt(client.game.army, client.view.camera.toScreen(hexCenter(at))), 3);
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
        client.view.centerOn({10, 8}, 1);
        client.mapView.terrain().overview().draw(client.mapView.frame(screen.get()), true);
        const auto& drawn = client.mapView.terrain().overview().withRivers();
        return std::count(drawn.begin(), drawn.end(), bridgePixel);
    };
    EXPECT_EQ(bridgePixels(), 0);

    const RiverEdge edge = client.world.map.rivers().front();
    const RiverSegment side = riverBoundary(client.world.map, edge);
    const Point middle = (side.a + side.b) * 0.5;
    client.game.bridgeMode = true;
    client.view.centerOn(middle, 6.9);
    client.view.mouse = client.view.camera.toScreen(middle);
    client.buildBridge();
    EXPECT_EQ(client.game.movementMessage, "Bitte naeher heranzoomen. B/ESC: Baumodus beenden");

    client.view.centerOn(middle, 10);
    client.view.mouse = client.view.camera.toScreen(middle);
    client.buildBridge();
    EXPECT_EQ(client.game.movementMessage, "Bruecke gebaut - Flusssperre aufgehoben. B/ESC: Beenden");
    EXPECT_TRUE(client.world.map.bridgeBetween(edge.a, edge.b));
    EXPECT_EQ(client.world.generation, 1u);
    const auto& gridRivers = client.world.playGrid->rivers();
    EXPECT_TRUE(std::any_of(gridRivers.begin(), gridRivers.end(), [](const RiverEdge& e) { return e.bridge; }));
    client.buildBridge();
    EXPECT_EQ(client.game.movementMessage, "Hier steht bereits eine Bruecke. B/ESC: Beenden");

    EXPECT_GT(bridgePixels(), 0); // at every world copy in view
}
