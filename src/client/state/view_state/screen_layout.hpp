// The screen layout that input and drawing share: map area, top bar, sidebar and status line.
#pragma once

#include <cstddef>

namespace korvan {

// A screen rectangle in whole pixels.
struct ScreenRect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;

    bool contains(int px, int py) const { return x <= px && px < x + w && y <= py && py < y + h; }
    // Rectangles that only share an edge do not overlap.
    bool overlaps(const ScreenRect& b) const { return x < b.x + b.w && b.x < x + w && y < b.y + b.h && b.y < y + h; }

    friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

inline constexpr int sidebarWidth = 270;
inline constexpr int topbarHeight = 82;
inline constexpr int footerHeight = 34;

// The sidebar's column: panels, list rows and buttons start this far left of the window's right edge
// and end sidebarColumnEnd before it; texts start at sidebarTextLeft.
inline constexpr int sidebarColumnLeft = 256;
inline constexpr int sidebarColumnEnd = 14;
inline constexpr int sidebarColumnWidth = sidebarColumnLeft - sidebarColumnEnd;
inline constexpr int sidebarTextLeft = 248;

// The top bar's operation button, right-aligned.
inline constexpr ScreenRect operationButton(int width) { return {width - 238, 22, 220, 40}; }
// The sidebar's action button (end the turn, a new game) above the status line.
inline constexpr ScreenRect actionButton(int width, int height) {
    return {width - sidebarColumnLeft, height - 78, sidebarColumnWidth, 36};
}

// The hover panel's name: 12-pixel lines of 7-pixel text from y = 704, and the hovered country's
// line below it from y = 734.
inline constexpr int hoverNameTop = 704;
inline constexpr int hoverCountryTop = 734;
inline constexpr int panelLineHeight = 12;
inline constexpr int panelTextHeight = 7;

// The sidebar's unit list: one-line rows from y = 285, then one line summing up the objectives,
// all above the panels at y = 500. A longer army scrolls, with the wheel or to the selected unit.
inline constexpr int unitListTop = 285;
inline constexpr int unitRowHeight = 16;
inline constexpr int objectiveLineHeight = 14;
inline constexpr int sidebarPanelTop = 500;

constexpr std::size_t unitListRows() {
    // The summary line's dots (7 pixels high) end above the panels with two pixels of air.
    return static_cast<std::size_t>((sidebarPanelTop - unitListTop - 4 - 7 - 2) / unitRowHeight);
}
// Where the objectives' summary starts below the rows.
constexpr int objectivesTop(std::size_t rows) { return unitListTop + unitRowHeight * static_cast<int>(rows) + 4; }
// The unit rows and the objectives' summary line, for the wheel and the pointer.
constexpr ScreenRect unitListArea(int width) {
    return {width - sidebarColumnLeft, unitListTop, sidebarColumnWidth, unitRowHeight * static_cast<int>(unitListRows())};
}
constexpr ScreenRect objectiveSummaryArea(int width) {
    return {width - sidebarColumnLeft, objectivesTop(unitListRows()) - 3, sidebarColumnWidth, objectiveLineHeight};
}

// The combat log's box over the sidebar and its lines of text.
constexpr ScreenRect combatLogBox(int width) { return {width - 262, 278, 254, 365}; }
inline constexpr int combatLogFirstLine = 313;
inline constexpr int combatLogLineHeight = 11;
inline constexpr std::size_t combatLogLineLength = 38;
inline constexpr std::size_t combatLogLinesShown = 29; // (643 - 4 - 7 - 313) / 11 + 1

// The map area: every map layer is clipped to it and every "on the map" test uses its bounds.
constexpr ScreenRect mapArea(int width, int height) {
    return {0, topbarHeight, width - sidebarWidth, height - topbarHeight - footerHeight};
}

} // namespace korvan
