// The world overview raster of the map area.
#include "client/client.hpp"

namespace korvan {

void Client::renderOverview(SDL_Renderer*, bool) const {}

} // namespace korvan
