// The colour and German label of each terrain, shared by the flat map, the legend and the panels.
#pragma once

#include "core/hex.hpp"

#include <SDL.h>

#include <string_view>

namespace korvan {

// A value outside the enumeration (a damaged field byte) shows in ink with no label.
SDL_Color color(Terrain terrain);
std::string_view label(Terrain terrain);

} // namespace korvan
