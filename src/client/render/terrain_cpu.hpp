// The world's close-zoom terrain drawn on the CPU for the software renderer: kept as a raster of
// the map area and scrolled when the view pans by whole pixels, so a pan redraws only the strips
// that come into view.
#pragma once

#include <SDL.h>

namespace korvan {

class Client;

bool softwareRenderer(SDL_Renderer* renderer);
void renderPlayGridOnCpu(const Client& client, SDL_Renderer* renderer);

} // namespace korvan
