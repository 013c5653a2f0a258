// The game being played: the army, the battle, Blue's selection with its reach, the last message,
// and the commands the player gives. No camera and no drawing: the view follows the game.
#pragma once

#include "forces/army.hpp"
#include "forces/battle.hpp"
#include "world/saved_game.hpp"
#include "operations/operation.hpp"
#include "world/world.hpp"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace korvan {

class Game {
public:
    // The game on a world; the scenario's army and battle are moved in.
    Game(World& world, Scenario scenario);
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // A Blue unit that may still move somewhere or fire at an enemy this turn.
    bool mayStillAct(const Unit& unit) const;
    // How many of Blue's units may still act; none outside Blue's turn of a running battle.
    int unitsAbleToAct() const;

    // Selects a unit and computes its reach; false when no unit has that id.
    bool selectUnit(int id);
    // The Blue unit after the selected one (every unit without a battle), wrapping around; units that
    // may still act come first.
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
    // Takes back Blue's last move of this turn; an attack, a built bridge or a new turn closes the history.
    void undo();
    // The game as a save and back. A save that cannot be read or does not fit this game throws a
    // German message and leaves the game untouched; loading closes the undo history.
    SavedGame save() const;
    void load(const SavedGame& save);
    // The file forms: the message says what happened; false (game untouched) on any error.
    bool saveTo(const std::filesystem::path& file);
    bool loadFrom(const std::filesystem::path& file);
    // As loadFrom, but the error is thrown.
    void loadFile(const std::filesystem::path& file);

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
    // Red's units that moved or fired in its last turn, marked on the map until Blue acts.
    std::vector<int> redActed;
    // World-map river edges bridged in this game, in the order built.
    std::vector<std::size_t> builtBridges;

private:
    // The game before one of Blue's moves.
    struct UndoStep {
        Army army;
        std::optional<Battle> battle;
        int unit = 0;
    };
    // Nothing before this point can be taken back; `reason` says why.
    void closeUndo(const char* reason);
    // The army and battle as the data files set them up.
    Scenario filesScenario() const;
    // A new army and battle in place of the running ones, with everything that belonged to those.
    void replaceScenario(Scenario scenario, std::optional<GeneratedOperation> generated);
    // Before a save of another operation (or of the data files' scenario) is loaded: that scenario
    // is set up, once it is sure the save fits it. Throws, changing nothing, when it does not.
    void switchToScenarioOf(const SavedGame& save);

    // The fingerprint saves carry and are checked against.
    std::uint64_t content() const;
    std::uint64_t scenario_ = 0;
    mutable std::optional<std::uint64_t> map_;

    std::vector<UndoStep> undoSteps_;
    const char* undoClosed_ = "noch keine Bewegung in diesem Zug";
};

// The status line after the computer's turn: moves, attacks, losses, destroyed units, objectives taken.
std::string redTurnSummary(const TurnReport& red);

} // namespace korvan
