// The computer opponent: fire at the best target, else march towards the nearest goal and fire again.
#include "forces/ai.hpp"
#include "forces/battle.hpp"
#include "forces/combat.hpp"
#include "map/map.hpp"

#include <algorithm>
#include <limits>
#include <memory>

namespace korvan {

DistanceSearch::DistanceSearch(const Map& map, const RiverBarriers* barriers, int popLimit)
    : map_(&map), barriers_(barriers), popLimit_(popLimit) {}

void DistanceSearch::start(const UnitType& type, const std::vector<Hex>& targets) {
    type_ = type;
    for (std::size_t byte = 0; byte < entryCosts_.size(); ++byte) {
        const Tile tile = unpackTile(static_cast<std::uint8_t>(byte));
        // Bytes beyond the terrain values never occur on a loaded map.
        entryCosts_[byte] = static_cast<int>(tile.terrain) < terrainCount ? Army::terrainCost(type, tile) : -1;
    }
    targets_ = targets;
    fields_.clear();
    updates_.clear();
    queue_.reset(*std::max_element(entryCosts_.begin(), entryCosts_.end()));
    pops_ = 0;
    pending_ = false;
    for (const Hex target : targets_) {
        write(target, 0);
        queue_.push({0, target});
    }
}

bool DistanceSearch::serves(const UnitType& type, const std::vector<Hex>& targets) const {
    // Entry costs depend on these two alone, so types that share them share the search.
    return type.roadCost == type_.roadCost && type.costs == type_.costs && targets == targets_;
}

void DistanceSearch::write(Hex h, int value) {
    Field& field = fields_.at(h);
    updates_.push_back({value, pops_, field.latest});
    field.value = value;
    field.latest = static_cast<int>(updates_.size()) - 1;
}

int DistanceSearch::current(Hex h) const {
    const Field* field = fields_.find(h);
    return field != nullptr ? field->value : unreached;
}

void DistanceSearch::expand(const SearchEntry& entry) {
    // Stepping from a neighbour onto this field costs entering this field.
    const int step = enterCost(entry.hex);
    if (step < 0) {
        return;
    }
    const int total = entry.cost + step;
    for (const Hex n : neighboursOf(*map_, entry.hex)) {
        // The river look-up is the expensive check: only for steps that would improve n.
        const Field* field = fields_.find(n);
        if ((field != nullptr && field->latest >= 0 && field->value <= total) || enterCost(n) < 0) {
            continue;
        }
        if (barriers_ != nullptr ? !barriers_->crossingOpen(entry.hex, n) : !map_->riverCrossingOpen(entry.hex, n)) {
            continue;
        }
        write(n, total);
        queue_.push({total, n});
    }
}

DistanceSearch::View DistanceSearch::stopAt(Hex stop) {
    if (const Field* field = fields_.find(stop); field != nullptr && field->settled >= 0) {
        return View(*this, field->settled);
    }
    if (pending_) {
        // The previous unit's search ended on this pop; a longer one goes on to expand it.
        pending_ = false;
        expand(pendingEntry_);
    }
    while (pops_ < popLimit_ && !queue_.empty()) {
        const SearchEntry top = queue_.pop();
        ++pops_;
        if (current(top.hex) != top.cost) {
            continue; // outdated
        }
        Field& field = fields_.at(top.hex);
        if (field.settled < 0) {
            field.settled = pops_;
        }
        if (top.hex == stop) {
            pending_ = true;
            pendingEntry_ = top;
            return View(*this, pops_);
        }
        expand(top);
    }
    return View(*this, std::numeric_limits<int>::max());
}

int DistanceSearch::View::operator()(Hex h) const {
    const Field* field = search_->fields_.find(h);
    for (int i = field != nullptr ? field->latest : -1; i >= 0; i = search_->updates_[std::size_t(i)].previous) {
        const Update& update = search_->updates_[std::size_t(i)];
        if (update.pop < cutoff_) {
            return update.value;
        }
    }
    return unreached;
}

namespace {

// The computer only looks this far for enemy units to march on.
constexpr int enemySearchRadius = 8;
// Searches kept for reuse within one turn; more only costs memory, fewer only speed.
constexpr std::size_t sharedSearches = 8;

void fire(Battle& battle, const Map& map, Army& army, int id) {
    const Unit* shooter = army.find(id);
    const int side = shooter->side;
    const int range = army.type(*shooter).range;
    const Hex from = shooter->position;
    int best = -1000;
    int target = 0;
    bool found = false;
    for (const Unit& unit : army.units()) {
        // Out of range the preview refuses anyway; skipping early saves its look-ups.
        if (unit.side == side || separation(map, from, unit.position) > range) {
            continue;
        }
        const AttackPreview p = battle.preview(map, army, id, unit.id);
        if (!p.legal) {
            continue;
        }
        // Ten per point of the favourable roll, 100 for a sure kill, minus the worst return fire.
        const int score = std::min(p.defenderMax, unit.strength) * 10 + (p.defenderMin >= unit.strength ? 100 : 0) -
                          p.attackerMax;
        if (score > best) {
            best = score;
            target = unit.id;
            found = true;
        }
    }
    if (found) {
        battle.attack(map, army, id, target);
    }
}

struct Goals {
    std::vector<Hex> targets;
    bool shared = false; // objectives, the same for every unit of the side
};

// Enemy-held objectives, else enemy units nearby, else every objective.
Goals goalsFor(const Battle& battle, const Map& map, const Army& army, const Unit& unit) {
    Goals goals;
    for (const Objective& objective : battle.objectives()) {
        if (objective.owner != unit.side) {
            goals.targets.push_back(objective.position);
        }
    }
    if (!goals.targets.empty()) {
        goals.shared = true;
        return goals;
    }
    for (const Unit& other : army.units()) {
        if (other.side != unit.side && separation(map, unit.position, other.position) <= enemySearchRadius) {
            goals.targets.push_back(other.position);
        }
    }
    if (!goals.targets.empty()) {
        return goals;
    }
    for (const Objective& objective : battle.objectives()) {
        goals.targets.push_back(objective.position);
    }
    goals.shared = true;
    return goals;
}

// Objective searches are kept for the units after; a search for nearby enemies is the unit's own.
class SearchPool {
public:
    SearchPool(const Map& map, const RiverBarriers& barriers) : map_(&map), barriers_(&barriers) {}

    DistanceSearch& searchFor(const UnitType& type, const Goals& goals) {
        if (!goals.shared) {
            return fresh(scratch_, type, goals.targets);
        }
        for (const auto& search : shared_) {
            if (search->serves(type, goals.targets)) {
                return *search;
            }
        }
        if (shared_.size() < sharedSearches) {
            shared_.push_back(nullptr);
        } else {
            std::rotate(shared_.begin(), shared_.begin() + 1, shared_.end()); // drop the oldest
        }
        return fresh(shared_.back(), type, goals.targets);
    }

private:
    DistanceSearch& fresh(std::unique_ptr<DistanceSearch>& slot, const UnitType& type, const std::vector<Hex>& targets) {
        if (!slot) {
            slot = std::make_unique<DistanceSearch>(*map_, barriers_);
        }
        slot->start(type, targets);
        return *slot;
    }

    const Map* map_;
    const RiverBarriers* barriers_;
    std::unique_ptr<DistanceSearch> scratch_;
    std::vector<std::unique_ptr<DistanceSearch>> shared_;
};

// The reachable field closest to a goal; the first in (q, r) order among equals, the own field if none is closer.
Hex destination(const Map& map, const Army& army, const Unit& unit, const DistanceSearch::View& distance) {
    Hex best = unit.position;
    int bestDistance = distance(best);
    for (const auto& [h, node] : army.reachable(map, unit.id)) {
        const int d = distance(h);
        if (d < bestDistance) {
            best = h;
            bestDistance = d;
        }
    }
    return best;
}

} // namespace

TurnReport Battle::playAi(const Map& map, Army& army) {
    if (finished()) {
        return report_;
    }
    const int side = active_;
    std::vector<int> ids;
    for (const Unit& unit : army.units()) {
        if (unit.side == side) {
            ids.push_back(unit.id);
        }
    }
    const RiverBarriers barriers(map);
    SearchPool searches(map, barriers);
    for (const int id : ids) {
        if (finished()) {
            return report_; // decided: the turn is not ended
        }
        if (army.find(id) == nullptr) {
            continue; // destroyed by return fire earlier this turn
        }
        fire(*this, map, army, id);
        const Unit* unit = army.find(id);
        if (unit == nullptr || unit->attacked || finished()) {
            continue;
        }
        const UnitType& type = army.type(*unit);
        DistanceSearch& search = searches.searchFor(type, goalsFor(*this, map, army, *unit));
        const Hex target = destination(map, army, *unit, search.stopAt(unit->position));
        if (!(target == unit->position)) {
            move(map, army, id, target);
        }
        if (!finished()) {
            fire(*this, map, army, id);
        }
    }
    TurnReport done = report_;
    if (!finished()) {
        endTurn(army, side);
    }
    return done;
}

} // namespace korvan
