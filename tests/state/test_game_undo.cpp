// Taking back Blue's moves: step by step to the start of the turn, and what closes the history.
#include "forces_fixtures.hpp"
#include "game/game.hpp"

#include <gtest/gtest.h>

using namespace korvan;

namespace {

// Plain land with a river side between (2, 1) and (3, 1); the objective at (2, 0).
World undoWorld() { return World(forces::makeMap({"pppppp", "pppppp", "pppppp"}, {{{2, 1}, {3, 1}}})); }

Game undoGame(World& world) {
    Army army = forces::makeArmy(world.map, {{1, 0, "tank", {0, 0}}, {2, 0, "inf", {0, 2}}, {3, 1, "tank", {3, 2}}});
    Battle battle = forces::makeBattle(world.map, army, {{2, 0}, {5, 0}});
    return Game(world, {std::move(army), std::move(battle)});
}

void move(Game& game, int id, Hex target) {
    ASSERT_TRUE(game.selectUnit(id));
    game.moveTo(target);
    ASSERT_EQ(game.army.find(id)->position, target) << game.movementMessage;
}

} // namespace

TEST(Undo, TakesMovesBackOneByOneToTheStartOfTheTurn) {
    World world = undoWorld();
    Game game = undoGame(world);
    const std::string start = saveText(game.save());
    game.undo();
    EXPECT_EQ(game.movementMessage, "Nichts rueckgaengig zu machen: noch keine Bewegung in diesem Zug");

    // The capture is told, and taken back with the move: owner and log as before.
    move(game, 1, {2, 0});
    EXPECT_EQ(game.movementMessage, "Bewegung ausgefuehrt - Ziel 1 erobert");
    EXPECT_EQ(game.battle->log().back(), "Ziel 1: Blau erobert");
    const std::string afterFirst = saveText(game.save());
    move(game, 2, {1, 2});

    game.undo();
    EXPECT_EQ(game.movementMessage, "Bewegung zurueckgenommen: U2");
    EXPECT_EQ(game.selectedUnit, 2); // the unit is selected with its reach again
    EXPECT_FALSE(game.range.empty());
    EXPECT_EQ(saveText(game.save()), afterFirst);
    game.undo();
    EXPECT_EQ(saveText(game.save()), start);
    EXPECT_EQ(game.battle->objectives()[0].owner, redSide);
    game.undo();
    EXPECT_EQ(game.movementMessage, "Nichts rueckgaengig zu machen: noch keine Bewegung in diesem Zug");

    // Refused moves leave nothing to take back.
    ASSERT_TRUE(game.selectUnit(1));
    game.moveTo({3, 2});
    EXPECT_EQ(game.movementMessage, "Zielfeld ist belegt");
    game.undo();
    EXPECT_EQ(game.movementMessage, "Nichts rueckgaengig zu machen: noch keine Bewegung in diesem Zug");
}

TEST(Undo, AnAttackABridgeOrANewTurnClosesTheHistory) {
    World world = undoWorld();
    Game game = undoGame(world);
    const auto refusedAfter = [&](const std::string& reason) {
        const std::string before = saveText(game.save());
        game.undo();
        EXPECT_EQ(game.movementMessage, "Nichts rueckgaengig zu machen: " + reason);
        EXPECT_EQ(saveText(game.save()), before);
    };

    move(game, 2, {1, 2});
    game.buildBridge(0, true);
    ASSERT_EQ(game.builtBridges, (std::vector<std::size_t>{0}));
    refusedAfter("Bruecke gebaut");

    move(game, 1, {2, 2});
    ASSERT_TRUE(game.canAttack(3));
    game.attackUnit(3);
    ASSERT_TRUE(game.army.find(1) == nullptr || game.army.find(1)->attacked);
    refusedAfter("Angriff ausgefuehrt");

    game.endTurn();
    ASSERT_EQ(game.battle->activeSide(), blueSide);
    refusedAfter("noch keine Bewegung in diesem Zug");
}
