// Bucketing river sides by the place of their middles.
#include "water/river_segments.hpp"

namespace korvan {

void RiverIndex::build(const Map& map, unsigned generation) {
    const auto& rivers = map.rivers();
    generation_ = generation;
    map_ = &map;
    sides_ = rivers.data();
    count_ = rivers.size();
    wraps_ = map.wraps();
    period_ = map.period();
    rowStart_.clear();
    entries_.clear();
    packed_.resize(count_);
    marked_.assign(count_, 0);
    middleX_.clear();
    middleY_.clear();
    style_.clear();
    leftmost_ = 0;
    rightmost_ = 0;
    if (rivers.empty()) {
        return;
    }
    // A counting sort by lower row, then each row sorted by middle.
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
    entries_.resize(count_);
    std::vector<std::uint32_t> next(rowStart_.begin(), rowStart_.end() - 1);
    for (std::size_t i = 0; i < count_; ++i) {
        const RiverEdge& edge = rivers[i];
        const RiverSegment s = riverBoundary(map, edge);
        const double middle = (s.a.x + s.b.x) * 0.5;
        // The step's q follows from the x distance riverBoundary took, across the seam too.
        const Point a = hexCenter(edge.a);
        const int stepR = edge.b.r - edge.a.r;
        const int stepQ = int(std::lround(2 * (middle - a.x) / sqrt3 - stepR * 0.5));
        packed_[i] = {edge.a.q, edge.a.r, std::int8_t(stepQ), std::int8_t(stepR), edge.widthClass, edge.bridge};
        leftmost_ = i == 0 ? middle : std::min(leftmost_, middle);
        rightmost_ = i == 0 ? middle : std::max(rightmost_, middle);
        entries_[next[std::size_t(lower(edge) - lowest)]++] = {middle, static_cast<std::uint32_t>(i)};
    }
    for (std::size_t r = 0; r + 1 < rowStart_.size(); ++r) {
        std::sort(entries_.begin() + rowStart_[r], entries_.begin() + rowStart_[r + 1],
                  [](const Entry& a, const Entry& b) { return a.middle < b.middle; });
    }
}

void RiverIndex::spreadMiddles() {
    if (middleX_.size() == packed_.size()) {
        return;
    }
    middleX_.resize(packed_.size());
    middleY_.resize(packed_.size());
    style_.resize(packed_.size());
    for (std::size_t i = 0; i < packed_.size(); ++i) {
        const Point m = packed_[i].middle();
        middleX_[i] = m.x;
        middleY_[i] = m.y;
        const PackedSide& side = packed_[i];
        style_[i] = std::uint8_t((side.bridge ? 4 : std::min<int>(side.widthClass, 3)) | (side.stepR != 0 ? 8 : 0));
    }
}

void RiverIndex::mark(Point lo, Point hi) {
    if (!(lo.x <= hi.x && lo.y <= hi.y)) {
        return;
    }
    forMiddles(lo, hi, [&](const Entry& e, double) { marked_[e.index] = 1; });
}

} // namespace korvan
