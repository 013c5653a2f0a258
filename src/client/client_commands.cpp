// Game commands behind the input: unit selection, moves, attacks, turns, restart and bridges.
// The forces are not part of the client yet, so the commands have nothing to act on.
#include "client.hpp"

namespace korvan {

void Client::selectUnit(int, bool) {}
void Client::nextUnit() {}
void Client::moveTo(Hex) {}
void Client::attackUnit(int) {}
void Client::renewMovement() {}
void Client::restartBattle() {}
void Client::buildBridge() {}
std::optional<int> Client::unitAt(Point) const { return std::nullopt; }

void Client::clearRange() {}
std::size_t Client::unitCount() const { return 0; }
int Client::unitIdAt(std::size_t) const { return 0; }
bool Client::battleDecided() const { return false; }
bool Client::canAttack(int) const { return false; }

} // namespace korvan
