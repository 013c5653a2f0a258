// The minimap in the sidebar.
#include "client/client.hpp"

namespace korvan {

void Client::renderMini(SDL_Renderer*) const {}

} // namespace korvan
