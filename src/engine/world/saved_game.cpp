// Writing and reading saved games, and the fingerprint that ties a save to its maps and scenario.
#include "world/saved_game.hpp"

#include "core/json_values.hpp"
#include "map/map.hpp"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <sstream>
#include <stdexcept>

namespace korvan {

namespace {

constexpr const char* formatName = "korvan-spielstand";

// FNV-1a over 64-bit words with an extra shift: a fingerprint, not a defence against a crafted file.
class Fingerprint {
public:
    explicit Fingerprint(std::uint64_t start = 0xcbf29ce484222325ULL) : hash_(start) {}
    void bytes(const void* data, std::size_t size) {
        const auto* p = static_cast<const unsigned char*>(data);
        std::size_t i = 0;
        for (; i + 8 <= size; i += 8) {
            std::uint64_t word;
            std::memcpy(&word, p + i, 8);
            mix(word);
        }
        for (; i < size; ++i) {
            mix(p[i]);
        }
    }
    void number(std::int64_t value) { mix(static_cast<std::uint64_t>(value)); }
    void text(const std::string& value) {
        number(static_cast<std::int64_t>(value.size()));
        bytes(value.data(), value.size());
    }
    std::uint64_t value() const { return hash_; }

private:
    void mix(std::uint64_t word) {
        hash_ = (hash_ ^ word) * 0x100000001b3ULL;
        hash_ ^= hash_ >> 29;
    }
    std::uint64_t hash_;
};

std::string hex64(std::uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

void quoted(std::ostream& out, const std::string& text) {
    out << '"';
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out << '\\' << c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
            out << escape;
        } else {
            out << c;
        }
    }
    out << '"';
}

[[noreturn]] void invalid(const std::string& what) { throw std::runtime_error("Ungueltiger Wert: " + what); }

std::int64_t integer(JsonValue object, const char* key, std::int64_t low, std::int64_t high) {
    const auto value = boundedInteger(member(object, key), low, high);
    if (!value) {
        invalid(key);
    }
    return *value;
}

int smallInteger(JsonValue object, const char* key, int low, int high) {
    return static_cast<int>(integer(object, key, low, high));
}

// An array of at most `limit` elements.
JsonArray boundedArray(JsonValue object, const char* key, std::size_t limit) {
    const JsonArray list = asArray(member(object, key), key);
    if (elementCount(list) > limit) {
        invalid(key);
    }
    return list;
}

Unit readUnit(JsonValue object) {
    constexpr int low = std::numeric_limits<std::int32_t>::min();
    constexpr int high = std::numeric_limits<std::int32_t>::max();
    Unit unit;
    unit.id = smallInteger(object, "id", 1, high);
    unit.side = smallInteger(object, "side", blueSide, redSide);
    unit.type = smallInteger(object, "type", 0, static_cast<int>(Army::maxTypes) - 1);
    unit.name = std::string(asString(member(object, "name"), "name"));
    unit.position = {smallInteger(object, "q", low, high), smallInteger(object, "r", low, high)};
    unit.remaining = smallInteger(object, "remaining", 0, high);
    unit.moved = asBoolean(member(object, "moved"), "moved");
    unit.strength = smallInteger(object, "strength", 1, 10);
    unit.ammo = smallInteger(object, "ammo", 0, high);
    unit.attacked = asBoolean(member(object, "attacked"), "attacked");
    return unit;
}

bool printable(std::string_view line) {
    return std::all_of(line.begin(), line.end(), [](char c) { return c >= 0x20 && c <= 0x7e; });
}

} // namespace

std::uint64_t scenarioHash(const Army& army, const Battle& battle) {
    Fingerprint print;
    for (const UnitType& type : army.types()) {
        print.text(type.id);
        for (const int value : {static_cast<int>(type.kind), type.movement, type.roadCost, type.attackSoft,
                                type.attackHard, type.defense, type.range, type.maxAmmo}) {
            print.number(value);
        }
        for (const int cost : type.costs) {
            print.number(cost);
        }
    }
    for (const Unit& unit : army.units()) {
        print.text(unit.name);
        for (const int value : {unit.id, unit.side, unit.type, unit.position.q, unit.position.r}) {
            print.number(value);
        }
    }
    print.number(battle.roundLimit());
    for (const Objective& objective : battle.objectives()) {
        print.text(objective.name);
        print.number(objective.position.q);
        print.number(objective.position.r);
    }
    return print.value();
}

std::uint64_t mapHash(const Map& map, const std::vector<std::size_t>& builtBridges) {
    Fingerprint print;
    print.number(map.width());
    print.number(map.height());
    print.bytes(map.tileBytes().data(), map.tileBytes().size());
    const auto& rivers = map.rivers();
    for (std::size_t i = 0; i < rivers.size(); ++i) {
        const RiverEdge& edge = rivers[i];
        const bool built = std::find(builtBridges.begin(), builtBridges.end(), i) != builtBridges.end();
        for (const int value : {edge.a.q, edge.a.r, edge.b.q, edge.b.r, edge.bridge && !built ? 1 : 0}) {
            print.number(value);
        }
    }
    return print.value();
}

std::uint64_t contentHash(std::uint64_t map, std::uint64_t scenario) {
    Fingerprint print(map);
    print.number(static_cast<std::int64_t>(scenario));
    return print.value();
}

std::string saveText(const SavedGame& save) {
    std::ostringstream out;
    const BattleState& b = save.battle;
    out << "{\"format\": \"" << formatName << "\", \"version\": " << SavedGame::formatVersion << ",\n \"content\": \""
        << hex64(save.content) << "\", ";
    if (!save.operation.empty()) {
        out << "\"operation\": ";
        quoted(out, save.operation);
        out << ", ";
    }
    out << "\"round\": " << b.round << ", \"active\": " << b.active
        << ", \"random\": " << b.random << ", \"outcome\": " << static_cast<int>(b.outcome) << ",\n \"objectives\": [";
    for (std::size_t i = 0; i < b.owners.size(); ++i) {
        out << (i == 0 ? "" : ", ") << b.owners[i];
    }
    out << "],\n \"bridges\": [";
    for (std::size_t i = 0; i < save.bridges.size(); ++i) {
        out << (i == 0 ? "" : ", ") << save.bridges[i];
    }
    out << "],\n \"units\": [";
    for (std::size_t i = 0; i < save.units.size(); ++i) {
        const Unit& u = save.units[i];
        out << (i == 0 ? "\n  " : ",\n  ") << "{\"id\": " << u.id << ", \"side\": " << u.side << ", \"type\": " << u.type
            << ", \"name\": ";
        quoted(out, u.name);
        out << ", \"q\": " << u.position.q << ", \"r\": " << u.position.r << ", \"remaining\": " << u.remaining
            << ", \"moved\": " << (u.moved ? "true" : "false") << ", \"strength\": " << u.strength
            << ", \"ammo\": " << u.ammo << ", \"attacked\": " << (u.attacked ? "true" : "false") << "}";
    }
    out << "],\n \"log\": [";
    for (std::size_t i = 0; i < b.log.size(); ++i) {
        out << (i == 0 ? "\n  " : ",\n  ");
        quoted(out, b.log[i]);
    }
    out << "]}\n";
    return out.str();
}

namespace {

// A readable save this game cannot take; any other error means the file is damaged.
class SaveRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

SavedGame readChecked(std::string text, const SaveChecks& checks);

} // namespace

SavedGame readSave(std::string text, const SaveChecks& checks) {
    if (text.size() > SavedGame::maxBytes) {
        throw std::runtime_error("Spielstand zu gross");
    }
    try {
        return readChecked(std::move(text), checks);
    } catch (const SaveRefused&) {
        throw;
    } catch (const std::exception& error) {
        throw std::runtime_error(std::string("Spielstand beschaedigt: ") + error.what());
    }
}

namespace {

SavedGame readChecked(std::string text, const SaveChecks& checks) {
    const JsonDocument parsed(std::move(text));
    const JsonValue root = parsed.root();
    if (asString(member(root, "format"), "format") != formatName) {
        throw SaveRefused("Kein Korvan-Spielstand");
    }
    if (integer(root, "version", 1, std::numeric_limits<std::int32_t>::max()) > SavedGame::formatVersion) {
        throw SaveRefused("Spielstand einer neueren Programmversion");
    }
    SavedGame save;
    const std::string_view content = asString(member(root, "content"), "content");
    if (content.size() != 16 || content.find_first_not_of("0123456789abcdef") != std::string_view::npos) {
        invalid("content");
    }
    save.content = std::stoull(std::string(content), nullptr, 16);
    if (checks.content && *checks.content != save.content) {
        throw SaveRefused("Spielstand gehoert zu einer anderen Karte oder einem anderen Szenario");
    }
    if (const auto operation = findMember(root, "operation")) {
        save.operation = std::string(asString(*operation, "operation"));
        if (save.operation.empty() || save.operation.size() > 80 ||
            save.operation.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789-") != std::string::npos) {
            invalid("operation");
        }
    }
    BattleState& b = save.battle;
    b.round = smallInteger(root, "round", 1, Battle::maxRoundLimit);
    b.active = smallInteger(root, "active", blueSide, redSide);
    b.random = static_cast<std::uint32_t>(integer(root, "random", 1, std::numeric_limits<std::uint32_t>::max()));
    b.outcome = static_cast<Outcome>(smallInteger(root, "outcome", 0, 3));
    for (const JsonValue owner : boundedArray(root, "objectives", Battle::maxObjectives)) {
        const auto value = boundedInteger(owner, blueSide, redSide);
        if (!value) {
            invalid("objectives");
        }
        b.owners.push_back(static_cast<int>(*value));
    }
    for (const JsonValue edge : boundedArray(root, "bridges", checks.riverEdges)) {
        const auto value = boundedInteger(edge, 0, static_cast<std::int64_t>(checks.riverEdges) - 1);
        if (!value || std::find(save.bridges.begin(), save.bridges.end(), std::size_t(*value)) != save.bridges.end()) {
            invalid("bridges");
        }
        save.bridges.push_back(static_cast<std::size_t>(*value));
    }
    for (const JsonValue unit : boundedArray(root, "units", Army::maxUnits)) {
        save.units.push_back(readUnit(unit));
    }
    for (const JsonValue line : boundedArray(root, "log", Battle::logLimit)) {
        const std::string_view entry = asString(line, "log");
        if (entry.size() > SavedGame::maxLogLine || !printable(entry)) {
            invalid("log");
        }
        b.log.emplace_back(entry);
    }
    return save;
}

} // namespace

} // namespace korvan
