// A saved game: what play changed since the scenario began, as JSON text, and the fingerprint of the
// maps and the scenario it belongs to.
#pragma once

#include "forces/army.hpp"
#include "forces/battle.hpp"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korvan {

class Map;

struct SavedGame {
    static constexpr int formatVersion = 1;
    // A save of the largest army with a full log stays far below this; anything longer is refused unread.
    static constexpr std::size_t maxBytes = std::size_t(1) << 20;
    static constexpr std::size_t maxLogLine = 200;

    std::uint64_t content = 0; // contentHash of the game it was written from
    std::string operation;     // the city id of a generated operation; empty for the data files' scenario
    BattleState battle;
    std::vector<Unit> units;
    std::vector<std::size_t> bridges; // world-map river edges bridged in play, in the order built
};

// What a save must match to be read: the fingerprint (none: any) and the number of river edges.
struct SaveChecks {
    std::optional<std::uint64_t> content;
    std::size_t riverEdges = 0;
};

// The fingerprint a save carries, in two parts: the unit types, the starting army and the scenario,
// taken before any play; and the map as its file holds it (bridges built in play do not count; the
// play grid is derived from the map). The map's part reads every field, so it is taken when first needed.
std::uint64_t scenarioHash(const Army& army, const Battle& battle);
std::uint64_t mapHash(const Map& map, const std::vector<std::size_t>& builtBridges);
std::uint64_t contentHash(std::uint64_t map, std::uint64_t scenario);

std::string saveText(const SavedGame& save);

// Reads a save through the strict JSON front end. Throws a German message for text that is not JSON,
// another format, a newer version, another map or scenario, or values out of their ranges; the
// units and the battle state are checked again where they are put in place.
SavedGame readSave(std::string text, const SaveChecks& checks);

} // namespace korvan
