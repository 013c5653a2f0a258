// Game commands: unit selection, moves, attacks, turns, restart and bridges.
#include "game/game.hpp"

#include <algorithm>

namespace korvan {

Game::Game(World& gameWorld, Scenario scenario)
    : world(gameWorld), army(std::move(scenario.army)), battle(std::move(scenario.battle)) {}

bool Game::selectUnit(int id) {
    const Unit* unit = army.find(id);
    if (unit == nullptr) {
        return false;
    }
    selectedUnit = id;
    selected = unit->position;
    // The computer's units and a decided or foreign turn show no reach; without a battle every unit moves.
    const bool frozen = battle && (battle->finished() || unit->side == redSide || battle->activeSide() == redSide);
    range = frozen ? MovementRange{} : army.reachable(world.gameMap(), id);
    movementMessage.clear();
    return true;
}

std::optional<int> Game::nextUnit() const {
    std::vector<int> ids;
    for (const Unit& unit : army.units()) {
        if (!battle || unit.side == blueSide) {
            ids.push_back(unit.id);
        }
    }
    if (ids.empty()) {
        return std::nullopt;
    }
    const auto current = selectedUnit ? std::find(ids.begin(), ids.end(), *selectedUnit) : ids.end();
    const bool following = current != ids.end() && current + 1 != ids.end();
    return following ? *(current + 1) : ids.front();
}

void Game::moveTo(Hex target) {
    if (!selectedUnit) {
        return;
    }
    const Unit* unit = army.find(*selectedUnit);
    if (battle && (unit == nullptr || unit->side == redSide)) {
        range.clear();
        movementMessage = "Rot wird von der KI gesteuert";
        return;
    }
    const Map& map = world.gameMap();
    const MoveResult result =
        battle ? battle->move(map, army, *selectedUnit, target) : army.move(map, *selectedUnit, target);
    movementMessage = result.message;
    if (result.success) {
        if (const Unit* moved = army.find(*selectedUnit)) {
            selected = moved->position;
        }
    }
    range = battle && battle->finished() ? MovementRange{} : army.reachable(map, *selectedUnit);
}

void Game::attackUnit(int defender) {
    if (!selectedUnit || !battle) {
        return;
    }
    const CombatResult result = battle->attack(world.gameMap(), army, *selectedUnit, defender);
    movementMessage = result.message;
    if (const Unit* attacker = army.find(*selectedUnit)) {
        selected = attacker->position;
        range = army.reachable(world.gameMap(), *selectedUnit);
    } else {
        clearUnitSelection();
    }
    if (battle->finished()) {
        range.clear();
    }
}

void Game::endTurn() {
    if (!battle) {
        return;
    }
    if (!battle->endTurn(army, blueSide)) {
        movementMessage = battle->status();
        return;
    }
    battle->playAi(world.gameMap(), army);
    clearUnitSelection();
    movementMessage = battle->finished() ? battle->status() : "KI-Zug beendet. Blau am Zug.";
}

bool Game::restart() {
    if (!battle) {
        return false;
    }
    world.reloadMaps();
    if (operation) {
        Scenario scenario = loadOperation(world, *operation);
        army = std::move(scenario.army);
        battle = std::move(scenario.battle);
    } else {
        army = Army::load(world.gameMap(), world.dataDirectory / "units.json");
        battle = Battle::load(world.gameMap(), army, world.dataDirectory / "battles.json");
    }
    clearUnitSelection();
    movementMessage = "Neue Partie";
    bridgeMode = false;
    showLog = false;
    return true;
}

void Game::startOperation(GeneratedOperation generated) {
    // Loaded before anything changes: a failure leaves the running game as it was.
    Scenario scenario = loadOperation(world, generated);
    world.reloadMaps();
    army = std::move(scenario.army);
    battle = std::move(scenario.battle);
    operation = std::move(generated);
    clearUnitSelection();
    movementMessage = operation->name + " begonnen";
    bridgeMode = false;
    showLog = false;
}

void Game::buildBridge(std::optional<std::size_t> riverEdge, bool closeEnough) {
    if (battle && battle->finished()) {
        movementMessage = "Partie beendet";
        return;
    }
    if (!riverEdge) {
        movementMessage = closeEnough ? "Eine Flussstelle anklicken. B/ESC: Baumodus beenden"
                                      : "Bitte naeher heranzoomen. B/ESC: Baumodus beenden";
        return;
    }
    const RiverEdge edge = world.map.rivers().at(*riverEdge);
    if (world.map.bridgeBetween(edge.a, edge.b)) {
        movementMessage = "Hier steht bereits eine Bruecke. B/ESC: Beenden";
        return;
    }
    if (!world.buildBridge(*riverEdge)) {
        movementMessage = "Bruecken benoetigen zwei Landufer. B/ESC: Beenden";
        return;
    }
    if (selectedUnit) {
        range = army.reachable(world.gameMap(), *selectedUnit);
    }
    movementMessage = "Bruecke gebaut - Flusssperre aufgehoben. B/ESC: Beenden";
}

void Game::clearUnitSelection() {
    selectedUnit.reset();
    selected.reset();
    range.clear();
}

bool Game::canAttack(int unitId) const {
    const Unit* selectedOne = selectedUnitData();
    const Unit* target = army.find(unitId);
    return battle && selectedOne && target && selectedOne->side == blueSide && target->side == redSide;
}

bool Game::selectedMayMove() const {
    const Unit* unit = selectedUnitData();
    if (unit == nullptr || unit->moved || unit->attacked) {
        return false;
    }
    if (battle && (battle->finished() || battle->activeSide() != blueSide || unit->side != blueSide)) {
        return false;
    }
    return std::any_of(range.begin(), range.end(), [](const auto& entry) { return entry.second.cost > 0; });
}

} // namespace korvan
