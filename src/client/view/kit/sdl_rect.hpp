// Screen rectangles of the view state as SDL rectangles.
#pragma once

#include "view_state/screen_layout.hpp"

#include <SDL.h>

namespace korvan {

constexpr SDL_Rect toSdl(ScreenRect r) { return {r.x, r.y, r.w, r.h}; }

} // namespace korvan
