// The pictures read from data/ once a renderer exists: terrain art, city markers and flags.
#pragma once

#include "cities/city_graphics.hpp"
#include "hud/country_flags.hpp"
#include "terrain/terrain_art.hpp"

#include <SDL.h>

#include <filesystem>

namespace korvan {

struct Images {
    // Loads every picture for this renderer; throws with the file's name when one is broken.
    void load(SDL_Renderer* renderer, const std::filesystem::path& dataDirectory);

    TerrainArt terrainArt;
    CityGraphics cityGraphics;
    CountryFlags flags;
};

} // namespace korvan
