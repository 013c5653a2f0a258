// Terrain colours and labels.
#include "terrain/terrain_display.hpp"

#include "kit/palette.hpp"

#include <array>

namespace korvan {

namespace {

struct TerrainLook {
    SDL_Color color;
    std::string_view label;
};

constexpr std::array<TerrainLook, terrainCount> looks{{
    {{111, 133, 91, 255}, "EBENE"},
    {{50, 88, 70, 255}, "WALD"},
    {{153, 141, 102, 255}, "HUEGEL"},
    {{120, 130, 134, 255}, "GEBIRGE"},
    {{145, 139, 121, 255}, "STADT"},
    {{56, 108, 139, 255}, "WASSER"},
    {{173, 164, 101, 255}, "ACKERLAND"},
    {{74, 118, 113, 255}, "SUMPF"},
    {{200, 175, 124, 255}, "WUESTE"},
    {{205, 222, 225, 255}, "EIS / SCHNEE"},
    {{134, 143, 99, 255}, "BUSCHLAND"},
}};

const TerrainLook* lookOf(Terrain terrain) {
    const auto value = static_cast<std::int32_t>(terrain);
    return value >= 0 && value < terrainCount ? &looks[std::size_t(value)] : nullptr;
}

} // namespace

SDL_Color color(Terrain terrain) {
    const TerrainLook* look = lookOf(terrain);
    return look ? look->color : ink;
}

std::string_view label(Terrain terrain) {
    const TerrainLook* look = lookOf(terrain);
    return look ? look->label : std::string_view{};
}

} // namespace korvan
