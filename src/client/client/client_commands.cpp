// Game commands behind the input: unit selection, moves, attacks, turns, restart and bridges.
#include "client/client.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace korvan {

namespace {

// Focus scale of a selected unit: its field and the neighbours fill the view.
constexpr double unitFocusScale = 18;
// Icons are hit at this size, with their label below them.
constexpr int unitHitSize = 48;
// Bridges can be placed from this zoom on, where river sides can be told apart.
constexpr double bridgeScale = 7;

} // namespace

void Client::selectUnit(int id, bool focus) {
    const Unit* unit = army.find(id);
    if (unit == nullptr) {
        return;
    }
    legendVisible = false;
    selectedUnit = id;
    selected = unit->position;
    selectedCity.reset();
    // The computer's units and a decided or foreign turn show no reach; without a battle every unit moves.
    const bool frozen = battle && (battle->finished() || unit->side == redSide || battle->activeSide() == redSide);
    range = frozen ? MovementRange{} : army.reachable(gameMap(), id);
    movementMessage.clear();
    if (focus) {
        centerOn(gameWorld(unit->position), unitFocusScale);
    }
    updateHover();
}

void Client::nextUnit() {
    std::vector<int> ids;
    for (const Unit& unit : army.units()) {
        if (!battle || unit.side == blueSide) {
            ids.push_back(unit.id);
        }
    }
    if (ids.empty()) {
        return;
    }
    const auto current = selectedUnit ? std::find(ids.begin(), ids.end(), *selectedUnit) : ids.end();
    const bool following = current != ids.end() && current + 1 != ids.end();
    selectUnit(following ? *(current + 1) : ids.front(), true);
}

void Client::moveTo(Hex target) {
    if (!selectedUnit) {
        return;
    }
    const Unit* unit = army.find(*selectedUnit);
    if (battle && (unit == nullptr || unit->side == redSide)) {
        range.clear();
        movementMessage = "Rot wird von der KI gesteuert";
        return;
    }
    const MoveResult result =
        battle ? battle->move(gameMap(), army, *selectedUnit, target) : army.move(gameMap(), *selectedUnit, target);
    movementMessage = result.message;
    if (result.success) {
        if (const Unit* moved = army.find(*selectedUnit)) {
            selected = moved->position;
        }
    }
    range = battle && battle->finished() ? MovementRange{} : army.reachable(gameMap(), *selectedUnit);
}

void Client::attackUnit(int defender) {
    if (!selectedUnit || !battle) {
        return;
    }
    const CombatResult result = battle->attack(gameMap(), army, *selectedUnit, defender);
    movementMessage = result.message;
    if (const Unit* attacker = army.find(*selectedUnit)) {
        selected = attacker->position;
        range = army.reachable(gameMap(), *selectedUnit);
    } else {
        selectedUnit.reset();
        selected.reset();
        range.clear();
    }
    if (battle->finished()) {
        range.clear();
    }
    updateHover();
}

// Ends Blue's turn; the computer plays its whole turn inside this call and hands it back.
void Client::renewMovement() {
    if (!battle) {
        return;
    }
    if (!battle->endTurn(army, blueSide)) {
        movementMessage = battle->status();
        return;
    }
    battle->playAi(gameMap(), army);
    selectedUnit.reset();
    selected.reset();
    range.clear();
    movementMessage = battle->finished() ? battle->status() : "KI-Zug beendet. Blau am Zug.";
    updateHover();
}

// A new game on the map as loaded: built bridges are gone, units and scenario start over. Camera,
// hover and the geography layers stay.
void Client::restartBattle() {
    if (!battle) {
        return;
    }
    const bool worldMap = map.isWorld();
    map = Map::load(dataDirectory / "world.json");
    if (regularMap) {
        regularMap = playGridFor(map);
    }
    army = Army::load(gameMap(), dataDirectory / "units.json");
    battle = Battle::load(gameMap(), army, dataDirectory / "battles.json");
    ++mapGeneration;
    miniTexture.reset();
    selectedUnit.reset();
    range.clear();
    selected.reset();
    movementMessage = "Neue Partie";
    bridgeMode = false;
    showLog = false;
    dragging = false;
    selectUnit(1, worldMap);
    if (!worldMap) {
        fit();
    }
}

void Client::buildBridge() {
    if (battle && battle->finished()) {
        movementMessage = "Partie beendet";
        return;
    }
    const auto candidate = bridgeCandidate();
    if (!candidate) {
        movementMessage = camera.scale < bridgeScale ? "Bitte naeher heranzoomen. B/ESC: Baumodus beenden"
                                                     : "Eine Flussstelle anklicken. B/ESC: Baumodus beenden";
        return;
    }
    const RiverEdge edge = map.rivers().at(candidate->source);
    if (map.bridgeBetween(edge.a, edge.b)) {
        movementMessage = "Hier steht bereits eine Bruecke. B/ESC: Beenden";
        return;
    }
    if (!map.setBridge(edge.a, edge.b, true)) {
        movementMessage = "Bruecken benoetigen zwei Landufer. B/ESC: Beenden";
        return;
    }
    if (regularMap) {
        regularMap->syncSourceBridge(map, candidate->source);
    }
    ++mapGeneration;
    miniTexture.reset();
    if (selectedUnit) {
        range = army.reachable(gameMap(), *selectedUnit);
    }
    movementMessage = "Bruecke gebaut - Flusssperre aufgehoben. B/ESC: Beenden";
}

// The unit whose icon holds the point, the nearest icon centre winning; none below unit zoom.
std::optional<int> Client::unitAt(Point screen) const {
    if (camera.scale < 14 || !onMap(screen)) {
        return std::nullopt;
    }
    std::optional<int> found;
    double best = std::numeric_limits<double>::max();
    for (const Unit& unit : army.units()) {
        unitCopies(unit, [&](Point s) {
            const SDL_Rect r = unitBounds(s, unitHitSize);
            if (r.x <= screen.x && screen.x < r.x + r.w && r.y <= screen.y && screen.y < r.y + r.h) {
                const double d = (screen.x - s.x) * (screen.x - s.x) + (screen.y - s.y) * (screen.y - s.y);
                if (d < best) {
                    best = d;
                    found = unit.id;
                }
            }
        });
    }
    return found;
}

// The path arrow and reach show only for a unit that may still move now, close enough to see fields.
bool Client::movementPreviewVisible() const {
    const Unit* unit = selectedUnit ? army.find(*selectedUnit) : nullptr;
    if (unit == nullptr || unit->moved || unit->attacked || camera.scale < 14) {
        return false;
    }
    if (battle && (battle->finished() || battle->activeSide() != blueSide || unit->side != blueSide)) {
        return false;
    }
    return std::any_of(range.begin(), range.end(), [](const auto& entry) { return entry.second.cost > 0; });
}

// Large icons are hit with the label below them; small ones only on a square of at most 7 pixels.
SDL_Rect Client::unitBounds(Point centre, int size) {
    const int cx = static_cast<int>(std::lround(centre.x));
    const int cy = static_cast<int>(std::lround(centre.y));
    if (size > 19) {
        return {cx - size / 2, cy - size / 2, size, 7 * size / 16 + size / 2 + (size >= 40 ? 18 : 11)};
    }
    const int s = std::min(size, 7);
    return {cx - s / 2, cy - s / 2, s, s};
}

void Client::clearRange() { range.clear(); }

std::size_t Client::unitCount() const { return army.units().size(); }

std::size_t Client::unitListFirst() const {
    const auto& units = army.units();
    const auto chosen = std::find_if(units.begin(), units.end(), [&](const Unit& u) { return selectedUnit == u.id; });
    const auto index = static_cast<std::size_t>(chosen - units.begin());
    const std::size_t rows = unitListSize();
    return chosen != units.end() && index >= rows ? index - rows + 1 : 0;
}

int Client::unitIdAt(std::size_t listIndex) const { return army.units().at(listIndex).id; }

bool Client::battleDecided() const { return battle && battle->finished(); }

// A click on a Red unit attacks it when a Blue unit is selected and a battle is running.
bool Client::canAttack(int unitId) const {
    const Unit* selectedOne = selectedUnit ? army.find(*selectedUnit) : nullptr;
    const Unit* target = army.find(unitId);
    return battle && selectedOne && target && selectedOne->side == blueSide && target->side == redSide;
}

} // namespace korvan
