// Reach of a unit, the way to a reached field, and the move itself.
#include "forces/army.hpp"
#include "map/map.hpp"
#include "forces/movement.hpp"

namespace korvan {

RiverBarriers::RiverBarriers(const Map& map)
    : map_(&map), bits_((std::size_t(map.width()) * std::size_t(map.height()) + 63) / 64, 0) {
    for (const RiverEdge& edge : map.rivers()) {
        if (!edge.bridge && !edge.cityCrossing) {
            for (const Hex h : {edge.a, edge.b}) {
                const std::size_t i = map.storageIndex(h);
                bits_[i / 64] |= std::uint64_t(1) << (i % 64);
            }
        }
    }
}

MovementRange Army::reachable(const Map& map, int id) const {
    const Unit* unit = find(id);
    if (unit == nullptr || !map.contains(unit->position)) {
        return {};
    }
    const Hex start = unit->position;
    if (unit->moved || unit->attacked) {
        return {{start, {0, start}}};
    }
    const UnitType& kind = type(*unit);

    // Units of both sides block; a set of their fields replaces a scan of the army per step.
    HexTable<bool> occupied(units_.size());
    for (const Unit& other : units_) {
        if (&other != unit) {
            occupied.insert(other.position, true);
        }
    }
    const bool rivers = !map.rivers().empty();
    return boundedSearch(
        map, start, unit->remaining,
        [&](Hex to) { return occupied.find(to) != nullptr ? -1 : terrainCost(kind, tileOf(map, to)); },
        [&](Hex from, Hex to) { return !rivers || map.riverCrossingOpen(from, to); });
}

std::vector<Hex> movementPath(const MovementRange& range, Hex start, Hex target) {
    if (!range.contains(target)) {
        return {};
    }
    std::vector<Hex> path;
    Hex current = target;
    // A sound chain never holds more hexes than the range; a broken one must not loop forever.
    while (path.size() <= range.size()) {
        path.push_back(current);
        if (current == start) {
            std::reverse(path.begin(), path.end());
            return path;
        }
        const auto found = range.find(current);
        if (found == range.end()) {
            return {};
        }
        current = found->second.previous;
    }
    return {};
}

MoveResult Army::move(const Map& map, int id, Hex target) {
    const auto refuse = [](const char* message) { return MoveResult{false, message, {}, 0}; };
    Unit* unit = findMutable(id);
    if (unit == nullptr) {
        return refuse("Einheit nicht gefunden");
    }
    if (!map.contains(target)) {
        return refuse("Ziel ausserhalb der Karte");
    }
    if (unit->attacked) {
        return refuse("Nach Angriff keine Bewegung");
    }
    if (unit->moved) {
        return refuse("Einheit wurde bereits bewegt");
    }
    if (unit->position == target) {
        return refuse("Einheit steht bereits hier");
    }
    if (at(target) != nullptr) {
        return refuse("Zielfeld ist belegt");
    }
    const MovementRange range = reachable(map, id);
    const auto reached = range.find(target);
    if (reached == range.end()) {
        return refuse("Ziel nicht erreichbar");
    }
    std::vector<Hex> path = movementPath(range, unit->position, target);
    if (path.empty()) {
        return refuse("Kein gueltiger Weg");
    }
    const int cost = reached->second.cost;
    unit->position = target;
    unit->remaining -= cost;
    unit->moved = true;
    return {true, "Bewegung ausgefuehrt", std::move(path), cost};
}

} // namespace korvan
