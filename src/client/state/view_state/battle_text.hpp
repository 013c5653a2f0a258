// What the panels say about the battle as a whole: the goal while it runs, the reason once it is over.
#pragma once

#include "forces/army.hpp"
#include "forces/battle.hpp"

#include <string>

namespace korvan {

// What wins and when: how many objectives Blue must hold, how many it holds, and the last round.
std::string goalText(const Battle& battle);

// Why a decided game ended; empty while it runs.
std::string endReason(const Battle& battle, const Army& army);

} // namespace korvan
