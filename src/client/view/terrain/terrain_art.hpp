// The terrain atlas: 4 x 3 cells of 256 x 256 pixels, one icon per terrain and a second forest.
#pragma once

#include "cpu/terrain_raster.hpp"
#include "sdl/sdl_handles.hpp"

#include <SDL.h>

#include <filesystem>

namespace korvan {

struct TerrainArt {
    static constexpr const char* fileName = "terrain-icons-v4.bmp";

    // Loads the atlas from the data directory, replacing any earlier texture. A file of another size
    // or without alpha throws "Ungueltiger Gelaendeatlas oder fehlende Transparenz".
    void load(SDL_Renderer* renderer, const std::filesystem::path& dataDirectory);
    SDL_Texture* get() const { return texture.get(); }

    TextureHandle texture;
    AtlasLevels levels; // the same picture in memory, for drawing on the CPU
};

} // namespace korvan
