// The screen layout that input and drawing share: map area, top bar, sidebar and status line.
#pragma once

#include <SDL.h>

namespace korvan {

inline constexpr int sidebarWidth = 270;
inline constexpr int topbarHeight = 82;
inline constexpr int footerHeight = 34;

// The map area: every map layer is clipped to it and every "on the map" test uses its bounds.
constexpr SDL_Rect mapArea(int width, int height) {
    return {0, topbarHeight, width - sidebarWidth, height - topbarHeight - footerHeight};
}

} // namespace korvan
