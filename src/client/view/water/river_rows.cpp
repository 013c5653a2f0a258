// Grouping a map's river sides by their lower row (a counting sort), sorted by midpoint within a row.
#include "water/river_rows.hpp"

namespace korvan {

void RiverRows::index(const Map& map, unsigned generation) {
    const auto& rivers = map.rivers();
    map_ = &map;
    data_ = rivers.data();
    count_ = rivers.size();
    generation_ = generation;
    rowStart_.clear();
    entries_.clear();
    if (rivers.empty()) {
        return;
    }
    const auto lower = [](const RiverEdge& e) { return std::min(e.a.r, e.b.r); };
    int lowest = lower(rivers.front());
    int highest = lowest;
    for (const RiverEdge& e : rivers) {
        lowest = std::min(lowest, lower(e));
        highest = std::max(highest, lower(e));
    }
    firstRow_ = lowest;
    rowStart_.assign(std::size_t(highest - lowest) + 2, 0);
    for (const RiverEdge& e : rivers) {
        ++rowStart_[std::size_t(lower(e) - lowest) + 1];
    }
    for (std::size_t r = 1; r < rowStart_.size(); ++r) {
        rowStart_[r] += rowStart_[r - 1];
    }
    entries_.resize(rivers.size());
    std::vector<std::uint32_t> next(rowStart_.begin(), rowStart_.end() - 1);
    westmost_ = eastmost_ = 0;
    for (std::size_t i = 0; i < rivers.size(); ++i) {
        const RiverSegment s = riverBoundary(map, rivers[i]);
        const double middle = (s.a.x + s.b.x) * 0.5;
        westmost_ = i == 0 ? middle : std::min(westmost_, middle);
        eastmost_ = i == 0 ? middle : std::max(eastmost_, middle);
        entries_[next[std::size_t(lower(rivers[i]) - lowest)]++] = {middle, static_cast<std::uint32_t>(i)};
    }
    for (std::size_t r = 0; r + 1 < rowStart_.size(); ++r) {
        std::sort(entries_.begin() + rowStart_[r], entries_.begin() + rowStart_[r + 1],
                  [](const Entry& a, const Entry& b) { return a.middle < b.middle; });
    }
}

} // namespace korvan
