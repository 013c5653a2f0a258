// Combat resolution: the attack preview and the simultaneous exchange of fire.
#include "forces/battle.hpp"
#include "forces/combat.hpp"
#include "map/map.hpp"

#include <algorithm>
#include <cstdlib>

namespace korvan {

int separation(const Map& map, Hex a, Hex b) {
    int best = hexDistance(a, b);
    if (map.wraps()) {
        // Shifting q by the width moves b by one whole copy of the world in odd-r rows.
        best = std::min({best, hexDistance(a, {b.q - map.width(), b.r}), hexDistance(a, {b.q + map.width(), b.r})});
    }
    return best;
}

int cover(Terrain terrain) {
    switch (terrain) {
    case Terrain::Forest:
    case Terrain::Hills:
        return 2;
    case Terrain::Mountain:
    case Terrain::City:
        return 4;
    default:
        return 0;
    }
}

int damage(const Army& army, const Unit& firing, const Unit& target, Tile targetTile, int variation) {
    const UnitType& shooter = army.type(firing);
    const UnitType& victim = army.type(target);
    const int power = victim.kind == UnitClass::Tank ? shooter.attackHard : shooter.attackSoft;
    // 64-bit: the product stays exact for any strength a caller may hand in.
    const std::int64_t raw = std::int64_t(power) * firing.strength * (variation + 8) /
                             (std::int64_t(victim.defense + cover(targetTile.terrain) + 4) * 20);
    return static_cast<int>(std::clamp<std::int64_t>(raw, 1, 10));
}

AttackPreview Battle::preview(const Map& map, const Army& army, int attacker, int defender) const {
    const auto refuse = [](const char* message) { return AttackPreview{false, message, 0, 0, 0, 0}; };
    if (finished()) {
        return refuse("Partie beendet");
    }
    const Unit* a = army.find(attacker);
    const Unit* d = army.find(defender);
    if (a == nullptr || d == nullptr) {
        return refuse("Einheit nicht gefunden");
    }
    if (a->side != active_) {
        return refuse("Andere Seite am Zug");
    }
    if (a->side == d->side) {
        return refuse("Kein feindliches Ziel");
    }
    if (a->attacked) {
        return refuse("Bereits angegriffen");
    }
    if (a->ammo <= 0) {
        return refuse("Keine Munition");
    }
    const int distance = separation(map, a->position, d->position);
    if (distance > army.type(*a).range) {
        return refuse("Ziel ausser Reichweite");
    }
    AttackPreview p{true, "Angriff moeglich", 0, 0, 0, 0};
    const Tile defenderTile = map.at(d->position);
    p.defenderMin = std::min(damage(army, *a, *d, defenderTile, 0), d->strength);
    p.defenderMax = std::min(damage(army, *a, *d, defenderTile, 4), d->strength);
    if (d->ammo > 0 && army.type(*d).range >= distance) {
        const Tile attackerTile = map.at(a->position);
        p.attackerMin = std::min(damage(army, *d, *a, attackerTile, 0), a->strength);
        p.attackerMax = std::min(damage(army, *d, *a, attackerTile, 4), a->strength);
    }
    return p;
}

CombatResult Battle::attack(const Map& map, Army& army, int attacker, int defender) {
    const AttackPreview p = preview(map, army, attacker, defender);
    if (!p.legal) {
        return {false, p.message, 0, 0, false, false};
    }
    const Unit a = *army.find(attacker);
    const Unit d = *army.find(defender);
    const bool returnFire = d.ammo > 0 && army.type(d).range >= separation(map, a.position, d.position);

    // Both shots use the strengths from before the exchange: the fire is simultaneous.
    const int defenderLoss = std::min(damage(army, a, d, map.at(d.position), roll()), d.strength);
    const int attackerLoss = returnFire ? std::min(damage(army, d, a, map.at(a.position), roll()), a.strength) : 0;

    Unit* liveAttacker = army.findMutable(attacker);
    liveAttacker->strength -= attackerLoss;
    liveAttacker->ammo -= 1;
    liveAttacker->attacked = true;
    Unit* liveDefender = army.findMutable(defender);
    liveDefender->strength -= defenderLoss;
    if (returnFire) {
        liveDefender->ammo -= 1;
    }
    std::erase_if(army.units_, [](const Unit& unit) { return unit.strength <= 0; });

    const bool attackerDestroyed = attackerLoss == a.strength;
    const bool defenderDestroyed = defenderLoss == d.strength;
    ++report_.attacks;
    report_.ownLoss += attackerLoss;
    report_.enemyLoss += defenderLoss;
    report_.ownDestroyed += attackerDestroyed ? 1 : 0;
    report_.enemyDestroyed += defenderDestroyed ? 1 : 0;
    noteActed(attacker);

    std::string line = a.name + " -> " + d.name + ": -" + std::to_string(defenderLoss) + " / Gegenfeuer -" +
                       std::to_string(attackerLoss);
    // A unit that is gone is named, so the log says what became of it.
    for (const Unit* lost : {defenderDestroyed ? &d : nullptr, attackerDestroyed ? &a : nullptr}) {
        if (lost != nullptr) {
            line += " - " + lost->name + " VERNICHTET";
        }
    }
    record(line);
    evaluate(army);
    return {true, std::move(line), attackerLoss, defenderLoss, attackerDestroyed, defenderDestroyed};
}

} // namespace korvan
