// The screen layout that input and drawing share: map area, top bar, sidebar and status line.
#pragma once

#include <SDL.h>

#include <cstddef>

namespace korvan {

inline constexpr int sidebarWidth = 270;
inline constexpr int topbarHeight = 82;
inline constexpr int footerHeight = 34;

// The sidebar's unit list: rows from y = 285, 31 pixels each, then the objectives in 14-pixel lines,
// all above the panels at y = 500. Six rows leave room for two objectives (from y = 475); more
// objectives take rows away. A longer army scrolls so that the selected unit stays in view.
inline constexpr int unitListTop = 285;
inline constexpr int unitRowHeight = 31;
inline constexpr int objectiveLineHeight = 14;
inline constexpr int sidebarPanelTop = 500;

constexpr std::size_t unitListRows(std::size_t objectives) {
    const int lines = static_cast<int>(objectives < 2 ? 2 : objectives);
    // The last objective line's dots (7 pixels high) must end above the panels.
    const int rows = (sidebarPanelTop - unitListTop - 4 - objectiveLineHeight * (lines - 1) - 7) / unitRowHeight;
    return static_cast<std::size_t>(rows < 1 ? 1 : rows > 6 ? 6 : rows);
}
// Where the objectives start below the rows.
constexpr int objectivesTop(std::size_t rows) { return unitListTop + unitRowHeight * static_cast<int>(rows) + 4; }

// The map area: every map layer is clipped to it and every "on the map" test uses its bounds.
constexpr SDL_Rect mapArea(int width, int height) {
    return {0, topbarHeight, width - sidebarWidth, height - topbarHeight - footerHeight};
}

} // namespace korvan
