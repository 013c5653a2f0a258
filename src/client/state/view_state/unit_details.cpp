// The unit details of the hover panel.
#include "view_state/unit_details.hpp"

#include "view_state/view_state.hpp"

namespace korvan {

const char* unitClassLabel(UnitClass kind) {
    switch (kind) {
    case UnitClass::Tank:
        return "PANZER";
    case UnitClass::Infantry:
        return "INFANTERIE";
    case UnitClass::Recon:
        return "AUFKLAERUNG";
    }
    return "EINHEIT";
}

std::vector<std::string> unitDetailLines(const Army& army, const Unit& unit) {
    const UnitType& type = army.type(unit);
    return {upper(unit.name),
            upper(type.name) + " - " + unitClassLabel(type.kind) + (unit.side == blueSide ? " - BLAU" : " - ROT"),
            "STAERKE " + std::to_string(unit.strength) + "/10  MUNITION " + std::to_string(unit.ammo) + "/" +
                std::to_string(type.maxAmmo),
            "BEWEGUNG " + std::to_string(unit.remaining) + "/" + std::to_string(type.movement) + "  REICHWEITE " +
                std::to_string(type.range)};
}

} // namespace korvan
