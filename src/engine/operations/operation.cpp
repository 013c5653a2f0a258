// Generating an operation around a city: the land and cities around it decide the objectives, the
// side Blue comes from, the forces and the rounds.
#include "operations/operation.hpp"

#include "core/json_values.hpp"
#include "core/text.hpp"
#include "operations/operation_area.hpp"
#include "operations/operation_files.hpp"
#include "operations/operation_knobs.hpp"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>

namespace korvan {

namespace {

namespace knobs = operation_knobs;

// A name the scenario files accept: letters, digits, spaces, '-' and '.', cut at a word's end.
std::string plainName(std::string_view text, std::size_t limit) {
    std::string result;
    for (const char c : text) {
        if (isPlainName(std::string_view(&c, 1), 1)) {
            if (!(c == ' ' && (result.empty() || result.back() == ' '))) {
                result += c;
            }
        }
    }
    if (result.size() > limit) {
        result.resize(limit);
        const auto space = result.rfind(' ');
        if (space != std::string::npos && space > limit / 2) {
            result.resize(space);
        }
    }
    while (!result.empty() && result.back() == ' ') {
        result.pop_back();
    }
    return result;
}

bool openGround(Terrain t) {
    return t == Terrain::Plain || t == Terrain::Farmland || t == Terrain::Desert || t == Terrain::Scrub;
}

// The unit types the generator fields, found by what they are rather than by their ids.
struct Roles {
    int armour = -1;
    int antitank = -1;
    int mechanised = -1;
    int light = -1;
    int recon = -1;
};

Roles findRoles(const std::vector<UnitType>& types) {
    Roles roles;
    const auto better = [&](int current, int candidate, auto key) {
        return current < 0 || key(types[std::size_t(candidate)]) > key(types[std::size_t(current)]);
    };
    const auto mountainCost = [](const UnitType& t) {
        const int cost = t.costs[std::size_t(Terrain::Mountain)];
        return cost < 0 ? -100 : -cost;
    };
    for (int k = 0; k < static_cast<int>(types.size()); ++k) {
        const UnitType& type = types[std::size_t(k)];
        if (type.kind == UnitClass::Tank) {
            if (better(roles.armour, k, [](const UnitType& t) { return t.defense; })) {
                roles.armour = k;
            }
        } else if (type.kind == UnitClass::Infantry) {
            if (better(roles.mechanised, k, [](const UnitType& t) { return t.movement; })) {
                roles.mechanised = k;
            }
            if (better(roles.light, k, mountainCost)) {
                roles.light = k;
            }
        } else if (better(roles.recon, k, [](const UnitType& t) { return t.movement; })) {
            roles.recon = k;
        }
    }
    for (int k = 0; k < static_cast<int>(types.size()); ++k) {
        if (types[std::size_t(k)].kind == UnitClass::Tank && k != roles.armour &&
            better(roles.antitank, k, [](const UnitType& t) { return t.range * 100 + t.attackHard; })) {
            roles.antitank = k;
        }
    }
    if (roles.light < 0 && roles.mechanised < 0) {
        throw OperationRefused("Keine Infanterie unter den Einheitentypen");
    }
    if (roles.light < 0) {
        roles.light = roles.mechanised;
    }
    if (roles.mechanised < 0) {
        roles.mechanised = roles.light;
    }
    if (roles.armour < 0) {
        roles.armour = roles.mechanised;
    }
    if (roles.antitank < 0) {
        roles.antitank = roles.armour;
    }
    if (roles.recon < 0) {
        roles.recon = roles.armour;
    }
    return roles;
}

// What a unit of a role is called, with its number or home.
std::string roleName(const Roles& roles, int type, const std::string& suffix) {
    const char* kind = type == roles.recon      ? "Aufklaerungsbataillon"
                       : type == roles.antitank ? "Panzerjaegerkompanie"
                       : type == roles.armour   ? "Panzerbataillon"
                       : type == roles.light    ? "Jaegerbataillon"
                                                : "Panzergrenadierbataillon";
    return plainName(std::string(kind) + " " + suffix, 48);
}

struct Candidate {
    std::size_t city;
    Hex offset;
    std::string name;
};

class Generator {
public:
    Generator(const World& world, const std::vector<UnitType>& types, std::size_t city)
        : world_(world), map_(world.gameMap()), types_(types), roles_(findRoles(types)), city_(city) {}

    GeneratedOperation run();

private:
    Hex centreField() const;
    std::vector<Candidate> objectivesWithin(const OperationArea& area, int radius) const;
    std::vector<Hex> blueFields(const OperationArea& area, int objectiveRadius) const;
    void placeRed(const OperationArea& area, Hex blueAnchor);
    void placeBlue(const OperationArea& area, const std::vector<Hex>& fields);
    int typeFor(Terrain terrain, int& openCount) const;
    bool free(Hex offset) const;
    bool enters(int type, Hex field) const { return Army::terrainCost(types_[std::size_t(type)], map_.at(field)) >= 0; }
    std::string operationName(const OperationArea& area) const;

    const World& world_;
    const Map& map_;
    const std::vector<UnitType>& types_;
    Roles roles_;
    std::size_t city_;
    std::string cityName_;
    std::vector<Candidate> objectives_;
    std::vector<OperationUnit> units_;
    std::vector<Hex> taken_; // offsets of placed units
};

Hex Generator::centreField() const {
    const auto field = world_.gameAt(world_.cityWorld(city_));
    if (!field) {
        throw OperationRefused("Zu wenig Land um " + cityName_ + " fuer eine Operation");
    }
    if (map_.terrainAt(*field) != Terrain::Water) {
        return *field;
    }
    // A city on the shore: the nearest land field next to it.
    for (const Hex n : map_.adjacent(*field)) {
        if (map_.terrainAt(n) != Terrain::Water) {
            return n;
        }
    }
    throw OperationRefused("Zu wenig Land um " + cityName_ + " fuer eine Operation");
}

std::vector<Candidate> Generator::objectivesWithin(const OperationArea& area, int radius) const {
    std::vector<Candidate> candidates;
    for (std::size_t k = 0; k < world_.cities.size(); ++k) {
        const auto field = world_.gameAt(world_.cityWorld(k));
        if (!field) {
            continue;
        }
        const Hex offset = area.offsetOf(*field);
        std::string name = plainName(world_.cities[k].name, 28);
        if (hexDistance(offset, {0, 0}) > radius || !area.joined(offset) || name.empty()) {
            continue;
        }
        candidates.push_back({k, offset, std::move(name)});
    }
    // The chosen city first, then capitals, then by population.
    const auto rank = [&](const Candidate& c) {
        const City& city = world_.cities[c.city];
        return std::make_tuple(c.city != city_, !city.capital, -city.population, city.tier, c.city);
    };
    std::sort(candidates.begin(), candidates.end(),
              [&](const Candidate& a, const Candidate& b) { return rank(a) < rank(b); });
    std::vector<Candidate> chosen;
    for (Candidate& c : candidates) {
        const bool crowded = std::any_of(chosen.begin(), chosen.end(), [&](const Candidate& o) {
            return hexDistance(o.offset, c.offset) < knobs::objectiveSpacing || o.name == c.name;
        });
        if (!crowded && chosen.size() < std::size_t(knobs::maxObjectives)) {
            chosen.push_back(std::move(c));
        }
    }
    return chosen;
}

// Land fields of Blue's assembly ring, the side with most land joined to the objectives first.
std::vector<Hex> Generator::blueFields(const OperationArea& area, int objectiveRadius) const {
    const int inner = std::min(objectiveRadius + (knobs::startInner - knobs::objectiveRadius), area.radius() - 2);
    const int outer = std::min(objectiveRadius + (knobs::startOuter - knobs::objectiveRadius), area.radius());
    const auto angleOf = [](Hex offset) {
        const Point p = hexCenter(offset);
        return std::atan2(p.y, p.x);
    };
    std::vector<Hex> ring;
    std::vector<int> score(knobs::sectors, 0);
    for (const Hex offset : area.offsets()) {
        const int d = hexDistance(offset, {0, 0});
        const bool nearObjective = std::any_of(objectives_.begin(), objectives_.end(), [&](const Candidate& o) {
            return hexDistance(o.offset, offset) < knobs::startGap;
        });
        if (d < inner || d > outer || nearObjective || !area.joined(offset)) {
            continue;
        }
        ring.push_back(offset);
        const double turn = (angleOf(offset) + std::numbers::pi) / (2 * std::numbers::pi);
        ++score[std::size_t(std::min(knobs::sectors - 1, static_cast<int>(turn * knobs::sectors)))];
    }
    const auto best = std::max_element(score.begin(), score.end()) - score.begin();
    const double middle = (double(best) + 0.5) / knobs::sectors * 2 * std::numbers::pi - std::numbers::pi;
    const auto away = [&](Hex offset) {
        const double a = std::abs(std::remainder(angleOf(offset) - middle, 2 * std::numbers::pi));
        return std::make_tuple(std::lround(a * 20), hexDistance(offset, {0, 0}), offset.r, offset.q);
    };
    std::sort(ring.begin(), ring.end(), [&](Hex a, Hex b) { return away(a) < away(b); });
    return ring;
}

bool Generator::free(Hex offset) const { return std::find(taken_.begin(), taken_.end(), offset) == taken_.end(); }

// Armour on open ground, every fourth of it tank hunters; infantry in forest, hills, mountains and cities.
int Generator::typeFor(Terrain terrain, int& openCount) const {
    if (openGround(terrain)) {
        return openCount++ % 4 == 3 ? roles_.antitank : roles_.armour;
    }
    return terrain == Terrain::City ? roles_.mechanised : roles_.light;
}

void Generator::placeRed(const OperationArea& area, Hex blueAnchor) {
    int openCount = 0;
    const auto place = [&](Hex offset, int type, const std::string& suffix) {
        const Hex field = *area.field(offset);
        if (!enters(type, field)) {
            type = enters(roles_.light, field) ? roles_.light : roles_.mechanised;
        }
        units_.push_back({redSide, roleName(roles_, type, suffix), type, field});
        taken_.push_back(offset);
    };
    for (const Candidate& objective : objectives_) {
        place(objective.offset, typeFor(map_.terrainAt(*area.field(objective.offset)), openCount), objective.name);
    }
    // Reserves next to the objectives, on the side Blue comes from.
    const int reserves = int(objectives_.size()) * knobs::redReservesPerObjective + knobs::redExtra;
    for (int k = 0; k < reserves; ++k) {
        const Candidate& objective = objectives_[std::size_t(k) % objectives_.size()];
        std::optional<Hex> best;
        for (const Hex step : area.offsets()) {
            const Hex offset = objective.offset + step;
            const int d = hexDistance(step, {0, 0});
            if (d < 1 || d > 2 || !area.joined(offset) || !free(offset)) {
                continue;
            }
            const auto key = [&](Hex o) { return std::make_tuple(hexDistance(o, objective.offset), hexDistance(o, blueAnchor), o.r, o.q); };
            if (!best || key(offset) < key(*best)) {
                best = offset;
            }
        }
        if (!best) {
            continue;
        }
        const Terrain terrain = map_.terrainAt(*area.field(*best));
        const int type = k == reserves - 1 ? roles_.recon : typeFor(terrain, openCount);
        place(*best, type, std::to_string(101 + k));
    }
}

void Generator::placeBlue(const OperationArea& area, const std::vector<Hex>& fields) {
    int red = 0;
    int openFields = 0;
    int roughFields = 0;
    for (const Hex offset : area.offsets()) {
        if (area.joined(offset)) {
            const Terrain t = map_.terrainAt(*area.field(offset));
            openFields += openGround(t);
            roughFields += !openGround(t) && t != Terrain::City;
        }
    }
    for (const OperationUnit& unit : units_) {
        red += unit.side == redSide;
    }
    const int count = std::min(knobs::maxUnitsPerSide, static_cast<int>(std::ceil(red * knobs::forceRatio)));
    const int recon = std::max(1, count / knobs::unitsPerRecon);
    const double open = double(openFields) / std::max(1, openFields + roughFields);
    const int armour = static_cast<int>(std::lround((count - recon) * std::clamp(open, 0.25, 0.75)));
    const int antitank = armour / 4;
    const int infantry = count - recon - armour;
    const int light = static_cast<int>(std::lround(infantry * std::clamp(1.0 - open, 0.25, 0.75)));
    std::vector<int> order;
    order.insert(order.end(), std::size_t(armour - antitank), roles_.armour);
    order.insert(order.end(), std::size_t(antitank), roles_.antitank);
    order.insert(order.end(), std::size_t(light), roles_.light);
    order.insert(order.end(), std::size_t(infantry - light), roles_.mechanised);
    order.insert(order.end(), std::size_t(recon), roles_.recon);
    int number = 1;
    for (const int type : order) {
        const bool wantsOpen = types_[std::size_t(type)].kind != UnitClass::Infantry;
        std::optional<Hex> chosen;
        std::optional<Hex> fallback;
        for (const Hex offset : fields) {
            const Hex field = *area.field(offset);
            if (!free(offset) || !enters(type, field)) {
                continue;
            }
            if (openGround(map_.terrainAt(field)) == wantsOpen) {
                chosen = offset;
                break;
            }
            if (!fallback) {
                fallback = offset;
            }
        }
        if (!chosen) {
            chosen = fallback;
        }
        if (!chosen) {
            break;
        }
        units_.push_back({blueSide, roleName(roles_, type, std::to_string(number++)), type, *area.field(*chosen)});
        taken_.push_back(*chosen);
    }
}

// "Operation" and the largest river of the ground, else the operation's first city.
std::string Generator::operationName(const OperationArea& area) const {
    std::map<std::string, int> weight;
    for (const Hex offset : area.offsets()) {
        if (hexDistance(offset, {0, 0}) > knobs::widestObjectiveRadius || !area.joined(offset)) {
            continue;
        }
        const Hex field = *area.field(offset);
        for (const Hex n : map_.adjacent(field)) {
            const auto edge = map_.riverEdgeIndex(field, n);
            if (!edge) {
                continue;
            }
            const int width = map_.rivers()[*edge].widthClass;
            for (const std::uint32_t source : map_.riverSources(*edge)) {
                if (const auto name = world_.riverNames.at(source)) {
                    weight[*name] += width * width;
                }
            }
        }
    }
    std::string river;
    int heaviest = 0;
    for (const auto& [name, w] : weight) {
        if (w > heaviest && !plainName(name, 32).empty()) {
            river = name;
            heaviest = w;
        }
    }
    return "Operation " + plainName(heaviest >= knobs::namingRiverWeight ? river : objectives_.front().name, 32);
}

GeneratedOperation Generator::run() {
    cityName_ = plainName(world_.cities.at(city_).name, 48);
    if (!map_.isWorld()) {
        throw OperationRefused("Operationen nur auf der Weltkarte");
    }
    const Hex centre = centreField();
    const OperationArea area(map_, centre, knobs::areaRadius);
    if (area.joinedCount() < knobs::minLandShare * area.fieldCount()) {
        throw OperationRefused("Zu wenig Land um " + cityName_ + " fuer eine Operation");
    }
    int radius = knobs::objectiveRadius;
    objectives_ = objectivesWithin(area, radius);
    while (objectives_.size() < std::size_t(knobs::minObjectives) && radius < knobs::widestObjectiveRadius) {
        radius += knobs::objectiveRadiusStep;
        objectives_ = objectivesWithin(area, radius);
    }
    if (objectives_.size() < std::size_t(knobs::minObjectives)) {
        throw OperationRefused("Zu wenige Staedte um " + cityName_ + " fuer eine Operation");
    }
    const std::vector<Hex> ring = blueFields(area, radius);
    if (ring.empty()) {
        throw OperationRefused("Zu wenig Land um " + cityName_ + " fuer eine Operation");
    }
    placeRed(area, ring.front());
    placeBlue(area, ring);

    Point blueCentre{0, 0};
    int blue = 0;
    for (const OperationUnit& unit : units_) {
        if (unit.side == blueSide) {
            blueCentre = blueCentre + hexCenter(area.offsetOf(unit.position));
            ++blue;
        }
    }
    if (blue == 0) {
        throw OperationRefused("Zu wenig Land um " + cityName_ + " fuer eine Operation");
    }
    const Hex blueAnchor = worldToHex(blueCentre * (1.0 / blue));
    int farthest = 0;
    for (const Candidate& objective : objectives_) {
        farthest = std::max(farthest, hexDistance(blueAnchor, objective.offset));
    }
    const int rounds = std::clamp((farthest + knobs::fieldsPerRound - 1) / knobs::fieldsPerRound +
                                      int(objectives_.size()) + knobs::slackRounds,
                                  knobs::minRounds, knobs::maxRounds);

    OperationPlan plan;
    plan.name = operationName(area);
    plan.roundLimit = rounds;
    // The seed follows from the city, so the same city gives the same fights.
    std::uint32_t seed = 2166136261u;
    for (const char c : world_.cities[city_].id + world_.cities[city_].name) {
        seed = (seed ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    plan.seed = seed == 0 ? 1 : seed;
    for (const Candidate& objective : objectives_) {
        plan.objectives.push_back({objective.name, *area.field(objective.offset)});
    }
    // Blue's units first, as in the shipped scenario: unit 1 is the player's.
    std::stable_sort(units_.begin(), units_.end(),
                     [](const OperationUnit& a, const OperationUnit& b) { return a.side < b.side; });
    plan.units = std::move(units_);

    GeneratedOperation result;
    result.name = plan.name;
    result.city = city_;
    result.focus = map_.geography(centre);
    result.units = unitsFile(map_, types_, plan);
    result.battles = battlesFile(map_, plan);
    return result;
}

} // namespace

std::optional<std::size_t> findCityByName(const World& world, std::string_view name) {
    const std::string key = upper(std::string(name));
    for (std::size_t k = 0; k < world.cities.size(); ++k) {
        if (upper(world.cities[k].name) == key) {
            return k;
        }
    }
    return std::nullopt;
}

std::size_t cityNamed(const World& world, std::string_view name) {
    if (const auto city = findCityByName(world, name)) {
        return *city;
    }
    throw std::runtime_error("Stadt nicht gefunden: " + upper(std::string(name)));
}

GeneratedOperation generateOperation(const World& world, const std::vector<UnitType>& types, std::size_t city) {
    return Generator(world, types, city).run();
}

} // namespace korvan
