// What the panels say about one unit of either side.
#pragma once

#include "forces/army.hpp"

#include <string>
#include <vector>

namespace korvan {

// "PANZER", "INFANTERIE", "AUFKLAERUNG".
const char* unitClassLabel(UnitClass kind);

// The unit's name; type, class and side; strength and ammunition; movement and range. Upper case.
std::vector<std::string> unitDetailLines(const Army& army, const Unit& unit);

} // namespace korvan
