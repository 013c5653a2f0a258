// The game being played: the army, the battle, Blue's selection with its reach, the last message,
// and the commands the player gives. No camera and no drawing: the view follows the game.
#pragma once

#include "forces/army.hpp"
#include "forces/battle.hpp"
#include "operations/operation.hpp"
#include "world/world.hpp"

#include <cstddef>
#include <optional>
#include <string>

namespace korvan {

class Game {
public:
    // The game on a world; the scenario's army and battle are moved in.
    Game(World& world, Scenario scenario);
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // Selects a unit and computes its reach; false when no unit has that id.
    bool selectUnit(int id);
    // The Blue unit after the selected one (every unit without a battle), wrapping around.
    std::optional<int> nextUnit() const;
    void moveTo(Hex target);
    void attackUnit(int defender);
    // Ends Blue's turn; the computer plays its whole turn inside this call and hands it back.
    void endTurn();
    // A new game on the maps as the files hold them: built bridges are gone, units and scenario
    // (the data files' or the generated operation's) start over. False without a battle.
    bool restart();
    // A generated operation replaces the game, on the maps as the files hold them.
    void startOperation(GeneratedOperation generated);
    // Builds a bridge over a world-map river edge (none: nothing bridgeable under the pointer;
    // closeEnough: the view is near enough to tell river sides apart).
    void buildBridge(std::optional<std::size_t> riverEdge, bool closeEnough);
    // Forgets the unit, its reach and the selected field.
    void clearUnitSelection();

    // A click on a Red unit attacks it when a Blue unit is selected and a battle is running.
    bool canAttack(int unitId) const;
    bool decided() const { return battle && battle->finished(); }
    // The selected unit may still move now and has somewhere to go: its reach and path may show.
    bool selectedMayMove() const;
    const Unit* selectedUnitData() const { return selectedUnit ? army.find(*selectedUnit) : nullptr; }

    World& world;
    Army army;
    std::optional<Battle> battle;
    std::optional<GeneratedOperation> operation; // none: the data files' scenario
    std::optional<int> selectedUnit;
    std::optional<Hex> selected; // the selected game-map field
    MovementRange range;
    std::string movementMessage;
    bool showLog = false;
    bool bridgeMode = false;
};

} // namespace korvan
