// Terrain icon batches.
#include "render/terrain_icons.hpp"

namespace korvan {

TerrainTextureFrame terrainTextureFrame(const std::array<Point, 6>&) { return {}; }
std::array<Point, 7> terrainTextureUV(const std::array<Point, 6>&) { return {}; }
Point terrainVariantUV(Point local, std::uint32_t, bool) { return local; }
std::uint32_t terrainVariation(Hex) { return 0; }
void TerrainIcons::add(Terrain, Point, double, std::uint32_t) {}
void TerrainIcons::addTile(Terrain, const std::array<Point, 6>&, std::uint32_t) {}
void TerrainIcons::addTransition(Terrain, const std::array<Point, 6>&, const std::array<Point, 6>&, int, std::uint32_t,
                                 bool, bool) {}
void TerrainIcons::addTerrainArea(Terrain, const std::array<Point, 6>&, const std::vector<Point>&, std::uint32_t) {}
void TerrainIcons::draw(SDL_Renderer*) const {}

} // namespace korvan
