// Game commands behind the input: unit selection, moves, attacks, turns, restart and bridges.
// The commands themselves come with the game's command layer; until then they leave the state alone.
#include "client/client.hpp"

#include <algorithm>
#include <cmath>

namespace korvan {

void Client::selectUnit(int, bool) {}
void Client::nextUnit() {}
void Client::moveTo(Hex) {}
void Client::attackUnit(int) {}
void Client::renewMovement() {}
void Client::restartBattle() {}
void Client::buildBridge() {}
std::optional<int> Client::unitAt(Point) const { return std::nullopt; }

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

int Client::unitIdAt(std::size_t listIndex) const { return army.units().at(listIndex).id; }

bool Client::battleDecided() const { return battle && battle->finished(); }

// A click on a Red unit attacks it when a Blue unit is selected and a battle is running.
bool Client::canAttack(int unitId) const {
    const Unit* selectedOne = selectedUnit ? army.find(*selectedUnit) : nullptr;
    const Unit* target = army.find(unitId);
    return battle && selectedOne && target && selectedOne->side == blueSide && target->side == redSide;
}

} // namespace korvan
