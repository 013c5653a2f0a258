// Game commands: unit selection, moves, attacks, turns, restart and bridges.
#include "game/game.hpp"

#include "game/save_files.hpp"

#include <algorithm>
#include <stdexcept>

namespace korvan {

Game::Game(World& gameWorld, Scenario scenario)
    : world(gameWorld), army(std::move(scenario.army)), battle(std::move(scenario.battle)),
      scenario_(battle ? scenarioHash(army, *battle) : 0) {}

std::uint64_t Game::content() const {
    if (!map_) {
        map_ = mapHash(world.map, builtBridges);
    }
    return contentHash(*map_, scenario_);
}

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

bool Game::mayStillAct(const Unit& unit) const {
    if (!battle || battle->finished() || battle->activeSide() != blueSide || unit.side != blueSide) {
        return false;
    }
    const Map& map = world.gameMap();
    if (!unit.moved) {
        const MovementRange reach = army.reachable(map, unit.id);
        if (std::any_of(reach.begin(), reach.end(), [](const auto& entry) { return entry.second.cost > 0; })) {
            return true;
        }
    }
    return std::any_of(army.units().begin(), army.units().end(), [&](const Unit& enemy) {
        return enemy.side != unit.side && battle->preview(map, army, unit.id, enemy.id).legal;
    });
}

int Game::unitsAbleToAct() const {
    return static_cast<int>(
        std::count_if(army.units().begin(), army.units().end(), [&](const Unit& unit) { return mayStillAct(unit); }));
}

std::optional<int> Game::nextUnit() const {
    // In army order after the selected unit, wrapping; those that may still act, when there are any.
    std::vector<int> ids;
    std::vector<int> acting;
    for (const Unit& unit : army.units()) {
        if (!battle || unit.side == blueSide) {
            ids.push_back(unit.id);
            if (mayStillAct(unit)) {
                acting.push_back(unit.id);
            }
        }
    }
    const std::vector<int>& pool = acting.empty() ? ids : acting;
    if (pool.empty()) {
        return std::nullopt;
    }
    const auto order = [&](int id) { return std::find(ids.begin(), ids.end(), id) - ids.begin(); };
    const auto current = selectedUnit ? order(*selectedUnit) : -1;
    const auto following = std::find_if(pool.begin(), pool.end(), [&](int id) { return order(id) > current; });
    return following != pool.end() ? *following : pool.front();
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
    UndoStep before{army, battle, *selectedUnit};
    const MoveResult result =
        battle ? battle->move(map, army, *selectedUnit, target) : army.move(map, *selectedUnit, target);
    movementMessage = result.message;
    if (result.success) {
        undoSteps_.push_back(std::move(before));
        if (decided()) {
            closeUndo("Partie beendet");
        }
        redActed.clear();
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
    if (result.success) {
        redActed.clear();
        closeUndo("Angriff ausgefuehrt");
    }
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
    closeUndo("noch keine Bewegung in diesem Zug");
    const TurnReport red = battle->playAi(world.gameMap(), army);
    clearUnitSelection();
    redActed = red.acted;
    movementMessage = redTurnSummary(red) + (battle->finished() ? " " + battle->status() : " Blau am Zug.");
}

bool Game::restart() {
    if (!battle) {
        return false;
    }
    world.restoreMaps(builtBridges);
    builtBridges.clear();
    Scenario scenario = operation ? loadOperation(world, *operation) : filesScenario();
    army = std::move(scenario.army);
    battle = std::move(scenario.battle);
    clearUnitSelection();
    movementMessage = "Neue Partie";
    redActed.clear();
    closeUndo("noch keine Bewegung in diesem Zug");
    bridgeMode = false;
    showLog = false;
    return true;
}

Scenario Game::filesScenario() const {
    Scenario scenario{Army::load(world.gameMap(), world.dataDirectory / "units.json"), std::nullopt};
    scenario.battle = Battle::load(world.gameMap(), scenario.army, world.dataDirectory / "battles.json");
    return scenario;
}

void Game::replaceScenario(Scenario scenario, std::optional<GeneratedOperation> generated) {
    for (const std::size_t edge : builtBridges) {
        world.removeBridge(edge);
    }
    builtBridges.clear();
    army = std::move(scenario.army);
    battle = std::move(scenario.battle);
    operation = std::move(generated);
    scenario_ = battle ? scenarioHash(army, *battle) : 0;
    clearUnitSelection();
    redActed.clear();
    closeUndo("noch keine Bewegung in diesem Zug");
    bridgeMode = false;
    showLog = false;
}

void Game::startOperation(GeneratedOperation generated) {
    // Loaded before anything changes: a failure leaves the running game as it was.
    Scenario scenario = loadOperation(world, generated);
    replaceScenario(std::move(scenario), std::move(generated));
    movementMessage = operation->name + " begonnen";
}

void Game::switchToScenarioOf(const SavedGame& save) {
    const std::string current = operation ? world.cities[operation->city].id : std::string();
    if (save.operation == current) {
        return;
    }
    std::optional<GeneratedOperation> generated;
    Scenario scenario;
    if (save.operation.empty()) {
        scenario = filesScenario();
    } else {
        const auto city = std::find_if(world.cities.begin(), world.cities.end(),
                                       [&](const City& c) { return c.id == save.operation; });
        if (city == world.cities.end()) {
            throw std::runtime_error("Operation des Spielstands unbekannt: " + save.operation);
        }
        generated = generateOperation(world, army.types(), std::size_t(city - world.cities.begin()));
        scenario = loadOperation(world, *generated);
    }
    content(); // the map's part
    if (contentHash(*map_, scenarioHash(scenario.army, *scenario.battle)) != save.content) {
        throw std::runtime_error("Spielstand gehoert zu einer anderen Karte oder einem anderen Szenario");
    }
    // The save's units and battle must fit before anything is replaced.
    Army trialArmy = scenario.army;
    trialArmy.restoreUnits(world.gameMap(), save.units);
    Battle trialBattle = *scenario.battle;
    trialBattle.restore(save.battle);
    replaceScenario(std::move(scenario), std::move(generated));
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
    redActed.clear();
    builtBridges.push_back(*riverEdge);
    closeUndo("Bruecke gebaut");
    movementMessage = "Bruecke gebaut - Flusssperre aufgehoben. B/ESC: Beenden";
}

void Game::clearUnitSelection() {
    selectedUnit.reset();
    selected.reset();
    range.clear();
}

void Game::undo() {
    if (undoSteps_.empty()) {
        movementMessage = std::string("Nichts rueckgaengig zu machen: ") + undoClosed_;
        return;
    }
    UndoStep step = std::move(undoSteps_.back());
    undoSteps_.pop_back();
    army = std::move(step.army);
    battle = std::move(step.battle);
    redActed.clear();
    selectUnit(step.unit);
    const Unit* unit = army.find(step.unit);
    movementMessage = "Bewegung zurueckgenommen: " + (unit != nullptr ? unit->name : std::string("Einheit"));
}

SavedGame Game::save() const {
    if (!battle) {
        throw std::runtime_error("Ohne Szenario gibt es nichts zu speichern");
    }
    return {content(), operation ? world.cities[operation->city].id : std::string(), battle->state(), army.units(),
            builtBridges};
}

void Game::load(const SavedGame& saved) {
    if (!battle) {
        throw std::runtime_error("Ohne Szenario kann kein Spielstand geladen werden");
    }
    if (saved.content != content()) {
        throw std::runtime_error("Spielstand gehoert zu einer anderen Karte oder einem anderen Szenario");
    }
    // Everything is tried on copies first, so a save that does not fit changes nothing.
    Army loadedArmy = army;
    loadedArmy.restoreUnits(world.gameMap(), saved.units);
    Battle loadedBattle = *battle;
    loadedBattle.restore(saved.battle);
    const auto& rivers = world.map.rivers();
    for (const std::size_t edge : saved.bridges) {
        const bool ours = std::find(builtBridges.begin(), builtBridges.end(), edge) != builtBridges.end();
        const bool open = edge < rivers.size() && (ours || !rivers[edge].bridge) &&
                          world.map.at(rivers[edge].a).terrain != Terrain::Water &&
                          world.map.at(rivers[edge].b).terrain != Terrain::Water;
        if (!open) {
            throw std::runtime_error("Ungueltige Bruecke im Spielstand");
        }
    }
    for (const std::size_t edge : builtBridges) {
        world.removeBridge(edge);
    }
    for (const std::size_t edge : saved.bridges) {
        world.buildBridge(edge);
    }
    builtBridges = saved.bridges;
    army = std::move(loadedArmy);
    battle = std::move(loadedBattle);
    clearUnitSelection();
    redActed.clear();
    bridgeMode = false;
    closeUndo("Spielstand geladen");
}

bool Game::saveTo(const std::filesystem::path& file) {
    try {
        writeSaveFile(file, saveText(save()));
        movementMessage = "Gespeichert: " + file.filename().string();
        return true;
    } catch (const std::exception& error) {
        movementMessage = std::string("Speichern fehlgeschlagen: ") + error.what();
        return false;
    }
}

void Game::loadFile(const std::filesystem::path& file) {
    const std::string text = readSaveFile(file, SavedGame::maxBytes);
    try {
        switchToScenarioOf(readSave(text, {std::nullopt, world.map.rivers().size()}));
        load(readSave(text, {content(), world.map.rivers().size()}));
    } catch (const std::exception& error) {
        throw std::runtime_error(file.string() + ": " + error.what());
    }
    movementMessage = "Geladen: " + file.filename().string() + ". " + battle->status();
}

bool Game::loadFrom(const std::filesystem::path& file) {
    try {
        loadFile(file);
        return true;
    } catch (const std::exception& error) {
        movementMessage = std::string("Laden fehlgeschlagen: ") + error.what();
        return false;
    }
}

void Game::closeUndo(const char* reason) {
    undoSteps_.clear();
    undoClosed_ = reason;
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

std::string redTurnSummary(const TurnReport& red) {
    // Slashes and full stops only: the HUD font has no comma.
    std::string text = "KI-Zug beendet: " + std::to_string(red.moves) + " Bewegungen / " + std::to_string(red.attacks) +
                       " Angriffe.";
    if (red.attacks > 0) {
        text += " Verluste Blau -" + std::to_string(red.enemyLoss) + " / Rot -" + std::to_string(red.ownLoss) + ".";
    }
    if (red.enemyDestroyed + red.ownDestroyed > 0) {
        text += " Vernichtet: Blau " + std::to_string(red.enemyDestroyed) + " / Rot " + std::to_string(red.ownDestroyed) +
                ".";
    }
    for (const std::string& name : red.captured) {
        text += " Rot erobert " + name + ".";
    }
    return text;
}

} // namespace korvan
