// The goal line of the top bar and the reason in the result box.
#include "view_state/battle_text.hpp"

#include <algorithm>

namespace korvan {

namespace {

int blueObjectives(const Battle& battle) {
    const auto& objectives = battle.objectives();
    return static_cast<int>(
        std::count_if(objectives.begin(), objectives.end(), [](const Objective& o) { return o.owner == blueSide; }));
}

bool hasUnits(const Army& army, int side) {
    return std::any_of(army.units().begin(), army.units().end(), [&](const Unit& u) { return u.side == side; });
}

} // namespace

std::string goalText(const Battle& battle) {
    const std::string all = std::to_string(battle.objectives().size());
    return "ZIEL: ALLE " + all + " ZIELORTE NEHMEN - BLAU HAELT " + std::to_string(blueObjectives(battle)) + "/" + all +
           " - NACH RUNDE " + std::to_string(battle.roundLimit()) + " SIEGT ROT";
}

std::string endReason(const Battle& battle, const Army& army) {
    const int held = blueObjectives(battle);
    const int all = static_cast<int>(battle.objectives().size());
    switch (battle.outcome()) {
    case Outcome::BlueVictory:
        return hasUnits(army, redSide) ? "BLAU HAELT ALLE " + std::to_string(all) + " ZIELORTE"
                                       : "ALLE ROTEN EINHEITEN VERNICHTET";
    case Outcome::RedVictory:
        return hasUnits(army, blueSide) ? "RUNDE " + std::to_string(battle.roundLimit()) + " VORBEI - ROT HAELT NOCH " +
                                              std::to_string(all - held) + " ZIELORTE"
                                        : "ALLE BLAUEN EINHEITEN VERNICHTET";
    case Outcome::Draw:
        return "KEINE EINHEIT MEHR IM FELD";
    case Outcome::Ongoing:
        break;
    }
    return {};
}

} // namespace korvan
