// The sidebar's scrolling lists: which unit rows show, and the combat log broken into lines.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace korvan {

// The first of `rows` rows shown from `total` when the list is scrolled by `offset`: never past
// the point where the last row fills the list.
constexpr std::size_t listFirst(std::size_t offset, std::size_t rows, std::size_t total) {
    const std::size_t last = total > rows ? total - rows : 0;
    return offset < last ? offset : last;
}

// The offset that keeps the view of `offset` where it is unless row `index` lies outside it; then
// the least scrolling that brings it in.
constexpr std::size_t revealRow(std::size_t offset, std::size_t index, std::size_t rows) {
    if (index < offset) {
        return index;
    }
    return rows > 0 && index >= offset + rows ? index - rows + 1 : offset;
}

// One line of the combat log: an entry broken between words; continued lines are indented.
struct LogLine {
    std::string text;
    bool continued = false;
};
std::vector<LogLine> combatLogLines(const std::vector<std::string>& log, std::size_t length);

} // namespace korvan
