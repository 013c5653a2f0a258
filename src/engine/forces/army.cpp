// Army look-ups, terrain costs and the per-turn refresh of movement.
#include "forces/army.hpp"

#include <stdexcept>
#include <utility>

namespace korvan {

const Unit* Army::find(int id) const {
    for (const Unit& unit : units_) {
        if (unit.id == id) {
            return &unit;
        }
    }
    return nullptr;
}

Unit* Army::findMutable(int id) { return const_cast<Unit*>(std::as_const(*this).find(id)); }

const Unit* Army::at(Hex h) const {
    for (const Unit& unit : units_) {
        if (unit.position == h) {
            return &unit;
        }
    }
    return nullptr;
}

const UnitType& Army::type(const Unit& unit) const {
    if (unit.type < 0 || std::size_t(unit.type) >= types_.size()) {
        throw std::out_of_range("Ungueltiger Einheitentyp-Index");
    }
    return types_[std::size_t(unit.type)];
}

int Army::terrainCost(const UnitType& type, Tile tile) {
    if (tile.terrain == Terrain::Water) {
        // Only a road bridge carries ground units across open water.
        return tile.road && tile.bridge ? type.roadCost : -1;
    }
    const int cost = type.costs[static_cast<std::size_t>(tile.terrain)];
    if (cost < 0) {
        return -1; // a road does not open impassable terrain
    }
    return tile.road ? type.roadCost : cost;
}

void Army::refreshMovement() {
    for (Unit& unit : units_) {
        unit.remaining = type(unit).movement;
        unit.moved = false;
        unit.attacked = false;
    }
}

} // namespace korvan
