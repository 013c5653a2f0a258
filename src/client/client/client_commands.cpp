// Game commands behind the input: unit selection, moves, attacks, turns, restart and bridges.
// The commands themselves come with the game's command layer; until then they leave the state alone.
#include "client/client.hpp"

namespace korvan {

void Client::selectUnit(int, bool) {}
void Client::nextUnit() {}
void Client::moveTo(Hex) {}
void Client::attackUnit(int) {}
void Client::renewMovement() {}
void Client::restartBattle() {}
void Client::buildBridge() {}
std::optional<int> Client::unitAt(Point) const { return std::nullopt; }

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
