// The screen layout that input and drawing share: map area, top bar, sidebar and status line.
#pragma once

#include <SDL.h>

#include <cstddef>

namespace korvan {

inline constexpr int sidebarWidth = 270;
inline constexpr int topbarHeight = 82;
inline constexpr int footerHeight = 34;

// The sidebar's unit list: rows from y = 285, 31 pixels each. Six rows fit above the objectives at
// y = 475; a longer army scrolls so that the selected unit stays in view.
inline constexpr int unitListTop = 285;
inline constexpr int unitRowHeight = 31;
inline constexpr std::size_t unitListRows = 6;

// The map area: every map layer is clipped to it and every "on the map" test uses its bounds.
constexpr SDL_Rect mapArea(int width, int height) {
    return {0, topbarHeight, width - sidebarWidth, height - topbarHeight - footerHeight};
}

} // namespace korvan
