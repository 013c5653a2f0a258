// A scripted Blue for whole games against the computer's Red: every unit fires where it hurts most,
// otherwise advances towards the nearest objective Red still holds and fires from there.
#pragma once

#include "forces/army.hpp"
#include "forces/battle.hpp"
#include "map/map.hpp"

#include <algorithm>
#include <climits>
#include <functional>
#include <map>
#include <queue>
#include <string>
#include <tuple>
#include <vector>

namespace korvan::scripted {

using CostField = std::map<Hex, int, HexLess>;

// Movement cost from each field to the nearest goal for one unit type, obeying terrain and
// rivers like a move does; units do not block it. Fields beyond `limit` are left out: the
// operation area is small, and the world grid has sixteen million fields.
inline CostField goalCosts(const Map& map, const UnitType& type, const std::vector<Hex>& goals, int limit,
                    bool crossAnyRiver = false) {
    CostField cost;
    using Entry = std::tuple<int, int, int>;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> queue;
    for (const Hex goal : goals) {
        cost[goal] = 0;
        queue.emplace(0, goal.q, goal.r);
    }
    while (!queue.empty()) {
        const auto [c, q, r] = queue.top();
        queue.pop();
        const Hex h{q, r};
        if (cost[h] != c || c > limit) {
            continue;
        }
        // Stepping from a neighbour onto h costs entering h.
        const int step = Army::terrainCost(type, map.at(h));
        if (step < 0) {
            continue;
        }
        for (const Hex n : map.adjacent(h)) {
            if (Army::terrainCost(type, map.at(n)) < 0 || (!crossAnyRiver && !map.riverCrossingOpen(h, n))) {
                continue;
            }
            const auto known = cost.find(n);
            if (known == cost.end() || known->second > c + step) {
                cost[n] = c + step;
                queue.emplace(c + step, n.q, n.r);
            }
        }
    }
    return cost;
}

inline int costAt(const CostField& cost, Hex h) {
    const auto found = cost.find(h);
    return found == cost.end() ? INT_MAX : found->second;
}

// Fires at the target that loses most (a sure kill above all), less the return fire to expect.
inline void fireBest(Battle& battle, const Map& map, Army& army, int id) {
    const Unit* shooter = army.find(id);
    if (shooter == nullptr || battle.finished()) {
        return;
    }
    int best = INT_MIN;
    int target = 0;
    for (const Unit& enemy : army.units()) {
        if (enemy.side == shooter->side) {
            continue;
        }
        const AttackPreview p = battle.preview(map, army, id, enemy.id);
        if (!p.legal) {
            continue;
        }
        const int score = (p.defenderMin + p.defenderMax) * 5 - (p.attackerMin + p.attackerMax) * 4 +
                          (p.defenderMin >= enemy.strength ? 100 : 0);
        if (score > best) {
            best = score;
            target = enemy.id;
        }
    }
    if (target != 0) {
        battle.attack(map, army, id, target);
    }
}

// Blue's plan, the same every turn: units that fire from beyond the enemy's reach act first;
// each unit fires if it can, otherwise advances as far as it gets towards the nearest
// objective Red still holds and fires from there.
inline void blueTurn(Battle& battle, const Map& map, Army& army) {
    std::vector<int> ids;
    for (const Unit& unit : army.units()) {
        if (unit.side == blueSide) {
            ids.push_back(unit.id);
        }
    }
    std::stable_sort(ids.begin(), ids.end(), [&](int a, int b) {
        return army.type(*army.find(a)).range > army.type(*army.find(b)).range;
    });
    std::vector<Hex> goals;
    for (const Objective& objective : battle.objectives()) {
        if (objective.owner != blueSide) {
            goals.push_back(objective.position);
        }
    }
    std::map<std::string, CostField> costs; // per unit type, for this turn's goals
    for (const int id : ids) {
        if (battle.finished()) {
            return;
        }
        fireBest(battle, map, army, id);
        const Unit* unit = army.find(id);
        if (unit == nullptr || unit->attacked) {
            continue;
        }
        const UnitType& type = army.type(*unit);
        auto field = costs.find(type.id);
        if (field == costs.end()) {
            field = costs.emplace(type.id, goalCosts(map, type, goals, 60)).first;
        }
        Hex best = unit->position;
        for (const auto& [hex, node] : army.reachable(map, id)) {
            if (costAt(field->second, hex) < costAt(field->second, best)) {
                best = hex;
            }
        }
        if (!(best == unit->position)) {
            battle.move(map, army, id, best);
        }
        fireBest(battle, map, army, id);
    }
}


// Plays a battle to its end: the scripted Blue, then the computer's Red; the bound only guards
// against a turn that never ends.
inline void playToEnd(Battle& battle, const Map& map, Army& army) {
    for (int turn = 0; !battle.finished() && turn < 2 * battle.roundLimit() + 2; ++turn) {
        if (battle.activeSide() == blueSide) {
            blueTurn(battle, map, army);
            if (!battle.finished()) {
                battle.endTurn(army, blueSide);
            }
        } else {
            battle.playAi(map, army);
        }
    }
}

} // namespace korvan::scripted
