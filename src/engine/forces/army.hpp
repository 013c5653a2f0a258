// Unit types, units and the army that holds them, with the records of movement and reach.
#pragma once

#include "core/hex.hpp"

#include <array>
#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace korvan {

class Map;
class Battle;

// Sides are plain integers.
inline constexpr int blueSide = 0; // the player
inline constexpr int redSide = 1;  // the computer

enum class UnitClass : std::int32_t {
    Tank = 0, // hard target
    Infantry = 1,
    Recon = 2,
};

// The class's id in the army file ("tank", "infantry", "recon").
const char* unitClassId(UnitClass kind);

struct UnitType {
    std::string id;
    std::string name;
    UnitClass kind = UnitClass::Tank;
    int movement = 0;
    int roadCost = 1; // entering any field with a road
    int attackSoft = 7;
    int attackHard = 6;
    int defense = 6;
    int range = 1; // greatest hex distance it can fire at
    int maxAmmo = 8;
    std::array<int, terrainCount> costs{}; // per Terrain value; -1 = impassable
};

struct Unit {
    int id = 0;
    int side = 0;
    int type = 0; // index into the army's types
    int remaining = 0;
    std::string name;
    Hex position;
    bool moved = false;
    int strength = 10;
    int ammo = 8;
    bool attacked = false;
};

// One entry of a reach: what it costs to get there and where it is entered from.
struct PathNode {
    int cost = 0;
    Hex previous; // the start field is its own predecessor

    friend bool operator==(const PathNode&, const PathNode&) = default;
};

struct HexLess {
    constexpr bool operator()(Hex a, Hex b) const { return a.q != b.q ? a.q < b.q : a.r < b.r; }
};

// Ordered by (q, r): the computer opponent walks it in this order to pick its destination.
using MovementRange = std::map<Hex, PathNode, HexLess>;

struct MoveResult {
    bool success = false;
    std::string message;
    std::vector<Hex> path; // start to target inclusive; empty on failure
    int cost = 0;
};

class Army {
public:
    static constexpr std::size_t maxTypes = 32;
    static constexpr std::size_t maxUnits = 256;

    static Army load(const Map& map, const std::filesystem::path& path);
    static Army load(const Map& map, std::istream& input);

    const std::vector<Unit>& units() const { return units_; }
    const std::vector<UnitType>& types() const { return types_; }
    const Unit* find(int id) const;
    // Exact position match: no wrapping or canonical form is applied.
    const Unit* at(Hex h) const;
    const UnitType& type(const Unit& unit) const;

    // Cost of entering a field with this tile, or -1 when the type cannot enter it.
    static int terrainCost(const UnitType& type, Tile tile);
    MovementRange reachable(const Map& map, int id) const;
    MoveResult move(const Map& map, int id, Hex target);
    // Fresh points and flags for every unit (turn changes in a battle refresh one side only).
    void refreshMovement();
    // Puts the units of a saved game in place; throws, changing nothing, on a unit that cannot stand
    // on this map with these types (unknown type, bad side, strength, ammunition or points, a field
    // off the map, impassable or shared, a repeated id or a name that is not plain).
    void restoreUnits(const Map& map, std::vector<Unit> units);

private:
    friend class Battle; // changes unit records and erases destroyed units

    Unit* findMutable(int id);

    std::vector<UnitType> types_;
    std::vector<Unit> units_;
};

// The way from start to target recorded in a range, start first; empty if there is none.
std::vector<Hex> movementPath(const MovementRange& range, Hex start, Hex target);

} // namespace korvan
