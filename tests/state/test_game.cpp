// The game's commands on a world without SDL: bridges and their refusals, restart, unit order.
#include "forces_fixtures.hpp"
#include "game/game.hpp"

#include <gtest/gtest.h>

using namespace korvan;
using forces::UnitEntry;

namespace {

// Three columns of plain with a river between the first two fields of the middle row, water below.
World riverWorld() {
    return World(forces::makeMap({"ppp", "ppp", "www"}, {{{0, 1}, {1, 1}}, {{1, 1}, {1, 2}}}));
}

TEST(Game, BridgesAreBuiltOnceOnLandBanksAndRaiseTheGeneration) {
    World world = riverWorld();
    Game game(world, {forces::makeArmy(world.map, {{1, 0, "tank", {0, 1}}}), std::nullopt});
    ASSERT_TRUE(game.selectUnit(1));
    const int detour = game.range.at({1, 1}).cost; // the river bars the straight step

    game.buildBridge(std::nullopt, false);
    EXPECT_EQ(game.movementMessage, "Bitte naeher heranzoomen. B/ESC: Baumodus beenden");
    game.buildBridge(std::nullopt, true);
    EXPECT_EQ(game.movementMessage, "Eine Flussstelle anklicken. B/ESC: Baumodus beenden");

    const unsigned before = world.generation;
    game.buildBridge(0, true);
    EXPECT_EQ(game.movementMessage, "Bruecke gebaut - Flusssperre aufgehoben. B/ESC: Beenden");
    EXPECT_EQ(world.generation, before + 1);
    EXPECT_LT(game.range.at({1, 1}).cost, detour); // the reach is computed again over the new bridge
    game.buildBridge(0, true);
    EXPECT_EQ(game.movementMessage, "Hier steht bereits eine Bruecke. B/ESC: Beenden");

    game.buildBridge(1, true); // the bank below is water
    EXPECT_EQ(game.movementMessage, "Bruecken benoetigen zwei Landufer. B/ESC: Beenden");
    EXPECT_EQ(world.generation, before + 1);
}

TEST(Game, WithoutABattleEveryUnitTakesItsTurnInOrderAndNothingRestarts) {
    World world = riverWorld();
    Game game(world, {forces::makeArmy(world.map, {{4, 0, "tank", {0, 0}}, {2, 1, "tank", {2, 0}}}), std::nullopt});
    EXPECT_EQ(game.nextUnit(), 4);
    ASSERT_TRUE(game.selectUnit(4));
    EXPECT_EQ(game.nextUnit(), 2); // Red's units too: there is no computer opponent without a battle
    ASSERT_TRUE(game.selectUnit(2));
    EXPECT_EQ(game.nextUnit(), 4);
    EXPECT_FALSE(game.selectUnit(3));
    EXPECT_FALSE(game.restart());
    EXPECT_EQ(game.selectedUnit, 2);
}

} // namespace
