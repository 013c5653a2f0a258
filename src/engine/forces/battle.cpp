// Scenario state: construction checks, turn and round flow, victory, dice and the log.
#include "core/json_values.hpp"
#include "forces/battle.hpp"
#include "forces/combat.hpp"
#include "map/map.hpp"

#include <algorithm>
#include <stdexcept>

namespace korvan {

Battle::Battle(const Map& map, const Army& army, std::vector<Objective> objectives, int roundLimit,
               std::uint32_t seed)
    : limit_(roundLimit), random_(seed == 0 ? 1 : seed), objectives_(std::move(objectives)) {
    if (roundLimit < 1 || roundLimit > maxRoundLimit || objectives_.empty() || objectives_.size() > maxObjectives) {
        throw std::runtime_error("Ungueltiges Szenario");
    }
    for (std::size_t i = 0; i < objectives_.size(); ++i) {
        const Objective& objective = objectives_[i];
        bool valid = isPlainName(objective.name, 28) && (objective.owner == blueSide || objective.owner == redSide) &&
                     map.contains(objective.position) && map.at(objective.position).terrain != Terrain::Water;
        for (std::size_t j = 0; valid && j < i; ++j) {
            valid = !(objectives_[j].position == objective.position);
        }
        if (!valid) {
            throw std::runtime_error("Ungueltiges Szenarioziel");
        }
        const Unit* holder = army.at(objective.position);
        if (holder != nullptr && holder->side != objective.owner) {
            throw std::runtime_error("Startbelegung widerspricht Zielbesitzer");
        }
    }
    record("Operation begonnen. Blau am Zug.");
    evaluate(army);
}

std::string Battle::status() const {
    switch (outcome_) {
    case Outcome::BlueVictory:
        return "SIEG BLAU";
    case Outcome::RedVictory:
        return "SIEG ROT";
    case Outcome::Draw:
        return "UNENTSCHIEDEN";
    case Outcome::Ongoing:
        break;
    }
    return "RUNDE " + std::to_string(round_) + "/" + std::to_string(limit_) +
           (active_ == blueSide ? " - BLAU" : " - ROT");
}

BattleState Battle::state() const {
    BattleState s{active_, round_, random_, outcome_, {}, log_};
    for (const Objective& objective : objectives_) {
        s.owners.push_back(objective.owner);
    }
    return s;
}

void Battle::restore(BattleState s) {
    const bool side = s.active == blueSide || s.active == redSide;
    const bool outcome = static_cast<int>(s.outcome) >= 0 && static_cast<int>(s.outcome) <= 3;
    const bool owners = s.owners.size() == objectives_.size() &&
                        std::all_of(s.owners.begin(), s.owners.end(), [](int o) { return o == blueSide || o == redSide; });
    if (!side || !outcome || !owners || s.round < 1 || s.round > limit_ || s.random == 0 || s.log.size() > logLimit) {
        throw std::runtime_error("Ungueltiger Partiestand");
    }
    active_ = s.active;
    round_ = s.round;
    random_ = s.random;
    outcome_ = s.outcome;
    for (std::size_t i = 0; i < objectives_.size(); ++i) {
        objectives_[i].owner = s.owners[i];
    }
    log_ = std::move(s.log);
    report_ = {};
}

int Battle::roll() {
    random_ = xorshift32(random_);
    return static_cast<int>(random_ % 5);
}

void Battle::record(std::string line) {
    log_.push_back(std::move(line));
    if (log_.size() > logLimit) {
        log_.erase(log_.begin());
    }
}

void Battle::evaluate(const Army& army) {
    if (finished()) {
        return;
    }
    bool blue = false;
    bool red = false;
    for (const Unit& unit : army.units()) {
        (unit.side == blueSide ? blue : red) = true;
    }
    if (!blue && !red) {
        outcome_ = Outcome::Draw;
    } else if (!blue) {
        outcome_ = Outcome::RedVictory;
    } else if (!red) {
        outcome_ = Outcome::BlueVictory;
    } else {
        bool allBlue = true;
        for (const Objective& objective : objectives_) {
            allBlue = allBlue && objective.owner == blueSide;
        }
        if (allBlue) {
            outcome_ = Outcome::BlueVictory;
        }
    }
    if (finished()) {
        record(status());
    }
}

bool Battle::endTurn(Army& army, int side) {
    if (finished() || side != active_) {
        return false;
    }
    if (active_ == redSide && round_ == limit_) {
        outcome_ = Outcome::RedVictory;
        record("Zeitlimit: Rot haelt mindestens ein Ziel.");
        return true;
    }
    if (active_ == redSide) {
        ++round_;
    }
    active_ = active_ == blueSide ? redSide : blueSide;
    report_ = {};
    for (Unit& unit : army.units_) {
        if (unit.side == active_) {
            unit.remaining = army.type(unit).movement;
            unit.moved = false;
            unit.attacked = false;
        }
    }
    record(status());
    return true;
}

MoveResult Battle::move(const Map& map, Army& army, int id, Hex target) {
    if (finished()) {
        return {false, "Partie beendet", {}, 0};
    }
    const Unit* unit = army.find(id);
    if (unit == nullptr || unit->side != active_) {
        return {false, "Andere Seite am Zug", {}, 0};
    }
    const int side = unit->side;
    const std::string name = unit->name;
    MoveResult result = army.move(map, id, target);
    if (result.success) {
        ++report_.moves;
        noteActed(id);
        if (side == redSide) {
            record(name + " zieht nach " + std::to_string(target.q) + "/" + std::to_string(target.r));
        }
        for (Objective& objective : objectives_) {
            if (objective.position == target && objective.owner != side) {
                objective.owner = side;
                record(objective.name + (side == blueSide ? ": Blau erobert" : ": Rot erobert"));
                result.message += " - " + objective.name + " erobert";
                report_.captured.push_back(objective.name);
            }
        }
        evaluate(army);
    }
    return result;
}

void Battle::noteActed(int id) {
    if (std::find(report_.acted.begin(), report_.acted.end(), id) == report_.acted.end()) {
        report_.acted.push_back(id);
    }
}

} // namespace korvan
