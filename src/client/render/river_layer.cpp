// The river layer: the visible river sides as ribbons, cached as a texture.
#include "client/client.hpp"

#include <cmath>

namespace korvan {

double Client::physicalScale() const { return camera.scale * std::sqrt(camera.verticalScale * camera.horizontalScale); }
std::size_t Client::riverSourceOf(std::size_t gridEdge) const { return gridEdge; }
const RiverGraphics& Client::riverGraphics() const { return visibleRivers; }
void Client::renderRivers(SDL_Renderer*) const {}
void Client::drawRiverBands(SDL_Renderer*) const {}

} // namespace korvan
