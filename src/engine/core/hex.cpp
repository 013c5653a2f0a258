// Hex rounding, corners and terrain identifiers.
#include "core/hex.hpp"

#include <cmath>
#include <ostream>
#include <stdexcept>

namespace korvan {

namespace {

constexpr std::array<std::string_view, terrainCount> terrainIds{
    "plain", "forest", "hills", "mountain", "city", "water", "farmland", "wetland", "desert", "ice", "scrub"};

} // namespace

std::array<Point, 6> corners(Hex h) {
    const Point c = hexCenter(h);
    std::array<Point, 6> result;
    for (int i = 0; i < 6; ++i) {
        // Corner 0 is the top vertex; with y pointing down the corners run clockwise on screen.
        const double a = (60.0 * i - 90.0) * 3.141592653589793 / 180.0;
        result[i] = {c.x + std::cos(a), c.y + std::sin(a)};
    }
    return result;
}

std::string_view terrainId(Terrain terrain) {
    const auto value = static_cast<std::int32_t>(terrain);
    if (value < 0 || value >= terrainCount) {
        throw std::invalid_argument("Unbekannte Gelaendeart");
    }
    return terrainIds[value];
}

Terrain readTerrain(const std::string& id) {
    for (int value = 0; value < terrainCount; ++value) {
        if (terrainIds[value] == id) {
            return static_cast<Terrain>(value);
        }
    }
    throw std::runtime_error("Unbekanntes Gelaende: " + id);
}

std::ostream& operator<<(std::ostream& out, Hex h) { return out << '(' << h.q << ", " << h.r << ')'; }

std::ostream& operator<<(std::ostream& out, Point p) { return out << '(' << p.x << ", " << p.y << ')'; }

} // namespace korvan
