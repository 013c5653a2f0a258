// A picture of the map area copied straight into the window's pixels on SDL's software renderer.
#pragma once

#include "cpu/pixel_ring.hpp"

#include <SDL.h>

namespace korvan {

// Copies the opaque picture (0xFFRRGGBB pixels, a ring of area's size) into the window rectangle
// area of the surface SDL's software renderer draws into, after what the renderer has queued so
// far: one copy of the map area per frame, where a texture takes two (its upload, then its copy).
// False, with nothing copied, where the renderer does not draw into its window's own pixels in a
// format those pixels read as (another renderer, a render target, a scaled or moved viewport, a
// window of another format); the caller then takes its texture.
bool copyIntoWindow(SDL_Renderer* renderer, const PixelRing& picture, SDL_Rect area);

} // namespace korvan
