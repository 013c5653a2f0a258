// Hex coordinates, terrain vocabulary and the geometry of the pointy-top hex plane.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>

namespace korvan {

inline constexpr double sqrt3 = 1.7320508075688772;

// One field in axial coordinates; r grows downward.
struct Hex {
    std::int32_t q = 0;
    std::int32_t r = 0;

    friend constexpr bool operator==(Hex, Hex) = default;
};

constexpr Hex operator+(Hex a, Hex b) { return {a.q + b.q, a.r + b.r}; }

// The six neighbour steps, in the order every search and the map files use.
inline constexpr std::array<Hex, 6> neighbourSteps{{{1, 0}, {1, -1}, {0, -1}, {-1, 0}, {-1, 1}, {0, 1}}};

// The three "forward" steps (east, below right, below left): each grid side is described once
// by the field above it or to its west.
inline constexpr std::array<Hex, 3> forwardSteps{{{1, 0}, {0, 1}, {-1, 1}}};

// A position in world units, screen pixels or degrees (x = longitude, y = latitude).
struct Point {
    double x = 0;
    double y = 0;

    friend constexpr bool operator==(Point, Point) = default;
};

constexpr Point operator+(Point a, Point b) { return {a.x + b.x, a.y + b.y}; }
constexpr Point operator-(Point a, Point b) { return {a.x - b.x, a.y - b.y}; }
constexpr Point operator*(Point a, double f) { return {a.x * f, a.y * f}; }

// Values are stored in map files and in the per-field byte: never renumber.
enum class Terrain : std::int32_t {
    Plain = 0,
    Forest = 1,
    Hills = 2,
    Mountain = 3,
    City = 4,
    Water = 5,
    Farmland = 6,
    Wetland = 7,
    Desert = 8,
    Ice = 9,
    Scrub = 10,
};

inline constexpr int terrainCount = 11;

// Row codes of the compact map rows, indexed by the terrain value.
inline constexpr std::string_view terrainCodes = "pfhmcwasdib";

struct Tile {
    Terrain terrain = Terrain::Plain;
    bool road = false;
    bool bridge = false; // a bridge carried by the field's road
};

// Per-field byte: bits 0-3 terrain, bit 4 road, bit 5 bridge.
inline constexpr std::uint8_t tileTerrainMask = 0x0f;
inline constexpr std::uint8_t tileRoadBit = 0x10;
inline constexpr std::uint8_t tileBridgeBit = 0x20;

constexpr std::uint8_t packTile(Terrain terrain, bool road, bool bridge) {
    return static_cast<std::uint8_t>(static_cast<int>(terrain) | (road ? tileRoadBit : 0) | (bridge ? tileBridgeBit : 0));
}

constexpr Tile unpackTile(std::uint8_t byte) {
    return {static_cast<Terrain>(byte & tileTerrainMask), (byte & tileRoadBit) != 0, (byte & tileBridgeBit) != 0};
}

// Whether a hex lies on a grid of width x height fields whose odd rows are shifted (offsetRows) or
// not. Range checks come before any arithmetic, so coordinates from files may be anything.
constexpr bool onGrid(Hex h, int width, int height, bool offsetRows) {
    if (h.r < 0 || h.r >= height) {
        return false;
    }
    const std::int64_t column = std::int64_t(h.q) + (offsetRows ? h.r / 2 : 0);
    return column >= 0 && column < width;
}

// Stored column of a hex on an odd-r raster of the given width that wraps east-west, in [0, width).
// 64-bit arithmetic: q comes from files and may sit at the ends of the int range.
inline int wrappedColumn(Hex h, int width) {
    const std::int64_t column = (std::int64_t(h.r / 2) + h.q) % width;
    return static_cast<int>(column < 0 ? column + width : column);
}

// Centre of a hex in world units (circumradius 1, x east, y down).
constexpr Point hexCenter(Hex h) { return {sqrt3 * (h.q + h.r / 2.0), 1.5 * h.r}; }

// Rounds halves away from zero like std::round, but inline: the hot loops of grid derivation
// call it millions of times. Exact: x - trunc(x) is computed without rounding error.
inline double roundHalfAway(double x) {
    if (!(std::abs(x) < 4.0e18)) {
        return x; // huge, infinite or NaN: already whole or not a number
    }
    const double whole = static_cast<double>(static_cast<std::int64_t>(x));
    const double rest = x - whole;
    if (rest >= 0.5) {
        return whole + 1;
    }
    if (rest <= -0.5) {
        return whole - 1;
    }
    return whole;
}

// roundHalfAway without branches, for loops the compiler vectorises; bit for bit the same: trunc is
// exact, and at magnitudes where it is not the cast, the halves cannot occur.
inline double roundHalfAwayFlat(double v) {
    const double whole = std::trunc(v);
    const double rest = v - whole;
    return whole + double(rest >= 0.5) - double(rest <= -0.5);
}

// worldToHex's choice among the rounded cube coordinates, without branches: the hex's q and r
// (whole numbers in doubles) from the fractional q and s and the rounded r with its distance, which
// a loop over a row works out once.
struct FlatHex {
    double q;
    double r;
};
inline FlatHex roundHexFlat(double fq, double fs, double r, double dr) {
    const double q = roundHalfAwayFlat(fq);
    const double s = roundHalfAwayFlat(fs);
    const double dq = std::abs(q - fq);
    const double ds = std::abs(s - fs);
    const bool fixQ = (dq > dr) & (dq > ds);
    const bool fixR = !fixQ & (dr > ds);
    return {fixQ ? -r - s : q, fixR ? -q - s : r};
}

// A whole-number column held in a double, wrapped into [0, width) without branches: the quotient's
// floor may be one period off for its rounding, which the two selects mend. Width 0 leaves it as it is.
inline double wrappedColumnFlat(double column, double width, double perWidth) {
    column -= std::floor(column * perWidth) * width;
    column += double(column < 0) * width;
    column -= double(column >= width) * width;
    return column;
}

// The hex whose hexagon contains a world point (cube rounding; ties go deterministically).
inline Hex worldToHex(Point p) {
    const double fq = p.x * 0.5773502691896257 - p.y / 3.0;
    const double fr = p.y * 2.0 / 3.0;
    const double fs = -fq - fr;
    double q = roundHalfAway(fq);
    double r = roundHalfAway(fr);
    const double s = roundHalfAway(fs);
    const double dq = std::abs(q - fq);
    const double dr = std::abs(r - fr);
    const double ds = std::abs(s - fs);
    if (dq > dr && dq > ds) {
        q = -r - s;
    } else if (dr > ds) {
        r = -q - s;
    }
    return {static_cast<std::int32_t>(q), static_cast<std::int32_t>(r)};
}
std::array<Point, 6> corners(Hex h);

// Number of steps between two hexes on the unbounded plane.
constexpr int hexDistance(Hex a, Hex b) {
    const int dq = a.q - b.q;
    const int dr = a.r - b.r;
    const int ds = dq + dr;
    const auto abs = [](int v) { return v < 0 ? -v : v; };
    return (abs(dq) + abs(dr) + abs(ds)) / 2;
}

std::string_view terrainId(Terrain terrain);
Terrain readTerrain(const std::string& id);

// For test and log output: "(q, r)".
std::ostream& operator<<(std::ostream& out, Hex h);
std::ostream& operator<<(std::ostream& out, Point p);

} // namespace korvan

template <>
struct std::hash<korvan::Hex> {
    std::size_t operator()(korvan::Hex h) const noexcept {
        return std::hash<std::uint64_t>{}((std::uint64_t(std::uint32_t(h.q)) << 32) | std::uint32_t(h.r));
    }
};
