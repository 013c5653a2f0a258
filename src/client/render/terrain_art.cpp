// Loading the terrain atlas.
#include "render/terrain_art.hpp"

namespace korvan {

void TerrainArt::load(SDL_Renderer*, const std::filesystem::path&) {}

} // namespace korvan
