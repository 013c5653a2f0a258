// Input: SDL events become camera moves, toggles and game commands. It changes state and never
// draws; what lies under the pointer it learns from the hover state and the picking.
#pragma once

#include "shell/client.hpp"

#include <SDL.h>

namespace korvan {

// Applies one event to the client; every event ends with the camera wrap and a hover update.
void handleEvent(Client& client, const SDL_Event& event);

} // namespace korvan
