// Combat arithmetic shared by the battle and the computer opponent: range, cover, damage, dice.
#pragma once

#include "forces/army.hpp"

#include <cstdint>

namespace korvan {

class Map;

// Hex distance between two fields, the shorter way round on a wrapping map.
int separation(const Map& map, Hex a, Hex b);

// Defence bonus of the target's terrain.
int cover(Terrain terrain);

// Strength points one shot takes, 1 to 10, for a variation of 0 to 4 (before the target's strength caps it).
int damage(const Army& army, const Unit& firing, const Unit& target, Tile targetTile, int variation);

// One step of the 32-bit xorshift generator (shifts 13, 17, 5); a non-zero state stays non-zero.
constexpr std::uint32_t xorshift32(std::uint32_t x) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    return x;
}

} // namespace korvan
