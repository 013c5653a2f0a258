// Army look-ups, terrain costs and the per-turn refresh of movement.
#include "forces/army.hpp"

#include "core/json_values.hpp"
#include "map/map.hpp"

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

void Army::restoreUnits(const Map& map, std::vector<Unit> units) {
    if (units.size() > maxUnits) {
        throw std::runtime_error("Zu viele Einheiten");
    }
    for (std::size_t i = 0; i < units.size(); ++i) {
        const Unit& unit = units[i];
        bool valid = unit.id >= 1 && (unit.side == blueSide || unit.side == redSide) && unit.type >= 0 &&
                     std::size_t(unit.type) < types_.size() && isPlainName(unit.name, 48) && map.contains(unit.position) &&
                     unit.strength >= 1 && unit.strength <= 10;
        if (valid) {
            const UnitType& kind = types_[std::size_t(unit.type)];
            valid = unit.ammo >= 0 && unit.ammo <= kind.maxAmmo && unit.remaining >= 0 &&
                    unit.remaining <= kind.movement && terrainCost(kind, map.at(unit.position)) >= 0;
        }
        for (std::size_t j = 0; valid && j < i; ++j) {
            valid = units[j].id != unit.id && !(units[j].position == unit.position);
        }
        if (!valid) {
            throw std::runtime_error("Ungueltige Einheit " + std::to_string(i + 1));
        }
    }
    units_ = std::move(units);
}

void Army::refreshMovement() {
    for (Unit& unit : units_) {
        unit.remaining = type(unit).movement;
        unit.moved = false;
        unit.attacked = false;
    }
}

} // namespace korvan
