// Terrain: the cached ground picture of the map area.
#include "client/client.hpp"

namespace korvan {

Terrain Client::displayedTerrain(Hex h) const {
    const Terrain t = map.terrainAt(h);
    return map.isWorld() && t == Terrain::City ? Terrain::Plain : t;
}

void Client::renderTerrain(SDL_Renderer*) const {}
void Client::drawTerrain(SDL_Renderer*) const {}

} // namespace korvan
